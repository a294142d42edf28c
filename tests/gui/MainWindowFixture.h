// A main window for the window tests: recorders for messages, clipboard and
// desktop, no update check, the fix journal in a temporary folder of its own.
#pragma once

#include "TestFiles.h"
#include "frmMain.h"
#include "platform/Clipboard.h"
#include "platform/Prompter.h"

#include <QTemporaryDir>

namespace vantrel::test {

// Points the fix journal at a temporary folder while it lives, then back.
struct TemporaryDataDir {
    QTemporaryDir data;
    const QByteArray before = qgetenv("VANTREL_DATA_DIR");
    TemporaryDataDir() { qputenv("VANTREL_DATA_DIR", data.path().toUtf8()); }
    ~TemporaryDataDir()
    {
        before.isEmpty() ? qunsetenv("VANTREL_DATA_DIR") : qputenv("VANTREL_DATA_DIR", before);
    }
};

// A file to list: its bytes (null: left missing) and its After text.
struct Listed {
    QString name;
    QByteArray bytes = mpegFrames(1);
    QString after = {};
};

struct MainWindow : TemporaryDataDir {
    QTemporaryDir dir; // the listed files
    ScriptedPrompter prompter{Answer::Yes};
    MemoryClipboard clipboard;
    RecordingOpener opener;
    frmMain w; // after the recorders, so that it goes first

    MainWindow()
    {
        w.timUpdate->stop();
        w.setPrompter(&prompter);
        w.setClipboard(&clipboard);
        w.setOpener(&opener);
    }
    QString path(const QString& rel) const { return dir.path() + QLatin1Char('/') + rel; }
    const QList<ScriptedPrompter::Prompt>& prompts() const { return prompter.prompts(); }
    // Writes the files and lists them, as a load leaves them.
    void list(const QList<Listed>& files)
    {
        for (const Listed& f : files) {
            if (!f.bytes.isNull()) writeFile(path(f.name), f.bytes);
            w.fileList().append(path(f.name));
        }
        w.fileList().listviewthem();
        for (int r = 0; r < files.size(); ++r)
            w.fileList().setAfterText(r, files.at(r).after);
    }
    // A column as the table shows it: the After texts, or the Before names.
    QStringList shown(bool after = true)
    {
        QStringList a;
        for (int r = 0; r < w.fileList().rowCountShown(); ++r)
            a << (after ? w.fileList().row(r).after : w.fileList().row(r).before);
        return a;
    }
};

} // namespace vantrel::test
