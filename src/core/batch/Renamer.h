// "Fix files!" in the renaming modes: every listed file is renamed to the
// text of its After column, cleaned of characters the program does not allow
// and made unique in its folder. No file is ever replaced.
#pragma once

#include "batch/Progress.h"
#include "parser/FileNameCharacters.h" // cleanFileName, which every new name goes through
#include "platform/SafeRename.h"

#include <QList>
#include <QString>
#include <functional>

namespace vantrel {

class Clipboard;
class FileList;
class FixJournal;
class Prompter;

// name with " (1)" before its extension: before the last four characters
// when they are a dot and three more, otherwise before the last dot (not a
// leading one), otherwise at the end.
QString withDuplicateSuffix(const QString& name);

// The " (1)" rule for a name that is taken: name itself when taken(name) is
// false, otherwise the first of withDuplicateSuffix(name), its
// withDuplicateSuffix, and so on, that taken does not claim. The simulation
// and the renaming both use it; after 10000 rounds (a medium that says every
// name exists) the last one tried is returned.
QString firstFreeName(QString name, const std::function<bool(const QString&)>& taken);

// A name that must never be used: empty, ".", ".." or one with "/" (it would
// move the file into another folder).
bool isRefusedName(const QString& name);

// Why name cannot be given to a file of folder (which ends with "/"), or
// empty when it can: a refused name (see isRefusedName) or one longer than
// the folder's file system takes. The simulation marks such proposals and
// the renaming skips them, so both give the same answer from here.
QString nameProblem(const QString& folder, const QString& name);

struct RenameRun {
    FileList& list;
    Prompter& prompter;
    Clipboard& clipboard;
    QString& errorLog;
    // Builds the diagnostic report for list entry k with the error log, for
    // the clipboard after an access failure. Empty: the log alone goes there.
    std::function<QString(int k, const QString& errlog)> report;
    Progress progress;             // between files; returning false stops the run
    FixJournal* journal = nullptr; // when set, begun by renamefiles and finished at the end
    // The rename itself; empty means safeRename. Tests put a file in the way here.
    std::function<RenameResult(const QString& from, const QString& to)> renameFile;
};

struct RenameOutcome {
    int renamed = 0;   // files that got another name
    int unchanged = 0; // files whose cleaned name was already theirs
    int skipped = 0;   // rows without a file
    struct Failure {
        int row;
        QString path;
        QString message;
    };
    QList<Failure> failures; // files left under their old names (not those a Retry renamed)
    int unusable = 0;        // of the failures: names that cannot be used, skipped without a message
    struct OtherName {
        int row;
        QString path;    // the file before the run
        QString planned; // the cleaned After text
        QString given;   // the name it got instead
    };
    // Files renamed to another name than their After text, because a file of
    // that name appeared after the simulation.
    QList<OtherName> otherNames;
    bool stopped = false;        // an access failure ended the run
    bool aborted = false;        // the user chose Abort on a failure message
    bool cancelled = false;      // the progress callback ended the run
    bool refusedToStart = false; // the journal could not be written and the user said No
};

// Renames the files of run.list. A name that cannot be used (nameProblem)
// is skipped without a message and counted as a failure, with a line in
// errorLog; so is a file renamed to another name than its After text. Any
// other failure but a refused access is shown with Abort, Retry and Ignore: Retry tries that file again,
// Abort ends the run there, Ignore goes on with the next file. Afterwards lstAllfiles and lstFiles hold the
// names the files really have (renamed ones new, failed and untouched ones old), entry for entry, and the
// table is rebuilt.
RenameOutcome renamefiles(RenameRun& run);

} // namespace vantrel
