// vantrel-cli undo: undoes the newest run that changed files (renames and tag
// writes), or lists the kept runs.
#include "Command.h"
#include "batch/FixJournal.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSet>

namespace vantrel::cli {

namespace {

// The folder of every file the run changed, or how many folders they are in;
// a single file of a tag write is named itself.
QString where(const FixJournal::Contents& c)
{
    QSet<QString> folders;
    QSet<QString> files;
    for (const FixJournal::Entry& e : c.entries) {
        files.insert(e.from);
        folders.insert(QFileInfo(e.from).path());
    }
    if (files.size() == 1) return *files.begin();
    if (folders.size() == 1) return *folders.begin();
    return QStringLiteral("%1 folders").arg(folders.size());
}

QString state(const FixJournal::Contents& c)
{
    if (!c.problem.isEmpty()) return QStringLiteral("unreadable");
    if (c.running) return QStringLiteral("running");
    if (c.undone) return QStringLiteral("undone");
    return c.done ? QStringLiteral("finished") : QStringLiteral("interrupted");
}

int list(Streams& io)
{
    int damaged = 0;
    for (const FixJournal::Contents& c : FixJournal::history()) {
        if (c.problem.isEmpty() && c.changes() == 0 && c.damage.isEmpty())
            continue; // a run that changed nothing
        const QDateTime when = QDateTime::fromString(c.started, Qt::ISODate);
        int renames = 0;
        int tags = 0;
        for (const FixJournal::Entry& e : c.entries) {
            if (e.state != FixJournal::Entry::Failed) ++(e.kind == FixJournal::Entry::Tags ? tags : renames);
        }
        io.out << (when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : c.started) << "  "
               << state(c) << "  " << renames << " rename(s), " << tags << " tag write(s)  "
               << (c.problem.isEmpty() ? where(c) : c.path) << '\n';
        const QStringList problems = c.problem.isEmpty() ? c.damage : QStringList{c.problem};
        for (const QString& d : problems)
            io.err << d << '\n';
        damaged += int(problems.size());
    }
    return damaged == 0 ? ExitOk : ExitFailure;
}

} // namespace

static int runUndo(const QStringList& args, Streams& io)
{
    bool listOnly = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            io.out << "Usage: vantrel-cli undo [--list]\n\n"
                      "Undoes the newest run that changed files (a fix or a tag write, made in the\n"
                      "window or with `vantrel-cli fix` or `tag`) that is not undone yet; run it again\n"
                      "to undo the one before. Files are renamed back newest first and their tags put\n"
                      "back byte for byte. A file that took an old name in the meantime is never\n"
                      "replaced, and tags are put back only when the audio is unchanged; each such\n"
                      "file is reported. A run that was interrupted (killed, crashed, power cut) is\n"
                      "undone as far as it got; a damaged record is reported and the rest undone.\n\n"
                      "  --list   lists the kept runs, newest first: when, state (finished,\n"
                      "           interrupted, undone, running), changes and folder or file\n\n"
                      "The newest "
                   << FixJournal::kKept << " runs are kept in " << FixJournal::historyFolder()
                   << "\n(the data folder can be set with the environment variable VANTREL_DATA_DIR).\n\n"
                      "Prints \"OLD <- NEW\" for every file renamed back and \"tags: FILE\" for every file\n"
                      "whose tags were put back, then the account on stderr; exit 1 when anything\n"
                      "could not be put back or a record could not be used.\n";
            return ExitOk;
        }
        if (a == QLatin1String("--list")) {
            listOnly = true;
            continue;
        }
        io.err << "vantrel-cli undo: unexpected argument '" << a << "'\n";
        return ExitUsage;
    }
    if (listOnly) return list(io);

    const UndoResult r = undoLastFix();
    if (r.nothingToUndo) {
        io.err << undoSummary(r) << '\n';
        return ExitOk;
    }
    if (r.interrupted && !r.blocked)
        io.err << "The run of " << r.started << " did not finish; undoing what it changed.\n";
    for (const UndoResult::Restored& back : r.restored)
        io.out << back.to << " <- " << back.from << '\n';
    for (const QString& t : r.tagsRestored)
        io.out << "tags: " << t << '\n';
    for (const QString& d : r.damage)
        io.err << d << '\n';
    for (const QString& f : r.failures)
        io.err << f << '\n';
    io.err << undoSummary(r) << '\n';
    return r.complete() ? ExitOk : ExitFailure;
}

VANTREL_CLI_COMMAND(undo, "undo", "undoes the newest fix or tag write (--list: the kept runs)", runUndo);

} // namespace vantrel::cli
