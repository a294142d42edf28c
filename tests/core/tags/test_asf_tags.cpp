// WMA files keep their own ASF tag: fields written through the interface and
// the tag window, and by the batch runs, as an independent reader (mutagen)
// sees them; every other attribute, object and the audio survive unchanged.
#include "AsfFiles.h"
#include "TestFiles.h"
#include "batch/FileList.h"
#include "batch/Simulation.h"
#include "batch/TagsFromNames.h"
#include "platform/Prompter.h"
#include "tags/ForeignTags.h"
#include "tags/cMP3ID3v2.h"
#include "tags/formTag.h"

#include <QDir>
#include <QJsonArray>
#include <array>
#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace vantrel;
using namespace vantrel::test;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// A WMA file with a title, an artist, an album, a track stored as a number, a
// picture and an attribute no reader knows; made once, copied per case.
QString baseWma()
{
    static QTemporaryDir dir;
    static const QString path = dir.path() + u("/base.wma");
    static const bool made = makeWma(path, {{u("Title"), u("Old Title")},
                                            {u("Author"), u("Old Artist")},
                                            {u("WM/AlbumTitle"), u("Old Album")},
                                            {u("WM/TrackNumber"), 7},
                                            {u("Vantrel/Private"), u("keep me")},
                                            // front cover, 4 bytes, "image/png", no description, the bytes
                                            {u("WM/Picture"), u("bytes:0304000000"
                                                                "69006d006100670065002f0070006e0067000000"
                                                                "0000"
                                                                "89504e47")}});
    EXPECT_TRUE(made) << "needs ffmpeg and python3-mutagen";
    return path;
}

QString copyOfBase(const QTemporaryDir& dir, const char* name)
{
    const QString path = dir.path() + QLatin1Char('/') + u(name);
    EXPECT_TRUE(QFile::copy(baseWma(), path));
    return path;
}

// The first value mutagen reads for a key, "" when there is none.
QString first(const QJsonObject& dump, const char* key)
{
    return dump.value(u(key)).toArray().at(0).toString();
}

// Every checksum and every attribute that holds none of the fields is as before.
void expectKept(const QJsonObject& before, const QJsonObject& after)
{
    ASSERT_FALSE(after.isEmpty()) << "the reader cannot read the file";
    const QStringList fields{u("Title"),   u("Author"),         u("Description"), u("WM/AlbumTitle"),
                             u("WM/Year"), u("WM/TrackNumber"), u("WM/Genre")};
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (fields.contains(it.key()))
            continue;
        EXPECT_EQ(after.value(it.key()), it.value()) << it.key().toStdString();
    }
}

} // namespace

TEST(AsfTags, WriteSetsFieldsAndKeepsEverythingElse)
{
    const struct {
        const char* label;
        ForeignTagEdit edit;
        // mutagen's first value of Title, Author, WM/AlbumTitle, WM/Year, WM/TrackNumber, WM/Genre,
        // Description
        std::array<const char*, 7> seen;
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
        const char* keys[] = {"Title",          "Author",   "WM/AlbumTitle", "WM/Year",
                              "WM/TrackNumber", "WM/Genre", "Description"};
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(first(after, keys[i]), u(row.seen[i])) << keys[i];
        EXPECT_EQ(QFile::permissions(path), mode);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u("a.wma")});
        const std::optional<ForeignTagFields> read = ForeignTags::read(path);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->title, QString(first(after, "Title")).section(u(":"), 1));
    }
}

TEST(AsfTags, RefusedWritesLeaveTheFileAsItWas)
{
    QTemporaryDir dir;
    const QString mp3 = dir.path() + u("/a.mp3"), cut = copyOfBase(dir, "cut.wma");
    writeFile(mp3, mpegFrames(2));
    QFile::resize(cut, 100); // the header claims more than the file holds
    const QString same = copyOfBase(dir, "same.wma");
    for (const QString& path : {mp3, cut, same}) {
        const QByteArray bytes = readFile(path);
        QString error;
        const bool readable = ForeignTags::read(path, &error).has_value();
        const ForeignTagResult r = ForeignTags::write(path, {u("Old Title"), {}, {}, {}, {}, {}, {}});
        EXPECT_EQ(readFile(path), bytes) << path.toStdString();
        EXPECT_EQ(r.ok, path == same) << r.error.toStdString(); // nothing to change is no failure
        EXPECT_EQ(readable, path == same);
        EXPECT_EQ(error.isEmpty(), path == same);
    }
}

TEST(AsfTags, ContentNotNameDecidesTheTag)
{
    // An ASF file named .mp3 gets its ASF tag and never ID3; a .wma holding
    // MPEG audio is an MP3.
    for (const bool asf : {true, false}) {
        SCOPED_TRACE(asf ? "ASF named .mp3" : "MPEG named .wma");
        QTemporaryDir dir;
        const QString path = asf ? copyOfBase(dir, "a.mp3") : dir.path() + u("/a.wma");
        if (!asf) writeFile(path, mpegFrames(2));
        const QJsonObject before = asf ? asfDump(path) : QJsonObject();
        ScriptedPrompter prompter;
        formTag tags(prompter);
        ASSERT_TRUE(tags.tagFile(path));
        EXPECT_EQ(tags.txtTitleV2, asf ? u("Old Title") : QString());
        EXPECT_EQ(tags.txtTrack, asf ? u("7") : QString());
        EXPECT_TRUE(tags.txtArtist.trimmed().isEmpty());
        tags.txtTitleV2 = u("New");
        ASSERT_TRUE(tags.SetTags()) << tags.lastError().toStdString();
        if (asf) {
            const QJsonObject after = asfDump(path);
            expectKept(before, after); // the bytes behind the header too: no ID3v1 record
            EXPECT_EQ(first(after, "Title"), u("Unicode:New"));
            EXPECT_EQ(first(after, "Description"), u("Unicode:") + formTag::commentStamp());
        } else {
            cMP3ID3v2 v2;
            v2.setMP3File(path);
            EXPECT_EQ(v2.Title(), u("New"));
        }
        EXPECT_TRUE(prompter.prompts().isEmpty());
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
    // Tags from names: Title and Author, with the overwrite answer.
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        QTemporaryDir dir;
        FileList list;
        const QString path = copyOfBase(dir, "New Artist - New Song.wma");
        list.append(path);
        const QJsonObject before = asfDump(path);
        ScriptedPrompter prompter(Answer::Yes);
        prompter.queue(answer);
        formTag tags(prompter);
        const TagsFromNamesOutcome out = fixlisttags(list, ParserOptions{}, prompter, tags);
        EXPECT_EQ(out.written, 1);
        const QJsonObject after = asfDump(path);
        expectKept(before, after);
        EXPECT_EQ(first(after, "Title"),
                  answer == Answer::Yes ? u("Unicode:New Song") : u("Unicode:Old Title"));
        EXPECT_EQ(first(after, "Author"),
                  answer == Answer::Yes ? u("Unicode:New Artist") : u("Unicode:Old Artist"));
    }
}
