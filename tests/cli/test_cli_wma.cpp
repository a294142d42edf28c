// vantrel-cli tags and tag on a WMA file: its own ASF tag is shown and
// written, and what it cannot hold is refused with the file unchanged.
#include "AsfFiles.h"
#include "CliRun.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <gtest/gtest.h>

using namespace vantrel::test;

TEST(CliWma, ShowsAndWritesTheAsfTag)
{
    QTemporaryDir dir;
    const QString wma = dir.filePath(u("a.wma"));
    ASSERT_TRUE(makeWma(wma, {{u("Title"), u("Old")}})) << "needs ffmpeg, python3-mutagen";
    const QJsonObject o = QJsonDocument::fromJson(runCli({"tags", "--json", wma}).out.toUtf8()).object();
    EXPECT_EQ(o.keys(), (QStringList{u("asf"), u("file")}));
    EXPECT_EQ(o[u("asf")].toObject()[u("Title")].toString(), u("Old"));

    CliRun r = runCli({"tag", wma, "--v2", "Title=Neu", "--v2", "genre=17"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject after = asfDump(wma);
    EXPECT_EQ(after[u("Title")].toArray(), QJsonArray{u("Unicode:Neu")});
    EXPECT_EQ(after[u("WM/Genre")].toArray(), QJsonArray{u("Unicode:Rock")});

    // What a WMA tag cannot hold refuses the whole write.
    const QByteArray bytes = readFile(wma);
    for (const QStringList& refused : {QStringList{"--v1", "Title=X"}, QStringList{"--v2", "Composer=X"}}) {
        r = runCli(QStringList{"tag", wma, "--v2", "Title=X"} + refused);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(u("nothing written"))) << r.err.toStdString();
        EXPECT_EQ(readFile(wma), bytes);
    }
}
