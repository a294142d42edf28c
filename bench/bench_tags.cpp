// Reading both tags of 10,000 small tagged files (warm cache): the program's
// own tag classes against TagLib reading the same files in the same run.
// Usage: bench_tags [FILES] [ROUNDS]
#include "platform/OpenFile.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <vector>

namespace {

QByteArray be32(quint32 n)
{
    QByteArray b;
    for (int s = 24; s >= 0; s -= 8)
        b += static_cast<char>((n >> s) & 0xFF);
    return b;
}

QByteArray textFrame(const char* id, const QByteArray& text)
{
    const QByteArray body = '\0' + text;
    return QByteArray(id, 4) + be32(quint32(body.size())) + QByteArray(2, '\0') + body;
}

// A v2.3 tag of seven frames and 512 bytes of padding, four MPEG frames and
// an ID3v1.1 record: about 2.5 KB, like a short clip with a typical tag.
QByteArray sampleFile(int i)
{
    const QByteArray n = QByteArray::number(i);
    QByteArray frames = textFrame("TIT2", "Title number " + n) + textFrame("TPE1", "Some Artist " + n) +
                        textFrame("TALB", "An Album") + textFrame("TYER", "1999") +
                        textFrame("TRCK", QByteArray::number(i % 20 + 1)) + textFrame("TCON", "(17)") +
                        textFrame("TENC", "Encoder");
    const QByteArray comm = QByteArray("\0eng\0", 5) + "A comment " + n;
    frames += QByteArray("COMM", 4) + be32(quint32(comm.size())) + QByteArray(2, '\0') + comm;
    frames += QByteArray(512, '\0');
    const auto size = static_cast<quint32>(frames.size());
    QByteArray file("ID3\x03\x00\x00", 6);
    for (int s = 21; s >= 0; s -= 7)
        file += static_cast<char>((size >> s) & 0x7F);
    file += frames;
    QByteArray mpeg(417, '\0');
    mpeg[0] = char(0xFF);
    mpeg[1] = char(0xFB);
    mpeg[2] = char(0x90);
    mpeg[3] = char(0x64);
    for (int k = 0; k < 4; ++k)
        file += mpeg;
    QByteArray v1("TAG", 3);
    auto field = [&](const QByteArray& v, int w) {
        v1 += v.left(w) + QByteArray(w - std::min<int>(w, int(v.size())), '\0');
    };
    field("Title number " + n, 30);
    field("Some Artist " + n, 30);
    field("An Album", 30);
    field("1999", 4);
    field("A comment", 28);
    v1 += '\0';
    v1 += static_cast<char>(i % 20 + 1);
    v1 += static_cast<char>(17);
    return file + v1;
}

using Clock = std::chrono::steady_clock;

// Sums lengths of what was read so that nothing can be optimised away and
// both readers can be checked to have seen the same amount of text.
long long readOurs(const std::vector<QString>& files)
{
    long long seen = 0;
    vantrel::cMP3ID3v1 v1;
    vantrel::cMP3ID3v2 v2;
    for (const QString& f : files) {
        // One open for both tags, its start and its end read once, as the tag window reads.
        vantrel::OpenFile file(f, vantrel::OpenFile::Mode::Read);
        file.keepEnds(16 * 1024, 128);
        v1.setMP3File(f, file);
        v2.setMP3File(f, file);
        seen += v1.Title().size() + v1.Artist().size() + v2.Title().size() + v2.Artist().size();
    }
    return seen;
}

long long readTagLib(const std::vector<QString>& files)
{
    long long seen = 0;
    for (const QString& f : files) {
        TagLib::MPEG::File file(QFile::encodeName(f).constData(), false);
        if (TagLib::ID3v1::Tag* t = file.ID3v1Tag()) seen += t->title().size() + t->artist().size();
        if (TagLib::ID3v2::Tag* t = file.ID3v2Tag()) seen += t->title().size() + t->artist().size();
    }
    return seen;
}

template <typename F> double seconds(F&& f, long long& seen)
{
    const auto t0 = Clock::now();
    seen = f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir dir;
    if (!dir.isValid() || count <= 0 || rounds <= 0) return 2;
    std::vector<QString> files;
    files.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QString path = dir.filePath(QStringLiteral("f%1.mp3").arg(i, 5, 10, QLatin1Char('0')));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(sampleFile(i)) < 0) return 1;
        files.push_back(path);
    }

    // One untimed pass of each warms the cache.
    readOurs(files);
    readTagLib(files);

    double bestOurs = 1e9, bestTagLib = 1e9;
    long long seenOurs = 0, seenTagLib = 0;
    for (int r = 0; r < rounds; ++r) {
        bestOurs = std::min(bestOurs, seconds([&] { return readOurs(files); }, seenOurs));
        bestTagLib = std::min(bestTagLib, seconds([&] { return readTagLib(files); }, seenTagLib));
    }
    std::printf("files: %d, best of %d rounds\n", count, rounds);
    std::printf("vantrel (cMP3ID3v1 + cMP3ID3v2): %8.1f ms  (%.1f us/file)\n", bestOurs * 1e3,
                bestOurs * 1e6 / count);
    std::printf("TagLib (MPEG::File, both tags):  %8.1f ms  (%.1f us/file)\n", bestTagLib * 1e3,
                bestTagLib * 1e6 / count);
    std::printf("ratio TagLib / vantrel: %.2f (above 1 means vantrel is faster)\n", bestTagLib / bestOurs);
    if (seenOurs != seenTagLib)
        std::printf("note: characters seen differ (%lld vs %lld)\n", seenOurs, seenTagLib);
    return 0;
}
