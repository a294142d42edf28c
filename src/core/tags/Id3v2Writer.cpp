#include "tags/Id3v2Writer.h"

#include "platform/AtomicReplace.h"
#include "tags/Id3v2Reader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vantrel::id3v2 {

QByteArray frameBytes(const Frame23& f)
{
    QByteArray out = f.id.toLatin1();
    out += toPlain32(quint32(f.body.size()));
    out += char(f.flags >> 8);
    out += char(f.flags & 0xFF);
    out += f.body;
    return out;
}

QByteArray tagHeader23(qint64 area)
{
    QByteArray h("ID3\x03\x00\x00", 6);
    h += toSynchsafe32(quint32(area - 10));
    return h;
}

qint64 grownArea(qint64 t)
{
    return (t / 2048 + 1) * 2048;
}

namespace {

QString errnoText(int e)
{
    return QString::fromLocal8Bit(std::strerror(e));
}

} // namespace

QString unreadTagError(const QString& why)
{
    return QStringLiteral("the existing ID3v2 tag could not be read completely (%1)").arg(why);
}

bool writeTag(const QString& path, const QByteArray& frames, QString& error)
{
    error.clear();
    const qint64 t = 10 + qint64(frames.size()) + 4;

    // Opening for writing first: a read-only, missing or locked file is left alone.
    if (!fileIsWritable(path, &error)) return false;
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = errnoText(errno);
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    FileSource src(path);
    if (!src.isOpen()) {
        error = errnoText(src.error());
        return false;
    }
    // Only a valid tag at the very start is replaced; one further in stays.
    // One whose bytes were not all understood is not replaced at all.
    qint64 oldArea = 0;
    if (findTag(src) == 0) {
        const TagRead old = readTagAt(src, 0);
        if (!old.unread.isEmpty()) {
            error = unreadTagError(old.unread);
            return false;
        }
        oldArea = old.area;
    }

    if (oldArea > 0 && t <= oldArea && oldArea - 10 < (qint64(1) << 28)) {
        // In place: the new tag, then zeros over the rest of the old area, so
        // that nothing of the old frames stays behind.
        QByteArray area = tagHeader23(oldArea) + frames;
        area.append(oldArea - area.size(), '\0');
        if (!writeFully(fd, area.constData(), area.size(), 0) || ::fsync(fd) != 0) {
            error = errnoText(errno);
            return false;
        }
        return true;
    }

    const qint64 area = grownArea(t);
    if (area - 10 >= (qint64(1) << 28)) {
        error = QStringLiteral("the tag is too large");
        return false;
    }
    return replaceFileAtomically(
        path,
        [&](QFile& out, QString& err) {
            QByteArray head = tagHeader23(area) + frames;
            head.append(area - head.size(), '\0');
            if (!writeFully(out.handle(), head.constData(), head.size())) {
                err = errnoText(errno);
                return false;
            }
            const qint64 size = src.size();
            for (qint64 pos = oldArea; pos < size;) {
                const QByteArray block = src.read(pos, 1 << 16);
                if (block.isEmpty()) {
                    err = QStringLiteral("reading the file failed");
                    return false;
                }
                if (!writeFully(out.handle(), block.constData(), block.size())) {
                    err = errnoText(errno);
                    return false;
                }
                pos += block.size();
            }
            return true;
        },
        &error);
}

} // namespace vantrel::id3v2
