#include "tags/ForeignTags.h"

#include "platform/AtomicReplace.h"
#include "platform/FileLock.h"
#include "platform/OpenFile.h"
#include "tags/AsfTags.h"
#include "tags/Mp4Tags.h"
#include "tags/TagLibText.h"
#include "tags/XiphTags.h"

#include <QFile>
#include <flacfile.h>
#include <id3v2framefactory.h>
#include <memory>
#include <mp4file.h>
#include <oggflacfile.h>
#include <opusfile.h>
#include <tbytevectorstream.h>
#include <tfilestream.h>
#include <unistd.h>
#include <vorbisfile.h>

namespace vantrel {

namespace {

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

QString notHandled()
{
    return QStringLiteral("not a WMA, FLAC, Ogg (Vorbis, Opus, FLAC) or MP4 file");
}

// The largest file whose tags are rewritten (on a copy in memory).
constexpr qint64 kMaxRewrite = 1LL << 30;

// A file whose tags TagLib finds wherever the container keeps them (FLAC,
// Ogg Vorbis, Opus, MP4), opened on a stream without reading the audio
// properties. Invalid (isValid() false) when the content is not that format.
std::unique_ptr<TagLib::File> openContainer(AudioFormat format, TagLib::IOStream* stream)
{
    switch (format) {
    case AudioFormat::Flac:
        return std::make_unique<TagLib::FLAC::File>(stream, TagLib::ID3v2::FrameFactory::instance(), false);
    case AudioFormat::Ogg: {
        // The first packet tells the codec; another one than these three is refused.
        if (auto vorbis = std::make_unique<TagLib::Ogg::Vorbis::File>(stream, false); vorbis->isValid())
            return vorbis;
        if (auto opus = std::make_unique<TagLib::Ogg::Opus::File>(stream, false); opus->isValid())
            return opus;
        return std::make_unique<TagLib::Ogg::FLAC::File>(stream, false);
    }
    case AudioFormat::Mp4:
        return std::make_unique<TagLib::MP4::File>(stream, false);
    default:
        return nullptr;
    }
}

QString unreadable(AudioFormat format)
{
    return format == AudioFormat::Ogg
               ? QStringLiteral("the Ogg file holds no Vorbis, Opus or FLAC stream, or is damaged")
               : QStringLiteral("the %1 tags could not be read")
                     .arg(ForeignTags::formatKey(format).toUpper());
}

std::optional<ForeignTagFields> fieldsOf(TagLib::File& file)
{
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(&file))
        return XiphTags::read(flac->xiphComment(false), static_cast<int>(flac->pictureList().size()));
    if (auto* ogg = dynamic_cast<TagLib::Ogg::File*>(&file)) {
        auto* comment = dynamic_cast<TagLib::Ogg::XiphComment*>(ogg->tag());
        if (!comment) return std::nullopt;
        return XiphTags::read(comment, static_cast<int>(comment->pictureList().size()));
    }
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(&file)) {
        if (!mp4->tag()) return std::nullopt;
        return Mp4Tags::read(*mp4->tag());
    }
    return std::nullopt;
}

// Applies the edit to the file's tag (a FLAC file without a comment gets one).
bool editOf(TagLib::File& file, const ForeignTagEdit& edit, bool& changed, QString& error)
{
    changed = false;
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(&file)) {
        changed = XiphTags::edit(*flac->xiphComment(true), edit);
        return true;
    }
    if (auto* ogg = dynamic_cast<TagLib::Ogg::File*>(&file)) {
        if (auto* comment = dynamic_cast<TagLib::Ogg::XiphComment*>(ogg->tag())) {
            changed = XiphTags::edit(*comment, edit);
            return true;
        }
    } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(&file); mp4 && mp4->tag()) {
        return Mp4Tags::edit(*mp4->tag(), edit, changed, error);
    }
    error = QStringLiteral("the tag could not be read");
    return false;
}

// Whether the texts the edit set read back from the new content as set.
bool editReadsBack(AudioFormat format, const TagLib::ByteVector& content, const ForeignTagEdit& edit)
{
    TagLib::ByteVectorStream stream(content);
    const std::unique_ptr<TagLib::File> file = openContainer(format, &stream);
    if (!file || !file->isValid()) return false;
    const std::optional<ForeignTagFields> f = fieldsOf(*file);
    if (!f) return false;
    const auto same = [](const std::optional<QString>& want, const QString& have) {
        return !want || *want == have;
    };
    return same(edit.title, f->title) && same(edit.artist, f->artist) && same(edit.album, f->album) &&
           same(edit.year, f->year) && same(edit.genre, f->genre) && same(edit.comment, f->comment);
}

// Reads, edits and rewrites a FLAC, Ogg or MP4 file on a copy in memory, then
// replaces the file with the copy. TagLib keeps every block, page, atom and
// item it does not change as it was.
ForeignTagResult writeContainer(const QString& path, AudioFormat format, const ForeignTagEdit& edit)
{
    ForeignTagResult r;
    OpenFile in;
    if (!in.open(path, OpenFile::Mode::Read)) {
        r.error = in.errorText();
        return r;
    }
    if (in.size() > kMaxRewrite) {
        r.error = QStringLiteral("the file is too large to rewrite its tags");
        return r;
    }
    QByteArray content(in.size(), Qt::Uninitialized);
    if (!in.readAt(0, content.data(), content.size())) {
        r.error = in.errorText();
        return r;
    }
    TagLib::ByteVectorStream stream(bytesOf(content));
    const std::unique_ptr<TagLib::File> file = openContainer(format, &stream);
    if (!file || !file->isValid()) {
        r.error = unreadable(format);
        return r;
    }
    bool changed = false;
    if (!editOf(*file, edit, changed, r.error)) return r;
    if (!changed) {
        r.ok = true;
        return r;
    }
    if (!file->save() || !editReadsBack(format, *stream.data(), edit)) {
        r.error = QStringLiteral("TagLib could not write the %1 tags")
                      .arg(ForeignTags::formatKey(format).toUpper());
        return r;
    }
    const TagLib::ByteVector* out = stream.data();
    const auto copy = [&](QFile& target, QString& error) {
        if (target.write(out->data(), out->size()) != qint64(out->size())) {
            error = target.errorString();
            return false;
        }
        return true;
    };
    r.ok = replaceFileAtomically(path, copy, &r.error);
    return r;
}

} // namespace

bool ForeignTags::handles(AudioFormat format)
{
    return format == AudioFormat::Asf || format == AudioFormat::Flac || format == AudioFormat::Ogg ||
           format == AudioFormat::Mp4;
}

QString ForeignTags::formatKey(AudioFormat format)
{
    switch (format) {
    case AudioFormat::Asf:
        return QStringLiteral("asf");
    case AudioFormat::Flac:
        return QStringLiteral("flac");
    case AudioFormat::Ogg:
        return QStringLiteral("ogg");
    case AudioFormat::Mp4:
        return QStringLiteral("mp4");
    default:
        return {};
    }
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
    const AudioFormat format = detectAudioFormat(file);
    if (!handles(format)) {
        err = notHandled();
        return std::nullopt;
    }
    if (format != AudioFormat::Asf) {
        // Read in place, on a copy of the open descriptor (the stream closes
        // its own): only the parts that hold tags are read.
        const int fd = ::dup(file.handle());
        TagLib::FileStream stream(fd, true);
        if (fd < 0 || !stream.isOpen()) {
            if (fd >= 0 && !stream.isOpen()) ::close(fd);
            err = QStringLiteral("the file cannot be opened for reading");
            return std::nullopt;
        }
        const std::unique_ptr<TagLib::File> tagFile = openContainer(format, &stream);
        std::optional<ForeignTagFields> fields;
        if (tagFile && tagFile->isValid()) fields = fieldsOf(*tagFile);
        if (!fields) err = unreadable(format);
        return fields;
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
    if (format != AudioFormat::Asf) return writeContainer(path, format, edit);
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
