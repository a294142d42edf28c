// vantrel-cli undo: renames the files of the last fix back.
#include "Command.h"

#include "batch/FixJournal.h"

#include <QDateTime>

namespace vantrel::cli {

static int runUndo(const QStringList& args, Streams& io)
{
    for (const QString& a : args) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            io.out << "Usage: vantrel-cli undo\n\n"
                      "Renames the files of the last fix (made in the window or with `vantrel-cli fix`)\n"
                      "back to their old names, newest first. A file that took an old name in the\n"
                      "meantime is never replaced: the renamed file then keeps its new name and the\n"
                      "conflict is reported. A fix that was interrupted (killed, crashed, power cut)\n"
                      "is undone as far as it got.\n\n"
                      "The record of the last fix is kept in "
                   << FixJournal::journalPath()
                   << "\n(the folder can be set with the environment variable VANTREL_DATA_DIR).\n\n"
                      "Prints \"OLD <- NEW\" for every file renamed back; exit 1 when a file could not be.\n";
            return ExitOk;
        }
        io.err << "vantrel-cli undo: unexpected argument '" << a << "'\n";
        return ExitUsage;
    }
    const FixJournal::Contents journal = FixJournal::read();
    if (!journal.exists || journal.undone || journal.entries.isEmpty()) {
        io.err << "Nothing to undo.\n";
        return ExitOk;
    }
    if (!journal.done)
        io.err << "The last fix (" << journal.started << ") did not finish; undoing what it renamed.\n";
    const UndoResult r = undoLastFix();
    for (const UndoResult::Restored& back : r.restored)
        io.out << back.to << " <- " << back.from << '\n';
    for (const QString& f : r.failures)
        io.err << f << '\n';
    io.err << r.restored.size() << " file(s) renamed back.\n";
    return r.failures.isEmpty() ? ExitOk : ExitFailure;
}

VANTREL_CLI_COMMAND(undo, "undo", "renames the files of the last fix back", runUndo);

} // namespace vantrel::cli
