// Finds the ID3v2 tag near the start of a file, works out how far it really
// reaches, and reads its frames into their ID3v2.3 form.
//
// How far a tag reaches. The published format gives the size after the
// 10-byte header as a synchsafe number (7 bits a byte). Older versions of this
// program wrote a plain big-endian number instead, and counted the header in
// it. So for the header size bytes s there are up to three candidates:
//   A = 10 + synchsafe(s) (+ 10 for a 2.4 footer)   when every byte is < 0x80
//   B = plain(s)          (this program's old form)  when plain(s) differs from synchsafe(s)
//   C = 10 + plain(s)     (writers that forgot the synchsafe form), likewise
// and only those that end within the file count. "Audio at X" means X is the
// end of the file, the start of the closing ID3v1 record, or a valid MPEG
// frame header followed by another one. A candidate "holds" the tag when its
// frames do not run past it and no audio starts between its last frame and
// its end. The area is:
//   1. A, when A's frames fit in A and audio starts at A;
//   2. else B, then C, the first that holds the tag and has audio at its end;
//   3. else, only when A's frames ran past A (or there is no A), B then C,
//      the first that holds the tag;
//   4. else A (or, without A, B).
// A second tag header that follows the first tag's frames after nothing but
// zero bytes (a stale copy an old write left behind) is then counted into
// the area too, so that rewriting the tag clears it.
#pragma once

#include "platform/OpenFile.h"
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

// The bytes of an open file. Reads inside what the file keeps in memory
// (OpenFile::keepEnds) cost no copy and no system call; what they return is
// valid as long as the file stays open and unwritten.
class FileSource : public ByteSource {
  public:
    explicit FileSource(OpenFile& file) : file_(file) {}
    qint64 size() const override { return file_.size(); }
    QByteArray read(qint64 offset, qint64 length) const override;

  private:
    OpenFile& file_;
};

// One frame as read: its 2.3 form, the id it had in the file, and whether it
// may fill a field property (frames with a standard id; of a 2.2 tag only the
// frames that always did). A frame with a well-formed but non-standard id
// ("COM ", "TT2\0", "Txyz") fills no field and is carried over byte for byte.
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
    // Empty when every byte of the area was accounted for (frames, then
    // padding). Otherwise why not: bytes that are no frame, a frame that runs
    // past the area, a compressed 2.2 tag. Such a tag must not be rewritten,
    // since the bytes not understood would be lost.
    QString unread;
};

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
