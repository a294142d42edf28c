// vantrel-cli tags and tag on WMA, FLAC, Ogg and M4A files: their own tag is
// shown and written, and what it cannot hold is refused with the file unchanged.
#include "AsfFiles.h"
#include "CliRun.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace vantrel::test;

TEST(CliWma, ShowsAndWritesTheAsfTag)
{
    QTemporaryDir dir;
    const QString wma = dir.filePath(u("a.wma"));
    ASSERT_TRUE(makeWma(wma, {{u("Title"), u("Old")}})) << "needs ffmpeg, python3-mutagen";
    const QJsonObject o = tagsJson(wma);
    EXPECT_EQ(o.keys(), (QStringList{u("asf"), u("file")}));
    EXPECT_EQ(o[u("asf")].toObject()[u("Title")].toString(), u("Old"));

    CliRun r = runCli({"tag", wma, "--v2", "Title=Neu", "--v2", "genre=17"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject after = asfDump(wma);
    EXPECT_EQ(after[u("Title")].toArray(), QJsonArray{u("Unicode:Neu")});
    EXPECT_EQ(after[u("WM/Genre")].toArray(), QJsonArray{u("Unicode:Rock")});

    // Writers at the same time wait for each other, though each replaces the file.
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const char* set : {"Title=1", "Artist=2", "Album=3", "Year=4", "Track=5", "Genre=6", "Comment=7"}) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->start(QStringLiteral(VANTREL_CLI), {"tag", wma, "--v2", set});
    }
    for (auto& w : writers)
        EXPECT_TRUE(w->waitForFinished(60000) && w->exitCode() == 0);
    const QJsonObject all = tagsJson(wma);
    EXPECT_EQ(QString::fromUtf8(QJsonDocument(all[u("asf")].toObject()).toJson(QJsonDocument::Compact)),
              R"({"Album":"3","Artist":"2","Comment":"7","Genre":"Grunge","Items":["WM/EncodingSettings"],)"
              R"("Title":"1","Track":"5","Year":"4"})");

    // What a WMA tag cannot hold refuses the whole write.
    const QByteArray bytes = readFile(wma);
    for (const QStringList& refused : {QStringList{"--v1", "Title=X"}, QStringList{"--v2", "Composer=X"}}) {
        r = runCli(QStringList{"tag", wma, "--v2", "Title=X"} + refused);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(u("nothing written"))) << r.err.toStdString();
        EXPECT_EQ(readFile(wma), bytes);
    }
}

TEST(CliWma, OtherFormatsShowAndTakeTheirOwnTag)
{
    QTemporaryDir dir;
    const char* const formats[][2] = {{"FLAC", "flac"}, {"ogg", "ogg"}, {"Opus", "ogg"}, {"m4a", "mp4"}};
    for (const auto& [ext, key] : formats) {
        const QString path = dir.filePath(u("x.") + u(ext));
        ASSERT_TRUE(makeAudio(path)) << "needs ffmpeg, python3-mutagen";
        const CliRun r = runCli({"tag", path, "--v2", "Title=Neu"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QJsonObject o = tagsJson(path);
        EXPECT_EQ(o[u(key)].toObject()[u("Title")].toString(), u("Neu")) << ext;
    }
    // Listed only when asked for.
    EXPECT_EQ(runCli({"simulate", dir.path()}).out, QString());
    EXPECT_EQ(runCli({"simulate", "--all-formats", dir.path()}).out.count(u("\tOld Artist - Neu.")), 4);
}
