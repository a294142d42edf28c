// Time of a renaming run over many files in one folder: the clean-up, the
// collision check, the rename that never replaces and the journal line per
// file. Plain timed main: bench_renamefiles [files] (default 10000).
#include "batch/FileList.h"
#include "batch/FixJournal.h"
#include "batch/Renamer.h"
#include "platform/Clipboard.h"
#include "platform/Prompter.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

using namespace vantrel;

int main(int argc, char** argv)
{
    const int n = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir data, music;
    qputenv("VANTREL_DATA_DIR", data.path().toUtf8());
    FileList list;
    for (int i = 0; i < n; ++i) {
        const QString p = music.path() + QStringLiteral("/%1 - old name.mp3").arg(i, 6, 10, QLatin1Char('0'));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        list.append(p);
    }
    list.listviewthem();
    for (int i = 0; i < n; ++i)
        list.setAfterText(i, QStringLiteral("Artist %1 - Title? [%1].mp3").arg(i));

    ScriptedPrompter prompter;
    MemoryClipboard clipboard;
    QString errorLog;
    FixJournal journal;
    RenameRun run{list, prompter, clipboard, errorLog, {}, {}, &journal, {}};
    QElapsedTimer t;
    t.start();
    const RenameOutcome out = renamefiles(run);
    const qint64 renameMs = t.elapsed();
    t.restart();
    const UndoResult back = undoLastFix();
    const qint64 undoMs = t.elapsed();
    std::printf("%d files: renamed %d in %lld ms (%.1f us/file); undone %lld in %lld ms\n", n, out.renamed,
                static_cast<long long>(renameMs), 1000.0 * static_cast<double>(renameMs) / n,
                static_cast<long long>(back.restored.size()), static_cast<long long>(undoMs));
    return out.renamed == n && back.restored.size() == n ? 0 : 1;
}
