// The main window's wiring with scripted answers: its buttons, table, panel,
// message boxes, the details, options and help windows, the update check.
#include "../core/platform/LockedFolder.h"
#include "FileTable.h"
#include "HelpTexts.h"
#include "MainWindowFixture.h"
#include "SubWindows.h"
#include "batch/FolderLoader.h"
#include "frmFile.h"
#include "frmHelp.h"
#include "frmOpts.h"

#include <QApplication>
#include <QCheckBox>
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

// Drags the data over the table; drops it when the table takes it.
bool dropOn(FileTable* table, const QMimeData& mime)
{
    const QPointF pos = table->viewport()->rect().center();
    QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &drop);
    return drop.isAccepted();
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
    void loadBrowseAndTheNoFilesMessages()
    {
        Main m;
        m.make({"a.mp3", "x.txt", "s1/c.mp3", "empty/readme.txt"});
        m.w.txtPath->setText(m.dir.path());
        m.w.chkSubF->setChecked(false);
        QTest::keyClick(m.w.txtPath, Qt::Key_Return); // Enter loads, as Load does
        QCOMPARE(m.shown(false), QStringList{u("a.mp3")});
        QCOMPARE(m.w.lblPath->text(), u("Number of files in list: 1"));
        // Browse to a folder without audio, loaded afresh: the message without the Browse hint.
        m.w.BrowseForFolder = [&](QWidget*, const QString&) { return m.at("empty"); };
        QTest::mouseClick(m.w.cmdDir, Qt::LeftButton);
        QVERIFY(m.w.fileList().count() == 0 && m.prompts().size() == 1);
        QCOMPARE(m.prompts()[0].text, FolderLoader::noFilesText(false));
        // A missing folder: Load adds the Browse hint.
        m.w.txtPath->setText(m.at("missing"));
        QTest::mouseClick(m.w.cmdLoad, Qt::LeftButton);
        QCOMPARE(m.prompts().last().text, FolderLoader::noFilesText(true));
    }

    void dropFilesAndFolders()
    {
        Main m;
        m.make({"a.mp3", "notes.txt", "box/b.mp3", "box/sub/c.wma"});
        QMimeData files, web;
        files.setUrls({QUrl::fromLocalFile(m.at("notes.txt")), QUrl::fromLocalFile(m.at("a.mp3")),
                       QUrl::fromLocalFile(m.at("box"))});
        web.setUrls({QUrl(u("https://example.org/a.mp3"))});
        QVERIFY(!dropOn(m.w.lvFiles, web)); // web addresses are no files
        QVERIFY(dropOn(m.w.lvFiles, files));
        QCOMPARE(m.shown(false), (QStringList{u("a.mp3"), u("b.mp3"), u("c.wma")}));
        QCOMPARE(m.w.lblPath->text(), u("Number of files in list: 3"));
        QVERIFY(m.w.fmeLoad->isHidden() && m.prompts().isEmpty());
    }

    void deleteSelectedRowsAndClear()
    {
        Main m({"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
        FileList& l = m.w.fileList();
        l.setAfterText(2, u("new.mp3"));
        // Delete with nothing selected keeps everything; scattered rows go, the others stay.
        m.w.lvFiles->clearSelection();
        QTest::keyClick(m.w.lvFiles, Qt::Key_Delete);
        QVERIFY(l.count() == 4 && l.row(2).after == u("new.mp3"));
        for (int r : {1, 3})
            m.w.lvFiles->selectionModel()->select(l.index(r, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(m.w.lvFiles, Qt::Key_Delete);
        QCOMPARE(m.shown(false), (QStringList{u("a.mp3"), u("c.mp3")}));
        QCOMPARE(m.w.lblPath->text(), u("Number of files in list: 2"));
        m.w.cmdFix->setEnabled(true);
        QTest::mouseClick(m.w.cmdClear, Qt::LeftButton);
        QVERIFY(l.count() == 0 && l.rowCountShown() == 0 && !m.w.cmdFix->isEnabled());
    }

    void playOpensTheFileOrSaysWhyNot()
    {
        Main m;
        m.make({"here.mp3", "folder/x.mp3"});
        FileList& l = m.w.fileList();
        for (const char* rel : {"here.mp3", "gone.mp3", "folder"})
            l.append(m.at(rel));
        const struct {
            int index;
            bool desktopSaysYes;
            const char* reason; // empty: no message
        } cases[] = {
            {0, true, ""},
            {0, false, "No association for file extension: Check your windows file association settings"},
            {1, true, "File not found"},
            {2, true, "Access denied"}, // a folder is no file to play
            {9, true, ""},              // out of range: nothing at all
        };
        for (const auto& c : cases) {
            m.prompter.clear();
            m.opener.opened.clear();
            m.opener.result = c.desktopSaysYes;
            m.w.buttonpress(c.index);
            const QString file = c.index < l.count() ? l.lstAllfiles.at(c.index) : QString();
            QCOMPARE(m.opener.opened, c.index == 0 ? QStringList{file} : QStringList{}); // only a file there
            QCOMPARE(m.prompts().size(), *c.reason ? 1 : 0);
            QVERIFY(!*c.reason || m.prompts()[0].text == u("File: ") + file + u("\r\n") + u(c.reason));
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
            {Buttons::YesNo, Icon::Question, MB::Question, MB::Yes | MB::No, MB::No, Answer::No},
            {Buttons::AbortRetryIgnore, Icon::Exclamation, MB::Warning, MB::Abort | MB::Retry | MB::Ignore,
             MB::Retry, Answer::Retry},
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

    // The table shows the names a fix gave; undo puts the files and the list back.
    void fixRenamesAndUndoes()
    {
        Main m;
        m.w.optType[1]->setChecked(true);
        m.simulated({{u("a.mp3"), u("Same.mp3")}, {u("b.mp3"), u("Same.mp3")}});
        QVERIFY(!m.w.cmdUndo->isEnabled());
        m.w.cmdFix_Click();
        QCOMPARE(m.shown(false), (QStringList{u("Same.mp3"), u("Same (1).mp3")}));
        QVERIFY(!m.w.cmdFix->isEnabled() && m.w.cmdUndo->isEnabled());
        QCOMPARE(m.w.lblPath->text(), u("Fix: 2 renamed, 0 unchanged, 0 skipped, 0 failed."));

        m.w.cmdUndo_Click();
        QCOMPARE(m.w.fileList().lstAllfiles, (QStringList{m.at("a.mp3"), m.at("b.mp3")}));
        QVERIFY(!m.w.cmdUndo->isEnabled());
    }

    void accessFailurePutsReportOnClipboard()
    {
        Main m;
        m.w.optType[1]->setChecked(true);
        m.simulated({{u("a.mp3"), u("A.mp3")}, {u("locked/b.mp3"), u("B.mp3")}});
        vantrel::test::LockedFolder lock(m.path(u("locked")));
        if (!lock.locked()) QSKIP("this medium cannot lock a folder (no immutable flag for root)");
        m.w.cmdFix_Click();
        // The report of the failed file, with its log.
        const QString report = m.clipboard.text();
        QVERIFY(report.contains(u("\r\nBefore: b.mp3\r\n")) && report.contains(m.at("locked/b.mp3")));
        QCOMPARE(m.shown(false), (QStringList{u("A.mp3"), u("b.mp3")}));
    }

    void impossibleNamesAreMarked()
    {
        Main m;
        m.simulated({{u("a.mp3"), u("A.mp3")}, {u("b.mp3"), u("B.mp3")}});
        m.w.fileList().setProblem(0, u("File name too long"));
        QCOMPARE(FileTable::shownText(m.w.fileList().index(0, FileList::ColAfter)), u("\u26A0 A.mp3"));
        QCOMPARE(FileTable::shownText(m.w.fileList().index(1, FileList::ColAfter)), u("B.mp3"));
    }

    void optionsReachTheRun()
    {
        Main m({"some_name.mp3"});
        m.w.optType[1]->setChecked(true);
        optionsWindow(m.w).chkUcaseAll->setChecked(true);
        m.simulate();
        QCOMPARE(m.shown(), QStringList{u("SOME NAME.mp3")});
        QCOMPARE(static_cast<int>(simulationOptions(m.w).mode), 1);
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
            QVERIFY(m.w.cmdFix->isEnabled() && !m.w.fmeLoad->isVisible() && m.clipboard.text().isEmpty());
        }
    }

    // The run calls the panel after every file at 7 ms of a fake clock each: the panel repaints
    // at least every 100 ms of it and a Cancel stops the run within 100 ms. While it shows, the
    // buttons that start other work are disabled; afterwards what the run enabled is there.
    void panelRepaintsAndCancelsOnTime()
    {
        QList<test::Listed> files;
        for (int i = 0; i < 400; ++i)
            files.append({u("n_%1.mp3").arg(i)});
        Main m;
        m.list(files);
        qint64 now = 0, lastPaint = 0, longestGap = 0, clicked = -1;
        QString shown;
        bool busy = true;
        m.w.workingClock = [&] {
            now += 7;
            busy = busy && !m.w.fmeLoad->isHidden() && !m.w.cmdLoad->isEnabled() && !m.w.cmdExit->isEnabled();
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
        QVERIFY(!m.w.cmdFix->isEnabled() && m.shown().size() == 400 && m.shown().last().isEmpty());
        m.simulate(); // a fresh run is not cancelled
        QVERIFY(m.w.cmdFix->isEnabled() && !m.shown().last().isEmpty());
        QVERIFY(busy && m.w.fmeLoad->isHidden() && m.w.cmdLoad->isEnabled() && m.w.cmdExit->isEnabled());
    }

    void closeKeepsValuesTitleBarDiscards()
    {
        frmOpts w;
        w.show();
        w.chkRep->setChecked(true);
        w.chkUcase->setChecked(false);
        w.chkReplace->setChecked(true);
        w.txtRepWhat->setText(u("feat"));
        // Close cleans the pattern but never overrides the scheme the user picked.
        w.txtScheme->setText(u("<ARTIST>: <title>"));
        w.optScheme[1]->setChecked(true);
        QTest::mouseClick(w.cmdSave, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        w.show();
        const QString confirmed = state(w);
        QCOMPARE(confirmed, u("10101000|<Artist> <Title>+|feat+|various artists+|various artists-"));

        // The title bar's close discards only this round's edits (not cleaned).
        w.txtScheme->setText(u("<TITLE>"));
        w.chkRep->setChecked(false);
        w.chkRemove->setChecked(true);
        w.optScheme[0]->setChecked(true);
        QVERIFY(w.close() && !w.isVisible());
        QCOMPARE(state(w), confirmed);
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
