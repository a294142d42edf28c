// vantrel-cli tags and tag: both tags as JSON, writing fields, bad usage, and
// files that cannot be read or written.
#include "CliRun.h"
#include "Id3v2Bytes.h"
#include "TestFiles.h"

#include <QFile>
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace vantrel::test;

namespace {

const QByteArray audio = mpegFrames(3);

class CliTags : public CliFolders {
  protected:
    void SetUp() override
    {
        const QByteArray v2 =
            id3v2Tag(3,
                     frame23("TIT2", latin1Text("Song")) + frame23("TPE1", latin1Text("Band")) +
                         frame23("TCON", latin1Text("(17)")),
                     32);
        ASSERT_TRUE(writeFile(both, v2 + audio + id3v1Record("T1", "A1", "Al1", "1999", "C1", 4, 13)));
        ASSERT_TRUE(writeFile(bare, audio));
    }
    QString both = path(u("both tags.mp3"));
    QString bare = path(u("bare.mp3"));
};

} // namespace

TEST_F(CliTags, JsonHasBothTagsKeyedByProperty)
{
    const CliRun r = run({"tags", "--json", both, bare});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QJsonObject first = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    const QJsonObject v1 = first[u("id3v1")].toObject(), v2 = first[u("id3v2")].toObject();
    EXPECT_EQ(v1[u("Track")].toInt(), 4);
    EXPECT_EQ(v2[u("OtherGenreName")].toString(), u("Rock"));
    EXPECT_EQ(v2[u("Frames")].toArray(), QJsonArray({u("TIT2"), u("TPE1"), u("TCON")}));
    EXPECT_EQ(QJsonDocument::fromJson(lines[1].toUtf8()).object()[u("file")].toString(), bare);
}

// Bad usage, files that cannot be read and a read-only file: the reason, and no file touched.
TEST_F(CliTags, BadUsageAndFilesThatCannotBeRead)
{
    const QString missing = path(u("missing.mp3"));
    const QString readOnly = path(u("read only.mp3"));
    ASSERT_TRUE(writeFile(readOnly, readFile(both)));
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
    const struct {
        QStringList args;
        int exitCode;
        const char* errContains;
    } cases[] = {
        {{"tags"}, 2, "Usage"},
        {{"tags", missing, both}, 1, "No such file or directory"},
        {{"tag", both, "--v1", "Colour=x"}, 2, "Colour"},
        {{"tag", missing, "--v1", "Title=x"}, 1, "No such file or directory"},
        {{"tag", readOnly, "--v1", "Title=x"}, 1, "not written"},
        {{"tag", readOnly, "--v2", "Title=x"}, 1, "not written"},
    };
    const QByteArray before = readFile(both);
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.errContains))) << r.err.toStdString();
    }
    EXPECT_EQ(readFile(both), before);
    EXPECT_EQ(readFile(readOnly), before);
    EXPECT_FALSE(QFile::exists(missing));
}

// Each tag given a field is written, the other one is not created; the audio stays.
TEST_F(CliTags, TagWritesOnlyTheTagsGivenFields)
{
    const struct {
        const char* sets;
        bool v1, v2;
    } cases[] = {
        {"--v1 title=Neu --v1 Genre=17 --v2 Title=Ünïcode_Ω --v2 Genre=80", true, true},
        {"--v2 Title=Ünïcode_Ω --v2 Genre=80", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sets);
        ASSERT_TRUE(writeFile(bare, audio));
        const CliRun r = run(QStringList{"tag", bare} + u(c.sets).split(' '));
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(readFile(bare).contains(audio));
        const QJsonObject o = tagsJson(bare);
        const QJsonObject v1 = o[u("id3v1")].toObject(), v2 = o[u("id3v2")].toObject();
        EXPECT_EQ(v1[u("HasID3v1Tag")].toBool(), c.v1);
        EXPECT_EQ(v2[u("HasID3v2Tag")].toBool(), c.v2);
        EXPECT_EQ(v1[u("Title")].toString(), c.v1 ? u("Neu") : QString());
        EXPECT_EQ(v1[u("Genre")].toInt(), c.v1 ? 17 : 255);
        EXPECT_EQ(v2[u("Title")].toString(), c.v2 ? u("Ünïcode_Ω") : QString());
        EXPECT_EQ(v2[u("Genre")].toInt(), c.v2 ? 80 : 255);
    }
}
