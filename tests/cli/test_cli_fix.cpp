// vantrel-cli fix and undo, run as separate processes on folders made here:
// refusal without --yes, renaming with the names printed, tags from names,
// a failure's exit status, undo, and a kill in the middle of a large run.
#include "../core/platform/LockedFolder.h"
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "tags/cMP3ID3v2.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

using vantrel::test::readFile;
using vantrel::test::writeFile;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliFix : public ::testing::Test {
protected:
    QTemporaryDir data;
    QTemporaryDir music;

    QProcessEnvironment env() const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("VANTREL_DATA_DIR"), data.path());
        return e;
    }
    CliRun run(const QStringList& args) const
    {
        QProcess p;
        p.setProcessEnvironment(env());
        p.start(QStringLiteral(VANTREL_CLI), args);
        if (!p.waitForStarted(10000))
            return {};
        p.closeWriteChannel();
        p.waitForFinished(120000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
    QString path(const QString& n) const { return music.path() + QLatin1Char('/') + n; }
    QStringList disk(const QString& sub = {}) const
    {
        return QDir(sub.isEmpty() ? music.path() : path(sub)).entryList(QDir::Files, QDir::Name);
    }
    // name -> content of every file in the folder.
    std::map<QString, QByteArray> contents() const
    {
        std::map<QString, QByteArray> m;
        for (const QString& n : disk())
            m[n] = readFile(path(n));
        return m;
    }
};

QByteArray body(int i)
{
    return vantrel::test::mpegFrames(1) + QByteArray("#") + QByteArray::number(i);
}

} // namespace

TEST_F(CliFix, RefusesWithoutYesOrWithBadUsage)
{
    writeFile(path(u("01 - some artist - some song.mp3")), body(1));
    const struct {
        QStringList args;
        const char* says;
    } table[] = {
        {{u("fix"), u("--mode"), u("file-names"), music.path()}, "--yes"},
        {{u("fix"), u("--yes")}, "PATH"},
        {{u("fix"), u("--yes"), u("--mode"), u("nonsense"), music.path()}, ""},
    };
    for (const auto& row : table) {
        const CliRun r = run(row.args);
        EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(u(row.says))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(disk(), QStringList{u("01 - some artist - some song.mp3")});
}

TEST_F(CliFix, RenamesPrintsTheRealNamesAndUndoes)
{
    writeFile(path(u("01 - some artist - some song.mp3")), body(1));
    writeFile(path(u("02 - some_artist - some_song.mp3")), body(2)); // same proposal: " (1)"
    writeFile(path(u("Why? - Not.mp3")), body(3));
    const CliRun r = run({u("fix"), u("--mode"), u("file-names"), u("--yes"), music.path()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(disk(), (QStringList{u("Some Artist - Some Song (1).mp3"), u("Some Artist - Some Song.mp3"),
                                   u("Why - Not.mp3")}));
    EXPECT_EQ(readFile(path(u("Some Artist - Some Song.mp3"))), body(1));
    EXPECT_EQ(readFile(path(u("Some Artist - Some Song (1).mp3"))), body(2));
    // The Before column shows the names the files really got.
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.at(1).startsWith(u("Some Artist - Some Song (1).mp3\tSome Artist - Some Song (1).mp3\t")))
        << r.out.toStdString();
    EXPECT_TRUE(lines.at(2).endsWith(u("\t") + music.path() + u("/")));

    const CliRun undo = run({u("undo")});
    EXPECT_EQ(undo.exitCode, 0) << undo.err.toStdString();
    EXPECT_EQ(disk(), (QStringList{u("01 - some artist - some song.mp3"), u("02 - some_artist - some_song.mp3"),
                                   u("Why? - Not.mp3")}));
    EXPECT_EQ(readFile(path(u("02 - some_artist - some_song.mp3"))), body(2));
    const CliRun again = run({u("undo")});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.err.contains(u("Nothing to undo")));
}

TEST_F(CliFix, AccessFailureExitsWithOne)
{
    QDir(music.path()).mkdir(u("locked"));
    writeFile(path(u("a - b.mp3")), body(1));
    writeFile(path(u("locked/c - d.mp3")), body(2));
    vantrel::test::LockedFolder lock(path(u("locked")));
    if (!lock.locked())
        GTEST_SKIP() << "this medium cannot lock a folder (no immutable flag for root)";
    const CliRun r = run({u("fix"), u("--mode"), u("file-names"), u("--yes"), music.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(u("Path/File Access error in file: '") + path(u("locked/c - d.mp3")))) << r.err.toStdString();
    EXPECT_EQ(disk(u("locked")), QStringList{u("c - d.mp3")});
}

// A rename that fails for another reason than a refused access (here a name
// longer than the file system takes) is reported and the run goes on.
TEST_F(CliFix, EveryFailedFileIsReportedAndTheRunGoesOn)
{
    using namespace vantrel::test;
    const QByteArray longTag = id3v2Tag(3, frame23("TPE1", QByteArray(1, '\0') + QByteArray(150, 'a')) +
                                               frame23("TIT2", QByteArray(1, '\0') + QByteArray(150, 'b')));
    writeFile(path(u("long 1.mp3")), longTag + body(1));
    writeFile(path(u("long 2.mp3")), longTag + body(2));
    writeFile(path(u("some artist - fine.mp3")), body(3));
    const CliRun r = run({u("fix"), u("--mode"), u("tag-names"), u("--yes"), music.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(disk(), (QStringList{u("Some Artist - Fine.mp3"), u("long 1.mp3"), u("long 2.mp3")}));
    for (const char* n : {"long 1.mp3", "long 2.mp3"})
        EXPECT_TRUE(r.err.contains(u("Error occurred at file: ") + path(u(n)))) << r.err.toStdString();
}

TEST_F(CliFix, TagsFromNames)
{
    for (const bool overwrite : {false, true}) {
        SCOPED_TRACE(overwrite ? "overwrite" : "keep");
        const QString file = path(u("Name Artist - Name Title.mp3"));
        // An ID3v1 record with an artist and no title.
        writeFile(file, vantrel::test::mpegFrames(2) + vantrel::test::id3v1Record("", "Tagged"));
        QStringList args = {u("fix"), u("--mode"), u("tags-from-names"), u("--yes"), music.path()};
        if (overwrite)
            args << u("--overwrite-tags");
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(disk(), QStringList{u("Name Artist - Name Title.mp3")});
        const QByteArray bytes = readFile(file);
        const QByteArray record = bytes.right(128);
        ASSERT_TRUE(record.startsWith("TAG"));
        EXPECT_EQ(record.mid(3, 30).trimmed(), QByteArray("Name Title"));
        EXPECT_EQ(record.mid(33, 30).trimmed(), overwrite ? QByteArray("Name Artist") : QByteArray("Tagged"));
        vantrel::cMP3ID3v2 v2;
        v2.setMP3File(file);
        EXPECT_EQ(v2.Title(), u("Name Title"));
    }
}

// A kill at any moment leaves every file once, complete, under its old or its
// new name; undo then brings back every old name.
TEST_F(CliFix, KillDuringALargeFix)
{
    constexpr int files = 400;
    std::map<QByteArray, QString> original; // content -> name
    auto make = [&] {
        for (const QString& n : disk())
            QFile::remove(path(n));
        original.clear();
        for (int i = 0; i < files; ++i) {
            const QString name = QStringLiteral("%1 - artist_%2 - song_%2.mp3").arg(i, 3, 10, QLatin1Char('0')).arg(i);
            writeFile(path(name), body(i));
            original[body(i)] = name;
        }
    };
    bool interrupted = false;
    for (int attempt = 0; attempt < 8 && !interrupted; ++attempt) {
        make();
        QProcess p;
        p.setProcessEnvironment(env());
        p.start(QStringLiteral(VANTREL_CLI),
                {u("fix"), u("--mode"), u("file-names"), u("--yes"), music.path()});
        ASSERT_TRUE(p.waitForStarted(10000));
        // Wait until the renaming has begun, then kill at once.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000 && p.state() == QProcess::Running) {
            const QStringList now = disk();
            if (!now.isEmpty() && !now.first().startsWith(u("000")))
                break;
            QThread::usleep(200 * attempt);
        }
        p.kill();
        p.waitForFinished(10000);

        const QStringList after = disk();
        ASSERT_EQ(after.size(), files);
        std::map<QByteArray, int> seen;
        for (const QString& n : after)
            ++seen[readFile(path(n))];
        ASSERT_EQ(seen.size(), size_t(files));
        for (const auto& [content, count] : seen) {
            EXPECT_EQ(count, 1);
            EXPECT_TRUE(original.count(content)) << "damaged or unknown content";
        }
        int renamed = 0;
        for (const QString& n : after)
            renamed += n.startsWith(u("Artist"));
        interrupted = renamed > 0 && renamed < files;

        const CliRun undo = run({u("undo")});
        EXPECT_EQ(undo.exitCode, 0) << undo.err.toStdString();
        for (const QString& n : disk())
            EXPECT_EQ(original[readFile(path(n))], n);
    }
    if (!interrupted)
        GTEST_SKIP() << "every run finished before it could be killed; the checks held for complete runs";
}
