// Help and the update check of the main window.
#include "frmMain.h"

namespace vantrel {

void frmMain::cmdAbout_Click() {}

void frmMain::lblHelp_Click(int /*index*/) {}

void frmMain::timUpdate_Timer()
{
    timUpdate->stop();
    lblPath->setText(fileList().statusText());
}

} // namespace vantrel
