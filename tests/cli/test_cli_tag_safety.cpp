// vantrel-cli tag on one file from many processes at once, and on tags that
// cannot be read completely or were cut off by the end of the file.
#include "CliRun.h"
#include "Id3v2Bytes.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace vantrel::test;

// Ten runs, each setting another field of a file without a tag (so the first
// one to write grows the file): all ten fields survive.
TEST(CliTagSafety, ParallelRunsKeepEveryField)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f.mp3");
    ASSERT_TRUE(writeFile(file, mpegFrames(3)));
    const QStringList fields{"Title",    "Artist",         "Album",     "Year",   "Comment",
                             "Composer", "OriginalArtist", "Copyright", "Lyrics", "EncodedBy"};
    std::vector<std::unique_ptr<QProcess>> runs;
    for (const QString& f : fields) {
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->start(QStringLiteral(VANTREL_CLI), {"tag", file, "--v2", f + "=" + f.toLower()});
    }
    for (auto& p : runs) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    const QJsonObject v2 = tagsJson(file)["id3v2"].toObject();
    for (const QString& f : fields)
        EXPECT_EQ(v2[f].toString(), f.toLower()) << f.toStdString();
}

// A tag that cannot be read completely: `tags` warns, `tag` writes nothing.
// A tag cut by the end of the file: the record appended first stays.
TEST(CliTagSafety, UnreadableAndCutTags)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f.mp3");
    const QByteArray tag = id3v2Tag(3, frame23("TALB", latin1Text("Album")), 200);
    for (const QByteArray& bytes :
         {tag.left(26) + "\x01junk" + tag.mid(31) + mpegFrames(2), tag.left(tag.size() - 60)}) {
        const bool cut = !bytes.endsWith(mpegFrames(2));
        ASSERT_TRUE(writeFile(file, bytes));
        EXPECT_EQ(runCli({"tags", file}).err.contains("could not be read completely"), !cut);
        const CliRun r = runCli({"tag", file, "--v1", "Title=A", "--v2", "Title=B"});
        EXPECT_EQ(r.exitCode, cut ? 0 : 1) << r.err.toStdString();
        const QJsonObject o = tagsJson(file);
        EXPECT_EQ(o["id3v1"].toObject()["Title"].toString(), cut ? "A" : "");
        EXPECT_EQ(o["id3v2"].toObject()["Title"].toString(), cut ? "B" : "");
        EXPECT_TRUE(cut || readFile(file) == bytes);
    }
}
