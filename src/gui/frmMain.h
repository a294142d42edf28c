// The main window: folder row, modes and options, the file table, the working
// panel. Its controls are public so that the other windows and the tests read
// and drive them directly, as the settings they are.
#pragma once

#include "DesktopOpener.h"
#include "FileTable.h"
#include "QtClipboard.h"
#include "QtPrompter.h"
#include "batch/Estimates.h"
#include "batch/FileList.h"
#include "batch/Progress.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace vantrel {

class FolderLoader;

class frmMain : public QWidget {
    Q_OBJECT

  public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // --- controls (objectName = member name; arrays as "optType(0)", "lblHelp(1)") ---
    QLabel* image1 = nullptr; // logo
    QLabel* Label1 = nullptr; // title text
    QLabel* lblVer = nullptr; // running version, "v4.14"

    QGroupBox* fmeOpt = nullptr; // "Renaming options"
    QRadioButton* optType[3] = {};
    QCheckBox* chkForceId1 = nullptr;
    QCheckBox* chkNumbers = nullptr;
    ClickLabel* lblHelp[5] = {}; // indices 1 to 4; [0] stays null

    QPushButton* cmdSim = nullptr;
    QPushButton* cmdFix = nullptr;
    QPushButton* cmdUndo = nullptr;
    QPushButton* cmdExit = nullptr;

    QFrame* fmeMain = nullptr;
    QLineEdit* txtPath = nullptr;
    QPushButton* cmdLoad = nullptr;
    QPushButton* cmdDir = nullptr;
    QCheckBox* chkSubF = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdOpts = nullptr;
    QPushButton* cmdAbout = nullptr;
    QLabel* lblPath = nullptr; // status line
    FileTable* lvFiles = nullptr;

    QFrame* fmeLoad = nullptr; // working panel
    QLabel* lblLoad = nullptr;
    QLabel* lblEst = nullptr;
    QLabel* lblDone = nullptr; // "n of m files" during a long run with progress
    QLabel* Image2 = nullptr;
    QPushButton* cmdCancel = nullptr; // shown only for runs that can stop

    QProgressBar* prgLoad = nullptr;
    QTimer* timUpdate = nullptr;

    // The windows other parts create; the main window only keeps them.
    QPointer<QWidget> frmOptsWindow; // renaming options, loaded hidden at start
    QPointer<QWidget> frmFileWindow; // file details, while open
    QPointer<QWidget> frmHelpWindow; // help, while open

    // --- shared state ---
    bool simulating = false; // set by Simulate, cleared by Fix
    QString errorLog;        // error lines of the last run, each introduced by CR LF

    FileList& fileList() { return fileList_; }
    Prompter& prompter() { return *prompter_; }
    void setPrompter(Prompter* p); // null restores the message boxes
    Clipboard& clipboard() { return *clipboard_; }
    void setClipboard(Clipboard* c); // null restores the desktop clipboard
    DesktopOpener& opener() { return *opener_; }
    void setOpener(DesktopOpener* o); // null restores the desktop

    // The mode chosen with optType.
    Mode mode() const;

    // The folder dialog; tests replace it. Returns the chosen folder or empty text.
    std::function<QString(QWidget* owner, const QString& caption)> BrowseForFolder;

    // --- working panel ---
    // Shows (centred, in front, the window's controls disabled) or hides the
    // panel. An empty estimate shows "Estimated total time: Unknown".
    void working(bool state, const QString& estimate = {});
    // Waits at least the given time while the window keeps processing events.
    void Delay(double seconds);
    // Binds a long run to the panel: the callback shows "done of total" and
    // the time left, repaints the window at most every 50 ms, and returns
    // false once Cancel (shown from now until working(false)) was clicked.
    Progress workingProgress();
    // Milliseconds for the panel's repaint pace and time left; empty: a
    // steady clock. Tests put a fake clock here.
    std::function<qint64()> workingClock;

    // --- loading (also used by the drop and the tests) ---
    void loadFolderFromBox(); // "Load": the folder in txtPath
    void addDroppedPaths(const QStringList& paths);
    void deleteSelectedRows();

    // Opens entry index of lstAllfiles with the desktop's program for it (Play);
    // when that fails, says why in an "Error" message. Out-of-range does nothing.
    void buttonpress(int index);
    // Opens a file with the desktop's program. Returns a result above 32 on
    // success, otherwise one of the classic failure codes: 2 file not found,
    // 3 path not found, 5 access denied (also a folder or a pipe), 31 no
    // program for the file.
    int StartDoc(const QString& DocName);

  public Q_SLOTS:
    void cmdLoad_Click();
    void cmdDir_Click();
    void cmdClear_Click();
    void cmdExit_Click();

    // Provided by the simulation and options code.
    void cmdSim_Click();
    void cmdOpts_Click();
    void loadSubWindows(); // creates the hidden options and tag windows at start
    // Provided by the renaming code.
    void cmdFix_Click();
    void lvFiles_DblClick();
    void cmdUndo_Click();
    // Provided by the help and update code.
    void cmdAbout_Click();
    void lblHelp_Click(int index);
    void timUpdate_Timer();

  protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    void buildControls();
    void startUp();
    void centreWorkingPanel();
    void onListRebuilt();
    // A loader bound to the progress bar and the status line.
    void prepareLoader(FolderLoader& loader, const Progress& panel);
    void loadFolder(const QString& folder, bool browseHint);

    FileList fileList_;
    QtPrompter qtPrompter_;
    QtClipboard qtClipboard_;
    DesktopOpener desktopOpener_;
    Prompter* prompter_ = &qtPrompter_;
    Clipboard* clipboard_ = &qtClipboard_;
    DesktopOpener* opener_ = &desktopOpener_;

    void setControlsEnabled(bool on);

    QWidget* body_ = nullptr;   // every control but the working panel
    QWidget* bottom_ = nullptr; // the row of buttons under the progress bar
    bool working_ = false;
    bool cancelRequested_ = false;
};

} // namespace vantrel
