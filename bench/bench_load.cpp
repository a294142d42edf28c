// Loading a folder tree of 100,000 files (one in ten an audio file) into the
// file list and its table, with a warm cache. Prints the time of each run and
// the peak memory of the process.
//   bench_load [files]          makes the tree in a temporary folder, removes it at the end
//   bench_load files FOLDER     makes the tree in FOLDER and keeps it; reuses it when already there
#include "batch/FileList.h"
#include "batch/FolderLoader.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace vantrel;

namespace {

// Peak resident memory of this process in kB, from /proc/self/status.
long peakKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// 10 × 10 × 10 leaf folders (plus the inner levels), files spread evenly.
int makeTree(const QString& root, int files)
{
    const int leaves = 1000;
    const int perLeaf = (files + leaves - 1) / leaves;
    int made = 0;
    for (int a = 0; a < 10 && made < files; ++a)
        for (int b = 0; b < 10 && made < files; ++b)
            for (int c = 0; c < 10 && made < files; ++c) {
                const QString dir =
                    QStringLiteral("%1/Artist %2/Album %3/CD %4").arg(root).arg(a).arg(b).arg(c);
                QDir().mkpath(dir);
                const QByteArray base = QFile::encodeName(dir) + '/';
                for (int i = 0; i < perLeaf && made < files; ++i, ++made) {
                    const char* ext = made % 10 == 0 ? (made % 20 == 0 ? ".mp3" : ".WMA") : ".jpg";
                    const QByteArray path = base + "Track " + QByteArray::number(i) + " - Some Title" + ext;
                    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
                    if (fd >= 0) ::close(fd);
                }
            }
    return made;
}

// CPU time (user + system) of this process in ms: on a busy machine it says
// more about the work than the wall clock does.
long long cpuMs()
{
    struct rusage ru;
    ::getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1000LL +
           (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1000;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir tmp(QDir::tempPath() + QStringLiteral("/bench-XXXXXX"));
    const QString root = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
    if (root.isEmpty() || !QDir().mkpath(root)) {
        std::fprintf(stderr, "cannot make the folder for the tree\n");
        return 1;
    }
    QElapsedTimer t;
    t.start();
    if (argc > 2 && QDir(root + QStringLiteral("/Artist 0")).exists()) {
        std::printf("tree: reusing %s\n", qPrintable(root));
    } else {
        const int made = makeTree(root, files);
        std::printf("tree: %d files in %lld ms\n", made, static_cast<long long>(t.elapsed()));
    }

    FileList list;
    ScriptedPrompter prompter(Answer::Ok);
    FolderLoader loader(list, prompter);
    QList<qint64> times;
    for (int run = 0; run < 4; ++run) { // run 0 warms the cache
        t.restart();
        const long long cpu0 = cpuMs();
        loader.loadFresh(root, true);
        list.listviewthem();
        const qint64 ms = t.elapsed();
        if (run > 0) times.append(ms);
        std::printf("run %d: %lld files listed, %lld ms (cpu %lld ms)%s\n", run,
                    static_cast<long long>(list.count()), static_cast<long long>(ms), cpuMs() - cpu0,
                    run == 0 ? " (warm-up)" : "");
    }
    std::sort(times.begin(), times.end());
    std::printf("median load into list and table: %lld ms\n",
                static_cast<long long>(times.at(times.size() / 2)));
    std::printf("peak memory (VmHWM): %ld kB\n", peakKb());
    std::fflush(stdout);

    // Dropping the same tree again: every file is already listed, nothing is added.
    t.restart();
    loader.addDropped({root}, true);
    list.listviewthem();
    std::printf("drop of the same tree onto the full list: %lld ms, %lld files listed\n",
                static_cast<long long>(t.elapsed()), static_cast<long long>(list.count()));

    // The list itself must hold 200,000 files and rebuild its table quickly.
    list.clearAll();
    for (int i = 0; i < 200000; ++i)
        list.append(QStringLiteral("/music/folder %1/song %2.mp3").arg(i / 100).arg(i));
    t.restart();
    list.listviewthem();
    std::printf("table rebuild of 200,000 entries: %lld ms\n", static_cast<long long>(t.elapsed()));
    std::printf("peak memory (VmHWM): %ld kB\n", peakKb());
    return 0;
}
