// "Fix files!" in the tags-from-names mode: both tags written from the parsed
// name, the overwrite question, missing files and cancel.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "batch/FileList.h"
#include "batch/TagsFromNames.h"
#include "platform/Prompter.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"
#include "tags/formTag.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// A file with an ID3v2.3 tag holding only an artist (TPE1, Latin-1) and an
// ID3v1 record holding only the artist "Old".
QByteArray taggedArtistOnly(const QByteArray& v2Artist)
{
    return id3v2Tag(3, frame23("TPE1", '\0' + v2Artist), 32) + mpegFrames(2) + id3v1Record("", "Old");
}

struct Tags {
    QString v1Artist, v1Title, v2Artist, v2Title;
    bool operator==(const Tags&) const = default;
};

Tags readTags(const QString& path)
{
    cMP3ID3v1 v1;
    v1.setMP3File(path);
    cMP3ID3v2 v2;
    v2.setMP3File(path);
    return {v1.Artist().trimmed(), v1.Title().trimmed(), v2.Artist(), v2.Title()};
}

void PrintTo(const Tags& t, std::ostream* os)
{
    *os << (QStringList{t.v1Artist, t.v1Title, t.v2Artist, t.v2Title}.join(u("|"))).toStdString();
}

} // namespace

TEST(TagsFromNames, SplitsAtDashes)
{
    const struct {
        const char* parsed;
        const char* artist;
        const char* title;
    } table[] = {
        {"Artist - Song.mp3", "Artist", "Song"}, {"Artist - Album - Song.mp3", "Artist", "Song"},
        {"  Spaced  .mp3", "", "Spaced"},        {"A-B.mp3", "A", "B"},
        {"Artist -.mp3", "Artist", ""},          {".mp3", "", ""},
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
        Answer answer;       // to the overwrite question
        QByteArray existing; // the file's bytes; empty: audio without tags
        Tags expected;
    } table[] = {
        {"Artist - Song.mp3", Answer::Yes, {}, {"Artist", "Song", "Artist", "Song"}},
        {"New - Name.mp3", Answer::Yes, taggedArtistOnly("Old"), {"New", "Name", "New", "Name"}},
        // Keeping existing values: a field either tag holds is kept, and the
        // other tag's empty field takes it; only a field neither holds comes
        // from the name.
        {"New - Name.mp3", Answer::No, taggedArtistOnly("OldV2"), {"Old", "Name", "OldV2", "Name"}},
        {"V1only.mp3",
         Answer::No,
         mpegFrames(2) + id3v1Record("Hotel California", "Eagles"),
         {"Eagles", "Hotel California", "Eagles", "Hotel California"}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.name) + (row.answer == Answer::Yes ? " Yes" : " No"));
        QTemporaryDir dir;
        const QString path = dir.path() + QLatin1Char('/') + u(row.name);
        writeFile(path, row.existing.isEmpty() ? mpegFrames(3) : row.existing);
        FileList list;
        list.append(path);
        ScriptedPrompter prompter(Answer::Yes);
        prompter.answer(Question::OverwriteTags, row.answer);
        formTag tags(prompter);
        const TagsFromNamesOutcome out = fixlisttags(list, ParserOptions{}, prompter, tags);
        EXPECT_EQ(out.overwrite, row.answer == Answer::Yes);
        EXPECT_EQ(out.written, 1);
        EXPECT_TRUE(out.failures.isEmpty());
        EXPECT_EQ(readTags(path), row.expected); // and the file was never renamed
        ASSERT_EQ(prompter.prompts().size(), 2); // the overwrite question, then the account
    }
}

TEST(TagsFromNames, MissingFilesAndCancel)
{
    QTemporaryDir dir;
    FileList list;
    ScriptedPrompter prompter(Answer::Yes);
    formTag tags(prompter);
    // A file deleted since loading is skipped without a message.
    for (const char* n : {"a - b.mp3", "gone - x.mp3", "c - d.mp3"})
        list.append(dir.path() + QLatin1Char('/') + u(n));
    auto makeFiles = [&] {
        writeFile(list.lstAllfiles.at(0), mpegFrames(2));
        writeFile(list.lstAllfiles.at(2), mpegFrames(2));
        prompter.clear();
    };
    makeFiles();
    TagsFromNamesOutcome out = fixlisttags(list, ParserOptions{}, prompter, tags);
    EXPECT_EQ(out.written, 2);
    EXPECT_EQ(out.skipped, 1);
    EXPECT_EQ(prompter.prompts().size(), 2);
    EXPECT_FALSE(QFile::exists(list.lstAllfiles.at(1)));
    EXPECT_EQ(readTags(list.lstAllfiles.at(2)).v2Title, u("D"));

    // Cancel before the second file: the first is written, the rest not.
    makeFiles();
    out = fixlisttags(list, ParserOptions{}, prompter, tags,
                      [](qsizetype done, qsizetype) { return done < 1; });
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.written, 1);
    EXPECT_TRUE(
        prompter.prompts().last().text.startsWith(u("Stopped after 1 of 3 files: 1 file(s) written")));
    EXPECT_EQ(readTags(list.lstAllfiles.at(0)).v2Title, u("B"));
    EXPECT_EQ(readTags(list.lstAllfiles.at(2)).v2Title, u(""));
}
