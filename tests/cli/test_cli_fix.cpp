// vantrel-cli fix and undo on folders made here: refusal without --yes,
// renaming with the names printed, failures' exit status,
// undo, and a kill in the middle of a large run.
#include "CliRun.h"
#include "Id3v2Bytes.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSet>
#include <QThread>
#include <gtest/gtest.h>

using namespace vantrel::test;

namespace {

class CliFix : public CliFolders {
  protected:
    CliRun fix(const char* mode) const { return run({"fix", "--mode", mode, "--yes", music.path()}); }
};

QByteArray body(int i)
{
    return mpegFrames(1) + QByteArray("#") + QByteArray::number(i);
}

} // namespace

TEST_F(CliFix, RefusesWithoutYesOrWithBadUsage)
{
    writeFile(path("01 - some artist - some song.mp3"), body(1));
    const struct {
        QStringList args;
        const char* says;
    } table[] = {
        {{"fix", "--mode", "file-names", music.path()}, "--yes"},
        {{"fix", "--yes"}, "PATH"},
    };
    for (const auto& row : table) {
        const CliRun r = run(row.args);
        EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(u(row.says))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(disk(), QStringList{u("01 - some artist - some song.mp3")});
}

TEST_F(CliFix, RenamesAndPrintsTheRealNames)
{
    writeFile(path("01 - some artist - some song.mp3"), body(1));
    writeFile(path("02 - some_artist - some_song.mp3"), body(2)); // same proposal: " (1)"
    const CliRun r = fix("file-names");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(disk(), (QStringList{"Some Artist - Some Song (1).mp3", "Some Artist - Some Song.mp3"}));
    EXPECT_EQ(readFile(path("Some Artist - Some Song.mp3")), body(1));
    EXPECT_EQ(readFile(path("Some Artist - Some Song (1).mp3")), body(2));
    // The Before column shows the names the files really got.
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(
        lines.at(1).startsWith(u("Some Artist - Some Song (1).mp3\tSome Artist - Some Song (1).mp3\t")))
        << r.out.toStdString();
    EXPECT_TRUE(lines.at(1).endsWith(u("\t") + music.path() + u("/")));
}

// A name longer than the file system takes is known from the simulation:
// the file is skipped without a message, reported, and the run goes on.
TEST_F(CliFix, EveryFailedFileIsReportedAndTheRunGoesOn)
{
    const QByteArray longTag = id3v2Tag(3, frame23("TPE1", QByteArray(1, '\0') + QByteArray(150, 'a')) +
                                               frame23("TIT2", QByteArray(1, '\0') + QByteArray(150, 'b')));
    writeFile(path("long 1.mp3"), longTag + body(1));
    writeFile(path("long 2.mp3"), longTag + body(2));
    writeFile(path("some artist - fine.mp3"), body(3));
    const CliRun r = fix("tag-names");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(disk(), (QStringList{"Some Artist - Fine.mp3", "long 1.mp3", "long 2.mp3"}));
    for (const char* n : {"long 1.mp3", "long 2.mp3"})
        EXPECT_TRUE(r.err.contains(u("Not renamed: '") + path(n) + u("': File name too long")))
            << r.err.toStdString();
}

// A kill at any moment leaves every file once, complete, under its old or its
// new name; undo then brings back every old name.
TEST_F(CliFix, KillDuringALargeFix)
{
    constexpr int files = 400;
    const auto oldName = [](int i) {
        return QStringLiteral("%1 - artist_%2 - song_%2.mp3").arg(i, 3, 10, QLatin1Char('0')).arg(i);
    };
    const auto indexOf = [](const QByteArray& content) { // -1: damaged or unknown content
        const int i = content.mid(mpegFrames(1).size() + 1).toInt();
        return content == body(i) ? i : -1;
    };
    bool interrupted = false;
    for (int attempt = 0; attempt < 8 && !interrupted; ++attempt) {
        for (int i = 0; i < files; ++i)
            writeFile(path(oldName(i)), body(i));
        QProcess p;
        p.setProcessEnvironment(env());
        p.start(QStringLiteral(VANTREL_CLI), {"fix", "--mode", "file-names", "--yes", music.path()});
        ASSERT_TRUE(p.waitForStarted(10000));
        // Wait until the renaming has begun, then kill at once.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000 && p.state() == QProcess::Running) {
            const QStringList now = disk();
            if (!now.isEmpty() && !now.first().startsWith(u("000"))) break;
            QThread::usleep(200 * attempt);
        }
        p.kill();
        p.waitForFinished(10000);

        const QStringList after = disk();
        ASSERT_EQ(after.size(), files);
        QSet<int> seen{-1}; // a damaged file would count as -1
        for (const QString& n : after)
            seen.insert(indexOf(readFile(path(n))));
        EXPECT_EQ(seen.size(), files + 1);
        const int renamed = int(after.filter(u("Artist")).size());
        interrupted = renamed > 0 && renamed < files;

        const CliRun undo = run({"undo"});
        EXPECT_EQ(undo.exitCode, 0) << undo.err.toStdString();
        for (const QString& n : disk())
            EXPECT_EQ(oldName(indexOf(readFile(path(n)))), n);
    }
    if (!interrupted)
        GTEST_SKIP() << "every run finished before it could be killed; the checks held for complete runs";
}
