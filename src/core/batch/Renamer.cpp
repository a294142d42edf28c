#include "Renamer.h"

#include "batch/ErrorLog.h"
#include "batch/FileList.h"
#include "batch/FixJournal.h"
#include "platform/Clipboard.h"
#include "platform/NameLimit.h"
#include "platform/Prompter.h"

namespace vantrel {

namespace {

const QString crlf = QStringLiteral("\r\n");

} // namespace

QString withDuplicateSuffix(const QString& name)
{
    static const QString suffix = QStringLiteral(" (1)");
    qsizetype at = name.size();
    if (name.size() > 4 && name.at(name.size() - 4) == QLatin1Char('.')) {
        at = name.size() - 4;
    } else {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot > 0) at = dot;
    }
    return name.left(at) + suffix + name.mid(at);
}

QString firstFreeName(QString name, const std::function<bool(const QString&)>& taken)
{
    for (int round = 0; round < 10000 && taken(name); ++round)
        name = withDuplicateSuffix(name);
    return name;
}

bool isRefusedName(const QString& name)
{
    return name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
           name.contains(QLatin1Char('/')) || name.contains(QChar(0));
}

QString nameProblem(const QString& folder, const QString& name)
{
    if (name.isEmpty()) return QStringLiteral("The name is empty.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" names a folder, not a file.").arg(name);
    if (name.contains(QLatin1Char('/'))) return QStringLiteral("A file name cannot contain \"/\".");
    if (name.contains(QChar(0))) return QStringLiteral("A file name cannot contain a zero character.");
    const qsizetype bytes = nameBytes(name);
    const qsizetype limit = nameLimitBytes(folder);
    if (bytes > limit)
        return QStringLiteral("File name too long: %1 bytes, the folder takes at most %2.")
            .arg(bytes)
            .arg(limit);
    return {};
}

namespace {

class Renaming {
  public:
    explicit Renaming(RenameRun& run) : run_(run), list_(run.list) {}

    RenameOutcome go();

  private:
    enum class Step { Next, Stop };
    // One try at renaming entry k: done (renamed or unchanged), a name that
    // cannot be used, an access failure, or any other failure with its errno
    // and description.
    struct Attempt {
        enum Kind { Done, Unusable, AccessRefused, Failed } kind = Done;
        int code = 0;
        QString description;
    };
    Step renameEntry(int k);
    Attempt tryRename(int k, const QString& old);
    Answer otherFailure(int k, const QString& old, const Attempt& failed);
    void accessFailure(int k, const QString& old);

    RenameRun& run_;
    FileList& list_;
    RenameOutcome out_;
    QStringList paths_; // the path every entry ends up with
};

RenameOutcome Renaming::go()
{
    run_.errorLog.clear();
    list_.lstRemember.clear();

    if (run_.journal) {
        QString why;
        if (!run_.journal->begin(&why)) {
            const Answer a = run_.prompter.ask(
                Question::RenameWithoutUndo,
                QStringLiteral("The record for undoing this fix could not be written (%1). Rename the files "
                               "anyway? They cannot be undone afterwards.")
                    .arg(why),
                QStringLiteral("Fix files"), Buttons::YesNo, Icon::Exclamation);
            if (a != Answer::Yes) {
                out_.refusedToStart = true;
                return out_;
            }
        }
    }

    const int rows = list_.rowCountShown();
    paths_ = list_.lstAllfiles;
    for (int k = 0; k < rows; ++k) {
        if (!report(run_.progress, k, rows)) {
            out_.cancelled = true;
            break;
        }
        if (renameEntry(k) == Step::Stop) break;
    }
    if (!out_.cancelled && !out_.stopped && !out_.aborted) report(run_.progress, rows, rows);
    if (run_.journal && run_.journal->isOpen()) run_.journal->finish();

    // Every entry keeps its place: renamed files under their new names, all
    // others (failed, skipped, not reached) under the names they still have.
    list_.lstRemember = paths_;
    list_.lstAllfiles = list_.lstRemember;
    list_.lstRemember.clear();
    list_.lstFiles.clear();
    for (const QString& p : std::as_const(list_.lstAllfiles))
        list_.lstFiles.append(FileList::nameOf(p));
    list_.listviewthem();
    return out_;
}

Renaming::Step Renaming::renameEntry(int k)
{
    const QString old = FileList::at(list_.lstAllfiles, k);
    if (old.isEmpty()) {
        ++out_.skipped;
        return Step::Next;
    }
    for (;;) {
        const Attempt a = tryRename(k, old);
        if (a.kind == Attempt::Done) return Step::Next;
        if (a.kind == Attempt::Unusable) {
            // Shown in the simulation already: no message, a line in the log.
            const QString line =
                QStringLiteral("Not renamed: '") + old + QStringLiteral("': ") + a.description;
            run_.errorLog += crlf + line;
            out_.failures.append({k, old, line});
            ++out_.unusable;
            return Step::Next;
        }
        if (a.kind == Attempt::AccessRefused) {
            accessFailure(k, old);
            return Step::Stop;
        }
        // The buttons do what they say: Retry tries this file again from the
        // name check on, Abort ends the run here, Ignore goes on with the next.
        const Answer answer = otherFailure(k, old, a);
        if (answer == Answer::Retry) continue;
        if (answer == Answer::Abort) {
            out_.aborted = true;
            return Step::Stop;
        }
        return Step::Next;
    }
}

Renaming::Attempt Renaming::tryRename(int k, const QString& old)
{
    const QString folder = FileList::location(old);
    QString name = cleanFileName(list_.afterText(k));
    const QString problem = nameProblem(folder, name);
    if (!problem.isEmpty()) return {Attempt::Unusable, 0, problem};
    const QString planned = name;

    // A file whose new name is its own (or the same file in another spelling)
    // is renamed in place, without a suffix.
    name = firstFreeName(name, [&](const QString& n) {
        const QString full = folder + n;
        return full != old && entryExists(full) && !sameFile(full, old);
    });
    if (folder + name == old) {
        ++out_.unchanged;
        return {};
    }

    RenameResult r;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (run_.journal) run_.journal->intent(old, folder + name);
        r = run_.renameFile ? run_.renameFile(old, folder + name) : safeRename(old, folder + name);
        if (r.ok()) {
            if (run_.journal) run_.journal->succeeded();
            paths_[k] = folder + name;
            ++out_.renamed;
            if (name != planned) {
                // The folder changed since the simulation (or the After text was
                // edited onto a taken name): say where the file went.
                out_.otherNames.append({k, old, planned, name});
                run_.errorLog += crlf + QStringLiteral("Name already taken: '") + old +
                                 QStringLiteral("' was renamed to '") + name +
                                 QStringLiteral("' instead of '") + planned + QLatin1Char('\'');
            }
            return {};
        }
        if (run_.journal) run_.journal->failed();
        // A file of that name appeared after the check: one more " (1)" and a
        // second try; a second failure is reported like any other.
        if (r.error != RenameError::NameTaken || attempt == 1) break;
        name = withDuplicateSuffix(name);
    }

    if (r.error == RenameError::AccessRefused) return {Attempt::AccessRefused, r.code, r.description};
    return {Attempt::Failed, r.code, r.description};
}

Answer Renaming::otherFailure(int k, const QString& old, const Attempt& failed)
{
    const QString text = QStringLiteral("An error has occurred! (%1) - ").arg(failed.code) +
                         failed.description + crlf + QStringLiteral("Error occurred at file: ") + old;
    const Answer a = run_.prompter.ask(Question::RenameFailed, text, QStringLiteral("Error!"),
                                       Buttons::AbortRetryIgnore, Icon::Critical);
    // Unless it is tried again, the file keeps its name.
    if (a != Answer::Retry) out_.failures.append({k, old, text});
    return a;
}

void Renaming::accessFailure(int k, const QString& old)
{
    const QString line =
        QStringLiteral("Path/File Access error in file: '") + old + QStringLiteral("', cannot continue.") +
        crlf +
        QStringLiteral("Make sure the file is not in use by another application, such as an P2P client.");
    run_.errorLog += crlf + line;
    out_.failures.append({k, old, line});
    out_.stopped = true;
    std::function<QString(const QString&)> clipText;
    if (run_.report) clipText = [&](const QString& log) { return run_.report(k, log); };
    offerErrorLog(run_.errorLog, run_.prompter, run_.clipboard, clipText);
}

} // namespace

RenameOutcome renamefiles(RenameRun& run)
{
    return Renaming(run).go();
}

} // namespace vantrel
