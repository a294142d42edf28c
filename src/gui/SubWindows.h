// The hidden windows the main window loads at start (the renaming options and
// the tag window), and the settings the batch operations read from the
// windows, gathered into one value.
#pragma once

#include "batch/Simulation.h"
#include "parser/FilenameParser.h"

namespace vantrel {

class formTag;
class frmMain;
class frmOpts;

// The renaming options window of main (created hidden if it is not there yet).
frmOpts& optionsWindow(frmMain& main);

// The tag window object of main. Its messages go to main's current prompter.
formTag& tagWindow(frmMain& main);

// The parser options as the windows hold them at this moment: "Remove track
// numbers " from the main window, the rest from the renaming options.
ParserOptions parserOptions(frmMain& main);

// Everything a simulation reads: mode, "Use only ID3v1 (if possible)", the
// parser options and the renaming scheme.
SimulationOptions simulationOptions(frmMain& main);

// Closes the file details window if it is open. The details window registers
// itself in main.frmFileWindow when it opens.
void closeDetailsWindow(frmMain& main);

} // namespace vantrel
