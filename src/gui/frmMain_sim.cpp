// Simulation and renaming options of the main window.
#include "SubWindows.h"
#include "frmMain.h"
#include "frmOpts.h"
#include "tags/formTag.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vantrel {

namespace {

// Hands the tag window's messages to whatever prompter the main window uses
// when they come (tests swap it after start-up).
class MainPrompter : public Prompter {
  public:
    explicit MainPrompter(frmMain& main) : main_(main) {}
    Answer ask(Question id, const QString& text, const QString& title, Buttons buttons, Icon icon) override
    {
        return main_.prompter().ask(id, text, title, buttons, icon);
    }

  private:
    frmMain& main_;
};

// Keeps the tag window object alive as long as the main window.
class TagWindowHolder : public QObject {
  public:
    explicit TagWindowHolder(frmMain& main) : QObject(&main), prompter(main), form(prompter)
    {
        setObjectName(QStringLiteral("formTag"));
    }
    MainPrompter prompter;
    formTag form;
};

} // namespace

frmOpts& optionsWindow(frmMain& main)
{
    auto* w = qobject_cast<frmOpts*>(main.frmOptsWindow.data());
    if (!w) {
        w = new frmOpts(&main);
        main.frmOptsWindow = w;
    }
    return *w;
}

formTag& tagWindow(frmMain& main)
{
    auto* holder = main.findChild<TagWindowHolder*>(QStringLiteral("formTag"), Qt::FindDirectChildrenOnly);
    if (!holder) holder = new TagWindowHolder(main);
    return holder->form;
}

ParserOptions parserOptions(frmMain& main)
{
    const frmOpts& o = optionsWindow(main);
    ParserOptions p;
    p.removeTrackNumbers = main.chkNumbers->isChecked();
    p.capitalizeWords = o.chkUcase->isChecked();
    p.removeText = o.txtRemove->text();
    p.removeEnabled = o.chkRemove->isChecked();
    p.collapseRepeats = o.chkRep->isChecked();
    p.replaceEnabled = o.chkReplace->isChecked();
    p.replaceWhat = o.txtRepWhat->text();
    p.replaceWith = o.txtRepWith->text();
    p.removeAllNumbers = o.chkRemAllNum->isChecked();
    p.allUpper = o.chkUcaseAll->isChecked();
    return p;
}

SimulationOptions simulationOptions(frmMain& main)
{
    const frmOpts& o = optionsWindow(main);
    SimulationOptions s;
    s.mode = main.mode();
    s.forceId1 = main.chkForceId1->isChecked();
    s.parser = parserOptions(main);
    s.scheme.choice = static_cast<SchemeChoice>(o.schemeIndex());
    s.scheme.pattern = o.txtScheme->text();
    return s;
}

void closeDetailsWindow(frmMain& main)
{
    QWidget* details = main.frmFileWindow.data();
    if (!details) return;
    details->close();
    if (main.frmFileWindow) main.frmFileWindow->deleteLater();
    main.frmFileWindow = nullptr;
}

void frmMain::cmdSim_Click()
{
    simulating = true;
    SimulationOptions options = simulationOptions(*this);
    SimulationHooks hooks;
    hooks.closeDetails = [this] { closeDetailsWindow(*this); };
    hooks.workingOn = [this](const QString& estimate) {
        working(true, estimate);
        Progress progress = workingProgress();
        Delay(0.1);
        return progress;
    };
    hooks.workingOff = [this] { working(false); };

    const SimulationRun run = simulate(fileList(), options, prompter(), errorLog, hooks);
    // "Yes" to the track numbers question turns the option off for good.
    if (!options.parser.removeTrackNumbers) chkNumbers->setChecked(false);
    if (run.quitRequested) {
        cmdExit_Click();
        return;
    }
    if (!run.ran) return;
    // A stopped run is no plan to apply.
    cmdFix->setEnabled(!run.cancelled);
    offerErrorLog(errorLog, prompter(), clipboard());
}

void frmMain::cmdOpts_Click()
{
    frmOpts& w = optionsWindow(*this);
    w.show();
    w.raise();
    w.activateWindow();
}

void frmMain::loadSubWindows()
{
    optionsWindow(*this).hide();
    tagWindow(*this);
}

} // namespace vantrel
