#include "frmMain.h"

#include "SubWindows.h"
#include "Version.h"
#include "batch/Estimates.h"
#include "batch/FixJournal.h"
#include "batch/FolderLoader.h"
#include "frmOpts.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace vantrel {

namespace {

// Design sizes are kept in twips; 15 twips make one pixel at 96 dpi.
constexpr int px(int twips)
{
    return twips / 15;
}

template <class W> W* named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& tip)
{
    auto* b = named(new QPushButton(caption, parent), name);
    if (!tip.isEmpty()) b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QPixmap drawLogo(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 140, 0));
    p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), size * 0.2, size * 0.2);
    p.setPen(QPen(Qt::white, size * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal m = size * 0.26;
    p.drawPolyline(QList<QPointF>{{m, m}, {size / 2.0, size - m}, {size - m, m}});
    return pm;
}

QPixmap drawHourglass(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 90, 160), 2));
    p.setBrush(QColor(255, 200, 120));
    const qreal s = size;
    p.drawPolygon(QList<QPointF>{{s * 0.2, s * 0.1}, {s * 0.8, s * 0.1}, {s * 0.5, s * 0.5}});
    p.drawPolygon(QList<QPointF>{{s * 0.5, s * 0.5}, {s * 0.8, s * 0.9}, {s * 0.2, s * 0.9}});
    return pm;
}

} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent), qtPrompter_(this)
{
    setObjectName(QStringLiteral("frmMain"));
    BrowseForFolder = [](QWidget* owner, const QString& caption) {
        return QFileDialog::getExistingDirectory(owner, caption, QDir::homePath(), QFileDialog::ShowDirsOnly);
    };
    buildControls();
    startUp();
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    setWindowTitle(QStringLiteral("VANTREL - tidy the names and tags of your music"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    body_ = named(new QWidget(this), "body");
    outer->addWidget(body_);
    auto* v = new QVBoxLayout(body_);
    v->setContentsMargins(px(120), px(60), px(280), px(120));
    v->setSpacing(px(60));

    // Title row: logo and title on the left, version labels on the right.
    auto* head = new QHBoxLayout;
    image1 = named(new QLabel(body_), "image1");
    image1->setPixmap(drawLogo(28));
    Label1 = named(new QLabel(QStringLiteral("VANTREL v1.5"), body_), "Label1");
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPointSize(14);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label1->setStyleSheet(QStringLiteral("color: #ff8c00;"));
    lblVer = named(new QLabel(body_), "lblVer"); // the version, from startUp
    lblVer->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    head->addWidget(image1);
    head->addWidget(Label1);
    head->addStretch(1);
    head->addWidget(lblVer);
    v->addLayout(head);

    // The file area: folder row, buttons, status line and the table.
    fmeMain = named(new QFrame(body_), "fmeMain");
    fmeMain->setFrameShape(QFrame::StyledPanel);
    auto* m = new QVBoxLayout(fmeMain);
    m->setContentsMargins(px(120), px(120), px(120), px(120));
    m->setSpacing(px(60));
    txtPath = named(new QLineEdit(QStringLiteral("C:\\Media"), fmeMain), "txtPath");
    m->addWidget(txtPath);
    auto* row = new QHBoxLayout;
    row->setSpacing(px(120));
    cmdLoad = button(fmeMain, "cmdLoad", QStringLiteral("Load"), QStringLiteral("Process folder"));
    cmdDir = button(fmeMain, "cmdDir", QStringLiteral("Browse"), QStringLiteral("Select a folder"));
    chkSubF = named(new QCheckBox(QStringLiteral("Include subfolders"), fmeMain), "chkSubF");
    chkSubF->setChecked(true);
    cmdClear =
        button(fmeMain, "cmdClear", QStringLiteral("Clear list"), QStringLiteral("Clear the list below"));
    cmdOpts = button(fmeMain, "cmdOpts", QStringLiteral("Renaming schemes"),
                     QStringLiteral("Create custom renaming schemes and other options"));
    cmdAbout =
        button(fmeMain, "cmdAbout", QStringLiteral("Help"), QStringLiteral("General help about Vantrel"));
    row->addWidget(cmdLoad);
    row->addWidget(cmdDir);
    row->addWidget(chkSubF);
    row->addStretch(1);
    row->addWidget(cmdClear);
    row->addWidget(cmdOpts);
    row->addWidget(cmdAbout);
    m->addLayout(row);
    lblPath = named(new QLabel(fmeMain), "lblPath"); // the status line
    lblPath->setMinimumWidth(1);
    m->addWidget(lblPath);
    lvFiles = named(new FileTable(fmeMain), "lvFiles");
    lvFiles->setModel(&fileList_);
    lvFiles->setToolTip(QStringLiteral("Double-click a file to edit it's information and tags"));
    lvFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvFiles->setWordWrap(false);
    lvFiles->setShowGrid(false);
    lvFiles->verticalHeader()->hide();
    lvFiles->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lvFiles->verticalHeader()->setDefaultSectionSize(lvFiles->fontMetrics().height() + 4);
    lvFiles->horizontalHeader()->setHighlightSections(false);
    lvFiles->horizontalHeader()->setStretchLastSection(false);
    const int widths[FileList::ColumnCount] = {px(5115), px(5115), px(1940), px(1940), px(706)};
    for (int c = 0; c < FileList::ColumnCount; ++c)
        lvFiles->setColumnWidth(c, widths[c]);
    lvFiles->setMinimumSize(px(1500), px(900));
    m->addWidget(lvFiles, 1);
    v->addWidget(fmeMain, 1);

    // The mode and the two options, each with its "info" link on the right.
    fmeOpt = named(new QGroupBox(QStringLiteral("Renaming options"), body_), "fmeOpt");
    fmeOpt->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* g = new QGridLayout(fmeOpt);
    g->setContentsMargins(px(120), px(120), px(120), px(120));
    g->setVerticalSpacing(px(45));
    static const char* const optNames[3] = {"optType(0)", "optType(1)", "optType(2)"};
    const QString optTexts[3] = {
        QStringLiteral(
            "Rename using info from ID3-tag. If tag is empty, the current filename will be corrected."),
        QStringLiteral("Ignore ID3-tag. Just correct current filename."),
        QStringLiteral("Update ID3-tag with info from the current filename, assuming it's <Artist> - <Song "
                       "name>.mp3 etc.")};
    for (int i = 0; i < 3; ++i) {
        optType[i] = named(new QRadioButton(optTexts[i], fmeOpt), optNames[i]);
        optType[i]->setMinimumWidth(1);
        g->addWidget(optType[i], i, 0);
    }
    optType[0]->setChecked(true);
    auto* checks = new QHBoxLayout;
    chkForceId1 = named(new QCheckBox(QStringLiteral("Use only ID3v1 (if possible)"), fmeOpt), "chkForceId1");
    chkNumbers = named(new QCheckBox(QStringLiteral("Remove track numbers "), fmeOpt), "chkNumbers");
    chkNumbers->setChecked(true);
    checks->addWidget(chkForceId1);
    checks->addSpacing(px(360));
    checks->addWidget(chkNumbers);
    checks->addStretch(1);
    g->addLayout(checks, 3, 0);
    static const char* const helpNames[5] = {"", "lblHelp(1)", "lblHelp(2)", "lblHelp(3)", "lblHelp(4)"};
    for (int i = 1; i <= 4; ++i) {
        lblHelp[i] = named(new ClickLabel(QStringLiteral("info"), fmeOpt), helpNames[i]);
        lblHelp[i]->setStyleSheet(QStringLiteral("color: blue;"));
        lblHelp[i]->setCursor(Qt::PointingHandCursor);
        g->addWidget(lblHelp[i], i - 1, 1, Qt::AlignRight | Qt::AlignVCenter);
    }
    g->setColumnStretch(0, 1);
    v->addWidget(fmeOpt);

    prgLoad = named(new QProgressBar(body_), "prgLoad");
    prgLoad->setRange(0, 100);
    prgLoad->setValue(0);
    prgLoad->setTextVisible(false);
    prgLoad->setFixedHeight(px(255));
    v->addWidget(prgLoad);

    bottom_ = named(new QWidget(body_), "bottomButtons");
    auto* bottom = new QHBoxLayout(bottom_);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(px(105));
    cmdSim = button(bottom_, "cmdSim", QStringLiteral("Simulate before fix!"),
                    QStringLiteral("Generate the new filenames"));
    cmdFix = button(bottom_, "cmdFix", QStringLiteral("Fix files!"),
                    QStringLiteral("Rename the files to the new names. Run a simulation first!"));
    cmdFix->setEnabled(false);
    cmdUndo = button(bottom_, "cmdUndo", QStringLiteral("Undo last fix"),
                     QStringLiteral("Give the files of the last fix their old names back"));
    // A fix from an earlier session (even one that was interrupted) can be undone.
    cmdUndo->setEnabled(FixJournal::canUndo());
    cmdExit = button(bottom_, "cmdExit", QStringLiteral("Exit"), QString());
    bottom->addWidget(cmdSim);
    bottom->addWidget(cmdFix);
    bottom->addWidget(cmdUndo);
    bottom->addStretch(1);
    bottom->addWidget(cmdExit);
    v->addWidget(bottom_);

    // The working panel floats over everything and stays usable while the
    // controls are disabled, so that its Cancel button can be clicked.
    fmeLoad = named(new QFrame(this), "fmeLoad");
    fmeLoad->setFrameShape(QFrame::Box);
    fmeLoad->setAutoFillBackground(true);
    auto* wl = new QGridLayout(fmeLoad);
    wl->setContentsMargins(px(120), px(90), px(120), px(90));
    Image2 = named(new QLabel(fmeLoad), "Image2");
    Image2->setPixmap(drawHourglass(32));
    lblLoad = named(new QLabel(QStringLiteral("Working, please wait..."), fmeLoad), "lblLoad");
    QFont bold = lblLoad->font();
    bold.setBold(true);
    lblLoad->setFont(bold);
    lblEst = named(new QLabel(fmeLoad), "lblEst"); // set with each run
    lblDone = named(new QLabel(fmeLoad), "lblDone");
    lblDone->hide();
    cmdCancel =
        button(fmeLoad, "cmdCancel", QStringLiteral("Cancel"), QStringLiteral("Stop after the current file"));
    cmdCancel->hide();
    wl->addWidget(Image2, 0, 0, 3, 1, Qt::AlignTop);
    wl->addWidget(lblLoad, 0, 1);
    wl->addWidget(lblEst, 1, 1);
    wl->addWidget(lblDone, 2, 1);
    wl->addWidget(cmdCancel, 3, 1, Qt::AlignRight);
    wl->setColumnStretch(1, 1);
    for (QLabel* l : {lblLoad, lblEst, lblDone})
        l->setWordWrap(true);
    fmeLoad->hide();

    timUpdate = new QTimer(this);
    timUpdate->setObjectName(QStringLiteral("timUpdate"));
    timUpdate->setInterval(500);

    // Wiring.
    connect(cmdLoad, &QPushButton::clicked, this, &frmMain::cmdLoad_Click);
    connect(txtPath, &QLineEdit::returnPressed, this, &frmMain::cmdLoad_Click);
    connect(cmdDir, &QPushButton::clicked, this, &frmMain::cmdDir_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmMain::cmdClear_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(cmdSim, &QPushButton::clicked, this, &frmMain::cmdSim_Click);
    connect(cmdOpts, &QPushButton::clicked, this, &frmMain::cmdOpts_Click);
    connect(cmdFix, &QPushButton::clicked, this, &frmMain::cmdFix_Click);
    connect(cmdUndo, &QPushButton::clicked, this, &frmMain::cmdUndo_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
    for (int i = 1; i <= 4; ++i)
        connect(lblHelp[i], &ClickLabel::clicked, this, [this, i] { lblHelp_Click(i); });
    for (QRadioButton* o : optType)
        connect(o, &QRadioButton::clicked, this, [this] { cmdSim->setEnabled(true); });
    connect(lvFiles, &FileTable::doubleClickedAnywhere, this, &frmMain::lvFiles_DblClick);
    connect(lvFiles, &FileTable::filesDropped, this, &frmMain::addDroppedPaths);
    connect(lvFiles, &FileTable::deletePressed, this, &frmMain::deleteSelectedRows);
    connect(&fileList_, &FileList::rebuilt, this, &frmMain::onListRebuilt);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        cancelRequested_ = true;
        lblLoad->setText(QStringLiteral("Stopping..."));
    });
    // The check waits while a run is in progress; the timer simply fires again.
    connect(timUpdate, &QTimer::timeout, this, [this] {
        if (!working_) timUpdate_Timer();
    });

    // The design size, widened when the option texts need more in this font.
    resize(qMax(px(9180), sizeHint().width()), px(7980));
}

void frmMain::startUp()
{
    txtPath->setText(programFolder());
    lblVer->setText(versionLabel());
    loadSubWindows();
    // From here on nothing that fails stops the start.
    lblPath->setText(QStringLiteral("Checking for updates, please wait..."));
    move(px(480), px(480));
    timUpdate->start();
}

Mode frmMain::mode() const
{
    static constexpr Mode byButton[3] = {Mode::TagNames, Mode::FileNames, Mode::TagsFromNames};
    for (int i = 0; i < 3; ++i) {
        if (optType[i]->isChecked()) return byButton[i];
    }
    return Mode::TagNames;
}

void frmMain::setPrompter(Prompter* p)
{
    prompter_ = p ? p : &qtPrompter_;
}

void frmMain::setClipboard(Clipboard* c)
{
    clipboard_ = c ? c : &qtClipboard_;
}

void frmMain::setOpener(DesktopOpener* o)
{
    opener_ = o ? o : &desktopOpener_;
}

void frmMain::onListRebuilt()
{
    cmdFix->setEnabled(false);
    lblPath->setText(fileList_.statusText());
    lvFiles->viewport()->update();
}

// ---------------------------------------------------------------- working panel

void frmMain::centreWorkingPanel()
{
    // As wide as its longest text needs, but never wider than the window: a
    // text that does not fit wraps onto more lines instead of being cut.
    auto* grid = static_cast<QGridLayout*>(fmeLoad->layout());
    grid->activate();
    int textWidth = 0;
    for (QLabel* l : {lblLoad, lblEst, lblDone}) {
        if (!l->isHidden())
            textWidth = qMax(textWidth, l->fontMetrics().horizontalAdvance(l->text()) + 2 * l->margin() + 2);
    }
    const QMargins m = grid->contentsMargins();
    const int natural = m.left() + m.right() + 2 * fmeLoad->frameWidth() + Image2->sizeHint().width() +
                        qMax(0, grid->horizontalSpacing()) + qMax(textWidth, cmdCancel->sizeHint().width());
    const int room = qMax(px(1500), width() - 2 * px(120));
    const int w = qMin(room, qMax(px(4095), natural));
    fmeLoad->setMinimumWidth(0);
    fmeLoad->resize(w, grid->totalHeightForWidth(w));
    const int x = width() / 2 - fmeLoad->width() / 2;
    const int y = height() / 2 - fmeLoad->height() / 2 - px(500);
    fmeLoad->move(qMax(0, x), qMax(0, y));
}

void frmMain::working(bool state, const QString& estimate)
{
    if (!state) {
        fmeLoad->hide();
        cmdCancel->hide();
        lblDone->hide();
        lblLoad->setText(QStringLiteral("Working, please wait..."));
        setControlsEnabled(true);
        working_ = false;
        return;
    }
    working_ = true;
    cancelRequested_ = false;
    lblEst->setText(QStringLiteral("Estimated total time: ") +
                    (estimate.isEmpty() ? QStringLiteral("Unknown") : estimate));
    setControlsEnabled(false);
    centreWorkingPanel();
    fmeLoad->show();
    fmeLoad->raise();
}

// Disabling the containers keeps each button's own enabled state, so what a
// run enables or disables shows once the panel is gone. The progress bar and
// the title stay as they are.
void frmMain::setControlsEnabled(bool on)
{
    for (QWidget* w : {static_cast<QWidget*>(fmeMain), static_cast<QWidget*>(fmeOpt), bottom_})
        w->setEnabled(on);
}

void frmMain::Delay(double seconds)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 wait = seconds > 0 ? static_cast<qint64>(seconds * 1000.0) : 0;
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const qint64 left = wait - clock.elapsed();
        if (left <= 0) break;
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(left, 10)));
    }
}

Progress frmMain::workingProgress()
{
    cancelRequested_ = false;
    cmdCancel->show();
    lblDone->setText(QString());
    lblDone->show();
    if (fmeLoad->isVisible()) centreWorkingPanel();
    QElapsedTimer clock;
    clock.start();
    QPointer<frmMain> self(this);
    qint64 lastPaint = -1000;
    return [self, clock, lastPaint](qsizetype done, qsizetype total) mutable -> bool {
        if (!self) return false;
        const qint64 now = self->workingClock ? self->workingClock() : clock.elapsed();
        if (now - lastPaint >= 50 || (total > 0 && done >= total)) {
            lastPaint = now;
            QString text;
            if (total > 0 && done <= total) {
                text = QStringLiteral("%1 of %2 files").arg(done).arg(total);
                if (done > 0 && done < total) {
                    const double left = static_cast<double>(now) / 1000.0 *
                                        static_cast<double>(total - done) / static_cast<double>(done);
                    text += QStringLiteral(", time left: ") +
                            SetTimeFormat(static_cast<double>(roundHalfEven(left)));
                }
            } else {
                text = QStringLiteral("%1 files").arg(done);
            }
            self->lblDone->setText(text);
            self->centreWorkingPanel(); // a longer line widens or wraps the panel
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (!self) return false;
        }
        return !self->cancelRequested_;
    };
}

// ---------------------------------------------------------------- loading

void frmMain::prepareLoader(FolderLoader& loader, const Progress& panel)
{
    loader.progress = panel;
    loader.onPercent = [this](int p) { prgLoad->setValue(p); };
    loader.onStatus = [this](const QString& s) { lblPath->setText(s); };
    loader.allFormats = optionsWindow(*this).chkAllFormats->isChecked();
}

void frmMain::loadFolder(const QString& folder, bool browseHint)
{
    working(true);
    Delay(0.1);
    FolderLoader loader(fileList_, prompter());
    prepareLoader(loader, workingProgress());
    const bool any = loader.loadFresh(folder, chkSubF->isChecked());
    // Load tells before the table is rebuilt, Browse after the panel is gone.
    if (!any && browseHint && !loader.cancelled)
        prompter().tell(Question::NoFiles, FolderLoader::noFilesText(true), FolderLoader::noFilesTitle(),
                        Icon::Information);
    fileList_.listviewthem();
    working(false);
    if (!any && !browseHint && !loader.cancelled)
        prompter().tell(Question::NoFiles, FolderLoader::noFilesText(false), FolderLoader::noFilesTitle(),
                        Icon::Information);
}

void frmMain::loadFolderFromBox()
{
    loadFolder(txtPath->text(), true);
}

void frmMain::cmdLoad_Click()
{
    if (working_) return;
    loadFolderFromBox();
}

void frmMain::cmdDir_Click()
{
    if (working_ || !BrowseForFolder) return;
    const QString folder = BrowseForFolder(this, QStringLiteral("Select a folder (Limit 100.000 files)"));
    if (folder.isEmpty()) return;
    txtPath->setText(folder);
    loadFolder(folder, false);
}

void frmMain::addDroppedPaths(const QStringList& paths)
{
    if (working_ || paths.isEmpty()) return;
    const long long n = paths.size();
    working(true, QStringLiteral("More than %1s").arg(estimateDrop(n)));
    Delay(0.1);
    FolderLoader loader(fileList_, prompter());
    prepareLoader(loader, workingProgress());
    loader.addDropped(paths, chkSubF->isChecked());
    fileList_.listviewthem();
    working(false);
}

void frmMain::deleteSelectedRows()
{
    if (working_ || !lvFiles->selectionModel()) return;
    // Rows straight from the selection ranges: asking row by row whether it is
    // selected takes quadratic time on a long list with scattered selections.
    QList<int> rows;
    const QItemSelection selection = lvFiles->selectionModel()->selection();
    for (const QItemSelectionRange& r : selection) {
        for (int row = r.top(); row <= r.bottom(); ++row)
            rows.append(row);
    }
    // A stray Delete with nothing selected must not wipe the proposals.
    if (rows.isEmpty()) return;
    fileList_.removeFiles(rows);
}

void frmMain::buttonpress(int index)
{
    const QString path = FileList::at(fileList_.lstAllfiles, index);
    if (path.isEmpty()) return;
    const int result = StartDoc(path);
    if (result <= 32) {
        const QString why = result == 2   ? QStringLiteral("File not found")
                            : result == 3 ? QStringLiteral("Path not found")
                            : result == 5 ? QStringLiteral("Access denied")
                                          : QStringLiteral("No association for file extension: Check your "
                                                           "windows file association settings");
        prompter().tell(Question::OpenFailed, QStringLiteral("File: ") + path + QStringLiteral("\r\n") + why,
                        QStringLiteral("Error"), Icon::Critical);
    }
    activateWindow();
    setFocus();
}

int frmMain::StartDoc(const QString& DocName)
{
    // The desktop only says yes or no; the likely reasons are found out first.
    if (!PathTaken(DocName)) return FolderExists(FileList::location(DocName)) ? 2 : 3;
    if (!FileExists(DocName)) return 5;
    return opener().open(DocName) ? 42 : 31;
}

void frmMain::cmdClear_Click()
{
    if (working_) return;
    fileList_.clearAll();
}

// ---------------------------------------------------------------- end of the program

void frmMain::cmdExit_Click()
{
    close();
}

void frmMain::closeEvent(QCloseEvent* e)
{
    // Ends the whole program, whatever other window is open; a run in
    // progress stops at its next progress report.
    cancelRequested_ = true;
    e->accept();
    QCoreApplication::quit();
}

void frmMain::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (fmeLoad && fmeLoad->isVisible()) centreWorkingPanel();
}

} // namespace vantrel
