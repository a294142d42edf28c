#include "TagBackup.h"

#include "platform/AtomicReplace.h"
#include "platform/FileLock.h"
#include "tags/AudioFormat.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

namespace vantrel {

namespace {

constexpr qint64 kMaxKept = 64LL * 1024 * 1024; // tag bytes kept per file at most
constexpr qint64 kChunk = 1 << 16;

// The bytes at the start (head) and the end (tail) of a file that hold its tags.
struct Area {
    qint64 head = 0;
    qint64 tail = 0;
};

QByteArray readAt(QFile& f, qint64 at, qint64 n)
{
    if (!f.seek(at)) return {};
    return f.read(n);
}

// The length of the ID3v2 tag that starts the file (footer included), 0 without one.
qint64 id3v2Length(QFile& f)
{
    const QByteArray h = readAt(f, 0, 10);
    if (h.size() != 10 || !h.startsWith("ID3") || static_cast<unsigned char>(h[3]) == 0xFF) return 0;
    qint64 n = 0;
    for (int i = 6; i < 10; ++i) {
        const auto b = static_cast<unsigned char>(h[i]);
        if (b >= 0x80) return 0;
        n = (n << 7) | b;
    }
    return 10 + n + ((h[5] & 0x10) ? 10 : 0);
}

// Where the metadata blocks of a FLAC file end (every tag and picture is in
// them, the audio frames follow); 0 when they cannot be followed to the last.
qint64 flacMetadataEnd(QFile& f, qint64 size)
{
    qint64 at = id3v2Length(f);
    if (readAt(f, at, 4) != "fLaC") return 0;
    at += 4;
    for (;;) {
        const QByteArray h = readAt(f, at, 4);
        if (h.size() != 4) return 0;
        const auto b = [&](int i) { return qint64(static_cast<unsigned char>(h[i])); };
        at += 4 + ((b(1) << 16) | (b(2) << 8) | b(3));
        if (at > size) return 0;
        if (b(0) & 0x80) return at; // the last block
    }
}

Area tagArea(QFile& f, qint64 size, AudioFormat format)
{
    Area a;
    if (format == AudioFormat::Flac) {
        const qint64 end = flacMetadataEnd(f, size);
        a.head = end > 0 ? end : size;
        return a;
    }
    if (format == AudioFormat::Asf) {
        // The header object (GUID, 64-bit little-endian size) holds every ASF tag.
        const QByteArray h = readAt(f, 0, 24);
        quint64 n = 0;
        for (int i = 7; h.size() == 24 && i >= 0; --i)
            n = (n << 8) | static_cast<unsigned char>(h[16 + i]);
        a.head = n >= 30 && n <= quint64(size) ? qint64(n) : size;
        return a;
    }
    if (!takesId3(format)) {
        a.head = size; // another container: the whole file
        return a;
    }
    a.head = std::min(size, id3v2Length(f));
    // Zero padding behind the tag belongs to it: a writer may take it in or leave it.
    while (a.head < size) {
        const QByteArray chunk = readAt(f, a.head, kChunk);
        if (chunk.isEmpty()) break;
        qsizetype i = 0;
        while (i < chunk.size() && chunk[i] == 0)
            ++i;
        a.head += i;
        if (i < chunk.size()) break;
    }
    if (size - a.head >= 128 && readAt(f, size - 128, 3) == "TAG") a.tail = 128;
    return a;
}

// BLAKE2b-256 of the bytes between the areas (faster here than SHA-256), or nothing on a read error.
std::optional<QByteArray> restHash(QFile& f, qint64 size, const Area& a)
{
    QCryptographicHash hash(QCryptographicHash::Blake2b_256);
    if (!f.seek(a.head)) return std::nullopt;
    for (qint64 left = size - a.head - a.tail; left > 0;) {
        const QByteArray chunk = f.read(std::min(left, kChunk));
        if (chunk.isEmpty()) return std::nullopt;
        hash.addData(chunk);
        left -= chunk.size();
    }
    return hash.result();
}

bool openRegular(QFile& f, const QString& path, QString* error)
{
    // A pipe or a device in the file's place is never opened (it could block).
    const QFileInfo info(path);
    if (!info.exists()) {
        if (error) *error = QStringLiteral("File no longer exists!");
        return false;
    }
    if (!info.isFile()) {
        if (error) *error = QStringLiteral("not a regular file");
        return false;
    }
    f.setFileName(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace

QJsonObject TagBackup::toJson() const
{
    QJsonArray rs;
    for (const Region& r : regions)
        rs.append(QJsonObject{{QStringLiteral("at"), double(r.offset)},
                              {QStringLiteral("data"), QString::fromLatin1(r.bytes.toBase64())}});
    return QJsonObject{{QStringLiteral("op"), QStringLiteral("tags")},
                       {QStringLiteral("path"), path},
                       {QStringLiteral("size"), double(size)},
                       {QStringLiteral("regions"), rs},
                       {QStringLiteral("rest"), double(restSize)},
                       {QStringLiteral("blake2b"), QString::fromLatin1(restHash.toHex())}};
}

std::optional<TagBackup> TagBackup::fromJson(const QJsonObject& o)
{
    TagBackup b;
    b.path = o.value(QStringLiteral("path")).toString();
    b.size = qint64(o.value(QStringLiteral("size")).toDouble(-1));
    b.restSize = qint64(o.value(QStringLiteral("rest")).toDouble(-1));
    b.restHash = QByteArray::fromHex(o.value(QStringLiteral("blake2b")).toString().toLatin1());
    if (b.path.isEmpty() || b.size < 0 || b.restSize < 0 || b.restHash.size() != 32) return std::nullopt;
    qint64 end = 0;
    qint64 kept = 0;
    for (const QJsonValue& v : o.value(QStringLiteral("regions")).toArray()) {
        const QJsonObject r = v.toObject();
        const QByteArray data = r.value(QStringLiteral("data")).toString().toLatin1();
        const auto decoded = QByteArray::fromBase64Encoding(data, QByteArray::AbortOnBase64DecodingErrors);
        const qint64 at = qint64(r.value(QStringLiteral("at")).toDouble(-1));
        if (!decoded || at < end) return std::nullopt;
        b.regions.append({at, *decoded});
        end = at + decoded.decoded.size();
        kept += decoded.decoded.size();
    }
    if (end > b.size || kept + b.restSize != b.size) return std::nullopt;
    return b;
}

std::optional<TagBackup> backupTags(const QString& path, QString* error)
{
    QFile f;
    if (!openRegular(f, path, error)) return std::nullopt;
    TagBackup b;
    b.path = path;
    b.size = f.size();
    const Area a = tagArea(f, b.size, detectAudioFormat(path));
    if (a.head + a.tail > kMaxKept) {
        if (error) *error = QStringLiteral("its tags are too large to keep for undo");
        return std::nullopt;
    }
    const auto hash = restHash(f, b.size, a);
    const QByteArray head = readAt(f, 0, a.head);
    const QByteArray tail = readAt(f, b.size - a.tail, a.tail);
    if (!hash || head.size() != a.head || tail.size() != a.tail) {
        if (error) *error = f.errorString();
        return std::nullopt;
    }
    if (a.head > 0) b.regions.append({0, head});
    if (a.tail > 0) b.regions.append({b.size - a.tail, tail});
    b.restSize = b.size - a.head - a.tail;
    b.restHash = *hash;
    return b;
}

TagRestore restoreTags(const TagBackup& b, QString* reason)
{
    auto say = [reason](TagRestore r, const QString& why) {
        if (reason) *reason = why;
        return r;
    };
    QString why;
    FileLock lock;
    QFile f;
    if (!openRegular(f, b.path, &why) || !lock.acquire(b.path, &why)) return say(TagRestore::Failed, why);
    const qint64 size = f.size();
    const Area a = tagArea(f, size, detectAudioFormat(b.path));
    const auto hash = restHash(f, size, a);
    if (!hash) return say(TagRestore::Failed, f.errorString());
    if (size - a.head - a.tail != b.restSize || *hash != b.restHash)
        return say(TagRestore::Refused, QStringLiteral("its audio has changed since its tags were written"));
    bool same = size == b.size;
    for (qsizetype i = 0; same && i < b.regions.size(); ++i)
        same = readAt(f, b.regions[i].offset, b.regions[i].bytes.size()) == b.regions[i].bytes;
    if (same) return say(TagRestore::AlreadyThere, {});

    // The regions in their old places, the audio between them as it is now.
    const ContentWriter write = [&](QFile& out, QString& error) {
        if (!f.seek(a.head)) {
            error = f.errorString();
            return false;
        }
        auto copy = [&](qint64 n) {
            while (n > 0) {
                const QByteArray chunk = f.read(std::min(n, kChunk));
                if (chunk.isEmpty() || out.write(chunk) != chunk.size()) return false;
                n -= chunk.size();
            }
            return true;
        };
        qint64 pos = 0;
        for (const TagBackup::Region& r : b.regions) {
            if (!copy(r.offset - pos) || out.write(r.bytes) != r.bytes.size()) {
                error = out.errorString();
                return false;
            }
            pos = r.offset + r.bytes.size();
        }
        if (!copy(b.size - pos)) {
            error = out.errorString();
            return false;
        }
        return true;
    };
    if (!replaceFileAtomically(b.path, write, &why)) return say(TagRestore::Failed, why);
    return say(TagRestore::Restored, {});
}

} // namespace vantrel
