// The record of the last renaming run, kept in the user's data folder so that
// the run can be undone, also after the program was killed in the middle.
//
// One JSON object per line: a header, then for every rename attempt the old
// and the new path (written before the rename) followed by "ok" or "failed",
// and "done" when the run completed. "undone" closes a journal that was undone.
#pragma once

#include "batch/Progress.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel {

class FixJournal {
public:
    FixJournal() = default;
    ~FixJournal();
    FixJournal(const FixJournal&) = delete;
    FixJournal& operator=(const FixJournal&) = delete;

    // The folder for the program's own data: $VANTREL_DATA_DIR when set,
    // otherwise "vantrel" in the user's data folder (shared by the window and
    // the command-line tool).
    static QString dataFolder();
    static QString journalPath();

    // Starts a new journal, replacing the previous one. False (and a reason in
    // error) when it cannot be written.
    bool begin(QString* error = nullptr);
    bool isOpen() const { return file_.isOpen(); }

    // Written before the rename is tried.
    void intent(const QString& from, const QString& to);
    // The outcome of the last intent.
    void succeeded();
    void failed();
    // The run ended (completed, stopped or cancelled): nothing more will happen.
    void finish();

    struct Entry {
        QString from;
        QString to;
        enum State { Unconfirmed, Ok, Failed } state = Unconfirmed;
    };
    struct Contents {
        bool exists = false;
        bool done = false;
        bool undone = false;
        QString started; // ISO date and time of the run
        QList<Entry> entries;
    };
    // Reads the journal; damaged lines (a kill in the middle of a write) are skipped.
    static Contents read();
    // Marks the journal as undone.
    static bool markUndone();
    // True when there is a run whose renames can be undone.
    static bool canUndo();

private:
    void writeLine(const QByteArray& json);
    QFile file_;
};

struct UndoResult {
    bool nothingToUndo = false;
    struct Restored {
        QString from; // the name the file had after the fix
        QString to;   // the name it has again
    };
    QList<Restored> restored;
    QStringList failures; // one line per file that could not be renamed back
    bool stopped = false; // cancelled through progress; undo again to finish
};

// Renames the files of the last run back, newest first, never replacing a
// file; a file that took an old name meanwhile keeps it and the renamed file
// stays under its new name (reported in failures).
UndoResult undoLastFix(const Progress& progress = {});

} // namespace vantrel
