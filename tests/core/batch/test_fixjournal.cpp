// The history of fixes and undo: complete, interrupted, cancelled and blocked
// undos, damaged journals, the order over several runs, tag writes put back
// byte for byte, and a journal that cannot be written.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "batch/FileList.h"
#include "batch/FixJournal.h"
#include "batch/Renamer.h"
#include "platform/Clipboard.h"
#include "platform/Prompter.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vantrel;
using namespace vantrel::test;
using QSL = QStringList;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

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
        list.clearAll();
        for (const auto& [name, after] : files) {
            if (!QFile::exists(path(name))) writeFile(path(name), name);
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

TEST_F(FixJournalTest, UndoAfterACompleteRunRestoresEveryNameEvenWhenCancelledOnce)
{
    // b takes c's place first, then a takes b's freed name: undo must go newest first.
    fix({{"b.mp3", "c.mp3"}, {"a.mp3", "b.mp3"}, {"d.mp3", "D?.mp3"}, {"e.mp3", "e.mp3"}});
    ASSERT_EQ(disk(), (QSL{"D.mp3", "b.mp3", "c.mp3", "e.mp3"}));
    const QString journal = FixJournal::history().first().path;
    const UndoResult first = undoLastFix([](qsizetype done, qsizetype) { return done < 1; });
    EXPECT_TRUE(first.stopped);
    EXPECT_EQ(first.restored.size(), 1);
    const UndoResult r = undoLastFix(); // a cancelled undo is finished later
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join(u("\n")).toStdString();
    EXPECT_EQ(r.restored.size(), 2);
    EXPECT_EQ(disk(), (QSL{"a.mp3", "b.mp3", "d.mp3", "e.mp3"}));
    for (const QString& n : disk())
        EXPECT_EQ(readFile(music.path() + QLatin1Char('/') + n), n.toUtf8());
    EXPECT_TRUE(FixJournal::read(journal).undone);
    EXPECT_TRUE(undoLastFix().nothingToUndo);
}

TEST_F(FixJournalTest, UndoAfterAnInterruptedRun)
{
    for (const char* n : {"1.mp3", "2.mp3", "3.mp3"})
        writeFile(path(n), n);
    QString journal;
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
        journal = j.path();
    }
    writeFile(journal, readFile(journal).replace("{\"op\":\"done\"}\n", "{\"op\":\"rena"));

    const UndoResult r = undoLastFix();
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join(u("\n")).toStdString();
    EXPECT_EQ(r.restored.size(), 2);
    EXPECT_EQ(r.damage.size(), 1); // the line cut short is reported, not passed over
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

TEST_F(FixJournalTest, UnwritableJournalAsksBeforeRenaming)
{
    // The data folder is a file: no journal can be made there.
    const QString blocker = data.path() + u("/file");
    writeFile(blocker, "x");
    qputenv("VANTREL_DATA_DIR", blocker.toUtf8());
    for (const Answer a : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(a == Answer::Yes ? "Yes" : "No");
        prompter.clear();
        prompter.answer(Question::RenameWithoutUndo, a);
        const RenameOutcome out = fix({{"a.mp3", "A.mp3"}});
        ASSERT_EQ(prompter.prompts().size(), 1);
        EXPECT_EQ(out.refusedToStart, a == Answer::No);
        EXPECT_EQ(disk(), QStringList{a == Answer::No ? u("a.mp3") : u("A.mp3")});
    }
}

TEST_F(FixJournalTest, HistoryUndoesNewestFirstAndEmptyRunsLeaveNoRecord)
{
    const char* runs[][2] = {{"a.mp3", "A.mp3"}, {"b.mp3", "B.mp3"}, {"c.mp3", "C.mp3"}};
    for (const auto& r : runs) {
        fix({{r[0], r[1]}});
        fix({}); // an empty run, and a run that changes nothing, hide nothing
        fix({{r[1], r[1]}});
    }
    EXPECT_EQ(FixJournal::history().size(), 3);
    for (const char* back : {"c.mp3", "b.mp3", "a.mp3"}) {
        const UndoResult r = undoLastFix();
        ASSERT_EQ(r.restored.size(), 1) << back;
        EXPECT_EQ(r.restored.first().to, path(back));
    }
    EXPECT_EQ(disk(), (QSL{"a.mp3", "b.mp3", "c.mp3"}));
    EXPECT_TRUE(undoLastFix().nothingToUndo);
}

TEST_F(FixJournalTest, DamagedJournalsAreReportedAndWhatIsReadableIsUndone)
{
    // header, rename a, ok, rename b, ok, done; no edit: a fifo
    const struct {
        const char* name;
        std::function<QByteArray(QByteArray)> edit; // the journal's new bytes from its old
        int restored;                               // of a and b
        bool blocked;                               // nothing can be read: nothing undone
    } table[] = {
        {"header", [](QByteArray b) { return b.replace("vantrel-fix", "vantr\x01"); }, 2, false},
        {"record",
         [](QByteArray b) {
             b[b.lastIndexOf('\n', b.indexOf("b.mp3")) + 1] = '#';
             return b;
         },
         1, false},
        {"truncation", [](QByteArray b) { return b.left(b.lastIndexOf("b.mp3")); }, 1, false},
        {"garbage", [](QByteArray) { return QByteArray("\x01\x02\x03 not a journal\n}{\n"); }, 0, false},
        {"fifo", {}, 0, true},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QDir(FixJournal::historyFolder()).removeRecursively();
        for (const QString& n : disk())
            QFile::remove(path(n.toUtf8().constData()));
        fix({{"a.mp3", "A.mp3"}, {"b.mp3", "B.mp3"}});
        const QString journal = FixJournal::history().first().path;
        if (row.edit) {
            writeFile(journal, row.edit(readFile(journal)));
        } else {
            QFile::remove(journal);
            ::mkfifo(QFile::encodeName(journal).constData(), 0600);
        }

        ASSERT_TRUE(FixJournal::canUndo());
        const UndoResult r = undoLastFix();
        EXPECT_FALSE(r.complete());
        EXPECT_EQ(r.blocked, row.blocked);
        EXPECT_EQ(r.restored.size(), row.restored);
        ASSERT_FALSE(r.damage.isEmpty());
        EXPECT_TRUE(r.damage.first().contains(journal)) << r.damage.first().toStdString();
        EXPECT_EQ(r.damage.first().contains(u(", line ")), !row.blocked); // where the journal is damaged
        EXPECT_NE(undoSummary(r), u("Nothing to undo."));
        // A journal that was read is closed; one that could not be stays to be dealt with.
        EXPECT_EQ(FixJournal::canUndo(), row.blocked);
    }
}

TEST_F(FixJournalTest, TagWritesAreUndoneByteForByte)
{
    const QByteArray audio = mpegFrames(6);
    const QByteArray asfHead = QByteArray::fromHex("3026b2758e66cf11a6d900aa0062ce6c") +
                               bytes("\x28\0\0\0\0\0\0\0") + QByteArray(16, 'h');
    const struct {
        const char* name;
        QByteArray before;
        bool asf;
    } table[] = {
        {"both tags", id3v2Tag(3, frame23("TIT2", latin1Text("Song")), 64) + audio + id3v1Record("Song", "A"),
         false},
        {"no tags", audio, false},
        {"asf header", asfHead + QByteArray(300, 'd'), true},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        const QString file = path("tagged1.mp3");
        writeFile(file, row.before);
        for (const bool audioChanged : {false, true}) {
            SCOPED_TRACE(audioChanged ? "audio changed" : "audio kept");
            {
                FixJournal journal;
                ASSERT_TRUE(journal.recordTagWrite(file));
                if (row.asf) {
                    // What a tag library does: a larger header object, the data untouched.
                    writeFile(file, row.before.left(16) + bytes("\x40\0\0\0\0\0\0\0") + QByteArray(40, 'H') +
                                        row.before.mid(40));
                } else {
                    cMP3ID3v1 v1;
                    v1.setMP3File(file);
                    v1.setTitle(u("Tagged1"));
                    ASSERT_TRUE(v1.Update());
                    cMP3ID3v2 v2;
                    v2.setMP3File(file);
                    v2.setTitle(u("Tagged1"));
                    v2.setLyrics(QString(3000, QLatin1Char('l'))); // the area must grow
                    ASSERT_TRUE(v2.Update());
                }
            }
            ASSERT_NE(readFile(file), row.before);
            QByteArray changed = readFile(file);
            if (audioChanged) {
                changed[changed.size() - (row.asf ? 1 : 140)] ^= 0x55;
                writeFile(file, changed);
            }
            const UndoResult r = undoLastFix();
            if (audioChanged) {
                ASSERT_EQ(r.failures.size(), 1);
                EXPECT_TRUE(r.failures.first().contains(u("audio has changed")));
                EXPECT_EQ(readFile(file), changed); // untouched
                writeFile(file, row.before);
            } else {
                EXPECT_TRUE(r.complete()) << r.failures.join(u("\n")).toStdString();
                EXPECT_EQ(r.tagsRestored, QSL{file});
                EXPECT_EQ(readFile(file), row.before);
            }
        }
    }
}
