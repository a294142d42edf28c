// Finds the ID3v2 tag near the start of a file, works out how far it really
// reaches, and reads its frames into their ID3v2.3 form.
//
// How far a tag reaches. The published format gives the size after the
// 10-byte header as a synchsafe number (7 bits a byte). Older versions of this
// program wrote a plain big-endian number instead, and counted the header in
// it. So for header size bytes s the candidates are, in this order:
//   A = 10 + synchsafe(s) (+ 10 for a 2.4 footer)   when every byte is < 0x80
//   B = plain(s)          (this program's old form)  when plain differs from A's reading
//   C = 10 + plain(s)     (writers that forgot the synchsafe form)
// and only those that end within the file count. The tag is
//   - A, when its frames fit in A and the audio starts right after A (or A is
//     the only candidate, or nothing better is proven);
//   - otherwise B or C, the first whose frames fit in it, where nothing but
//     padding lies between its last frame and its end, and where the audio
//     (a valid MPEG frame followed by another, the end of the file or the
//     ID3v1 record) starts right after it; failing audio at both, the first
//     that holds all frames with no audio inside;
//   - with only B and C (a size byte >= 0x80), the same test on B and C.
// After that, a second tag header that follows the first one's frames after
// nothing but zero bytes (a stale copy that an old write left behind) is
// counted into the tag area, so that rewriting the tag removes it.
#pragma once

#include "tags/Id3v2Format.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel::id3v2 {

// Random access to the bytes of a file or of a buffer.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual qint64 size() const = 0;
    // Up to length bytes from offset (fewer at the end, none outside).
    virtual QByteArray read(qint64 offset, qint64 length) const = 0;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(QByteArray data) : data_(std::move(data)) {}
    qint64 size() const override { return data_.size(); }
    QByteArray read(qint64 offset, qint64 length) const override;

private:
    QByteArray data_;
};

// A file opened for reading; error() holds the errno of a failed open.
class FileSource : public ByteSource {
public:
    explicit FileSource(const QString& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int error() const { return error_; }
    qint64 size() const override { return size_; }
    QByteArray read(qint64 offset, qint64 length) const override;

private:
    int fd_ = -1;
    int error_ = 0;
    qint64 size_ = 0;
};

// One frame as read: its 2.3 form, the id it had in the file, and whether it
// may fill a field property (text frames of at most 1000 bytes; of a 2.2 tag
// only the frames that always did).
struct ReadFrame {
    Frame23 frame;
    QString sourceId;
    bool fillsField = true;
};

struct TagRead {
    qint64 offset = -1; // of "ID3"; -1 when there is no valid tag
    qint64 area = 0;    // bytes from offset that belong to the tag
    int version = 0;    // major version
    QList<ReadFrame> frames;
    QStringList warnings;
};

// The largest tag area accepted: the largest synchsafe size plus header and footer.
inline constexpr qint64 MaxTagArea = (qint64(1) << 28) + 20;

// Offset of the first "ID3" with a valid header that comes before any MPEG
// sync (FF followed by a byte with its top three bits set); -1 for none.
qint64 findTag(const ByteSource& src);
// The tag at offset (which must hold a valid header), or offset -1.
TagRead readTagAt(const ByteSource& src, qint64 offset);
// findTag followed by readTagAt.
TagRead readTag(const ByteSource& src);

// Whether audio starts at pos: the end of the file, an ID3v1 record that ends
// the file, or an MPEG frame header confirmed by the next one (or the end).
bool audioStartsAt(const ByteSource& src, qint64 pos);

} // namespace vantrel::id3v2
