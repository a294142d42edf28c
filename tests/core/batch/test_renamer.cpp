// "Fix files!" renaming: the character cleanup, duplicate suffixes, refused
// names, the failure buttons, files appearing at the last moment, access
// failures and cancel. The lists must always say where every file is.
#include "../platform/LockedFolder.h"
#include "TestFiles.h"
#include "batch/FileList.h"
#include "batch/Renamer.h"
#include "platform/Clipboard.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>

using namespace vantrel;
using vantrel::test::readFile;
using vantrel::test::writeFile;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// A folder of small files (each holding its own name), each listed with the
// proposal in its After column.
struct Folder {
    QTemporaryDir dir;
    FileList list;
    ScriptedPrompter prompter{Answer::Yes};
    MemoryClipboard clipboard;
    QString errorLog;
    QStringList afters;
    RenameRun hook{list, prompter, clipboard, errorLog, {}, {}, nullptr, {}}; // tests set callbacks here

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    QStringList disk() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
    void add(const QString& name, const QString& after, bool create = true)
    {
        if (create) writeFile(path(name), name.toUtf8());
        list.append(path(name));
        afters.append(after);
    }
    RenameOutcome run()
    {
        list.listviewthem();
        for (int r = 0; r < afters.size(); ++r)
            list.setAfterText(r, afters.at(r));
        return renamefiles(hook);
    }
    // The lists say where every file is, entry for entry.
    void expectListsMatchDisk() const
    {
        ASSERT_EQ(list.lstAllfiles.size(), list.lstFiles.size());
        ASSERT_EQ(list.rowCountShown(), list.count());
        for (int k = 0; k < list.count(); ++k) {
            EXPECT_EQ(FileList::nameOf(list.lstAllfiles.at(k)), list.lstFiles.at(k));
            EXPECT_EQ(list.row(k).before, list.lstFiles.at(k));
            if (!list.lstFiles.at(k).startsWith(QLatin1String("gone"))) {
                EXPECT_TRUE(QFile::exists(list.lstAllfiles.at(k))) << list.lstAllfiles.at(k).toStdString();
            }
        }
    }
};

} // namespace

TEST(Renamer, CleansCharactersByTheirCodes)
{
    const struct {
        const char* in;
        const char* out;
    } table[] = {
        {"x:y;z<=>@\\b^`c{|}~*.mp3", "xyzbc.mp3"},
        {"Tom\u2019s \u201cbest\u201d \u2013 mix\u2026.mp3", "Toms best  mix.mp3"},
        {"\u00f0\u00f8 \u00c5ngstr\u00f6m.mp3", " \u00c5ngstr\u00f6m.mp3"},
        {"\u0160\u0161\u0153\u017e\u0178.mp3", "\u0160\u0161\u0153\u017e\u0178.mp3"},
        {"AC/DC.mp3", "AC/DC.mp3"},
        {"\u00e9t\u00e9 \u4e2d.mp3", "\u00e9t\u00e9 \u4e2d.mp3"},
    };
    for (const auto& row : table)
        EXPECT_EQ(cleanFileName(u(row.in)), u(row.out)) << row.in;
}

TEST(Renamer, DuplicateSuffixAndRefusedNames)
{
    const struct {
        const char* in;
        const char* out;
    } suffix[] = {
        {"a.mp3", "a (1).mp3"}, {"a (1).mp3", "a (1) (1).mp3"}, {"song.flac", "song (1).flac"},
        {"song", "song (1)"},   {"x.y.wma", "x.y (1).wma"},     {".mp3", ".mp3 (1)"},
    };
    for (const auto& row : suffix)
        EXPECT_EQ(withDuplicateSuffix(u(row.in)), u(row.out)) << row.in;
    for (const char* bad : {"", ".", "..", "a/b.mp3", "/"})
        EXPECT_TRUE(isRefusedName(u(bad))) << bad;
    for (const char* good : {"a.mp3", "...mp3", ".hidden.mp3"})
        EXPECT_FALSE(isRefusedName(u(good))) << good;
    // The folder's limit counts bytes: 128 two-byte letters are too long.
    EXPECT_EQ(nameProblem(u("/tmp/"), QString(120, QChar(0xE9)) + u(".mp3")), QString());
    EXPECT_NE(nameProblem(u("/tmp/"), QString(128, QChar(0xE9)) + u(".mp3")), QString());
}

TEST(Renamer, RenamesAsProposedAndKeepsListsParallel)
{
    const struct {
        const char* what;
        std::vector<std::pair<const char*, const char*>> files; // name, After text
        QStringList names;                                      // lstFiles afterwards
        int errors = 0;                                         // "Error!" messages
        int skipped = 0;  // names that cannot be used: no message, a log line
        int blockers = 0; // files that appear at the last moment, right before each rename
    } table[] = {
        {"quote to apostrophe, ? _ [ ] removed", {{"a.mp3", "Say \"Hi\"? [x_y].mp3"}}, {"Say 'Hi' xy.mp3"}},
        {"three equal proposals",
         {{"a.mp3", "S.mp3"}, {"b.mp3", "S.mp3"}, {"c.mp3", "S.mp3"}},
         {"S.mp3", "S (1).mp3", "S (1) (1).mp3"}},
        {"case only", {{"song.mp3", "Song.mp3"}}, {"Song.mp3"}},
        {"a name still held", {{"a.mp3", "b.mp3"}, {"b.mp3", "c.mp3"}}, {"b (1).mp3", "c.mp3"}},
        {"slash refused", {{"a.mp3", "AC/DC - T.mp3"}, {"b.mp3", "B.mp3"}}, {"a.mp3", "B.mp3"}, 0, 1},
        {"dot dot refused", {{"a.mp3", ".."}, {"b.mp3", "?"}}, {"a.mp3", "b.mp3"}, 0, 2},
        {"file gone since loading", {{"gone.mp3", "X.mp3"}, {"b.mp3", "B.mp3"}}, {"gone.mp3", "B.mp3"}, 1},
        {"one appears: second try with a suffix", {{"old.mp3", "New.mp3"}}, {"New (1).mp3"}, 0, 0, 1},
        {"two appear: the file keeps its name", {{"old.mp3", "New.mp3"}}, {"old.mp3"}, 1, 0, 2},
    };
    for (const auto& sc : table) {
        SCOPED_TRACE(sc.what);
        Folder s;
        qsizetype made = 0;
        for (const auto& [name, after] : sc.files) {
            const bool gone = qstrcmp(name, "gone.mp3") == 0;
            s.add(u(name), u(after), !gone);
            made += !gone;
        }
        int appeared = 0;
        s.hook.renameFile = [&](const QString& from, const QString& to) {
            if (appeared++ < sc.blockers) writeFile(to, "intruder");
            return safeRename(from, to);
        };
        const RenameOutcome out = s.run();
        EXPECT_EQ(s.disk().size(), made + sc.blockers); // nothing replaced
        EXPECT_EQ(s.list.lstFiles, sc.names);
        EXPECT_EQ(s.prompter.count(Question::RenameFailed), sc.errors);
        EXPECT_EQ(out.failures.size(), sc.errors + sc.skipped);
        EXPECT_EQ(out.unusable, sc.skipped);
        EXPECT_FALSE(out.stopped);
        // The log names every skipped file and every file that found its name taken.
        EXPECT_EQ(s.errorLog.count(u("\r\nNot renamed: '")), sc.skipped);
        EXPECT_EQ(s.errorLog.count(u("\r\n")), sc.skipped + out.otherNames.size());
        for (int k = 0; k < s.list.count(); ++k) {
            EXPECT_EQ(s.list.row(k).after, s.afters.at(k)); // the proposals stay in the After column
            if (QFile::exists(s.list.lstAllfiles.at(k))) {  // contents travelled with their files
                EXPECT_EQ(readFile(s.list.lstAllfiles.at(k)), QByteArray(sc.files.at(k).first));
            }
        }
        s.expectListsMatchDisk();
        for (const auto& f : out.failures) // a skipped name says why
            EXPECT_TRUE(
                f.message.contains(nameProblem(s.dir.path() + u("/"), cleanFileName(s.afters.at(f.row)))));
    }
}

// The failure message's buttons do what they say. The middle of three files
// fails its first `failures` renames with EIO.
TEST(Renamer, AbortRetryAndIgnoreDoWhatTheySay)
{
    const struct {
        const char* what;
        int failures;
        QList<Answer> answers;
        QStringList names; // lstFiles afterwards
        int prompts;
        bool aborted;
    } table[] = {
        {"ignore: the next file is renamed", 9, {Answer::Ignore}, {"A.mp3", "b.mp3", "C.mp3"}, 1, false},
        {"retry fails, then abort", 9, {Answer::Retry, Answer::Abort}, {"A.mp3", "b.mp3", "c.mp3"}, 2, true},
        {"retry succeeds", 1, {Answer::Retry}, {"A.mp3", "B.mp3", "C.mp3"}, 1, false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        Folder s;
        for (const char* n : {"a.mp3", "b.mp3", "c.mp3"})
            s.add(u(n), u(n).toUpper().replace(u(".MP3"), u(".mp3")));
        for (Answer a : row.answers)
            s.prompter.queue(a);
        s.prompter.setFallback(Answer::No); // a prompt beyond the script would show up as Abort
        int failed = 0;
        s.hook.renameFile = [&](const QString& from, const QString& to) {
            if (from.endsWith(u("/b.mp3")) && failed < row.failures) {
                ++failed;
                return RenameResult{RenameError::Other, EIO, u("Input/output error")};
            }
            return safeRename(from, to);
        };
        const RenameOutcome out = s.run();
        EXPECT_EQ(s.list.lstFiles, row.names);
        EXPECT_EQ(s.disk().size(), 3);
        s.expectListsMatchDisk(); // the table was rebuilt with the real names too
        EXPECT_EQ(out.aborted, row.aborted);
        EXPECT_FALSE(out.stopped);
        ASSERT_EQ(s.prompter.prompts().size(), row.prompts);
        for (const auto& p : s.prompter.prompts()) {
            EXPECT_EQ(p.buttons, Buttons::AbortRetryIgnore);
            EXPECT_TRUE(p.text.endsWith(u("Error occurred at file: ") + s.path(u("b.mp3"))));
        }
        const bool keptOld = row.names.at(1) == u("b.mp3");
        ASSERT_EQ(out.failures.size(), keptOld ? 1 : 0);
        EXPECT_EQ(out.renamed, 3 - int(row.aborted) - int(keptOld));
    }
}

TEST(Renamer, AccessFailureStopsWithConsistentListsAndOffersTheReport)
{
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        Folder s;
        s.add(u("a.mp3"), u("A.mp3"));
        s.add(u("locked/b.mp3"), u("B.mp3"));
        s.add(u("z/c.mp3"), u("C.mp3"));
        test::LockedFolder lock(s.path(u("locked")));
        if (!lock.locked()) GTEST_SKIP() << "this medium cannot lock a folder (no immutable flag for root)";
        s.prompter.answer(Question::CopyErrorLog, answer);
        int reportedRow = -1;
        s.hook.report = [&](int k, const QString& log) {
            reportedRow = k;
            return u("REPORT") + log;
        };
        const RenameOutcome out = s.run();
        EXPECT_TRUE(out.stopped);
        EXPECT_EQ(out.renamed, 1);
        EXPECT_EQ(s.list.lstFiles, (QStringList{"A.mp3", "b.mp3", "c.mp3"}));
        s.expectListsMatchDisk();
        // The question shows the log; Yes puts the report of the failed file with that log on the clipboard.
        ASSERT_EQ(s.prompter.prompts().size(), 1);
        const QString text = s.prompter.prompts().first().text;
        const QString log = text.mid(text.indexOf(u("\r\n")) + 2); // after the question's line
        EXPECT_TRUE(log.startsWith(u("\r\nPath/File Access error in file: '") + s.path(u("locked/b.mp3"))));
        EXPECT_EQ(reportedRow, answer == Answer::Yes ? 1 : -1);
        EXPECT_EQ(s.clipboard.text(), answer == Answer::Yes ? u("REPORT") + log : QString());
    }
}

TEST(Renamer, ProgressRunsToTheLastFileAndCancelStopsBetweenFiles)
{
    for (const qsizetype stopAfter : {2, 99}) {
        Folder s;
        for (const char* n : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"})
            s.add(u(n), u(n).toUpper());
        QList<qsizetype> seen;
        s.hook.progress = [&](qsizetype done, qsizetype total) {
            EXPECT_EQ(total, 4);
            seen.append(done);
            return done < stopAfter;
        };
        const bool cancelled = s.run().cancelled;
        s.expectListsMatchDisk();
        if (stopAfter == 99) {
            EXPECT_FALSE(cancelled);
            EXPECT_EQ(seen, (QList<qsizetype>{0, 1, 2, 3, 4}));
            continue;
        }
        EXPECT_TRUE(cancelled);
        EXPECT_EQ(seen, (QList<qsizetype>{0, 1, 2}));
        EXPECT_EQ(s.list.lstFiles, (QStringList{"A.MP3", "B.MP3", "c.mp3", "d.mp3"}));
    }
}
