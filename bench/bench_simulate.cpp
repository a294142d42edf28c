// Simulation speed and memory on 10,000 and 100,000 tagged files (both tags
// read, parser run through the scheme), warm cache. A plain timed program:
//
//   bench_simulate [FOLDER [COUNT...]]   (default: a temporary folder, removed
//                                        afterwards; 10000 and 100000 files)
//
// For each size it makes the files (once), runs the simulation once to warm
// the cache, then times three runs on all cores and one on a single worker,
// and prints the best time and the process's peak memory (VmHWM). In the
// same run it times the plainest read of the bytes a simulation needs (for
// each file, on one thread: open, read the first 4 KB and the last 128 bytes,
// close; best of three) and prints how many times that the simulation costs.
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
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using namespace vantrel;

namespace {

QByteArray bytes4(quint32 a, quint32 b, quint32 c, quint32 d)
{
    const char out[4] = {char(a & 0xFF), char(b & 0xFF), char(c & 0xFF), char(d & 0xFF)};
    return QByteArray(out, 4);
}

QByteArray textFrame(const char* id, const QByteArray& text)
{
    const QByteArray body = QByteArray(1, '\0') + text;
    const auto n = quint32(body.size());
    return QByteArray(id) + bytes4(n >> 24, n >> 16, n >> 8, n) + QByteArray(2, '\0') + body;
}

QByteArray fileBytes(int i)
{
    const QByteArray artist = "Artist " + QByteArray::number(i % 997);
    const QByteArray title = "Song title number " + QByteArray::number(i);
    QByteArray frames = textFrame("TPE1", artist) + textFrame("TIT2", title) +
                        textFrame("TALB", "Album " + QByteArray::number(i % 89)) +
                        textFrame("TRCK", QByteArray::number(i % 20 + 1) + "/20");
    const quint32 size = quint32(frames.size() + 256);
    QByteArray tag = QByteArray("ID3\x03\x00\x00", 6) +
                     bytes4((size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F) +
                     frames + QByteArray(256, '\0');
    QByteArray audio(417 * 2, '\0');
    for (int f = 0; f < 2; ++f) {
        audio[f * 417] = char(0xFF);
        audio[f * 417 + 1] = char(0xFB);
        audio[f * 417 + 2] = char(0x90);
        audio[f * 417 + 3] = char(0x64);
    }
    auto field = [](const QByteArray& s) { return (s + QByteArray(30, '\0')).left(30); };
    const QByteArray v1 = "TAG" + field(title) + field(artist) + field("Album") + QByteArray(4, '\0') +
                          QByteArray(28, '\0') + QByteArray(1, '\0') + QByteArray(1, char(i % 20 + 1)) +
                          QByteArray(1, char(255));
    return tag + audio + v1;
}

QString fileName(int i)
{
    return QStringLiteral("%1_-_artist_%2_-_song_title_number_%3_[www.example.com].mp3")
        .arg(i % 20 + 1, 2, 10, QLatin1Char('0'))
        .arg(i % 997)
        .arg(i);
}

// Makes count files under root/<count>/ (100 subfolders), unless already there.
QStringList makeFiles(const QString& root, int count)
{
    QStringList paths;
    paths.reserve(count);
    const QString base = root + QStringLiteral("/%1").arg(count);
    const bool exists = QDir(base).exists();
    for (int i = 0; i < count; ++i) {
        const QString folder = base + QStringLiteral("/d%1").arg(i % 100);
        const QString path = folder + QLatin1Char('/') + fileName(i);
        if (!exists) {
            if (i < 100) QDir().mkpath(folder);
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly) || f.write(fileBytes(i)) < 0) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return {};
            }
        }
        paths << path;
    }
    return paths;
}

long peakMemoryKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing runOnce(const QStringList& paths, int threads)
{
    FileList list;
    for (const QString& p : paths)
        list.append(p);
    list.listviewthem();
    SimulationOptions o;
    o.threads = threads;
    o.scheme.choice = SchemeChoice::Custom; // album and track too
    o.parser.removeTrackNumbers = false;
    ScriptedPrompter prompter;
    QString log;
    QElapsedTimer t;
    t.start();
    const double cpu0 = cpuSeconds();
    const SimulationRun r = fixlist(list, o, prompter, log);
    const Timing s{static_cast<double>(t.nsecsElapsed()) / 1e9, cpuSeconds() - cpu0};
    if (r.processed != paths.size())
        std::fprintf(stderr, "only %lld of %lld files processed\n", static_cast<long long>(r.processed),
                     static_cast<long long>(paths.size()));
    return s;
}

// The plain read: the floor a simulation of these files cannot go below.
// Counts the bytes so the reads cannot be skipped.
Timing plainRead(const QStringList& paths, qint64& bytes)
{
    std::vector<QByteArray> native;
    native.reserve(static_cast<size_t>(paths.size()));
    for (const QString& p : paths)
        native.push_back(QFile::encodeName(p));
    char head[4096];
    char tail[128];
    QElapsedTimer t;
    t.start();
    const double cpu0 = cpuSeconds();
    bytes = 0;
    for (const QByteArray& p : native) {
        const int fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        const ssize_t h = ::pread(fd, head, sizeof head, 0);
        const off_t size = ::lseek(fd, 0, SEEK_END);
        const ssize_t e = size >= 128 ? ::pread(fd, tail, sizeof tail, size - 128) : 0;
        ::close(fd);
        bytes += std::max<ssize_t>(h, 0) + std::max<ssize_t>(e, 0);
    }
    return Timing{static_cast<double>(t.nsecsElapsed()) / 1e9, cpuSeconds() - cpu0};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    QList<int> counts;
    for (int a = 2; a < argc; ++a)
        counts << QByteArray(argv[a]).toInt();
    if (counts.isEmpty()) counts = {10000, 100000};
    for (int count : std::as_const(counts)) {
        const QStringList paths = makeFiles(root, count);
        if (paths.isEmpty()) return 1;
        runOnce(paths, 0); // warm the cache
        // The list, the files' paths and one simulation: what a user's run holds.
        const long onePeak = peakMemoryKiB();
        Timing best{1e9, 1e9};
        for (int k = 0; k < 3; ++k) {
            const Timing t = runOnce(paths, 0);
            if (t.wall < best.wall) best = t;
        }
        const Timing single = runOnce(paths, 1);
        Timing plain{1e9, 1e9};
        qint64 bytes = 0;
        for (int k = 0; k < 3; ++k) {
            const Timing t = plainRead(paths, bytes);
            if (t.wall < plain.wall) plain = t;
        }
        std::printf(
            "%6d files: %.3f s on all cores (cpu %.3f s), %.3f s on one worker (cpu %.3f s), %.0f files/s;"
            " plain read %.3f s (cpu %.3f s, %lld bytes); simulation / plain read: %.2f wall, %.2f cpu;"
            " peak memory %ld MiB after one run, %ld MiB after all\n",
            count, best.wall, best.cpu, single.wall, single.cpu, count / best.wall, plain.wall, plain.cpu,
            static_cast<long long>(bytes), best.wall / plain.wall, best.cpu / plain.cpu, onePeak / 1024,
            peakMemoryKiB() / 1024);
        std::fflush(stdout);
    }
    return 0;
}
