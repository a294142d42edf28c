// "Simulate before fix!", "Fix files!", "Undo last fix" and the double-click
// on the table of the main window, with scripted answers: the options read
// from both windows, the working panel's repaint and Cancel, the details
// window closed, "Fix files!" enabled only after a complete run.
#include "../core/platform/LockedFolder.h"
#include "FileTable.h"
#include "Id3v2Bytes.h"
#include "MainWindowFixture.h"
#include "SubWindows.h"
#include "frmFile.h"
#include "frmMain.h"
#include "frmOpts.h"

#include <QCheckBox>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>

using namespace vantrel;
using vantrel::test::readFile;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
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

class FrmMainFixTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
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

    void doubleClickOpensDetails()
    {
        Main m;
        m.simulated({{u("a.mp3"), u("A.mp3")}, {u("b.mp3"), u("B.mp3")}});
        m.w.lvFiles->selectRow(1);
        m.w.lvFiles_DblClick();
        auto* f = qobject_cast<frmFile*>(m.w.frmFileWindow.data());
        QVERIFY(f);
        QCOMPARE(f->txtBefore->text(), u("b.mp3"));
        QCOMPARE(f->txtAfter->text(), u("B.mp3"));
        // A fix closes the details window once confirmed.
        m.w.cmdFix_Click();
        QTRY_VERIFY(m.w.frmFileWindow.isNull());
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
            QCOMPARE(m.afters(), QStringList{QString::fromLatin1(c.after)});
            QCOMPARE(static_cast<int>(simulationOptions(m.w).mode), c.mode);
        }
    }

    void runClosesDetailsAndEnablesFix()
    {
        Main m({"a_b.mp3", "c_d.mp3"});
        auto* details = new QWidget(&m.w, Qt::Window);
        m.w.frmFileWindow = details;
        details->show();
        QPointer<QWidget> watch(details);
        m.simulate();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(watch.isNull());
        QCOMPARE(m.afters(), (QStringList{QStringLiteral("A B.mp3"), QStringLiteral("C D.mp3")}));
        QCOMPARE(m.w.fileList().lstSim, m.afters());
        QVERIFY(m.w.cmdFix->isEnabled() && !m.w.fmeLoad->isVisible() && m.clipboard.text().isEmpty());
    }

    // The run calls the panel after every file (see the core tests); here
    // each call costs 7 ms of a fake clock. The panel must repaint at least
    // every 100 ms of it, and a Cancel clicked meanwhile must stop the run
    // within 100 ms.
    void panelRepaintsAndCancelsOnTime()
    {
        QList<test::Listed> files;
        for (int i = 0; i < 400; ++i)
            files.append({QStringLiteral("n_%1.mp3").arg(i)});
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
        QVERIFY(!m.w.cmdFix->isEnabled() && m.afters().last().isEmpty());
    }

    void cancelKeepsListConsistentAndFixDisabled()
    {
        Main m({"a_b.mp3", "c_d.mp3", "e_f.mp3"});
        // Cancel is clicked while the panel waits to be painted, before any file.
        QTimer::singleShot(0, &m.w, [&m] { m.w.cmdCancel->click(); });
        m.simulate();
        QCOMPARE(m.w.fileList().count(), 3);
        QCOMPARE(m.afters(), (QStringList{QString(), QString(), QString()})); // all three rows still shown
        QVERIFY(m.w.fileList().lstArtist.isEmpty() && !m.w.cmdFix->isEnabled() && !m.w.fmeLoad->isVisible());
    }
};

QTEST_MAIN(FrmMainFixTest)
#include "test_frmMain_fix.moc"
