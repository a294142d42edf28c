// Applying the simulation, the file details and undo of the main window.
#include "frmMain.h"

namespace vantrel {

void frmMain::cmdFix_Click() {}

void frmMain::lvFiles_DblClick() {}

void frmMain::cmdUndo_Click() {}

} // namespace vantrel
