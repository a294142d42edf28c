// "Simulate before fix!": proposes a new name for every listed file, from its
// tag or from its current name, without touching any file. The plan lands in
// the file list (After, Artist and Title columns); problems in errorLog.
//
// Both front ends run it the same way:
//
//     SimulationOptions o = ...;                 // the windows' settings, or RUN OPTIONS
//     SimulationHooks h;                         // working panel, progress, details window
//     SimulationRun r = simulate(list, o, prompter, errorLog, h);
//     if (r.ran && !r.cancelled) enable "Fix files!";
//     offerErrorLog(errorLog, prompter, clipboard);   // the window; the CLI prints errorLog
//
// Tag reading and parsing run on every core and ask nothing; the run then
// takes the files in list order, applies the duplicate rule, writes the log
// lines and asks the questions, so the result equals a one-by-one run.
//
// The plan is what "Fix files!" does: each proposal is cleaned as the
// renaming cleans it and differs (in any letter case) from every earlier one
// and from the other files of its folder, so the folder ends up holding
// exactly the After names. A proposal the folder cannot take (nameProblem)
// is marked in its row (FileList::problem) and skipped by the renaming. In
// the tag mode nothing is renamed: After is the current name, and Artist and
// Title show what the tag run writes (tagsToWrite).
#pragma once

#include "batch/ErrorLog.h" // offerErrorLog, for the log the run leaves
#include "batch/Estimates.h"
#include "batch/FileList.h"
#include "batch/Progress.h"
#include "parser/FilenameParser.h"
#include "parser/RenamingScheme.h"

#include <QString>
#include <functional>

namespace vantrel {

class Clipboard;
class Prompter;

// The renaming scheme for names made from tags, as the options window holds it.
struct SchemeSetting {
    SchemeChoice choice = SchemeChoice::ArtistTitle; // optScheme
    QString pattern = defaultSchemePattern();        // txtScheme, used by the custom choice
};

// Everything a simulation reads from the windows, as one value.
struct SimulationOptions {
    Mode mode = Mode::TagNames; // optType
    bool forceId1 = false;      // chkForceId1: name from ID3v1 when it holds artist and title
    // The parser options; removeTrackNumbers is the main window's chkNumbers,
    // the others (allUpper included) come from the renaming options window.
    ParserOptions parser;
    // The renaming scheme (optScheme, txtScheme) for names made from tags.
    SchemeSetting scheme;
    // Worker threads reading tags and parsing; 0 means one per core. The
    // result does not depend on it.
    int threads = 0;
};

// What the run around fixlist needs from the window. Every member may be empty.
struct SimulationHooks {
    std::function<void()> closeDetails; // unload the details window
    // Shows the working panel with the estimate and lets it paint; returns the
    // progress callback bound to the panel (empty: no progress, no cancel).
    std::function<Progress(const QString& estimate)> workingOn;
    std::function<void()> workingOff; // hide the panel
};

struct SimulationRun {
    bool ran = false;           // false when the user declined the "Fix files" question
    bool cancelled = false;     // stopped between files; "Fix files!" must stay disabled
    bool quitRequested = false; // a fatal tag error was answered "exit the program"
    qsizetype processed = 0;    // files of the list that got a proposal
    qsizetype vanished = 0;     // files that left the list because they no longer exist
};

// The "Track numbers" question: asked when the custom scheme contains
// "<Track>" (exact case), the mode is names from tags and track numbers are
// removed. Returns the question's text.
QString trackNumbersQuestion();
// "You are about to simulate fix of N files. Continiue?"
QString simulateQuestion(qsizetype fileCount);
// "Estimated total time" text of a simulation of n files.
QString simulateEstimate(qsizetype fileCount, const SimulationOptions& options);

// Asks the questions that come before a simulation. "Yes" to the track
// numbers question turns removeTrackNumbers off in options (the caller puts it
// back into its check box). Returns false when the user declined the run.
bool askBeforeSimulate(SimulationOptions& options, qsizetype fileCount, Prompter& prompter);

// The click on "Simulate before fix!" without the window: clears lstSim, asks,
// closes the details window, shows the panel with the estimate, runs fixlist,
// hides the panel. Does not offer the error log (see offerErrorLog).
SimulationRun simulate(FileList& list, SimulationOptions& options, Prompter& prompter, QString& errorLog,
                       const SimulationHooks& hooks = {});

// The run over the list. Empties errorLog first, then adds one line per file
// that no longer exists (and removes it from the list). Fills lstSim,
// lstArtist, lstTit and lstProblem with one entry per file reached and rebuilds the table
// with the proposals in the After column. progress is called before the first
// file, after each one and about every 20 ms while a slow file is read;
// returning false stops the run there (files not reached keep an empty After).
// Messages of the tag routines go to prompter in list order.
SimulationRun fixlist(FileList& list, const SimulationOptions& options, Prompter& prompter, QString& errorLog,
                      const Progress& progress = {});

} // namespace vantrel
