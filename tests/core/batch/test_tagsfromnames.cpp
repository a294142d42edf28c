#include "batch/FileList.h"
#include "batch/TagsFromNames.h"
#include "platform/Prompter.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"
#include "tags/formTag.h"

#include "Id3v2Bytes.h"
#include "TestFiles.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vantrel;
using vantrel::test::writeFile;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// An ID3v2.3 tag holding only an artist (TPE1, Latin-1).
QByteArray v23ArtistOnly(const QByteArray& artist)
{
    return test::id3v2Tag(3, test::frame23("TPE1", '\0' + artist), 32); // encoding 0, text; padding
}

struct Tags {
    QString v1Artist, v1Title, v2Artist, v2Title;
};

Tags readTags(const QString& path)
{
    cMP3ID3v1 v1;
    v1.setMP3File(path);
    cMP3ID3v2 v2;
    v2.setMP3File(path);
    return {v1.Artist().trimmed(), v1.Title().trimmed(), v2.Artist(), v2.Title()};
}

} // namespace

TEST(TagsFromNames, SplitsAtDashes)
{
    const struct {
        const char* parsed;
        const char* artist;
        const char* title;
    } table[] = {
        {"Artist - Song.mp3", "Artist", "Song"},
        {"Artist - Album - Song.mp3", "Artist", "Song"},
        {"Song.mp3", "", "Song"},
        {"  Spaced  .mp3", "", "Spaced"},
        {"A-B.mp3", "A", "B"},
        {"- Song.mp3", "", "Song"},
        {"Artist -.mp3", "Artist", ""},
        {".mp3", "", ""},
    };
    for (const auto& row : table) {
        const ArtistTitle at = splitArtistTitle(u(row.parsed));
        EXPECT_EQ(at.artist, u(row.artist)) << row.parsed;
        EXPECT_EQ(at.title, u(row.title)) << row.parsed;
    }
}

TEST(TagsFromNames, WritesBothTagsFromTheParsedName)
{
    const struct {
        const char* name;
        Answer answer;
        QByteArray existing; // tags the file already has
        Tags expected;
    } table[] = {
        {"Artist - Song.mp3", Answer::Yes, {}, {u("Artist"), u("Song"), u("Artist"), u("Song")}},
        {"01 - some artist - some song.mp3", Answer::Yes, {},
         {u("Some Artist"), u("Some Song"), u("Some Artist"), u("Some Song")}},
        {"Song.mp3", Answer::Yes, {}, {u(""), u("Song"), u(""), u("Song")}},
        {"Artist - Album - Song.mp3", Answer::Yes, {}, {u("Artist"), u("Song"), u("Artist"), u("Song")}},
        {"New - Name.mp3", Answer::Yes, v23ArtistOnly("Old") + test::mpegFrames(2) + test::id3v1Record("", "Old"),
         {u("New"), u("Name"), u("New"), u("Name")}},
        {"New - Name.mp3", Answer::No, v23ArtistOnly("OldV2") + test::mpegFrames(2) + test::id3v1Record("", "Old"),
         {u("Old"), u("Name"), u("OldV2"), u("Name")}},
        {"New - Name.mp3", Answer::No, {}, {u("New"), u("Name"), u("New"), u("Name")}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.name) + (row.answer == Answer::Yes ? " Yes" : " No"));
        QTemporaryDir dir;
        const QString path = dir.path() + QLatin1Char('/') + u(row.name);
        writeFile(path, row.existing.isEmpty() ? test::mpegFrames(3) : row.existing);
        FileList list;
        list.append(path);
        ScriptedPrompter prompter(Answer::Yes);
        prompter.queue(row.answer);
        formTag tags(prompter);
        const TagsFromNamesOutcome out = fixlisttags(list, ParserOptions{}, prompter, tags);
        EXPECT_EQ(out.overwrite, row.answer == Answer::Yes);
        EXPECT_EQ(out.written, 1);
        EXPECT_TRUE(out.failures.isEmpty());
        const Tags t = readTags(path);
        EXPECT_EQ(t.v1Artist, row.expected.v1Artist);
        EXPECT_EQ(t.v1Title, row.expected.v1Title);
        EXPECT_EQ(t.v2Artist, row.expected.v2Artist);
        EXPECT_EQ(t.v2Title, row.expected.v2Title);
        EXPECT_TRUE(QFile::exists(path)); // never renamed
        ASSERT_EQ(prompter.prompts().size(), 2);
        EXPECT_EQ(prompter.prompts().first().title, u("IMPORTANT!"));
        EXPECT_EQ(prompter.prompts().first().buttons, Buttons::YesNo);
        EXPECT_EQ(prompter.prompts().last().text,
                  u("Done! You have to reload the folder or re-simulate the list to see the results."));
        EXPECT_EQ(prompter.prompts().last().title, u("Done"));
    }
}

TEST(TagsFromNames, EmptyListMissingFilesAndCancel)
{
    QTemporaryDir dir;
    FileList list;
    ScriptedPrompter prompter(Answer::Yes);
    formTag tags(prompter);
    // Nothing listed: the question and the closing message still come.
    TagsFromNamesOutcome out = fixlisttags(list, ParserOptions{}, prompter, tags);
    EXPECT_EQ(prompter.prompts().size(), 2);

    // A file deleted since loading is skipped without a message.
    for (const char* n : {"a - b.mp3", "gone - x.mp3", "c - d.mp3"})
        list.append(dir.path() + QLatin1Char('/') + u(n));
    writeFile(list.lstAllfiles.at(0), test::mpegFrames(2));
    writeFile(list.lstAllfiles.at(2), test::mpegFrames(2));
    prompter.clear();
    out = fixlisttags(list, ParserOptions{}, prompter, tags);
    EXPECT_EQ(out.written, 2);
    EXPECT_EQ(out.skipped, 1);
    EXPECT_EQ(prompter.prompts().size(), 2);
    EXPECT_FALSE(QFile::exists(list.lstAllfiles.at(1)));
    EXPECT_EQ(readTags(list.lstAllfiles.at(2)).v2Title, u("D"));

    // Cancel before the second file: the first is written, the rest not.
    writeFile(list.lstAllfiles.at(0), test::mpegFrames(2));
    writeFile(list.lstAllfiles.at(2), test::mpegFrames(2));
    prompter.clear();
    out = fixlisttags(list, ParserOptions{}, prompter, tags, [](qsizetype done, qsizetype) { return done < 1; });
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.written, 1);
    EXPECT_EQ(readTags(list.lstAllfiles.at(0)).v2Title, u("B"));
    EXPECT_EQ(readTags(list.lstAllfiles.at(2)).v2Title, u(""));
}
