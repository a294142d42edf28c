// Simulation of 10,000 FLAC files against 10,000 MP3 files with the same
// names and tags (names from tags, warm cache). A plain timed program:
//
//   bench_formats [COUNT]   (default 10000; files in a temporary folder)
//
// Each library is simulated once to warm the cache, then five times in turn;
// the best and the worst time of each and the ratio of the best are printed.
#include "batch/FileList.h"
#include "batch/Simulation.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace vantrel;

namespace {

QByteArray be(quint32 v, int n)
{
    QByteArray out;
    for (int i = n - 1; i >= 0; --i)
        out.append(char((v >> (8 * i)) & 0xFF));
    return out;
}

QByteArray le32(quint32 v)
{
    QByteArray b = be(v, 4);
    std::reverse(b.begin(), b.end());
    return b;
}

struct Fields {
    QByteArray artist, title, album, track;
};

Fields fieldsOf(int i)
{
    return {"Artist " + QByteArray::number(i % 997), "Song title number " + QByteArray::number(i),
            "Album " + QByteArray::number(i % 89), QByteArray::number(i % 20 + 1) + "/20"};
}

// An ID3v2.3 tag with the four fields, two MPEG frames.
QByteArray mp3Bytes(const Fields& f)
{
    QByteArray frames;
    for (const auto& [id, text] : {std::pair{"TPE1", f.artist}, std::pair{"TIT2", f.title},
                                   std::pair{"TALB", f.album}, std::pair{"TRCK", f.track}})
        frames += QByteArray(id) + be(quint32(text.size() + 1), 4) + QByteArray(3, '\0') + text;
    const quint32 size = quint32(frames.size() + 256);
    const QByteArray synchsafe = QByteArray(1, char((size >> 21) & 0x7F)) + char((size >> 14) & 0x7F) +
                                 char((size >> 7) & 0x7F) + char(size & 0x7F);
    QByteArray audio(417 * 2, '\0');
    for (int k = 0; k < 2; ++k)
        audio.replace(k * 417, 4, QByteArray("\xFF\xFB\x90\x64", 4));
    return QByteArray("ID3\x03\x00\x00", 6) + synchsafe + frames + QByteArray(256, '\0') + audio;
}

// STREAMINFO, a Vorbis comment with the four fields, padding, then frame bytes.
QByteArray flacBytes(const Fields& f)
{
    const QByteArray info = be(4096, 2) + be(4096, 2) + be(0, 3) + be(0, 3) +
                            QByteArray("\x0A\xC4\x42\xF0\x00\x00\x00\x00", 8) + QByteArray(16, '\0');
    QByteArray comment = le32(6) + "vendor" + le32(4);
    for (const QByteArray& c :
         {"ARTIST=" + f.artist, "TITLE=" + f.title, "ALBUM=" + f.album, "TRACKNUMBER=" + f.track}) {
        comment += le32(quint32(c.size())) + c;
    }
    return QByteArray("fLaC") + be(0, 1) + be(34, 3) + info + be(4, 1) + be(quint32(comment.size()), 3) +
           comment + be(0x81, 1) + be(256, 3) + QByteArray(256, '\0') + QByteArray("\xFF\xF8\x69\x08", 4) +
           QByteArray(830, '\x11');
}

QStringList makeFiles(const QString& root, int count, const char* ext)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString folder = root + QStringLiteral("/%1/d%2").arg(QLatin1String(ext)).arg(i % 100);
        if (i < 100) QDir().mkpath(folder);
        const QString path =
            folder + QStringLiteral("/%1_-_artist_%2_-_song_title_number_%3_[www.example.com].%4")
                         .arg(i % 20 + 1, 2, 10, QLatin1Char('0'))
                         .arg(i % 997)
                         .arg(i)
                         .arg(QLatin1String(ext));
        QFile file(path);
        const Fields f = fieldsOf(i);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(ext == QByteArrayView("flac") ? flacBytes(f) : mp3Bytes(f)) < 0)
            return {};
        paths << path;
    }
    return paths;
}

double runOnce(const QStringList& paths)
{
    FileList list;
    for (const QString& p : paths)
        list.append(p);
    list.listviewthem();
    SimulationOptions o;
    o.scheme.choice = SchemeChoice::Custom; // album and track too
    ScriptedPrompter prompter;
    QString log;
    QElapsedTimer t;
    t.start();
    const SimulationRun r = fixlist(list, o, prompter, log);
    const double s = double(t.nsecsElapsed()) / 1e9;
    // Every file must have been named from its tags, or the timing means nothing.
    if (r.processed != paths.size() ||
        !list.row(0).after.startsWith(QLatin1String("Artist 0 - Album 0 - Song")))
        std::fprintf(stderr, "unexpected result: %s\n", qPrintable(list.row(0).after));
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    const QStringList mp3 = makeFiles(temp.path(), count, "mp3"),
                      flac = makeFiles(temp.path(), count, "flac");
    if (mp3.isEmpty() || flac.isEmpty()) return 1;
    runOnce(mp3);
    runOnce(flac);
    double best[2] = {1e9, 1e9}, worst[2] = {0, 0};
    for (int k = 0; k < 5; ++k) {
        for (int f = 0; f < 2; ++f) {
            const double s = runOnce(f == 0 ? mp3 : flac);
            best[f] = std::min(best[f], s);
            worst[f] = std::max(worst[f], s);
        }
    }
    std::printf("%d files: MP3 %.3f-%.3f s, FLAC %.3f-%.3f s; FLAC/MP3 (best) %.2f\n", count, best[0],
                worst[0], best[1], worst[1], best[1] / best[0]);
    return 0;
}
