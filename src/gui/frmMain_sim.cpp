// Simulation and renaming options of the main window.
#include "frmMain.h"

namespace vantrel {

void frmMain::cmdSim_Click() {}

void frmMain::cmdOpts_Click() {}

void frmMain::loadSubWindows() {}

} // namespace vantrel
