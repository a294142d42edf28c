// vantrel-cli fix: load, simulate and apply, as "Fix files!" does in the window.
#include "Command.h"
#include "RunOptions.h"
#include "batch/FixJournal.h"
#include "batch/Renamer.h"
#include "batch/RunAccount.h"
#include "batch/Simulation.h"
#include "batch/TagsFromNames.h"
#include "platform/Clipboard.h"
#include "tags/formTag.h"

namespace vantrel::cli {

namespace {

QString oneLine(QString s)
{
    return s.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

// Answers the run's questions from the command line and prints its messages
// (everything else as the other batch commands do).
class FixPrompter : public Prompter {
  public:
    FixPrompter(QTextStream& err, bool overwriteTags) : err_(err), cli_(err), overwriteTags_(overwriteTags) {}

    Answer ask(Question id, const QString& text, const QString& title, Buttons buttons, Icon icon) override
    {
        switch (id) {
        case Question::OverwriteTags:
            return overwriteTags_ ? Answer::Yes : Answer::No;
        // Rename failures are printed from the outcome, there is no clipboard
        // for the error log, and the window's closing message means nothing here.
        case Question::RenameFailed:
            return Answer::Ignore;
        case Question::CopyErrorLog:
            return Answer::No;
        case Question::TagRunDone:
            return Answer::Ok;
        case Question::RenameWithoutUndo:
            err_ << "warning: " << oneLine(text) << " (going on: --yes)\n";
            err_.flush();
            return Answer::Yes;
        // Printed as any message, and counted as failures.
        case Question::FileNotLoadable:
            ++refusedAtLoading;
            break;
        case Question::FoldersUnreadable:
            ++unreadableScans;
            break;
        default:
            break;
        }
        return cli_.ask(id, text, title, buttons, icon);
    }
    int refusedAtLoading = 0;
    int unreadableScans = 0; // loads that met folders they could not read

  private:
    QTextStream& err_;
    CliPrompter cli_;
    bool overwriteTags_;
};

void usage(QTextStream& s)
{
    s << "Usage: vantrel-cli fix [RUN OPTIONS] [--overwrite-tags] --yes PATH...\n\n"
         "Loads the PATHs, simulates as `simulate` does and applies the result: renames\n"
         "every file to its proposed name (or, with --mode tags-from-names, writes the\n"
         "artist and title found in its name into its tags). Prints the list afterwards\n"
         "with the names the files really got. No file is ever replaced: a name that is\n"
         "taken gets \" (1)\" before its extension; a proposal the folder cannot take\n"
         "(`simulate` names it) is skipped and counts as a failure.\n\n"
         "  --yes             required: without it nothing is changed (exit 2)\n"
         "  --overwrite-tags  tags-from-names: replace existing artist and title (the\n"
         "                    \"IMPORTANT!\" question answered Yes); otherwise only empty\n"
         "                    fields are filled in\n\n"
      << RunOptions::help()
      << "\nA run can be undone with `vantrel-cli undo` (also after a kill).\n"
         "Ends with the account of the run on stderr. Exit status: 0 all done, 1 a file\n"
         "failed, was skipped (unreadable, vanished) or refused at loading (each on\n"
         "stderr), 2 bad usage.\n";
}

} // namespace

static int runFix(const QStringList& args, Streams& io)
{
    bool yes = false;
    bool overwriteTags = false;
    QStringList rest;
    bool endOfOptions = false;
    for (const QString& a : args) {
        if (!endOfOptions && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            usage(io.out);
            return ExitOk;
        }
        if (!endOfOptions && a == QLatin1String("--yes"))
            yes = true;
        else if (!endOfOptions && a == QLatin1String("--overwrite-tags"))
            overwriteTags = true;
        else
            rest << a;
        if (a == QLatin1String("--")) endOfOptions = true;
    }
    RunOptions run;
    QString error;
    if (!run.parse(rest, error)) {
        io.err << "vantrel-cli fix: " << error << '\n';
        return ExitUsage;
    }
    if (run.paths.isEmpty()) {
        io.err << "vantrel-cli fix: no PATH given\n";
        return ExitUsage;
    }
    if (!yes) {
        io.err << "vantrel-cli fix: refusing to change any file without --yes (fix renames files or writes "
                  "tags; `vantrel-cli simulate` shows what it would do)\n";
        return ExitUsage;
    }

    FileList list;
    FixPrompter prompter(io.err, overwriteTags);
    if (!run.load(list, prompter, error)) {
        io.err << "vantrel-cli fix: " << error << '\n';
        return ExitFailure;
    }

    // The simulation as the window runs it, its questions answered Yes.
    QString errorLog;
    const SimulationRun sim = simulate(list, run.simulation, prompter, errorLog);
    printLog(io.err, errorLog);
    if (sim.quitRequested || !sim.ran || sim.cancelled) return ExitFailure;

    // Files refused at loading and files the simulation could not read count as failures.
    int failures = prompter.refusedAtLoading + prompter.unreadableScans + int(sim.vanished);
    QString refused;
    if (prompter.refusedAtLoading > 0)
        refused += QStringLiteral(" %1 file(s) refused at loading.").arg(prompter.refusedAtLoading);
    if (prompter.unreadableScans > 0) refused += QStringLiteral(" Some folders could not be read.");
    if (sim.vanished > 0) refused += QStringLiteral(" %1 file(s) could not be read.").arg(sim.vanished);
    const int rows = list.rowCountShown();
    if (run.simulation.mode == Mode::TagsFromNames) {
        formTag tags(prompter);
        const TagsFromNamesOutcome out = fixlisttags(list, run.simulation.parser, prompter, tags);
        failures += int(out.failures.size() + out.skips.size()) + (out.quitRequested ? 1 : 0);
        for (const auto& f : out.skips)
            io.err << "Skipped: " << f.path << ": " << f.reason << '\n';
        for (const auto& f : out.failures)
            io.err << "Not written: " << f.path << ": " << oneLine(f.reason) << '\n';
        printPlan(io.out, list, run.json);
        io.err << "Tags: " << tagAccount(out, rows) << refused << '\n';
        return failures == 0 ? ExitOk : ExitFailure;
    } else {
        MemoryClipboard clipboard;
        FixJournal journal;
        RenameRun rename{list, prompter, clipboard, errorLog, {}, {}, &journal, {}};
        const RenameOutcome out = renamefiles(rename);
        failures += int(out.failures.size()) + out.skipped;
        for (const auto& f : out.failures)
            io.err << oneLine(f.message) << '\n';
        for (const auto& o : out.otherNames)
            io.err << "Name already taken: " << o.path << " was renamed to '" << o.given << "' instead of '"
                   << o.planned << "'\n";
        if (!out.refusedToStart) printPlan(io.out, list, run.json);
        io.err << renameAccount(out, rows) << refused << '\n';
        if (out.refusedToStart || out.stopped || out.aborted || out.cancelled) return ExitFailure;
    }
    return failures == 0 ? ExitOk : ExitFailure;
}

VANTREL_CLI_COMMAND(fix, "fix", "renames files (or writes tags) as the simulation proposes", runFix);

} // namespace vantrel::cli
