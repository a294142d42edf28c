#include "tags/Id3v2Reader.h"

#include <cstring>

namespace vantrel::id3v2 {

QByteArray MemorySource::read(qint64 offset, qint64 length) const
{
    if (offset < 0 || length <= 0 || offset >= data_.size()) return {};
    return data_.mid(offset, std::min<qint64>(length, data_.size() - offset));
}

QByteArray FileSource::read(qint64 offset, qint64 length) const
{
    const qint64 size = file_.size();
    if (offset < 0 || length <= 0 || offset >= size) return {};
    length = std::min(length, size - offset);
    if (const char* kept = file_.kept(offset, length)) return QByteArray::fromRawData(kept, length);
    QByteArray out(length, Qt::Uninitialized);
    out.truncate(std::max<qint64>(0, file_.readUpTo(offset, out.data(), length)));
    return out;
}

namespace {

const unsigned char* ubytes(const QByteArray& b)
{
    return reinterpret_cast<const unsigned char*>(b.constData());
}

bool isRecordAt(const ByteSource& src, qint64 pos)
{
    return pos >= 0 && pos + 128 == src.size() && src.read(pos, 3) == "TAG";
}

// The first confirmed audio start in [from, to); -1 for none, and `from` when
// the range is too long to look through (assume the worst).
qint64 firstAudio(const ByteSource& src, qint64 from, qint64 to)
{
    if (to <= from) return -1;
    if (to - from > (qint64(16) << 20)) return from;
    const QByteArray b = src.read(from, to - from + 1);
    const unsigned char* p = ubytes(b);
    for (qsizetype i = 0; i + 1 < b.size() && from + i < to; ++i) {
        if (p[i] == 0xFF && (p[i + 1] & 0xE0) == 0xE0 && audioStartsAt(src, from + i)) return from + i;
    }
    return -1;
}

bool audioBetween(const ByteSource& src, qint64 from, qint64 to)
{
    return firstAudio(src, from, to) >= 0;
}

struct Header {
    int major = 0;
    int flags = 0;
    std::optional<qint64> a, b, c; // candidate extents (see the header)
    // No candidate fits: a is then the rest of the file before any closing
    // ID3v1 record, to be cut at the first audio start.
    bool unfit = false;
};

std::optional<Header> parseHeader(const ByteSource& src, qint64 offset)
{
    const QByteArray h = src.read(offset, HeaderSize);
    if (h.size() < HeaderSize || !h.startsWith("ID3")) return std::nullopt;
    Header hd;
    hd.major = static_cast<unsigned char>(h[3]);
    const int revision = static_cast<unsigned char>(h[4]);
    hd.flags = static_cast<unsigned char>(h[5]);
    if (hd.major < 2 || hd.major > 4 || revision == 0xFF) return std::nullopt;
    // A tag never reaches into the ID3v1 record that ends the file: a tag cut
    // short by the end of the file must not swallow a record appended to it.
    // (Looked at only for a candidate that reaches into the last 128 bytes.)
    const qint64 recordStart = src.size() - 128;
    std::optional<bool> record;
    auto clear = [&](qint64 v) {
        if (offset + v <= recordStart) return true;
        if (!record) record = recordStart >= offset + HeaderSize && isRecordAt(src, recordStart);
        return !*record;
    };
    const qint64 avail = src.size() - offset;
    const std::optional<quint32> ss = synchsafe32(h.constData() + 6);
    const qint64 pl = plain32(h.constData() + 6);
    auto fits = [&](qint64 v) { return v >= HeaderSize && v <= avail && v <= MaxTagArea && clear(v); };
    if (ss) {
        const qint64 a = announcedArea(hd.major, hd.flags, *ss);
        if (fits(a)) hd.a = a;
    }
    if (!ss || qint64(*ss) != pl) {
        if (fits(pl)) hd.b = pl;
        if (fits(pl + HeaderSize)) hd.c = pl + HeaderSize;
    }
    if (!hd.a && !hd.b && !hd.c) {
        // A size past the end of the file or into its ID3v1 record: still a
        // tag (other readers read its frames), so that a write neither hides
        // it behind a new one nor takes what follows it.
        clear(avail);
        const qint64 rest = record.value_or(false) ? recordStart - offset : avail;
        if (rest < HeaderSize || rest > MaxTagArea) return std::nullopt;
        hd.a = rest;
        hd.unfit = true;
    }
    return hd;
}

struct Parsed {
    QList<ReadFrame> frames;
    QStringList warnings;
    QString unread;          // why part of the tag could not be accounted for
    qint64 end = HeaderSize; // where the frames end, counted from "ID3"
    bool overran = false;    // a frame reached past the area
};

bool allZero(const char* p, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] != '\0') return false;
    }
    return true;
}

// A frame id that is not in the standard form but is still plainly an id, as
// other programs write them: four letters of either case, digits, spaces or
// zero bytes ("COM ", "TT2\0", "Txyz"), not all zero.
bool isWellFormedFrameId(const char* p)
{
    for (int i = 0; i < 4; ++i) {
        const char c = p[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!(letter || (c >= '0' && c <= '9') || c == ' ' || c == '\0')) return false;
    }
    return !allZero(p, 4);
}

// Whether a frame header could start at pos of data (or the frames end there).
bool plausibleNext(const QByteArray& data, qsizetype pos)
{
    if (pos == data.size()) return true;
    if (pos > data.size()) return false;
    const qsizetype n = std::min<qsizetype>(4, data.size() - pos);
    return allZero(data.constData() + pos, n) || (n == 4 && isWellFormedFrameId(data.constData() + pos));
}

// Where the frames of a 2.3 or 2.4 tag with the extended-header flag start:
// behind the extended header when its size is possible (2.3: 6 or 10 bytes
// after the size field; 2.4: at least 6 bytes, synchsafe, size included),
// else at once. Some writers set the flag without writing the header; the
// frames then start right after the tag header, as other readers take them.
qsizetype framesStart(const QByteArray& data, int major)
{
    if (data.size() < 4) return 0;
    qint64 skip = -1;
    if (major == 3) {
        const qint64 s = plain32(data.constData(), 4);
        if (s == 6 || s == 10) skip = 4 + s;
    } else if (const auto s = synchsafe32(data.constData()); s && *s >= 6) {
        skip = *s;
    }
    return skip > 0 && skip <= data.size() ? qsizetype(skip) : 0;
}

// Reads the frames of a tag whose area (from "ID3", header included) is area.
Parsed parseFrames(const QByteArray& area, int major, int flags, qint64 footer)
{
    Parsed out;
    QByteArray data = area.mid(HeaderSize, area.size() - HeaderSize - footer);
    const bool tagUnsync = flags & TagUnsynchronised;
    if (major < 4 && tagUnsync) data = removeUnsync(data);

    qsizetype pos = 0;
    if (major == 2 && (flags & TagExtendedHeader)) { // 2.2: compression
        out.unread = QStringLiteral("the ID3v2.2 tag is compressed");
        return out;
    }
    if (major >= 3 && (flags & TagExtendedHeader)) pos = framesStart(data, major);

    const int idLen = major == 2 ? 3 : 4;
    const int headLen = major == 2 ? 6 : 10;
    while (pos < data.size()) {
        const qsizetype left = data.size() - pos;
        const char* p = data.constData() + pos;
        if (allZero(p, std::min<qsizetype>(idLen, left))) break; // padding
        if (left < headLen) {
            out.overran = isValidFrameId(p, int(std::min<qsizetype>(idLen, left)));
            out.unread = QStringLiteral("%1 bytes after the last frame are no frame").arg(left);
            break;
        }
        // A non-standard id is taken as a frame only when its size leads to
        // the next frame, the padding or the end; the frame is then carried
        // over as it is.
        const bool standard = isValidFrameId(p, idLen);
        if (!standard && (major == 2 || !isWellFormedFrameId(p))) {
            out.unread = QStringLiteral("%1 bytes after the last frame are no frame").arg(left);
            break;
        }
        const QString id = QString::fromLatin1(p, idLen);
        qint64 size = 0;
        if (major == 2) {
            size = plain32(p + 3, 3);
        } else if (major == 3) {
            size = plain32(p + 4, 4);
        } else {
            const auto ss = synchsafe32(p + 4);
            const qint64 pl = plain32(p + 4, 4);
            size = ss ? qint64(*ss) : pl;
            // Some writers put plain sizes into 2.4 frames; take the reading
            // after which the next frame header makes sense.
            if (ss && *ss != pl && !plausibleNext(data, pos + 10 + size) &&
                plausibleNext(data, pos + 10 + pl))
                size = pl;
        }
        if (size > left - headLen || (!standard && !plausibleNext(data, pos + headLen + size))) {
            out.overran = standard;
            out.unread = standard ? QStringLiteral("frame %1 runs past the end of the tag").arg(id)
                                  : QStringLiteral("%1 bytes after the last frame are no frame").arg(left);
            break;
        }
        const QByteArray body = data.mid(pos + headLen, size);
        pos += headLen + size;

        ReadFrame rf;
        rf.sourceId = id;
        if (major == 2) {
            const QString id23 = mapV22Id(id);
            if (id23.isEmpty()) {
                out.warnings
                    << QStringLiteral("ID3v2.2 frame %1 has no ID3v2.3 equivalent; it is left out").arg(id);
                continue;
            }
            rf.frame.id = id23;
            rf.frame.body = id == QLatin1String("PIC") ? picToApic(body) : body;
            rf.fillsField = v22FillsField(id);
        } else if (major == 3) {
            rf.frame.id = id;
            rf.frame.flags = quint16(plain32(p + 8, 2));
            rf.frame.body = body;
            rf.fillsField = standard;
        } else {
            const auto f = convertV24Frame(id, quint16(plain32(p + 8, 2)), body, tagUnsync);
            if (!f) {
                out.warnings << QStringLiteral(
                                    "ID3v2.4 frame %1 cannot be expressed in ID3v2.3; it is left out")
                                    .arg(id);
                continue;
            }
            rf.frame = *f;
            rf.fillsField = standard;
        }
        out.frames.append(rf);
    }
    // Positions after unsynchronisation are at most the file positions.
    out.end = std::min<qint64>(HeaderSize + pos, area.size());
    return out;
}

// Where in area (from "ID3") MPEG frames start that run, frame after
// frame, exactly to its end; -1 for none. A tag cut short with audio behind
// it whose size lands on a later audio frame boundary looks complete: a
// frame swallows the first audio frame header, and the audio bytes behind it
// pass for padding or further frames.
qint64 audioRunningToEnd(const QByteArray& area)
{
    const unsigned char* p = ubytes(area);
    const qint64 size = area.size();
    for (qint64 i = HeaderSize; i + 4 <= size; ++i) {
        const void* ff = std::memchr(p + i, 0xFF, size_t(size - 4 - i + 1));
        if (!ff) break;
        i = static_cast<const unsigned char*>(ff) - p;
        if ((p[i + 1] & 0xE0) != 0xE0 || !isMpegHeader(p + i)) continue;
        qint64 pos = i;
        // Every frame must agree with the first on version, layer and sample rate.
        while (pos + 4 <= size && isMpegHeader(p + pos) && (p[pos + 1] & 0xFE) == (p[i + 1] & 0xFE) &&
               (p[pos + 2] & 0x0C) == (p[i + 2] & 0x0C)) {
            const int len = mpegFrameLength(p + pos);
            if (len <= 0) break;
            pos += len;
        }
        if (pos == size) return i;
    }
    return -1;
}

// The tag area length chosen for the header hd at offset (see the header file).
// The bytes of a tag from its offset, read as far as they are needed.
class AreaBytes {
  public:
    AreaBytes(const ByteSource& src, qint64 offset) : src_(src), offset_(offset) {}
    QByteArray left(qint64 n)
    {
        if (n > bytes_.size() && !complete_) {
            bytes_ = src_.read(offset_, n);
            complete_ = bytes_.size() < n;
        }
        return bytes_.left(n);
    }

  private:
    const ByteSource& src_;
    qint64 offset_;
    QByteArray bytes_;
    bool complete_ = false;
};

// confirmed: whether audio was seen to start right at the end of the area;
// parsedA: the frames of candidate A when A is chosen (read once, not twice).
qint64 chooseArea(const ByteSource& src, qint64 offset, const Header& hd, AreaBytes& bytes, bool& confirmed,
                  std::optional<Parsed>& parsedA)
{
    confirmed = false;
    const qint64 footer = footerSize(hd.major, hd.flags);
    auto parse = [&](qint64 limit, bool isA) {
        return parseFrames(bytes.left(limit), hd.major, hd.flags, isA ? footer : 0);
    };
    auto cleanCandidate = [&](qint64 c, bool needAudio) {
        const Parsed pc = parse(c, false);
        if (pc.overran) return false;
        if (needAudio && !audioStartsAt(src, offset + c)) return false;
        return !audioBetween(src, offset + pc.end, offset + c);
    };

    std::optional<qint64> alternatives[2] = {hd.b, hd.c};
    if (hd.a) {
        const qint64 a = *hd.a;
        Parsed pa = parse(a, true);
        if (!pa.overran && audioStartsAt(src, offset + a)) {
            confirmed = true;
            parsedA = std::move(pa);
            return a;
        }
        for (bool needAudio : {true, false}) {
            if (!needAudio && !pa.overran) break; // frames fit and nothing proves a larger area
            for (const auto& c : alternatives) {
                if (c && *c > a && cleanCandidate(*c, needAudio)) return *c;
            }
        }
        parsedA = std::move(pa);
        return a;
    }
    for (bool needAudio : {true, false}) {
        for (const auto& c : alternatives) {
            if (c && cleanCandidate(*c, needAudio)) return *c;
        }
    }
    return hd.b ? *hd.b : *hd.c;
}

} // namespace

namespace {
bool readsAsTag(const ByteSource& src, qint64 offset);
} // namespace

bool audioStartsAt(const ByteSource& src, qint64 pos)
{
    const qint64 size = src.size();
    if (pos == size || isRecordAt(src, pos)) return true;
    const QByteArray h = src.read(pos, 4);
    if (h.size() < 4 || !isMpegHeader(ubytes(h))) return false;
    const int len = mpegFrameLength(ubytes(h));
    if (len <= 0) return false;
    const qint64 next = pos + len;
    if (next == size || isRecordAt(src, next)) return true;
    const QByteArray n = src.read(next, 4);
    // The next header must agree on version, layer and sample rate.
    return n.size() == 4 && isMpegHeader(ubytes(n)) && (n[1] & 0xFE) == (h[1] & 0xFE) &&
           (n[2] & 0x0C) == (h[2] & 0x0C);
}

qint64 findTag(const ByteSource& src)
{
    const qint64 size = src.size();
    // A small first block: the audio (or the tag) usually starts at once.
    qint64 chunk = 4096;
    for (qint64 start = 0; start < size; start += chunk, chunk = 64 * 1024) {
        // Two bytes of overlap so that "ID3" and a sync pair across the border are seen.
        const QByteArray b = src.read(start, chunk + 2);
        const unsigned char* p = ubytes(b);
        const qsizetype n = std::min<qsizetype>(b.size(), chunk);
        for (qsizetype i = 0; i < n; ++i) {
            if (p[i] == 0xFF && i + 1 < b.size() && (p[i + 1] & 0xE0) == 0xE0) return -1;
            if (p[i] == 'I' && i + 2 < b.size() && p[i + 1] == 'D' && p[i + 2] == '3') {
                const std::optional<Header> hd = parseHeader(src, start + i);
                if (hd && (!hd->unfit || readsAsTag(src, start + i))) return start + i;
            }
        }
    }
    return -1;
}

namespace {

struct Single {
    Header hd;
    qint64 area = 0;
    Parsed parsed;
};

// The tag at offset on its own, without looking behind it.
std::optional<Single> readSingle(const ByteSource& src, qint64 offset)
{
    const std::optional<Header> hd = parseHeader(src, offset);
    if (!hd) return std::nullopt;
    AreaBytes bytes(src, offset);
    Single s;
    s.hd = *hd;
    bool confirmed = false;
    std::optional<Parsed> parsedA;
    s.area = chooseArea(src, offset, *hd, bytes, confirmed, parsedA);
    qint64 footer = hd->a && s.area == *hd->a ? footerSize(hd->major, hd->flags) : 0;
    s.parsed = parsedA ? std::move(*parsedA) : parseFrames(bytes.left(s.area), hd->major, hd->flags, footer);
    // A size that reaches past the start of the audio (a cut tag with audio
    // behind it, a wrong size): the area ends where the audio starts, so that
    // a rewrite in place never touches the audio, and a frame that ran into
    // it makes the tag one that cannot be read completely. An area that audio
    // follows at once is looked through only for audio frames that run exactly
    // to its end; the first of them may lie in any frame, since the audio
    // bytes behind it can pass for further frames or padding. A size that no
    // reading fits is cut at the first audio start.
    const qint64 end = offset + s.area;
    qint64 audio = -1;
    if (s.area <= (qint64(16) << 20)) {
        if (hd->unfit) {
            audio = firstAudio(src, offset + HeaderSize, end);
        } else if (confirmed || audioStartsAt(src, end)) {
            const qint64 at = audioRunningToEnd(bytes.left(s.area));
            audio = at >= 0 ? offset + at : -1;
        } else {
            audio = firstAudio(src, offset + HeaderSize, end);
        }
    }
    if (audio >= 0) {
        s.area = audio - offset;
        footer = 0;
        s.parsed = parseFrames(bytes.left(s.area), hd->major, hd->flags, footer);
    } else if (hd->unfit) {
        // No audio: a tag cut by the end of the file is whole when nothing
        // but zero bytes follows its frames.
        if (s.parsed.frames.isEmpty()) return std::nullopt; // no frames: only bytes that look like a header
        const QByteArray area = bytes.left(s.area);
        if (s.parsed.unread.isEmpty() &&
            !allZero(area.constData() + s.parsed.end, area.size() - s.parsed.end))
            s.parsed.unread = QStringLiteral("the tag size reaches past the end of the file");
    }
    return s;
}

bool readsAsTag(const ByteSource& src, qint64 offset)
{
    return readSingle(src, offset).has_value();
}

} // namespace

TagRead readTagAt(const ByteSource& src, qint64 offset)
{
    TagRead out;
    std::optional<Single> tag = readSingle(src, offset);
    if (!tag) return out;
    qint64 area = tag->area;

    // Stale copies of a tag right behind this one, after zero bytes only.
    qint64 pos = offset + tag->parsed.end;
    for (int round = 0; round < 8; ++round) {
        // Skip zero bytes, a few kilobytes at a time, for at most a megabyte.
        const qint64 limit = pos + (qint64(1) << 20);
        QByteArray z; // read through constData: a kept range is not copied
        qsizetype i = 0;
        while (pos < limit) {
            z = src.read(pos, 4096);
            i = 0;
            while (i < z.size() && z.constData()[i] == '\0')
                ++i;
            if (i < z.size() || z.isEmpty()) break;
            pos += z.size();
        }
        if (i >= z.size()) break;
        pos += i;
        if (!z.mid(i).startsWith("ID3") && src.read(pos, 3) != "ID3") break;
        const std::optional<Single> stale = readSingle(src, pos);
        if (!stale || pos + stale->area - offset > MaxTagArea) break;
        area = std::max(area, pos + stale->area - offset);
        out.warnings << QStringLiteral(
            "a stale copy of an ID3v2 tag follows the tag; it is removed when the tag is saved");
        pos += stale->area;
    }

    out.offset = offset;
    out.area = area;
    out.version = tag->hd.major;
    out.frames = std::move(tag->parsed.frames);
    out.unread = tag->parsed.unread;
    out.warnings = tag->parsed.warnings + out.warnings;
    return out;
}

TagRead readTag(const ByteSource& src)
{
    const qint64 offset = findTag(src);
    if (offset < 0) return {};
    return readTagAt(src, offset);
}

} // namespace vantrel::id3v2
