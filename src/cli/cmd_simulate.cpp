// vantrel-cli simulate: loads folders and files, runs "Simulate before fix!"
// with every question answered Yes, and prints the plan.
#include "Command.h"
#include "RunOptions.h"
#include "batch/Simulation.h"

#include <QElapsedTimer>
#include <cstdio>
#include <unistd.h>

namespace vantrel::cli {
namespace {

void simulateHelp(QTextStream& s)
{
    s << "Usage: vantrel-cli simulate [RUN OPTIONS] [--] PATH...\n\n"
      << "Proposes a new name for every .mp3 and .wma file (with --all-formats also .flac, .ogg,\n"
      << ".oga, .opus and .m4a) under the PATHs (folders with their subfolders, or single files)\n"
      << "without changing any file, and prints one line per file:\n"
      << "Before, After, Artist, Title and Location separated by tabs. Problems (files that\n"
      << "vanished, tags that could not be read, proposals the folder cannot take) go to\n"
      << "standard error; `fix` skips such proposals.\n\n"
      << "RUN OPTIONS:\n"
      << RunOptions::help();
}

// "done of total" on one terminal line, at most every 200 ms; nothing when
// standard error is not a terminal.
Progress terminalProgress(QTextStream& err)
{
    if (!::isatty(STDERR_FILENO)) return {};
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    return [&err, clock, last = qint64(-1000)](qsizetype done, qsizetype total) mutable {
        const qint64 now = clock->elapsed();
        if (now - last >= 200 || done == total) {
            last = now;
            err << "\r" << done << " of " << total << " files" << (done == total ? "\n" : "");
            err.flush();
        }
        return true;
    };
}

int runSimulate(const QStringList& arguments, Streams& io)
{
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        simulateHelp(io.out);
        return ExitOk;
    }
    RunOptions run;
    QString error;
    if (!run.parse(arguments, error)) {
        io.err << "vantrel-cli simulate: " << error << "\nTry 'vantrel-cli simulate --help'.\n";
        return ExitUsage;
    }
    CliPrompter prompter(io.err);
    FileList list;
    if (!run.load(list, prompter, error)) {
        io.err << "vantrel-cli simulate: " << error << '\n';
        return ExitFailure;
    }

    SimulationHooks hooks;
    hooks.workingOn = [&io](const QString&) { return terminalProgress(io.err); };
    QString errorLog;
    const SimulationRun result = simulate(list, run.simulation, prompter, errorLog, hooks);
    printLog(io.err, errorLog);
    if (result.quitRequested) return ExitFailure;
    for (int r = 0; r < list.rowCountShown(); ++r) {
        if (!list.problem(r).isEmpty())
            io.err << "Cannot be renamed: " << list.lstAllfiles.at(r) << " -> " << list.row(r).after << ": "
                   << list.problem(r) << '\n';
    }
    printPlan(io.out, list, run.json);
    return ExitOk;
}

} // namespace
} // namespace vantrel::cli

VANTREL_CLI_COMMAND(simulate, "simulate", "proposes new names for audio files without changing them",
                    vantrel::cli::runSimulate);
