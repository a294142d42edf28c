// The history of the runs that changed files (renames and tag writes), kept in
// the user's data folder so that each run can be undone, also after the
// program was killed in the middle. Every run has a journal of its own,
// created exclusively, so that runs at the same time never touch each
// other's record; the newest 20 are kept.
//
// One JSON object per line: a header, then for every rename attempt the old
// and the new path (written before the rename) followed by "ok" or "failed",
// for every file whose tags are about to be written the bytes that put them
// back, and "done" when the run completed. "undone" closes a journal that was
// undone.
#pragma once

#include "batch/Progress.h"
#include "batch/TagBackup.h"
#include "platform/FileLock.h"

#include <QFile>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace vantrel {

class FixJournal {
  public:
    static constexpr int kKept = 20; // journals kept, newest first

    FixJournal() = default;
    // Finishes the run (see finish()).
    ~FixJournal();
    FixJournal(const FixJournal&) = delete;
    FixJournal& operator=(const FixJournal&) = delete;

    // The folder for the program's own data: $VANTREL_DATA_DIR when set,
    // otherwise "vantrel" in the user's data folder (shared by the window and
    // the command-line tool).
    static QString dataFolder();
    // Where the journals are: "history" in the data folder.
    static QString historyFolder();

    // Starts this run's journal as a new file (never one of another run) and
    // drops the journals beyond the newest kKept. False (and a reason in
    // error) when it cannot be written. Called by the first record when not
    // called before.
    bool begin(QString* error = nullptr);
    bool isOpen() const { return file_.isOpen(); }
    const QString& path() const { return path_; }

    // Written before the rename is tried.
    void intent(const QString& from, const QString& to);
    // The outcome of the last intent.
    void succeeded();
    void failed();

    // The one call every tag writer makes before it writes a file's tags:
    // keeps the bytes that put them back. Only the first call per file in a
    // run keeps anything. False, with the reason, when they could not be kept;
    // the tags must then not be written.
    bool recordTagWrite(const QString& path, QString* error = nullptr);

    // The run ended (completed, stopped or cancelled): nothing more will
    // happen. A run that changed nothing leaves no journal.
    void finish();

    struct Entry {
        enum Kind { Rename, Tags } kind = Rename;
        QString from; // renames: the old path; tags: the file
        QString to;   // renames: the new path
        enum State { Unconfirmed, Ok, Failed } state = Unconfirmed;
        std::optional<TagBackup> tags;
    };
    struct Contents {
        QString path;
        bool exists = false;
        QString problem;      // not empty: the journal could not be read at all (names the file)
        bool running = false; // a run or an undo is writing it now
        bool done = false;
        bool undone = false;
        QString started; // ISO date and time of the run
        QList<Entry> entries;
        QStringList damage; // one line per record that could not be used, naming the file
        // Entries that may have changed a file.
        int changes() const;
    };
    // Reads one journal. A path that is not a regular file is never opened.
    static Contents read(const QString& path);
    // Every kept journal, newest first.
    static QList<Contents> history();
    // The journal the next undo works on: the newest one not undone that holds
    // a change, is damaged or cannot be read. Nothing when there is none.
    static std::optional<Contents> nextToUndo();
    static bool markUndone(const QString& path);
    // True when an undo has something to do or to report.
    static bool canUndo() { return nextToUndo().has_value(); }

  private:
    bool ensureBegun(QString* error);
    void writeLine(const QByteArray& json);

    QFile file_;
    QString path_;
    FileLock lock_;        // held while the run writes, so that others see it running
    bool changed_ = false; // something was recorded that may have changed a file
    QSet<QString> tagged_; // files whose tags are already kept in this run
};

struct UndoResult {
    bool nothingToUndo = false;
    QString journal;          // the journal worked on
    QString started;          // when its run started
    bool interrupted = false; // the run had not finished
    struct Restored {
        QString from; // the name the file had after the fix
        QString to;   // the name it has again
    };
    QList<Restored> restored;
    QStringList tagsRestored; // files whose tags are again what they were
    QStringList failures;     // one line per change that could not be put back, with the reason
    QStringList damage;       // records that could not be used, each naming the journal
    bool blocked = false;     // the journal could not be read or is in use: nothing was undone
    bool stopped = false;     // cancelled through progress; undo again to finish

    qsizetype putBack() const { return restored.size() + tagsRestored.size(); }
    bool complete() const { return failures.isEmpty() && damage.isEmpty() && !blocked; }
};

// Undoes the newest run not yet undone: renames its files back and puts back
// the tags it wrote, newest first, never replacing a file; a file that took
// an old name meanwhile keeps it and the renamed file stays under its new
// name, and tags are only put back when the audio is unchanged (each reported
// in failures). Every usable record is undone, also from a damaged journal.
UndoResult undoLastFix(const Progress& progress = {});

// The account of an undo in one line: how many changes were put back and how
// many could not be, and why not when nothing was.
QString undoSummary(const UndoResult& r);

} // namespace vantrel
