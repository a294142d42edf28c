// Help and the update check of the main window.
#include "frmHelp.h"
#include "frmMain.h"
#include "platform/UpdateCheck.h"

#include <QUrl>

namespace vantrel {

namespace {

// The open help window, or a new one bound to the main window's desktop seam.
frmHelp* helpWindow(frmMain& main, QPointer<QWidget>& slot)
{
    if (auto* open = qobject_cast<frmHelp*>(slot.data())) return open;
    auto* help = new frmHelp(&main);
    help->openUrl = [&main](const QUrl& url) { main.opener().open(url.toString()); };
    slot = help;
    return help;
}

} // namespace

void frmMain::cmdAbout_Click()
{
    frmHelp* help = helpWindow(*this, frmHelpWindow);
    help->show();
    help->raise();
    help->disp(0);
}

void frmMain::lblHelp_Click(int index)
{
    frmHelp* help = helpWindow(*this, frmHelpWindow);
    help->disp(index);
    help->show();
    help->raise();
}

void frmMain::timUpdate_Timer()
{
    // Once per start; the check itself runs in the background of the event
    // loop and reports through the status line.
    timUpdate->stop();
    auto* check = new UpdateCheck(prompter(), UpdateCheck::Setup::forThisProgram(), this);
    connect(check, &UpdateCheck::statusChanged, lblPath, &QLabel::setText);
    connect(check, &UpdateCheck::quitRequested, this, &frmMain::cmdExit_Click);
    connect(check, &UpdateCheck::finished, check, &QObject::deleteLater);
    check->run();
}

} // namespace vantrel
