// The hidden tag window of the batch operations: loading both tags into its
// fields, the genre pickers, and writing the mapped fields back.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "Version.h"
#include "platform/Prompter.h"
#include "tags/formTag.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Both tags: a v2.3 tag with a title behind the marker old versions left
// (1, FF, FE), a UTF-16 artist, an album whose real text starts with the byte
// order mark letters, the given genre text; audio; a v1.1 record.
QByteArray taggedFile(const QByteArray& genreText = "(17)")
{
    const QByteArray frames = frame23("TIT2", latin1Text("\x01\xFF\xFESong")) +
                              frame23("TPE1", '\x01' + utf16(QString::fromUtf8("Bänd"))) +
                              frame23("TALB", latin1Text("\xFF\xFE"
                                                         "Disc")) +
                              frame23("TRCK", latin1Text("3/12")) + frame23("TCON", latin1Text(genreText)) +
                              frame23("COMM", bytes("\0eng\0Hello")) + frame23("TCOM", latin1Text("Comp"));
    return id3v2Tag(3, frames, 64) + mpegFrames(2) +
           id3v1Record("Title1", "Artist1", "Album1", "2001", "c1", 7, 13);
}

// Exact names and unmatched texts (kept or not) are resolved in the save cases below.
TEST(FormTagPicker, ResolvesToTheFirstContainingName)
{
    GenrePicker p;
    const std::tuple<QString, int, QString> cases[] = {
        // typed text, genre, text after
        {QStringLiteral("ock"), 1, QStringLiteral("Classic Rock")},
        {QStringLiteral("rock"), 17, QStringLiteral("Rock")}, // an exact name in any case wins
        {QStringLiteral("CLASSIC"), 255, QString()},          // containing is case-sensitive
        {QString(), 255, QString()},
    };
    for (const auto& [text, genre, after] : cases) {
        p.setText(text);
        p.resolve();
        EXPECT_EQ(p.selectedGenre(), genre) << text.toStdString();
        EXPECT_EQ(p.Text(), after) << text.toStdString();
    }
}

TEST(FormTag, LoadFillsEveryFieldAndUnloadableFileKeepsThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a b.mp3"));
    ASSERT_TRUE(writeFile(path, taggedFile()));
    ScriptedPrompter prompter;
    formTag form(prompter);
    form.Load(QLatin1Char('"') + path + QStringLiteral("\" --other"));
    EXPECT_EQ(form.txtMp3File, path);
    EXPECT_EQ(
        QStringList({form.txtTitle, form.txtArtist, form.txtAlbum, form.txtYear, form.txtComment,
                     form.cboGenre.Text(), form.txtTitleV2, form.txtArtistV2, form.txtAlbumV2, form.txtTrack,
                     form.txtCommentV2, form.txtComposer, form.cboGenreV2.Text()}),
        QStringList({"Title1", "Artist1", "Album1", "2001", "c1", "Pop", "Song", QString::fromUtf8("Bänd"),
                     QString::fromUtf8("ÿþDisc"), "3/12", "Hello", "Comp", "Rock"}));
    EXPECT_EQ(form.cboGenre.selectedGenre(), 13);
    EXPECT_TRUE(prompter.prompts().isEmpty());

    const QString missing = dir.filePath(QStringLiteral("missing.mp3"));
    EXPECT_FALSE(form.tagFile(missing));
    EXPECT_EQ(form.txtTitleV2, QStringLiteral("Song"));
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_TRUE(prompter.prompts()[0].text.endsWith("No such file or directory"));
    // Saving to it fails with the reasons of both tags and makes no file.
    form.txtMp3File = missing;
    EXPECT_FALSE(form.SetTags());
    EXPECT_TRUE(form.lastError().contains("ID3v1") && form.lastError().contains("ID3v2"));
    EXPECT_FALSE(QFile::exists(missing));
}

// The batch tag update: load, change artist and title, save; then read the
// file with fresh tag objects.
TEST(FormTag, SaveWritesTheMappedFields)
{
    const struct {
        const char* name;
        QByteArray genreText; // the file's TCON text
        QString v1Picker;     // "" = leave as loaded
        QString v2Picker;
        int v1Genre, v2Genre;
        QString v2Other;
    } cases[] = {
        {"pickers untouched keep genres", "(17)", "", "", 13, 17, "Rock"},
        {"text-only genre survives", "Indie", "", "", 13, 255, "Indie"},
        {"exact name beats earlier containing", "(13)", "Rock", "Folk", 17, 80, "Folk"},
        {"unknown name clears v1, stays name in v2", "(13)", "Shoegaze", "Shoegaze", 255, 255, "Shoegaze"},
    };
    const QString stamp = QStringLiteral("Edited by: Vantrel ") + versionShort();
    TempFiles files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = files.file(taggedFile(c.genreText));
        ScriptedPrompter prompter;
        formTag form(prompter);
        ASSERT_TRUE(form.tagFile(path));
        form.txtArtist = QStringLiteral("New Artist");
        form.txtTitle = QStringLiteral("New Title");
        form.txtArtistV2 = QString::fromUtf8("Ärtist Ω");
        form.txtTitleV2 = QStringLiteral("New Title");
        form.txtComment = form.txtCommentV2 = QStringLiteral("ignored");
        if (!c.v1Picker.isEmpty()) form.cboGenre.setText(c.v1Picker);
        if (!c.v2Picker.isEmpty()) form.cboGenreV2.setText(c.v2Picker);
        ASSERT_TRUE(form.SetTags()) << form.lastError().toStdString();
        EXPECT_TRUE(prompter.prompts().isEmpty());

        // Both comments become the stamp; the v1 track and the v2 frames the
        // window does not set stay as they were.
        cMP3ID3v1 v1;
        v1.setMP3File(path);
        EXPECT_EQ(QStringList({v1.Artist(), v1.Title(), v1.Album(), v1.Comment()}),
                  QStringList({"New Artist", "New Title", "Album1", stamp}));
        EXPECT_EQ(v1.Track(), 7);
        EXPECT_EQ(v1.Genre(), c.v1Genre);
        cMP3ID3v2 v2;
        v2.setMP3File(path);
        EXPECT_EQ(QStringList({v2.Artist(), v2.Title(), v2.Album(), v2.Comment(), v2.Track(), v2.Composer()}),
                  QStringList({QString::fromUtf8("Ärtist Ω"), "New Title", QString::fromUtf8("ÿþDisc"), stamp,
                               "3/12", "Comp"}));
        EXPECT_EQ(v2.TagsInFrame(QStringLiteral("COMM")), 1);
        EXPECT_EQ(v2.Genre(), c.v2Genre);
        EXPECT_EQ(v2.OtherGenreName(), c.v2Other);
    }
}

} // namespace
