#include "tags/ForeignTags.h"

#include "platform/AtomicReplace.h"
#include "platform/FileLock.h"
#include "tags/AsfTags.h"
#include "tags/RawFile.h"

#include <QFile>

namespace vantrel {

namespace {

// Opens the file and reads its ASF header object (which must start the file).
bool openAsf(const QString& path, RawFile& file, QByteArray& header, QString& error)
{
    if (!file.open(path, RawFile::Mode::Read)) {
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
    QString dummy;
    QString& err = error ? *error : dummy;
    const AudioFormat format = detectAudioFormat(path);
    if (!handles(format)) {
        err = notHandled();
        return std::nullopt;
    }
    RawFile file;
    QByteArray header;
    ForeignTagFields fields;
    if (!openAsf(path, file, header, err) || !AsfTags::read(header, fields, err)) return std::nullopt;
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
    RawFile in;
    QByteArray header, newHeader;
    if (!openAsf(path, in, header, r.error) || !AsfTags::edit(header, edit, newHeader, r.error)) return r;
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
