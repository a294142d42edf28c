#include "tags/ForeignTags.h"

#include "platform/AtomicReplace.h"
#include "platform/FileLock.h"
#include "platform/OpenFile.h"
#include "tags/AsfTags.h"

#include <QFile>

namespace vantrel {

namespace {

// Opens the file and reads its ASF header object (which must start the file).
// Reads the ASF header object (which must start the file) of an open file.
bool readAsfHeader(OpenFile& file, QByteArray& header, QString& error)
{
    if (!file.isOpen()) {
        error = file.errorText();
        return false;
    }
    QByteArray first(24, '\0');
    const qint64 size =
        file.size() >= 24 && file.readAt(0, first.data(), 24) ? AsfTags::headerSize(first, file.size()) : 0;
    if (size == 0) {
        error = QStringLiteral("no valid ASF header at the start of the file");
        return false;
    }
    header.resize(size);
    if (!file.readAt(0, header.data(), size)) {
        error = file.errorText();
        return false;
    }
    return true;
}

// Only ASF keeps a tag of its own so far.
QString notHandled()
{
    return QStringLiteral("not an ASF file");
}

} // namespace

QString ForeignTags::formatKey(AudioFormat format)
{
    return format == AudioFormat::Asf ? QStringLiteral("asf") : QString();
}

std::optional<ForeignTagFields> ForeignTags::read(const QString& path, QString* error)
{
    OpenFile file(path, OpenFile::Mode::Read);
    return read(file, error);
}

std::optional<ForeignTagFields> ForeignTags::read(OpenFile& file, QString* error)
{
    QString dummy;
    QString& err = error ? *error : dummy;
    if (!handles(detectAudioFormat(file))) {
        err = notHandled();
        return std::nullopt;
    }
    QByteArray header;
    ForeignTagFields fields;
    if (!readAsfHeader(file, header, err) || !AsfTags::read(header, fields, err)) return std::nullopt;
    return fields;
}

ForeignTagResult ForeignTags::write(const QString& path, const ForeignTagEdit& edit)
{
    ForeignTagResult r;
    // Held from reading the tag to the end of the write.
    FileLock lock;
    if (!lock.acquire(path, &r.error)) return r;
    const AudioFormat format = detectAudioFormat(path);
    if (!handles(format)) {
        r.error = notHandled();
        return r;
    }
    OpenFile in(path, OpenFile::Mode::Read);
    QByteArray header, newHeader;
    if (!readAsfHeader(in, header, r.error) || !AsfTags::edit(header, edit, newHeader, r.error)) return r;
    if (newHeader == header) {
        r.ok = true;
        return r;
    }
    // The new header, then everything behind the old one exactly as it was.
    const auto copy = [&](QFile& out, QString& error) {
        if (out.write(newHeader) != newHeader.size()) {
            error = out.errorString();
            return false;
        }
        QByteArray chunk;
        for (qint64 at = header.size(); at < in.size(); at += chunk.size()) {
            chunk.resize(std::min<qint64>(1 << 20, in.size() - at));
            if (!in.readAt(at, chunk.data(), chunk.size())) {
                error = in.errorText();
                return false;
            }
            if (out.write(chunk) != chunk.size()) {
                error = out.errorString();
                return false;
            }
        }
        return true;
    };
    r.ok = replaceFileAtomically(path, copy, &r.error);
    return r;
}

} // namespace vantrel
