// The main window: the working panel, loading, dropping, deleting, playing,
// its message boxes; "Simulate before fix!", "Fix files!", "Undo last fix" and
// the double-click on the table with scripted answers; the options window; the
// help window and controls; the update check at start.
#include "../core/platform/LockedFolder.h"
#include "FileTable.h"
#include "HelpTexts.h"
#include "Id3v2Bytes.h"
#include "MainWindowFixture.h"
#include "SubWindows.h"
#include "batch/FolderLoader.h"
#include "frmFile.h"
#include "frmHelp.h"
#include "frmOpts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <algorithm>

using namespace vantrel;
using vantrel::test::readFile;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

void perform(frmHelp& w, const QByteArray& action)
{
    const QList<QByteArray> parts = action.split(' ');
    if (parts[0] == "list")
        w.cmbSection->setCurrentIndex(parts[1].toInt());
    else if (parts[0] == "back")
        QTest::mouseClick(w.cmdBack, Qt::LeftButton);
    else if (parts[0] == "about")
        QTest::mouseClick(w.cmdAbout, Qt::LeftButton);
    else if (parts[0] == "dbl")
        QTest::mouseDClick(w.lblText, Qt::LeftButton, {}, QPoint(20, 20));
    else
        w.disp(parts[1].toInt());
}

// Drags the data over the table; drops it when the table takes it.
bool dragOn(FileTable* table, const QMimeData& mime)
{
    const QPointF pos = table->viewport()->rect().center();
    QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &drop);
    return drop.isAccepted();
}

bool dropOn(FileTable* table, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls.append(QUrl::fromLocalFile(p));
    mime.setUrls(urls);
    return dragOn(table, mime);
}

// What the window shows, to compare it with a fresh one.
QString state(const frmOpts& w)
{
    QString out = QString::number(w.schemeIndex());
    for (const QCheckBox* c :
         {w.chkRemAllNum, w.chkReplace, w.chkRemove, w.chkRep, w.chkUcaseAll, w.chkUcase, w.chkAllFormats})
        out += c->isChecked() ? u'1' : u'0';
    for (const QLineEdit* e : {w.txtScheme, w.txtRepWhat, w.txtRepWith, w.txtRemove})
        out += u'|' + e->text() + (e->isEnabled() ? u'+' : u'-');
    return out;
}

struct Main : test::MainWindow {
    // Untagged files of these names, listed.
    explicit Main(std::initializer_list<const char*> names = {})
    {
        QList<test::Listed> files;
        for (const char* n : names)
            files.append({QString::fromLatin1(n)});
        list(files);
    }
    QString at(const char* rel) const { return path(QString::fromLatin1(rel)); }
    void make(std::initializer_list<const char*> rels)
    {
        for (const char* r : rels)
            QVERIFY(test::writeFile(at(r), test::mpegFrames(1)));
    }
    void loadRoot(bool subfolders = true)
    {
        w.txtPath->setText(dir.path());
        w.chkSubF->setChecked(subfolders);
        QTest::mouseClick(w.cmdLoad, Qt::LeftButton);
    }
    void simulate() { QTest::mouseClick(w.cmdSim, Qt::LeftButton); }
    QStringList disk() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
    // Lists the files (each holding its name) with their proposals, as a finished simulation leaves them.
    void simulated(const QList<std::pair<QString, QString>>& files)
    {
        QList<test::Listed> l;
        for (const auto& [name, after] : files)
            l.append({name, name.toUtf8(), after});
        list(l);
        w.cmdFix->setEnabled(true);
    }
};

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void workingPanel()
    {
        Main m;
        m.w.show();
        m.w.cmdFix->setEnabled(false);
        m.w.working(true);
        QVERIFY(m.w.fmeLoad->isVisible() && !m.w.cmdLoad->isEnabled() && !m.w.cmdExit->isEnabled());
        QVERIFY(m.w.cmdCancel->isHidden()); // only runs that can stop show it
        // What a run enables while the panel shows is there once it is gone.
        m.w.cmdFix->setEnabled(true);
        m.w.working(false);
        QVERIFY(m.w.fmeLoad->isHidden() && m.w.cmdLoad->isEnabled() && m.w.cmdFix->isEnabled());

        // A run with progress: its count, its Cancel, and a fresh run uncancelled.
        m.w.working(true, u("12 min 30 sec"));
        Progress p = m.w.workingProgress();
        QVERIFY(m.w.cmdCancel->isVisible() && m.w.cmdCancel->isEnabled());
        QVERIFY(p(10, 40));
        QCOMPARE(m.w.lblDone->text().left(14), u("10 of 40 files"));
        // However narrow the window, each text is whole inside the panel and
        // the panel inside the window: wrapped, never cut.
        QVERIFY(p(123456, 9876543));
        for (const int width : {1600, 330, 200}) {
            m.w.resize(width, m.w.height());
            QVERIFY(m.w.rect().contains(m.w.fmeLoad->geometry()));
            for (QLabel* l : {m.w.lblLoad, m.w.lblEst, m.w.lblDone})
                QVERIFY(m.w.fmeLoad->contentsRect().contains(l->geometry()) &&
                        l->height() >= l->heightForWidth(l->width()));
        }
        QTest::mouseClick(m.w.cmdCancel, Qt::LeftButton);
        QVERIFY(!p(11, 40));
        m.w.working(false);
        QVERIFY(m.w.cmdCancel->isHidden());
        m.w.working(true);
        QVERIFY(m.w.workingProgress()(1, 2));
        m.w.working(false);
    }

    void loadBrowseAndTheNoFilesMessages()
    {
        Main m;
        m.make({"a.mp3", "x.txt", "s1/c.mp3", "empty/readme.txt"});
        m.loadRoot(false);
        QCOMPARE(m.shown(false), QStringList{u("a.mp3")});
        QCOMPARE(m.w.lblPath->text(), u("Number of files in list: 1"));
        // Enter in the box loads too, afresh, following the subfolder box.
        m.w.chkSubF->setChecked(true);
        QTest::keyClick(m.w.txtPath, Qt::Key_Return);
        QCOMPARE(m.shown(false), (QStringList{u("a.mp3"), u("c.mp3")}));
        // Browse cancelled keeps the path; a folder without audio: the message without the Browse hint.
        QString answer;
        m.w.BrowseForFolder = [&](QWidget*, const QString&) { return answer; };
        QTest::mouseClick(m.w.cmdDir, Qt::LeftButton);
        QCOMPARE(m.w.txtPath->text(), m.dir.path());
        QVERIFY(m.prompts().isEmpty());
        answer = m.at("empty");
        QTest::mouseClick(m.w.cmdDir, Qt::LeftButton);
        QCOMPARE(m.w.fileList().count(), 0);
        QCOMPARE(m.prompts().size(), 1);
        QCOMPARE(m.prompts()[0].text, FolderLoader::noFilesText(false));
        // A missing folder empties the table; Load adds the Browse hint.
        m.w.txtPath->setText(m.at("missing"));
        QTest::mouseClick(m.w.cmdLoad, Qt::LeftButton);
        QCOMPARE(m.w.fileList().rowCountShown(), 0);
        QCOMPARE(m.prompts().last().text, FolderLoader::noFilesText(true));
    }

    void dropFilesAndFolders()
    {
        Main m;
        m.make({"a.mp3", "notes.txt", "box/b.mp3", "box/sub/c.wma"});
        QVERIFY(dropOn(m.w.lvFiles, {m.at("notes.txt"), m.at("a.mp3"), m.at("box")}));
        QCOMPARE(m.shown(false), (QStringList{u("a.mp3"), u("b.mp3"), u("c.wma")}));
        QCOMPARE(m.w.lblPath->text(), u("Number of files in list: 3"));
        QVERIFY(m.w.fmeLoad->isHidden() && m.prompts().isEmpty());
        // Text and web addresses are no files.
        QMimeData text;
        text.setText(u("just text"));
        QMimeData web;
        web.setUrls({QUrl(u("https://example.org/a.mp3"))});
        QVERIFY(!dragOn(m.w.lvFiles, text));
        QVERIFY(!dragOn(m.w.lvFiles, web));
    }

    void deleteSelectedRowsAndClear()
    {
        Main m;
        m.make({"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
        m.loadRoot();
        FileList& l = m.w.fileList();
        l.setAfterText(2, u("new.mp3"));
        // Delete with nothing selected keeps everything, proposals included;
        // then scattered rows go, the others stay.
        m.w.lvFiles->clearSelection();
        QTest::keyClick(m.w.lvFiles, Qt::Key_Delete);
        QVERIFY(l.count() == 4 && l.row(2).after == u("new.mp3"));
        for (int r : {1, 3})
            m.w.lvFiles->selectionModel()->select(l.index(r, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(m.w.lvFiles, Qt::Key_Delete);
        QCOMPARE(l.lstAllfiles, (QStringList{m.at("a.mp3"), m.at("c.mp3")}));
        QCOMPARE(m.shown(false), (QStringList{u("a.mp3"), u("c.mp3")}));
        QCOMPARE(m.w.lblPath->text(), u("Number of files in list: 2"));

        m.w.cmdFix->setEnabled(true);
        QTest::mouseClick(m.w.cmdClear, Qt::LeftButton);
        QVERIFY(l.count() == 0 && l.rowCountShown() == 0 && !m.w.cmdFix->isEnabled());
        QCOMPARE(m.w.lblPath->text(), u("Number of files in list: 0"));
    }

    void playOpensTheFileOrSaysWhyNot()
    {
        Main m;
        m.make({"here.mp3", "gone.mp3", "folder/x.mp3"});
        FileList& l = m.w.fileList();
        for (const char* rel : {"here.mp3", "gone.mp3", "nowhere/a.mp3", "folder"})
            l.append(m.at(rel));
        QFile::remove(m.at("gone.mp3"));
        const struct {
            int index;
            bool desktopSaysYes;
            const char* reason; // empty: opened without a message
        } cases[] = {
            {0, true, ""},
            {0, false, "No association for file extension: Check your windows file association settings"},
            {1, true, "File not found"},
            {2, true, "Path not found"},
            {3, true, "Access denied"}, // a folder is no file to play
            {9, true, nullptr},         // out of range: nothing at all
        };
        for (const auto& c : cases) {
            m.prompter.clear();
            m.opener.opened.clear();
            m.opener.result = c.desktopSaysYes;
            m.w.buttonpress(c.index);
            const QString file = c.index < l.count() ? l.lstAllfiles.at(c.index) : QString();
            QCOMPARE(m.opener.opened, c.index == 0 ? QStringList{file} : QStringList{}); // only a file there
            QCOMPARE(m.prompts().size(), c.reason && *c.reason ? 1 : 0);
            if (!m.prompts().isEmpty())
                QCOMPARE(m.prompts()[0].text,
                         u("File: ") + file + QStringLiteral("\r\n") + QString::fromLatin1(c.reason));
        }
    }

    void messageBoxesCarryTitleIconAndButtons()
    {
        Main m;
        using MB = QMessageBox;
        const struct {
            Buttons buttons;
            Icon icon;
            MB::Icon boxIcon;
            MB::StandardButtons shown;
            MB::StandardButton click;
            Answer answer;
        } cases[] = {
            {Buttons::Ok, Icon::Information, MB::Information, MB::Ok, MB::Ok, Answer::Ok},
            {Buttons::YesNo, Icon::Question, MB::Question, MB::Yes | MB::No, MB::No, Answer::No},
            {Buttons::OkCancel, Icon::Critical, MB::Critical, MB::Ok | MB::Cancel, MB::Cancel,
             Answer::Cancel},
            {Buttons::AbortRetryIgnore, Icon::Exclamation, MB::Warning, MB::Abort | MB::Retry | MB::Ignore,
             MB::Retry, Answer::Retry},
            {Buttons::YesNoCancel, Icon::None, MB::NoIcon, MB::Yes | MB::No | MB::Cancel, MB::Yes,
             Answer::Yes},
        };
        for (const auto& c : cases) {
            QString seen;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                seen = box->windowTitle() + box->text() +
                       QString::number(box->icon() + 10 * box->standardButtons());
                box->button(c.click)->click();
            });
            QtPrompter p(&m.w);
            QCOMPARE(p.ask(Question::RenameFiles, u("Some text"), u("Fix files"), c.buttons, c.icon),
                     c.answer);
            QCOMPARE(seen, u("Fix filesSome text") + QString::number(c.boxIcon + 10 * c.shown));
        }
    }

    void answerNoChangesNothing()
    {
        for (const int mode : {1, 2}) { // renaming, tags from names
            Main m;
            m.w.optType[mode]->setChecked(true);
            m.simulated({{u("a.mp3"), u("A - B.mp3")}, {u("b.mp3"), u("C - D.mp3")}});
            m.prompter.queue(Answer::No);
            m.w.cmdFix_Click();
            QCOMPARE(m.prompter.prompts().size(), 1);
            QCOMPARE(m.disk(), (QStringList{u("a.mp3"), u("b.mp3")}));
            QCOMPARE(readFile(m.path(u("a.mp3"))), QByteArray("a.mp3"));
            QVERIFY(m.w.fileList().afterText(1) == u("C - D.mp3") && m.w.cmdFix->isEnabled());
        }
    }

    // Undo puts the files back and the list follows them.
    void fixRenamesAndUndoes()
    {
        Main m;
        m.w.optType[1]->setChecked(true);
        m.simulated(
            {{u("a.mp3"), u("Same.mp3")}, {u("b.mp3"), u("Same.mp3")}, {u("c.mp3"), u("tagged1?.mp3")}});
        QVERIFY(!m.w.cmdUndo->isEnabled());
        m.w.cmdFix_Click();
        QCOMPARE(m.disk(), (QStringList{u("Same (1).mp3"), u("Same.mp3"), u("tagged1.mp3")}));
        QCOMPARE(m.w.fileList().lstFiles, (QStringList{u("Same.mp3"), u("Same (1).mp3"), u("tagged1.mp3")}));
        QVERIFY(!m.w.cmdFix->isEnabled() && m.w.cmdUndo->isEnabled());
        QCOMPARE(m.w.lblPath->text(), u("Fix: 3 renamed, 0 unchanged, 0 skipped, 0 failed."));

        m.w.cmdUndo_Click();
        QCOMPARE(m.disk(), (QStringList{u("a.mp3"), u("b.mp3"), u("c.mp3")}));
        QCOMPARE(readFile(m.path(u("b.mp3"))), QByteArray("b.mp3"));
        QCOMPARE(m.w.fileList().lstAllfiles,
                 (QStringList{m.path(u("a.mp3")), m.path(u("b.mp3")), m.path(u("c.mp3"))}));
        QVERIFY(!m.w.cmdUndo->isEnabled());
    }

    void accessFailurePutsReportOnClipboard()
    {
        Main m;
        m.w.optType[1]->setChecked(true);
        QDir(m.dir.path()).mkdir(u("locked"));
        m.simulated({{u("a.mp3"), u("A.mp3")}, {u("locked/b.mp3"), u("B.mp3")}});
        vantrel::test::LockedFolder lock(m.path(u("locked")));
        if (!lock.locked()) QSKIP("this medium cannot lock a folder (no immutable flag for root)");
        m.w.cmdFix_Click();
        // The report of the failed file, with its log.
        QVERIFY(m.clipboard.text().contains(u("\r\nBefore: b.mp3\r\n")));
        QVERIFY(m.clipboard.text().contains(m.path(u("locked/b.mp3"))));
        QCOMPARE(m.w.fileList().lstFiles, (QStringList{u("A.mp3"), u("b.mp3")}));
        QCOMPARE(m.w.fileList().row(0).before, u("A.mp3"));
    }

    void impossibleNamesAreMarked()
    {
        // A proposal longer than the folder takes shows a sign, and says why.
        Main m;
        const QByteArray tag =
            test::id3v2Tag(3, test::frame23("TPE1", test::latin1Text("Artist")) +
                                  test::frame23("TIT2", test::latin1Text(QByteArray(300, 'x'))));
        m.list({{u("a.mp3"), tag + test::mpegFrames(1)}, {u("b_c.mp3")}});
        m.w.cmdSim_Click();
        const QModelIndex marked = m.w.fileList().index(0, FileList::ColAfter);
        QVERIFY(m.w.fileList().problem(0).startsWith(u("File name too long")));
        QCOMPARE(FileTable::shownText(marked), u("\u26A0 ") + m.w.fileList().afterText(0));
        QCOMPARE(marked.data(Qt::ToolTipRole).toString(), m.w.fileList().problem(0));
        QCOMPARE(FileTable::shownText(m.w.fileList().index(1, FileList::ColAfter)), u("B C.mp3"));
    }

    void optionsReachTheRun()
    {
        const struct {
            int mode;
            bool allUpper, capitals;
            const char* after;
        } cases[] = {{0, false, true, "Some Name.mp3"},
                     {1, true, true, "SOME NAME.mp3"},
                     {1, false, false, "Some name.mp3"}};
        for (const auto& c : cases) {
            Main m({"some_name.mp3"});
            m.w.optType[c.mode]->setChecked(true);
            frmOpts& o = optionsWindow(m.w);
            o.chkUcaseAll->setChecked(c.allUpper);
            o.chkUcase->setChecked(c.capitals);
            m.simulate();
            QCOMPARE(m.shown(), QStringList{QString::fromLatin1(c.after)});
            QCOMPARE(static_cast<int>(simulationOptions(m.w).mode), c.mode);
        }
    }

    void detailsOpenOnDoubleClickAndRunsCloseThem()
    {
        Main m({"a_b.mp3", "c_d.mp3"});
        for (const bool fix : {false, true}) {
            m.w.lvFiles->selectRow(1);
            m.w.lvFiles_DblClick();
            auto* f = qobject_cast<frmFile*>(m.w.frmFileWindow.data());
            QVERIFY(f && f->txtBefore->text() == u("c_d.mp3"));
            QCOMPARE(f->txtAfter->text(), fix ? u("C D.mp3") : QString());
            fix ? m.w.cmdFix_Click() : m.simulate(); // each closes the details window
            QTRY_VERIFY(m.w.frmFileWindow.isNull());
            if (fix) break;
            QCOMPARE(m.shown(), (QStringList{u("A B.mp3"), u("C D.mp3")}));
            QCOMPARE(m.w.fileList().lstSim, m.shown());
            QVERIFY(m.w.cmdFix->isEnabled() && !m.w.fmeLoad->isVisible() && m.clipboard.text().isEmpty());
        }
    }

    // The run calls the panel after every file (see the core tests); here
    // each call costs 7 ms of a fake clock. The panel must repaint at least
    // every 100 ms of it, and a Cancel clicked meanwhile must stop the run
    // within 100 ms.
    void panelRepaintsAndCancelsOnTime()
    {
        QList<test::Listed> files;
        for (int i = 0; i < 400; ++i)
            files.append({u("n_%1.mp3").arg(i)});
        Main m;
        m.list(files);
        qint64 now = 0, lastPaint = 0, longestGap = 0, clicked = -1;
        QString shown;
        m.w.workingClock = [&] {
            now += 7;
            if (m.w.lblDone->text() != shown) { // painted since the last look
                shown = m.w.lblDone->text();
                longestGap = std::max(longestGap, now - lastPaint);
                lastPaint = now;
            }
            if (now >= 1000 && clicked < 0) {
                clicked = now;
                QTimer::singleShot(0, m.w.cmdCancel, &QPushButton::click);
            }
            return now;
        };
        m.simulate();
        QVERIFY(clicked > 0);
        QCOMPARE_LE(longestGap, 100);
        QCOMPARE_LE(now - clicked, 100);
        QVERIFY(!m.w.cmdFix->isEnabled() && m.shown().last().isEmpty());
    }

    void cancelKeepsListConsistentAndFixDisabled()
    {
        Main m({"a_b.mp3", "c_d.mp3", "e_f.mp3"});
        // Cancel is clicked while the panel waits to be painted, before any file.
        QTimer::singleShot(0, &m.w, [&m] { m.w.cmdCancel->click(); });
        m.simulate();
        QCOMPARE(m.w.fileList().count(), 3);
        QCOMPARE(m.shown(), (QStringList{QString(), QString(), QString()})); // all three rows still shown
        QVERIFY(m.w.fileList().lstArtist.isEmpty() && !m.w.cmdFix->isEnabled() && !m.w.fmeLoad->isVisible());
    }

    void checkBoxesEnableTheirBoxes()
    {
        frmOpts w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        for (auto [chk, boxes] : {std::pair{w.chkReplace, QList<QLineEdit*>{w.txtRepWhat, w.txtRepWith}},
                                  std::pair{w.chkRemove, QList<QLineEdit*>{w.txtRemove}}}) {
            for (bool on : {true, false}) {
                QTest::mouseClick(chk, Qt::LeftButton, {}, chk->rect().center());
                QCOMPARE(chk->isChecked(), on);
                for (QLineEdit* b : boxes)
                    QCOMPARE(b->isEnabled(), on);
                if (on) // the cursor goes to the first box
                    QCOMPARE(QApplication::focusWidget(), boxes.first());
            }
        }
    }

    void closeKeepsValuesTitleBarDiscards()
    {
        frmOpts w;
        w.show();
        w.chkRep->setChecked(true);
        w.chkUcase->setChecked(false);
        w.chkReplace->setChecked(true);
        w.txtRepWhat->setText(u("feat"));
        // Close cleans the pattern (the cleanup itself is tested with the
        // scheme rules) but never overrides the scheme the user picked.
        w.txtScheme->setText(u("<ARTIST>: <title>"));
        w.optScheme[1]->setChecked(true);
        QTest::mouseClick(w.cmdSave, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        w.show();
        const QString confirmed = state(w);
        QCOMPARE(confirmed, u("10101000|<Artist> <Title>+|feat+|various artists+|various artists-"));

        // The title bar's close discards only this round's edits (the pattern
        // not cleaned); what "Close" confirmed stays, as in a fresh window's case.
        w.txtScheme->setText(u("<TITLE>"));
        w.chkRep->setChecked(false);
        w.chkRemove->setChecked(true);
        w.optScheme[0]->setChecked(true);
        QVERIFY(w.close() && !w.isVisible());
        QCOMPARE(state(w), confirmed);
        frmOpts fresh;
        fresh.show();
        fresh.chkRep->setChecked(true);
        QVERIFY(fresh.close());
        QCOMPARE(state(fresh), state(frmOpts()));
    }

    void walksThroughTopics()
    {
        // About, then Back stays; the graph page back and forth; a topic without a page keeps the list.
        const struct {
            const char* action; // "list N", "back", "about", "dbl", "disp N"
            int page;           // caption of lblPage
            int topic;          // whose title is shown (and text, without a graph); -1: not found
            int listIndex;      // selected entry of the topic list
            int graph;          // height of the graph shown at the text's place; 0: none
        } steps[] = {
            {"list 4", 4, 4, 4, 0}, {"dbl", 4, 4, 4, 0},   {"about", 5, 5, 5, 0},     {"back", 5, 5, 5, 0},
            {"list 1", 1, 1, 1, 0}, {"dbl", 7, 1, 1, 369}, {"back", 1, 1, 1, 0},      {"back", 7, 1, 1, 369},
            {"list 2", 2, 2, 2, 0}, {"dbl", 7, 2, 2, 375}, {"list 3", 3, 3, 3, 0},    {"disp 6", 6, -1, 3, 0},
            {"dbl", 6, -1, 3, 0},   {"back", 3, 3, 3, 0},  {"disp 99", 99, -1, 3, 0},
        };
        frmHelp w;
        w.show();
        for (const auto& s : steps) {
            perform(w, s.action);
            // The graph is on the page: visible, inside the window (not parked), at the text's place.
            const bool graph = w.image1->isVisible() && w.rect().intersects(w.image1->geometry());
            QVERIFY(!graph ||
                    (w.image1->pos() == w.lblText->pos() && w.image1->geometry().bottom() < w.cmdBack->y()));
            const QString title = s.topic < 0 ? u("Help topic not found") : help::topicTitle(s.topic);
            const int height = graph ? w.image1->pixmap().height() : 0;
            QCOMPARE((QVariantList{s.action, w.lblPage->text(), w.cmbSection->currentIndex(), height,
                                   w.lblTitle->text()}),
                     (QVariantList{s.action, QString::number(s.page), s.listIndex, s.graph, title}));
            const bool text = s.topic >= 0 && !s.graph;
            QCOMPARE(w.lblText->text(), text ? help::topicText(s.topic) : QString());
        }
    }

    void everyPageFitsItsLabels()
    {
        frmHelp w;
        w.show();
        for (int t = 0; t < help::kListedTopics; ++t) {
            w.disp(t);
            const QRect need = w.lblText->fontMetrics().boundingRect(QRect(0, 0, w.lblText->width(), 100000),
                                                                     Qt::TextWordWrap, w.lblText->text());
            QVERIFY2(need.height() <= w.lblText->height(), qPrintable(u("topic %1").arg(t)));
            QVERIFY(w.lblTitle->fontMetrics().horizontalAdvance(w.lblTitle->text()) <= w.lblTitle->width());
        }
        QVERIFY(w.lblLink->fontMetrics().horizontalAdvance(w.lblLink->text()) <= w.lblLink->width());
    }

    void helpControlsShowTheirTopics()
    {
        Main m;
        m.w.show();
        // 0: the "Help" button (general help), 1 to 4: the "info" labels (their topics).
        frmHelp* first = nullptr;
        for (int label : {0, 3, 1, 4}) {
            QTest::mouseClick(label ? static_cast<QWidget*>(m.w.lblHelp[label]) : m.w.cmdAbout,
                              Qt::LeftButton);
            auto* help = qobject_cast<frmHelp*>(m.w.frmHelpWindow.data());
            QVERIFY(help && help->isVisible());
            first = first ? first : help;
            QCOMPARE(help, first); // one window while it is open
            QCOMPARE(help->lblTitle->text(), help::topicTitle(label));
        }
        // The link goes through the main window's desktop seam.
        QTest::mouseClick(first->lblLink, Qt::LeftButton);
        QCOMPARE(m.opener.opened, QStringList{help::kProductPage});
        QTest::mouseClick(first->cmdClose, Qt::LeftButton);
        QTRY_VERIFY(!m.w.frmHelpWindow);
    }

    // A server that answers once with a newer version: one question, status
    // line updated, and the check does not come back.
    void updateCheckRunsOnceAfterStart()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        int requests = 0;
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket* s = server.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [s, &requests] {
                if (!s->readAll().contains("\r\n\r\n")) return;
                ++requests;
                s->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 7\r\n\r\n9.9.9\r\n");
                s->disconnectFromHost();
            });
        });
        qputenv("VANTREL_UPDATE_BASE", "http://127.0.0.1:" + QByteArray::number(server.serverPort()));
        ScriptedPrompter prompter(Answer::No);
        frmMain m;
        m.setPrompter(&prompter);
        QCOMPARE(m.lblPath->text(), u("Checking for updates, please wait..."));
        QTRY_COMPARE_WITH_TIMEOUT(m.lblPath->text(), u("No updates available"), 15000);
        QCOMPARE(prompter.prompts().size(), 1);
        QTest::qWait(700);
        QCOMPARE(requests, 1);
        qputenv("VANTREL_UPDATE_BASE", "http://update.invalid");
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmMain.moc"
