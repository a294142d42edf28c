// vantrel-cli simulate on a folder made here: the plan as tab-separated lines
// and as JSON, the run options, missing paths and bad usage. Nothing on disk
// may change.
#include "CliRun.h"
#include "TestFiles.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace vantrel::test;

namespace {

// A folder: a tagged file, an untagged one, a text file, a subfolder file.
class CliSimulate : public CliFolders {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(writeFile(path("x_1.mp3"), mpegFrames(2) + id3v1Record("Song", "Artist", "Album")));
        ASSERT_TRUE(writeFile(path("some_name.mp3"), mpegFrames(2)));
        ASSERT_TRUE(writeFile(path("notes.txt"), "not audio"));
        ASSERT_TRUE(writeFile(path("sub/other_file.wma"), mpegFrames(1)));
    }
    CliRun simulate(const QStringList& args) const { return run(QStringList{"simulate"} + args); }

    // Every file with its size, to prove that nothing changed.
    QStringList snapshot() const
    {
        QStringList s;
        for (QDirIterator it(music.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            s << it.next() + QLatin1Char(' ') + QString::number(it.fileInfo().size());
        s.sort();
        return s;
    }
};

} // namespace

// One tab-separated line per file, or the reason and no output; never a change on disk.
TEST_F(CliSimulate, PrintsOneLinePerFileOrTheReason)
{
    const QString root = music.path() + QLatin1Char('/'), sub = root + u("sub/");
    const QString someName = "some_name.mp3\tSome Name.mp3\t \t \t" + root;
    const struct {
        QStringList args;
        QStringList lines;
        int exitCode = 0;
        const char* errStart = "";
    } cases[] = {
        {{music.path()},
         {someName, "x_1.mp3\tArtist - Song.mp3\tArtist\tSong\t" + root,
          "other_file.wma\tOther File.wma\t \t \t" + sub}},
        {{"--mode", "file-names", "--no-subfolders", music.path()},
         {someName, "x_1.mp3\tX 1.mp3\tArtist\tSong\t" + root}},
        // Nothing is renamed; the columns show what the tags will get.
        {{"--mode", "tags-from-names", "--no-subfolders", music.path()},
         {"some_name.mp3\tsome_name.mp3\t \tSome Name\t" + root, "x_1.mp3\tx_1.mp3\t \tX 1\t" + root}},
        {{}, {}, 2, "vantrel-cli simulate: no PATH given"},
        {{path("nope"), music.path()}, {}, 1, "vantrel-cli simulate: cannot read '"},
    };
    const QStringList before = snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u(" ")).toStdString());
        const CliRun r = simulate(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(*c.errStart ? r.err.startsWith(u(c.errStart)) : r.err.isEmpty()) << r.err.toStdString();
        EXPECT_EQ(r.out, c.lines.isEmpty() ? QString() : c.lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_F(CliSimulate, JsonHasTheColumnsAndTheProblemPerFile)
{
    // The custom pattern makes the tagged file's name too long for any folder.
    const QString pattern = u("<Artist> - <Title> ") + QString(250, QLatin1Char('x'));
    const CliRun r = simulate({"--json", "--scheme", pattern, path("x_1.mp3"), path("some_name.mp3")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 2) << r.out.toStdString();
    const QJsonObject first = rows.at(0).toObject();
    EXPECT_EQ(first.keys(), (QStringList{"After", "Artist", "Before", "Location", "Title", "problem"}));
    EXPECT_EQ(first.value(u("Before")).toString(), u("x_1.mp3"));
    EXPECT_TRUE(first.value(u("After")).toString().startsWith(u("Artist - Song ")));
    const QString problem = first.value(u("problem")).toString();
    EXPECT_TRUE(problem.startsWith(u("File name too long"))) << problem.toStdString();
    EXPECT_EQ(r.err, u("Cannot be renamed: ") + path("x_1.mp3") + u(" -> ") +
                         first.value(u("After")).toString() + u(": ") + problem + u("\n"));
    EXPECT_EQ(rows.at(1).toObject().value(u("problem")).toString(), QString());
}
