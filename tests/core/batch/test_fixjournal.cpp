// The fix journal and undo: complete, interrupted, cancelled and blocked undos,
// and a journal that cannot be written.
#include "batch/FileList.h"
#include "batch/FixJournal.h"
#include "batch/Renamer.h"
#include "platform/Clipboard.h"
#include "platform/Prompter.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace vantrel;
using vantrel::test::readFile;
using vantrel::test::writeFile;
using QSL = QStringList;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

class FixJournalTest : public ::testing::Test {
protected:
    QTemporaryDir data;
    QTemporaryDir music;
    FileList list;
    ScriptedPrompter prompter{Answer::Yes};
    MemoryClipboard clipboard;
    QString errorLog;

    void SetUp() override { qputenv("VANTREL_DATA_DIR", data.path().toUtf8()); }
    void TearDown() override { qunsetenv("VANTREL_DATA_DIR"); }

    QString path(const char* n) const { return music.path() + QLatin1Char('/') + u(n); }
    QStringList disk() const { return QDir(music.path()).entryList(QDir::Files, QDir::Name); }

    // Lists the given files (made with their own name as content) and runs a fix.
    RenameOutcome fix(const std::vector<std::pair<const char*, const char*>>& files)
    {
        for (const auto& [name, after] : files) {
            if (!QFile::exists(path(name)))
                writeFile(path(name), name);
            list.append(path(name));
        }
        list.listviewthem();
        for (int k = 0; k < int(files.size()); ++k)
            list.setAfterText(k, u(files.at(k).second));
        FixJournal journal;
        RenameRun run{list, prompter, clipboard, errorLog, {}, {}, &journal, {}};
        return renamefiles(run);
    }
};

} // namespace

TEST_F(FixJournalTest, UndoAfterACompleteRunRestoresEveryName)
{
    EXPECT_TRUE(undoLastFix().nothingToUndo);
    // b takes c's place first, then a takes b's freed name: undo must go newest first.
    fix({{"b.mp3", "c.mp3"}, {"a.mp3", "b.mp3"}, {"d.mp3", "D?.mp3"}, {"e.mp3", "e.mp3"}});
    ASSERT_EQ(disk(), (QSL{"D.mp3", "b.mp3", "c.mp3", "e.mp3"}));
    const FixJournal::Contents c = FixJournal::read();
    EXPECT_TRUE(c.done);
    EXPECT_EQ(c.entries.size(), 3);

    const UndoResult r = undoLastFix();
    EXPECT_FALSE(r.nothingToUndo);
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join(u("\n")).toStdString();
    EXPECT_EQ(r.restored.size(), 3);
    EXPECT_EQ(disk(), (QSL{"a.mp3", "b.mp3", "d.mp3", "e.mp3"}));
    for (const QString& n : disk())
        EXPECT_EQ(readFile(music.path() + QLatin1Char('/') + n), n.toUtf8());
    EXPECT_TRUE(FixJournal::read().undone);
    EXPECT_TRUE(undoLastFix().nothingToUndo);
}

TEST_F(FixJournalTest, UndoAfterAnInterruptedRun)
{
    for (const char* n : {"1.mp3", "2.mp3", "3.mp3"})
        writeFile(path(n), n);
    {
        // What a kill leaves: one rename confirmed, one done but not yet
        // confirmed, one announced but never performed, no end mark, and a
        // half-written last line.
        FixJournal j;
        ASSERT_TRUE(j.begin());
        j.intent(path("1.mp3"), path("One.mp3"));
        ASSERT_TRUE(safeRename(path("1.mp3"), path("One.mp3")).ok());
        j.succeeded();
        j.intent(path("2.mp3"), path("Two.mp3"));
        ASSERT_TRUE(safeRename(path("2.mp3"), path("Two.mp3")).ok());
        j.intent(path("3.mp3"), path("Three.mp3"));
    }
    QFile f(FixJournal::journalPath());
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("{\"op\":\"rena");
    f.close();

    const FixJournal::Contents c = FixJournal::read();
    EXPECT_FALSE(c.done);
    ASSERT_EQ(c.entries.size(), 3);
    EXPECT_EQ(c.entries.at(0).state, FixJournal::Entry::Ok);
    EXPECT_EQ(c.entries.at(1).state, FixJournal::Entry::Unconfirmed);

    const UndoResult r = undoLastFix();
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join(u("\n")).toStdString();
    EXPECT_EQ(r.restored.size(), 2);
    EXPECT_EQ(disk(), (QSL{"1.mp3", "2.mp3", "3.mp3"}));
}

TEST_F(FixJournalTest, UndoNeverReplacesAFileThatTookAnOldName)
{
    fix({{"a.mp3", "A.mp3"}, {"b.mp3", "B.mp3"}});
    writeFile(path("a.mp3"), "newcomer");
    const UndoResult r = undoLastFix();
    ASSERT_EQ(r.failures.size(), 1);
    EXPECT_TRUE(r.failures.first().contains(path("a.mp3")));
    EXPECT_EQ(disk(), (QSL{"A.mp3", "a.mp3", "b.mp3"}));
    EXPECT_EQ(readFile(path("a.mp3")), QByteArray("newcomer"));
    EXPECT_EQ(readFile(path("A.mp3")), QByteArray("a.mp3"));
}

TEST_F(FixJournalTest, CancelledUndoCanBeFinishedLater)
{
    fix({{"a.mp3", "A.mp3"}, {"b.mp3", "B.mp3"}, {"c.mp3", "C.mp3"}});
    const UndoResult first = undoLastFix([](qsizetype done, qsizetype) { return done < 1; });
    EXPECT_TRUE(first.stopped);
    EXPECT_EQ(first.restored.size(), 1);
    const UndoResult second = undoLastFix();
    EXPECT_TRUE(second.failures.isEmpty()) << second.failures.join(u("\n")).toStdString();
    EXPECT_EQ(second.restored.size(), 2);
    EXPECT_EQ(disk(), (QSL{"a.mp3", "b.mp3", "c.mp3"}));
}

TEST_F(FixJournalTest, UnwritableJournalAsksBeforeRenaming)
{
    // The data folder is a file: no journal can be made there.
    const QString blocker = data.path() + u("/file");
    writeFile(blocker, "x");
    qputenv("VANTREL_DATA_DIR", blocker.toUtf8());
    for (const Answer a : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(a == Answer::Yes ? "Yes" : "No");
        list.clearAll();
        prompter.clear();
        prompter.queue(a);
        const RenameOutcome out = fix({{"a.mp3", "A.mp3"}});
        ASSERT_EQ(prompter.prompts().size(), 1);
        EXPECT_EQ(prompter.prompts().first().title, u("Fix files"));
        EXPECT_EQ(out.refusedToStart, a == Answer::No);
        EXPECT_EQ(disk(), QStringList{a == Answer::No ? u("a.mp3") : u("A.mp3")});
    }
}
