// RUN OPTIONS: what the batch commands (simulate, fix) take on the command
// line instead of the windows' settings, and the files they work on.
//
//   PARSER OPTIONS            as for `vantrel-cli parse` (track numbers removed
//                             and word capitals on unless turned off)
//   --mode tag-names|file-names|tags-from-names
//                             the main window's three modes (default tag-names)
//   --force-id3v1             "Use only ID3v1 (if possible)"
//   --scheme artist-title|title-artist|PATTERN
//                             the renaming scheme for names from tags (default
//                             artist-title); a PATTERN such as
//                             "<Track>. <Artist> - <Title>" is cleaned as the
//                             options window's "Close" cleans it
//   --no-subfolders           a folder PATH is loaded without its subfolders
//   --all-formats             FLAC, Ogg, Opus and M4A files are listed too
//   --json                    machine-readable output
//   PATH...                   folders (loaded as "Load" does) and files (added
//                             as a drop adds them), in the order given
//
// A command uses it like this:
//
//     RunOptions run;
//     QString error;
//     if (!run.parse(args, error)) { io.err << error << '\n'; return ExitUsage; }
//     FileList list;
//     CliPrompter prompter(io.err);               // answers Yes, prints messages
//     if (!run.load(list, prompter, error)) { io.err << error << '\n'; return ExitFailure; }
//     ... run.simulation is the SimulationOptions value ...
#pragma once

#include "batch/FileList.h"
#include "batch/Simulation.h"
#include "platform/Prompter.h"

#include <QStringList>
#include <QTextStream>

namespace vantrel::cli {

struct RunOptions {
    SimulationOptions simulation;
    bool includeSubfolders = true;
    bool allFormats = false; // "Also list FLAC, Ogg, Opus and M4A files"
    bool json = false;
    QStringList paths;

    // Reads args (options and PATHs, in any order; "--" ends the options).
    // On bad usage returns false with a one-line message in error.
    bool parse(const QStringList& args, QString& error);

    // Loads the PATHs into list (then rebuilds its table). A PATH that is
    // neither a file nor a folder is refused before anything is loaded:
    // false with the message in error.
    bool load(FileList& list, Prompter& prompter, QString& error) const;

    // The lines that describe RUN OPTIONS in a command's --help.
    static QString help();
};

// The command line's prompter: every question is answered Yes (a failed
// rename Ignore), messages (boxes with only an OK button) are printed to err
// as "title: text".
class CliPrompter : public Prompter {
  public:
    explicit CliPrompter(QTextStream& err) : err_(err) {}
    Answer ask(Question id, const QString& text, const QString& title, Buttons buttons, Icon icon) override;

  private:
    QTextStream& err_;
};

// Prints the list one line per file: Before, After, Artist, Title and Location
// separated by tabs, or with json a JSON array of objects with those keys and
// "problem" (why After cannot be used as the name; empty when it can).
void printPlan(QTextStream& out, const FileList& list, bool json);

// Prints a log made of lines each introduced by CR LF, one line per line.
void printLog(QTextStream& s, const QString& log);

} // namespace vantrel::cli
