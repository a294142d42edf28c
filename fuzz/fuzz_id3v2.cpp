// Feeds arbitrary bytes to the ID3v2 reader, both on a buffer and through the
// tag class on a real file, then writes a changed title back and checks that
// everything after the old tag area survived and that the title reads back.
#include "tags/Id3v2Format.h"
#include "tags/Id3v2Reader.h"
#include "tags/cMP3ID3v2.h"

#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

using namespace vantrel;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray in(reinterpret_cast<const char*>(data), qsizetype(size));

    id3v2::MemorySource src(in);
    const id3v2::TagRead t = id3v2::readTag(src);
    for (const id3v2::ReadFrame& f : t.frames) {
        (void)id3v2::content23(f.frame, 1 << 16);
        (void)id3v2::reencodeFor23(f.frame.id, f.frame.body);
    }
    if (t.offset >= 0 && (t.area < 10 || t.offset + t.area > in.size())) std::abort();

    static const QString path = QDir::tempPath() + QStringLiteral("/fuzz_id3v2_%1.mp3").arg(::getpid());
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(in) != in.size()) return 0;
    }
    cMP3ID3v2 tag;
    tag.setMP3File(path);
    (void)tag.Title();
    (void)tag.Comment();
    (void)tag.Genre();
    tag.setTitle(QStringLiteral("fuzz \u00e9\u4e2d"));
    if (!tag.Update()) return 0;

    const QByteArray after = readAll(path);
    const qint64 kept = t.offset == 0 ? t.area : 0;
    const QByteArray audio = in.mid(kept);
    if (!after.endsWith(audio)) std::abort(); // audio (or anything past the old tag) was touched
    cMP3ID3v2 again;
    again.setMP3File(path);
    if (again.Title() != QStringLiteral("fuzz \u00e9\u4e2d") || again.tagOffset() != 0) std::abort();
    return 0;
}
