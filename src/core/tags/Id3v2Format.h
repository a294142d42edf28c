// Byte-level pieces of the ID3v2 format shared by the reader and the writer:
// integers, unsynchronisation, text encodings, frame ids of the three versions,
// turning 2.2 and 2.4 frames into their 2.3 form, and MPEG frame headers.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace vantrel::id3v2 {

// The tag header: "ID3", major version, revision, flags, synchsafe size.
inline constexpr int HeaderSize = 10;
inline constexpr int FooterSize = 10; // "3DI" and a copy of the header, 2.4 only
// Flags of the tag header.
inline constexpr unsigned char TagUnsynchronised = 0x80;
inline constexpr unsigned char TagExtendedHeader = 0x40; // in 2.2: the tag is compressed
inline constexpr unsigned char TagExperimental = 0x20;
inline constexpr unsigned char TagHasFooter = 0x10; // 2.4 only
// The synchsafe size field holds 28 bits: a tag's size after its header stays below this.
inline constexpr qint64 MaxTagSize = qint64(1) << 28;
// The largest tag area accepted: the largest synchsafe size plus header and footer.
inline constexpr qint64 MaxTagArea = MaxTagSize + HeaderSize + FooterSize;

// Bytes of the footer that follows a tag of this major version and these header flags.
constexpr int footerSize(int major, int flags)
{
    return major == 4 && (flags & TagHasFooter) ? FooterSize : 0;
}
// The area a header announces, from "ID3" to the end of its footer.
constexpr qint64 announcedArea(int major, int flags, quint32 size)
{
    return HeaderSize + qint64(size) + footerSize(major, flags);
}

// Frame flags of 2.3 (status byte, then format byte).
inline constexpr quint16 V23TagAlterPreservation = 0x8000;
inline constexpr quint16 V23FileAlterPreservation = 0x4000;
inline constexpr quint16 V23ReadOnly = 0x2000;
inline constexpr quint16 V23Compressed = 0x0080; // 4-byte decompressed size first
inline constexpr quint16 V23Encrypted = 0x0040;  // 1-byte method next
inline constexpr quint16 V23GroupingId = 0x0020; // 1-byte group next
// Frame flags of 2.4.
inline constexpr quint16 V24TagAlterPreservation = 0x4000;
inline constexpr quint16 V24FileAlterPreservation = 0x2000;
inline constexpr quint16 V24ReadOnly = 0x1000;
inline constexpr quint16 V24GroupingId = 0x0040;
inline constexpr quint16 V24Compressed = 0x0008;
inline constexpr quint16 V24Encrypted = 0x0004;
inline constexpr quint16 V24Unsynchronised = 0x0002;
inline constexpr quint16 V24DataLength = 0x0001;

// Text encoding bytes of a frame.
enum Encoding : unsigned char { Latin1 = 0, Utf16Bom = 1, Utf16BE = 2, Utf8 = 3 };

// Big-endian integers of n bytes (n <= 4 for 32 bits, <= 8 for 64 bits).
quint32 plain32(const char* p, int n = 4);
quint64 plain64(const char* p, int n);
// A synchsafe integer (7 bits per byte); nullopt when a byte has its top bit set.
std::optional<quint32> synchsafe32(const char* p);
QByteArray toPlain32(quint32 v);
// v must be below MaxTagSize.
QByteArray toSynchsafe32(quint32 v);

// Undoes unsynchronisation: every FF 00 becomes FF.
QByteArray removeUnsync(const QByteArray& in);

// True for four (or three, for 2.2) characters out of A-Z and 0-9.
bool isValidFrameId(const char* p, int n);
bool isValidFrameId(const QString& id);

// The ID3v2.3 id of an ID3v2.2 frame id; empty when 2.3 has no equivalent.
QString mapV22Id(const QString& id22);
// Whether a 2.2 frame fills a field property (the short list that always did:
// TP1, TT2, TAL, COM, TRK, TEN, TYE, TCO).
bool v22FillsField(const QString& id22);
// A 2.2 PIC body (encoding, 3-letter image format, ...) as an APIC body
// (encoding, MIME type, zero, ...). "JPG" becomes "image/jpeg", "PNG"
// "image/png", other formats "image/" + the format in lower case, "-->" stays.
QByteArray picToApic(const QByteArray& pic);

// Splits the text of a frame into its zero-terminated strings (the last one
// may be unterminated). UTF-16 terminators are two zero bytes at an even
// position. At most maxParts parts: the last part takes the rest.
QList<QByteArray> splitStrings(unsigned char enc, const QByteArray& bytes, int maxParts = -1);
// Length in bytes of the first string plus its terminator (all of it when
// there is no terminator).
int terminatedLength(unsigned char enc, const char* p, int n);
// Decodes one string of the given encoding (UTF-16 with or without byte
// order mark; little-endian when the mark is missing). Trailing zero
// characters are dropped. Unknown encodings read as Latin-1.
QString decodeString(unsigned char enc, const QByteArray& bytes);
// Latin-1 (encoding byte 0) when every character fits, else UTF-16 with byte
// order mark (encoding byte 1).
unsigned char chooseEncoding(const QStringList& texts);
// One string in that encoding, with its byte order mark, optionally terminated.
QByteArray encodeString(unsigned char enc, const QString& text, bool terminate);

// Re-encodes a frame body whose text is in UTF-8 or UTF-16BE (which 2.3 does
// not have) as UTF-16 with byte order mark, the same text. Bodies in other
// encodings, and frames whose layout is not known, come back unchanged.
QByteArray reencodeFor23(const QString& id, const QByteArray& body);

// Frames that only ID3v2.4 defines (dates, people lists, sort orders...).
bool isV24OnlyFrame(const QString& id);

// Several values of a text frame (2.4 separates them by zero characters) as
// the one string 2.3 readers expect: joined by "/", a genre list as "(17)(18)"
// references for genre numbers (and RX, CR) followed by the names "Rock/Pop";
// TXXX keeps its description. The body comes back unchanged when it holds one
// value, for frames only 2.4 has and for frames that are not text.
QByteArray joinValuesFor23(const QString& id, const QByteArray& body);

// A frame in the form it is written in a 2.3 tag, with the bytes of its body
// that hold text once the 2.3 header extras are skipped.
struct Frame23 {
    QString id;
    quint16 flags = 0; // 2.3 flag bits
    QByteArray body;   // as written after the 10-byte 2.3 header
};

// Where the content of a 2.3 body starts: after the decompressed size, the
// encryption method and the group id that its flags announce. -1 when the
// body is too short for them.
int contentOffset23(quint16 flags, int bodySize);
// The content of a 2.3 frame ready for decoding: decompressed when the frame
// is compressed (and not encrypted), nullopt for encrypted or undecodable
// content. maxSize bounds the decompressed size.
std::optional<QByteArray> content23(const Frame23& f, int maxSize);

// Converts an ID3v2.4 frame (flags and body as read, per-frame
// unsynchronisation not yet undone) to its 2.3 form: flag bits moved, data
// length indicator and unsynchronisation undone, UTF-8 text re-encoded.
// nullopt when it cannot be expressed in 2.3 (compressed without a length).
std::optional<Frame23> convertV24Frame(const QString& id, quint16 flags24, QByteArray body, bool tagUnsync);

// What a 2.3 reader needs to see the facts of frames only 2.4 has: TYER from
// TDRC (with TDAT and TIME when it holds a day or a time), TORY from TDOR,
// IPLS from TIPL and TMCL together. Frames already present are not made again.
QList<Frame23> v23Equivalents(const QList<Frame23>& frames);

// MPEG audio: whether p holds a valid frame header (11 sync bits, a known
// version, layer, bit rate and sample rate), and that frame's length in bytes
// (0 for free-format bit rate).
bool isMpegHeader(const unsigned char* p);
int mpegFrameLength(const unsigned char* p);

} // namespace vantrel::id3v2
