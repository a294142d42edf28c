#include "tags/Id3v2Format.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

namespace vantrel::id3v2 {

namespace {

unsigned char byteAt(const char* p, int i)
{
    return static_cast<unsigned char>(p[i]);
}

bool isUtf16(unsigned char enc)
{
    return enc == Utf16Bom || enc == Utf16BE;
}

} // namespace

quint32 plain32(const char* p, int n)
{
    quint32 v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | byteAt(p, i);
    return v;
}

quint64 plain64(const char* p, int n)
{
    quint64 v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | byteAt(p, i);
    return v;
}

std::optional<quint32> synchsafe32(const char* p)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i) {
        if (byteAt(p, i) & 0x80) return std::nullopt;
        v = (v << 7) | byteAt(p, i);
    }
    return v;
}

QByteArray toPlain32(quint32 v)
{
    QByteArray out(4, '\0');
    for (int i = 3; i >= 0; --i) {
        out[i] = static_cast<char>(v & 0xFF);
        v >>= 8;
    }
    return out;
}

QByteArray toSynchsafe32(quint32 v)
{
    QByteArray out(4, '\0');
    for (int i = 3; i >= 0; --i) {
        out[i] = static_cast<char>(v & 0x7F);
        v >>= 7;
    }
    return out;
}

QByteArray removeUnsync(const QByteArray& in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        out.append(in[i]);
        if (static_cast<unsigned char>(in[i]) == 0xFF && i + 1 < in.size() && in[i + 1] == '\0') ++i;
    }
    return out;
}

bool isValidFrameId(const char* p, int n)
{
    for (int i = 0; i < n; ++i) {
        const char c = p[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

bool isValidFrameId(const QString& id)
{
    if (id.size() != 4) return false;
    const QByteArray b = id.toLatin1();
    return isValidFrameId(b.constData(), 4);
}

// The published correspondence of ID3v2.2 and ID3v2.3 frame ids. CRM
// (encrypted meta frame) has no counterpart.
QString mapV22Id(const QString& id22)
{
    static const QHash<QString, QString> table = {
        {"BUF", "RBUF"}, {"CNT", "PCNT"}, {"COM", "COMM"}, {"CRA", "AENC"}, {"ETC", "ETCO"}, {"EQU", "EQUA"},
        {"GEO", "GEOB"}, {"IPL", "IPLS"}, {"LNK", "LINK"}, {"MCI", "MCDI"}, {"MLL", "MLLT"}, {"PIC", "APIC"},
        {"POP", "POPM"}, {"REV", "RVRB"}, {"RVA", "RVAD"}, {"SLT", "SYLT"}, {"STC", "SYTC"}, {"TAL", "TALB"},
        {"TBP", "TBPM"}, {"TCM", "TCOM"}, {"TCO", "TCON"}, {"TCR", "TCOP"}, {"TDA", "TDAT"}, {"TDY", "TDLY"},
        {"TEN", "TENC"}, {"TFT", "TFLT"}, {"TIM", "TIME"}, {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"},
        {"TMT", "TMED"}, {"TOA", "TOPE"}, {"TOF", "TOFN"}, {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TOT", "TOAL"},
        {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"}, {"TP4", "TPE4"}, {"TPA", "TPOS"}, {"TPB", "TPUB"},
        {"TRC", "TSRC"}, {"TRD", "TRDA"}, {"TRK", "TRCK"}, {"TSI", "TSIZ"}, {"TSS", "TSSE"}, {"TT1", "TIT1"},
        {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TXT", "TEXT"}, {"TXX", "TXXX"}, {"TYE", "TYER"}, {"UFI", "UFID"},
        {"ULT", "USLT"}, {"WAF", "WOAF"}, {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"},
        {"WPB", "WPUB"}, {"WXX", "WXXX"},
    };
    return table.value(id22);
}

bool v22FillsField(const QString& id22)
{
    static const QStringList ids = {"TP1", "TT2", "TAL", "COM", "TRK", "TEN", "TYE", "TCO"};
    return ids.contains(id22);
}

QByteArray picToApic(const QByteArray& pic)
{
    if (pic.size() < 4) return pic;
    const QByteArray format = pic.mid(1, 3);
    QByteArray mime;
    const QByteArray upper = format.toUpper();
    if (upper == "JPG")
        mime = "image/jpeg";
    else if (upper == "PNG")
        mime = "image/png";
    else if (format == "-->")
        mime = "-->";
    else
        mime = "image/" + format.toLower();
    QByteArray out;
    out.reserve(pic.size() + mime.size());
    out.append(pic[0]);
    out.append(mime);
    out.append('\0');
    out.append(pic.mid(4));
    return out;
}

namespace {

// Index of the first terminator (aligned for UTF-16), -1 when there is none.
int findTerminator(unsigned char enc, const char* p, int n)
{
    if (isUtf16(enc)) {
        for (int i = 0; i + 1 < n; i += 2) {
            if (p[i] == '\0' && p[i + 1] == '\0') return i;
        }
        return -1;
    }
    for (int i = 0; i < n; ++i) {
        if (p[i] == '\0') return i;
    }
    return -1;
}

} // namespace

int terminatedLength(unsigned char enc, const char* p, int n)
{
    const int t = findTerminator(enc, p, n);
    return t < 0 ? n : t + (isUtf16(enc) ? 2 : 1);
}

QList<QByteArray> splitStrings(unsigned char enc, const QByteArray& bytes, int maxParts)
{
    QList<QByteArray> parts;
    const int term = isUtf16(enc) ? 2 : 1;
    const int n = int(bytes.size());
    int pos = 0;
    while (pos < n) {
        if (maxParts > 0 && parts.size() == maxParts - 1) {
            parts.append(bytes.mid(pos));
            break;
        }
        const int t = findTerminator(enc, bytes.constData() + pos, n - pos);
        const int len = t < 0 ? n - pos : t + term;
        parts.append(bytes.mid(pos, t < 0 ? len : t));
        pos += len;
    }
    return parts;
}

QString decodeString(unsigned char enc, const QByteArray& bytes)
{
    QString text;
    switch (enc) {
    case Utf16Bom:
    case Utf16BE: {
        QByteArray b = bytes;
        if (b.size() % 2) b.chop(1);
        bool bigEndian = enc == Utf16BE;
        qsizetype start = 0;
        if (b.size() >= 2) {
            const auto b0 = static_cast<unsigned char>(b[0]);
            const auto b1 = static_cast<unsigned char>(b[1]);
            if (b0 == 0xFF && b1 == 0xFE) {
                bigEndian = false;
                start = 2;
            } else if (b0 == 0xFE && b1 == 0xFF) {
                bigEndian = true;
                start = 2;
            }
        }
        text.reserve((b.size() - start) / 2);
        for (qsizetype i = start; i + 1 < b.size(); i += 2) {
            const auto lo = static_cast<unsigned char>(b[bigEndian ? i + 1 : i]);
            const auto hi = static_cast<unsigned char>(b[bigEndian ? i : i + 1]);
            text.append(QChar(static_cast<char16_t>((hi << 8) | lo)));
        }
        break;
    }
    case Utf8:
        text = QString::fromUtf8(bytes);
        break;
    default:
        text = QString::fromLatin1(bytes);
        break;
    }
    while (text.endsWith(QChar(0)))
        text.chop(1);
    return text;
}

unsigned char chooseEncoding(const QStringList& texts)
{
    for (const QString& t : texts) {
        for (QChar c : t) {
            if (c.unicode() > 0xFF) return Utf16Bom;
        }
    }
    return Latin1;
}

QByteArray encodeString(unsigned char enc, const QString& text, bool terminate)
{
    QByteArray out;
    if (enc == Utf16Bom) {
        out.reserve(2 + text.size() * 2 + 2);
        out.append(char(0xFF));
        out.append(char(0xFE));
        for (QChar c : text) {
            out.append(static_cast<char>(c.unicode() & 0xFF));
            out.append(static_cast<char>(c.unicode() >> 8));
        }
        if (terminate) out.append(2, '\0');
        return out;
    }
    out = text.toLatin1();
    if (terminate) out.append('\0');
    return out;
}

namespace {

// Re-encodes count consecutive strings of body starting at pos (the last one
// may run to the end when toEnd is set) from enc into UTF-16 with BOM.
// Returns false when the body is too short.
bool reencodeStrings(const QByteArray& body, int& pos, unsigned char enc, int count, bool toEnd,
                     QByteArray& out)
{
    for (int i = 0; i < count; ++i) {
        if (pos > body.size()) return false;
        const bool last = toEnd && i == count - 1;
        if (last) {
            // Every remaining string (several values of a 2.4 text frame).
            const QList<QByteArray> parts = splitStrings(enc, body.mid(pos));
            const int term = isUtf16(enc) ? 2 : 1;
            qsizetype consumed = parts.isEmpty() ? 0 : (parts.size() - 1) * term;
            for (const QByteArray& part : parts)
                consumed += part.size();
            const bool trailing = consumed < body.size() - pos;
            for (int k = 0; k < parts.size(); ++k) {
                const bool terminate = k + 1 < parts.size() || trailing;
                out.append(encodeString(Utf16Bom, decodeString(enc, parts[k]), terminate));
            }
            pos = int(body.size());
        } else {
            const int len = terminatedLength(enc, body.constData() + pos, int(body.size()) - pos);
            const QByteArray raw = body.mid(pos, len);
            out.append(encodeString(Utf16Bom, decodeString(enc, raw), true));
            pos += len;
        }
    }
    return true;
}

} // namespace

QByteArray reencodeFor23(const QString& id, const QByteArray& body)
{
    if (body.isEmpty()) return body;
    const auto enc = static_cast<unsigned char>(body[0]);
    if (enc != Utf8 && enc != Utf16BE) return body;

    QByteArray out;
    out.append(char(Utf16Bom));
    int pos = 1;
    auto copyLatin1String = [&]() { // a zero-terminated Latin-1 field (MIME type, price)
        const int len = terminatedLength(Latin1, body.constData() + pos, int(body.size()) - pos);
        out.append(body.mid(pos, len));
        pos += len;
    };
    auto copyBytes = [&](int n) {
        out.append(body.mid(pos, n));
        pos += n;
    };

    bool ok = true;
    if (id.startsWith('T')) {
        ok = reencodeStrings(body, pos, enc, 1, true, out);
    } else if (id == "COMM" || id == "USLT") {
        if (body.size() < 4) return body;
        copyBytes(3); // language
        ok = reencodeStrings(body, pos, enc, 2, true, out);
    } else if (id == "USER") {
        if (body.size() < 4) return body;
        copyBytes(3);
        ok = reencodeStrings(body, pos, enc, 1, true, out);
    } else if (id == "WXXX") {
        ok = reencodeStrings(body, pos, enc, 1, false, out);
        out.append(body.mid(pos)); // the URL is always Latin-1
    } else if (id == "APIC") {
        copyLatin1String(); // MIME type
        if (pos >= body.size()) return body;
        copyBytes(1); // picture type
        ok = reencodeStrings(body, pos, enc, 1, false, out);
        out.append(body.mid(pos)); // picture data
    } else if (id == "GEOB") {
        copyLatin1String();
        ok = reencodeStrings(body, pos, enc, 2, false, out); // file name, description
        out.append(body.mid(pos));
    } else {
        return body;
    }
    return ok ? out : body;
}

bool isV24OnlyFrame(const QString& id)
{
    static const QStringList ids = {"ASPI", "EQU2", "RVA2", "SEEK", "SIGN", "TDEN", "TDOR", "TDRC", "TDRL",
                                    "TDTG", "TIPL", "TMCL", "TMOO", "TPRO", "TSOA", "TSOP", "TSOT", "TSST"};
    return ids.contains(id);
}

namespace {

// A genre list in the 2.3 form: references first, then the names.
QString joinGenres(const QStringList& values)
{
    QString refs;
    QStringList names;
    for (const QString& v : values) {
        bool ok = false;
        const int n = v.toInt(&ok);
        const bool number = ok && n >= 0 && n <= 255 && v.size() <= 3 && v.front().isDigit();
        if (number || v == QLatin1String("RX") || v == QLatin1String("CR"))
            refs += QLatin1Char('(') + v + QLatin1Char(')');
        else
            names << v;
    }
    return refs + names.join(QLatin1Char('/'));
}

} // namespace

QByteArray joinValuesFor23(const QString& id, const QByteArray& body)
{
    if (body.isEmpty() || !id.startsWith(QLatin1Char('T')) || isV24OnlyFrame(id)) return body;
    const auto enc = static_cast<unsigned char>(body[0]);
    QList<QByteArray> parts = splitStrings(enc, body.mid(1));
    QString description;
    const bool userFrame = id == QLatin1String("TXXX");
    if (userFrame) {
        if (parts.isEmpty()) return body;
        description = decodeString(enc, parts.takeFirst());
    }
    if (parts.size() < 2) return body;
    QStringList values;
    for (const QByteArray& part : std::as_const(parts)) {
        const QString v = decodeString(enc, part);
        if (!v.isEmpty()) values << v;
    }
    const QString joined = id == QLatin1String("TCON") ? joinGenres(values) : values.join(QLatin1Char('/'));
    const unsigned char out = enc == Latin1 ? Latin1 : Utf16Bom;
    QByteArray result(1, char(out));
    if (userFrame) result += encodeString(out, description, true);
    return result + encodeString(out, joined, false);
}

int contentOffset23(quint16 flags, int bodySize)
{
    int off = 0;
    if (flags & V23Compressed) off += 4;
    if (flags & V23Encrypted) off += 1;
    if (flags & V23GroupingId) off += 1;
    return off <= bodySize ? off : -1;
}

std::optional<QByteArray> content23(const Frame23& f, int maxSize)
{
    const int off = contentOffset23(f.flags, int(f.body.size()));
    if (off < 0 || (f.flags & V23Encrypted)) return std::nullopt;
    if (!(f.flags & V23Compressed)) return f.body.mid(off);
    const quint32 declared = plain32(f.body.constData(), 4);
    if (declared > quint32(maxSize)) return std::nullopt;
    // qUncompress wants the expected size in front of the zlib stream.
    QByteArray z = toPlain32(declared) + f.body.mid(off);
    QByteArray data = qUncompress(z);
    if (data.isEmpty() && declared != 0) return std::nullopt;
    if (data.size() > maxSize) return std::nullopt;
    return data;
}

std::optional<Frame23> convertV24Frame(const QString& id, quint16 flags24, QByteArray body, bool tagUnsync)
{
    Frame23 f;
    f.id = id;
    if (flags24 & V24TagAlterPreservation) f.flags |= V23TagAlterPreservation;
    if (flags24 & V24FileAlterPreservation) f.flags |= V23FileAlterPreservation;
    if (flags24 & V24ReadOnly) f.flags |= V23ReadOnly;

    if ((flags24 & V24Unsynchronised) || tagUnsync) body = removeUnsync(body);

    const bool grouped = flags24 & V24GroupingId;
    const bool compressed = flags24 & V24Compressed;
    const bool encrypted = flags24 & V24Encrypted;
    const bool hasLength = flags24 & V24DataLength;
    int pos = 0;
    char group = 0;
    char method = 0;
    quint32 length = 0;
    if (grouped) {
        if (pos + 1 > body.size()) return std::nullopt;
        group = body[pos++];
    }
    if (encrypted) {
        if (pos + 1 > body.size()) return std::nullopt;
        method = body[pos++];
    }
    if (hasLength) {
        if (pos + 4 > body.size()) return std::nullopt;
        const auto v = synchsafe32(body.constData() + pos);
        length = v ? *v : plain32(body.constData() + pos, 4);
        pos += 4;
    }
    QByteArray payload = body.mid(pos);

    if (compressed && !hasLength) {
        // 2.3 needs the decompressed size; find it by inflating.
        if (encrypted) return std::nullopt;
        const QByteArray data = qUncompress(toPlain32(quint32(payload.size()) * 4) + payload);
        if (data.isEmpty()) return std::nullopt;
        length = quint32(data.size());
    }

    if (compressed) {
        f.flags |= V23Compressed;
        f.body.append(toPlain32(length));
    }
    if (encrypted) {
        f.flags |= V23Encrypted;
        f.body.append(method);
    }
    if (grouped) {
        f.flags |= V23GroupingId;
        f.body.append(group);
    }
    if (!compressed && !encrypted) payload = reencodeFor23(id, joinValuesFor23(id, payload));
    f.body.append(payload);
    return f;
}

namespace {

// The strings of a text frame's content, decoded; empty for content that
// cannot be read (encrypted, or not decompressible).
QStringList textValues(const Frame23& f)
{
    const std::optional<QByteArray> c = content23(f, 1 << 20);
    if (!c || c->isEmpty()) return {};
    const auto enc = static_cast<unsigned char>(c->at(0));
    QStringList out;
    for (const QByteArray& part : splitStrings(enc, c->mid(1)))
        out << decodeString(enc, part);
    return out;
}

Frame23 latin1Frame(const char* id, const QString& text)
{
    return Frame23{QString::fromLatin1(id), 0, QByteArray(1, '\0') + text.toLatin1()};
}

} // namespace

QList<Frame23> v23Equivalents(const QList<Frame23>& frames)
{
    // Most tags hold none of the 2.4-only frames: skip the date parsing then,
    // it is on the path of every tag read.
    const bool anySource = std::any_of(frames.begin(), frames.end(), [](const Frame23& f) {
        return f.id == QLatin1String("TDRC") || f.id == QLatin1String("TDOR") ||
               f.id == QLatin1String("TIPL") || f.id == QLatin1String("TMCL");
    });
    if (!anySource) return {};
    auto find = [&](const char* id) -> const Frame23* {
        for (const Frame23& f : frames) {
            if (f.id == QLatin1String(id)) return &f;
        }
        return nullptr;
    };
    auto firstValue = [&](const char* id) {
        const Frame23* f = find(id);
        const QStringList values = f ? textValues(*f) : QStringList();
        return values.isEmpty() ? QString() : values.front();
    };
    QList<Frame23> out;
    auto add = [&](const char* id, const QString& text) {
        if (!find(id)) out << latin1Frame(id, text);
    };

    // yyyy[-MM[-dd[THH[:mm[:ss]]]]]
    static const QRegularExpression date(
        QStringLiteral("^(\\d{4})(?:-(\\d\\d)(?:-(\\d\\d)(?:T(\\d\\d)(?::(\\d\\d))?)?)?)?"));
    const QRegularExpressionMatch recorded = date.match(firstValue("TDRC"));
    if (recorded.hasMatch()) {
        add("TYER", recorded.captured(1));
        if (recorded.hasCaptured(3)) add("TDAT", recorded.captured(3) + recorded.captured(2));
        if (recorded.hasCaptured(4))
            add("TIME", recorded.captured(4) +
                            (recorded.hasCaptured(5) ? recorded.captured(5) : QStringLiteral("00")));
    }
    const QRegularExpressionMatch original = date.match(firstValue("TDOR"));
    if (original.hasMatch()) add("TORY", original.captured(1));

    // Involvement/person pairs and instrument/musician pairs share one list in 2.3.
    QStringList people;
    for (const char* id : {"TIPL", "TMCL"}) {
        if (const Frame23* f = find(id)) {
            QStringList values = textValues(*f);
            if (values.size() % 2) values << QString();
            people << values;
        }
    }
    if (!people.isEmpty() && !find("IPLS")) {
        const unsigned char enc = chooseEncoding(people);
        QByteArray body(1, char(enc));
        for (const QString& s : std::as_const(people))
            body += encodeString(enc, s, true);
        out << Frame23{QStringLiteral("IPLS"), 0, body};
    }
    return out;
}

bool isMpegHeader(const unsigned char* p)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    const int version = (p[1] >> 3) & 3; // 0: 2.5, 1: reserved, 2: 2, 3: 1
    const int layer = (p[1] >> 1) & 3;   // 0: reserved
    const int bitrate = p[2] >> 4;
    const int rate = (p[2] >> 2) & 3;
    return version != 1 && layer != 0 && bitrate != 15 && rate != 3;
}

int mpegFrameLength(const unsigned char* p)
{
    static const int bitrates[2][3][16] = {
        // MPEG-1: layer I, II, III
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
        // MPEG-2 and 2.5: layer I, II, III
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
    };
    static const int rates[4][3] = {
        {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    if (!isMpegHeader(p)) return 0;
    const int version = (p[1] >> 3) & 3;
    const int layer = 4 - ((p[1] >> 1) & 3); // 1, 2 or 3
    const int kbps = bitrates[version == 3 ? 0 : 1][layer - 1][p[2] >> 4];
    const int rate = rates[version][(p[2] >> 2) & 3];
    const int padding = (p[2] >> 1) & 1;
    if (kbps == 0 || rate == 0) return 0;
    if (layer == 1) return (12 * kbps * 1000 / rate + padding) * 4;
    if (layer == 3 && version != 3) return 72 * kbps * 1000 / rate + padding;
    return 144 * kbps * 1000 / rate + padding;
}

} // namespace vantrel::id3v2
