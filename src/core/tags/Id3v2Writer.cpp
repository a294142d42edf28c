#include "tags/Id3v2Writer.h"

#include "platform/AtomicReplace.h"
#include "tags/Id3v2Reader.h"

#include <cerrno>

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
    QByteArray h("ID3\x03\x00\x00", 6); // "ID3", version 2.3.0, no flags
    h += toSynchsafe32(quint32(area - HeaderSize));
    return h;
}

qint64 grownArea(qint64 t)
{
    return (t / 2048 + 1) * 2048;
}

QString unreadTagError(const QString& why)
{
    return QStringLiteral("the existing ID3v2 tag could not be read completely (%1)").arg(why);
}

bool writeTag(const QString& path, const QByteArray& frames, QString& error)
{
    error.clear();
    const qint64 t = HeaderSize + qint64(frames.size()) + 4;

    // Opening for writing first: a read-only, missing or locked file is left alone.
    // (fileIsWritable gives the messages for a folder or a pipe.)
    if (!fileIsWritable(path, &error)) return false;
    OpenFile file(path, OpenFile::Mode::ReadWrite);
    if (!file.isOpen()) {
        error = file.errorText();
        return false;
    }
    const FileSource src(file);
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

    if (oldArea > 0 && t <= oldArea && oldArea - HeaderSize < MaxTagSize) {
        // In place: the new tag, then zeros over the rest of the old area, so
        // that nothing of the old frames stays behind.
        QByteArray area = tagHeader23(oldArea) + frames;
        area.append(oldArea - area.size(), '\0');
        if (!writeFully(file.handle(), area.constData(), area.size(), 0)) {
            error = OpenFile::errorText(errno);
            return false;
        }
        if (!file.sync()) {
            error = file.errorText();
            return false;
        }
        return true;
    }

    const qint64 area = grownArea(t);
    if (area - HeaderSize >= MaxTagSize) {
        error = QStringLiteral("the tag is too large");
        return false;
    }
    return replaceFileAtomically(
        path,
        [&](QFile& out, QString& err) {
            QByteArray head = tagHeader23(area) + frames;
            head.append(area - head.size(), '\0');
            if (!writeFully(out.handle(), head.constData(), head.size())) {
                err = OpenFile::errorText(errno);
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
                    err = OpenFile::errorText(errno);
                    return false;
                }
                pos += block.size();
            }
            return true;
        },
        &error);
}

} // namespace vantrel::id3v2
