// WMA files keep their own ASF tag: fields written through the interface, the
// tag window and the batch runs, as an independent reader (mutagen) sees them;
// every other attribute, object and the audio survive unchanged.
#include "AsfFiles.h"
#include "TestFiles.h"
#include "batch/Simulation.h"
#include "batch/TagsFromNames.h"
#include "platform/Prompter.h"
#include "tags/ForeignTags.h"
#include "tags/formTag.h"

#include <QDir>
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// Title, artist, album, a track stored as a number, a picture (front cover,
// "image/png", no description, 4 bytes) and an attribute no reader knows.
QString copyOfBase(const QTemporaryDir& dir, const char* name)
{
    static QTemporaryDir baseDir;
    static const QString base = baseDir.filePath(u("base.wma"));
    static const bool made = makeWma(
        base,
        {{u("Title"), u("Old Title")},
         {u("Author"), u("Old Artist")},
         {u("WM/AlbumTitle"), u("Old Album")},
         {u("WM/TrackNumber"), 7},
         {u("Vantrel/Private"), u("keep me")},
         {u("WM/Picture"), u("bytes:030400000069006d006100670065002f0070006e006700000000000089504e47")}});
    EXPECT_TRUE(made) << "needs ffmpeg and python3-mutagen";
    EXPECT_TRUE(QFile::copy(base, dir.filePath(u(name))));
    return dir.filePath(u(name));
}

// mutagen's first value of a key ("Unicode:text", "DWord:7"), "" without one.
QString first(const QJsonObject& dump, const char* key)
{
    return dump[u(key)].toArray().at(0).toString();
}

// Every checksum (objects, audio) and every attribute that is no field is as before.
void expectKept(const QJsonObject& before, const QJsonObject& after)
{
    ASSERT_FALSE(after.isEmpty()) << "the reader cannot read the file";
    const QStringList fields{u("Title"),   u("Author"),         u("Description"), u("WM/AlbumTitle"),
                             u("WM/Year"), u("WM/TrackNumber"), u("WM/Genre")};
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (fields.contains(it.key())) continue;
        EXPECT_EQ(after[it.key()], it.value()) << it.key().toStdString();
    }
}

} // namespace

TEST(AsfTags, WriteSetsFieldsAndKeepsEverythingElse)
{
    const struct {
        const char* label;
        ForeignTagEdit edit;
        const char* seen[7]; // Title, Author, WM/AlbumTitle, WM/Year, WM/TrackNumber, WM/Genre, Description
    } rows[] = {
        {"every field, text beyond Latin-1",
         {u("Titel \u20AC"), u("K\u00FCnstler"), u("Album"), u("1999"), u("3/12"), u("Rock"), u("Hi")},
         {"Unicode:Titel \u20AC", "Unicode:K\u00FCnstler", "Unicode:Album", "Unicode:1999", "Unicode:3/12",
          "Unicode:Rock", "Unicode:Hi"}},
        {"a title alone; a number stays a number",
         {u("New"), {}, {}, {}, u("8"), {}, {}},
         {"Unicode:New", "Unicode:Old Artist", "Unicode:Old Album", "", "DWord:8", "", "Unicode:"}},
        {"an emptied album is removed",
         {{}, {}, u(""), {}, {}, {}, {}},
         {"Unicode:Old Title", "Unicode:Old Artist", "", "", "DWord:7", "", "Unicode:"}},
    };
    const char* keys[] = {"Title",          "Author",   "WM/AlbumTitle", "WM/Year",
                          "WM/TrackNumber", "WM/Genre", "Description"};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        QTemporaryDir dir;
        const QString path = copyOfBase(dir, "a.wma");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QFile::Permissions mode = QFile::permissions(path);
        const QJsonObject before = asfDump(path);
        const ForeignTagResult r = ForeignTags::write(path, row.edit);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        const QJsonObject after = asfDump(path);
        expectKept(before, after);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(first(after, keys[i]), u(row.seen[i])) << keys[i];
        EXPECT_EQ(ForeignTags::read(path)->artist, first(after, "Author").section(u(":"), 1));
        EXPECT_EQ(QFile::permissions(path), mode);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u("a.wma")});
    }
}

TEST(AsfTags, RefusedOrNeedlessWritesLeaveTheFileAsItWas)
{
    QTemporaryDir dir;
    const QString mp3 = dir.filePath(u("a.mp3")), cut = copyOfBase(dir, "cut.wma"),
                  same = copyOfBase(dir, "s.wma");
    writeFile(mp3, mpegFrames(2));
    QFile::resize(cut, 100); // the header claims more than the file holds
    for (const QString& path : {mp3, cut, same}) {
        const QByteArray bytes = readFile(path);
        QString error;
        const bool readable = ForeignTags::read(path, &error).has_value();
        EXPECT_EQ(readable, error.isEmpty());
        const ForeignTagResult r = ForeignTags::write(path, {u("Old Title"), {}, {}, {}, {}, {}, {}});
        EXPECT_EQ(r.ok, path == same) << r.error.toStdString();
        EXPECT_EQ(readable, path == same);
        EXPECT_EQ(readFile(path), bytes) << path.toStdString();
    }
}

TEST(AsfTags, BatchRunsUseTheAsfTag)
{
    // Names from tags: from Title and Author; forced ID3v1 finds none and cleans the name.
    for (const bool forceId1 : {false, true}) {
        QTemporaryDir dir;
        FileList list;
        list.append(copyOfBase(dir, "x_y.wma"));
        SimulationOptions o;
        o.forceId1 = forceId1;
        ScriptedPrompter p;
        QString log;
        fixlist(list, o, p, log);
        EXPECT_EQ(list.row(0).after, forceId1 ? u("X Y.wma") : u("Old Artist - Old Title.wma"));
    }
    // Tags from names: Title and Author as the overwrite answer says, and never
    // ID3 in an ASF file, even one named .mp3 (MPEG named otherwise: in the
    // formats test).
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        QTemporaryDir dir;
        const QString path = copyOfBase(dir, "New Artist - New Song.mp3");
        FileList list;
        list.append(path);
        const QJsonObject before = asfDump(path);
        ScriptedPrompter prompter(Answer::Yes);
        prompter.answer(Question::OverwriteTags, answer);
        formTag tags(prompter);
        EXPECT_EQ(fixlisttags(list, ParserOptions{}, prompter, tags).written, 1);
        const QJsonObject after = asfDump(path);
        expectKept(before, after); // the bytes behind the header too: no ID3v1 record
        const bool yes = answer == Answer::Yes;
        EXPECT_EQ(first(after, "Title"), yes ? u("Unicode:New Song") : u("Unicode:Old Title"));
        EXPECT_EQ(first(after, "Author"), yes ? u("Unicode:New Artist") : u("Unicode:Old Artist"));
    }
}
