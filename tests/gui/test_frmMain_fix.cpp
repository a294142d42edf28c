// "Fix files!", the double-click on the table and "Undo last fix" of the
// main window, with scripted answers.
#include "../core/platform/LockedFolder.h"
#include "FileTable.h"
#include "Id3v2Bytes.h"
#include "MainWindowFixture.h"
#include "frmFile.h"
#include "frmMain.h"

#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace vantrel;
using vantrel::test::readFile;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

struct Main : test::MainWindow {
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
            QVERIFY(m.prompter.prompts().first().text.startsWith(u("You are about to fix 2 ")));
            QCOMPARE(m.disk(), (QStringList{u("a.mp3"), u("b.mp3")}));
            QCOMPARE(readFile(m.path(u("a.mp3"))), QByteArray("a.mp3"));
            QCOMPARE(m.w.fileList().afterText(1), u("C - D.mp3"));
            QVERIFY(m.w.cmdFix->isEnabled());
        }
    }

    // A tag fix is a run of its own: undo puts its tags back byte for byte
    // before it reaches the rename made earlier.
    void fixRenamesTagsAndUndoesNewestFirst()
    {
        Main m;
        m.w.optType[1]->setChecked(true);
        m.simulated(
            {{u("a.mp3"), u("Same.mp3")}, {u("b.mp3"), u("Same.mp3")}, {u("c.mp3"), u("tagged1?.mp3")}});
        QVERIFY(!m.w.cmdUndo->isEnabled());
        m.w.cmdFix_Click();
        QCOMPARE(m.disk(), (QStringList{u("Same (1).mp3"), u("Same.mp3"), u("tagged1.mp3")}));
        QCOMPARE(m.w.fileList().lstFiles, (QStringList{u("Same.mp3"), u("Same (1).mp3"), u("tagged1.mp3")}));
        QVERIFY(!m.w.cmdFix->isEnabled());
        QCOMPARE(m.w.lblPath->text(), u("Fix: 3 renamed, 0 unchanged, 0 skipped, 0 failed."));

        const QByteArray tagged = test::mpegFrames(2) + test::id3v1Record("Karma Police", "Radiohead");
        test::writeFile(m.path(u("tagged1.mp3")), tagged);
        m.w.fileList().removeFiles({0, 1});
        m.w.optType[2]->setChecked(true);
        m.prompter.answer(Question::OverwriteTags, Answer::Yes);
        m.w.cmdFix_Click();
        QVERIFY(readFile(m.path(u("tagged1.mp3"))) != tagged);
        QCOMPARE(m.w.lblPath->text(), u("1 file(s) written, 0 skipped, 0 failed."));

        m.w.cmdUndo_Click();
        QCOMPARE(readFile(m.path(u("tagged1.mp3"))), tagged);
        m.prompter.clear();
        m.w.cmdUndo_Click();
        QCOMPARE(m.disk(), (QStringList{u("a.mp3"), u("b.mp3"), u("c.mp3")}));
        QCOMPARE(readFile(m.path(u("b.mp3"))), QByteArray("b.mp3"));
        QCOMPARE(m.w.fileList().lstAllfiles.at(0), m.path(u("c.mp3"))); // the list follows the files back
        QVERIFY(!m.w.cmdUndo->isEnabled());
        QCOMPARE(m.prompter.prompts().last().text, u("3 change(s) put back (3 file(s) renamed back, 0 "
                                                     "file(s) with their old tags), 0 could not be."));
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
        const QString text = m.clipboard.text();
        // The report of the failed file, with its log.
        QVERIFY(text.contains(u("\r\nBefore: b.mp3\r\n")));
        QVERIFY(text.contains(u("\r\nError log:\r\nPath/File Access error in file: '") +
                              m.path(u("locked/b.mp3"))));
        QCOMPARE(m.w.fileList().lstFiles, (QStringList{u("A.mp3"), u("b.mp3")}));
        QCOMPARE(m.w.fileList().row(0).before, u("A.mp3"));
        QTRY_VERIFY(m.w.frmFileWindow.isNull());
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
};

QTEST_MAIN(FrmMainFixTest)
#include "test_frmMain_fix.moc"
