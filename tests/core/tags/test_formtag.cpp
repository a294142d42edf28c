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

// An ID3v2.3 frame: id, plain 32-bit size, two flag bytes, body.
QByteArray frame(const char* id, const QByteArray& body)
{
    QByteArray f(id, 4);
    const auto n = static_cast<quint32>(body.size());
    f += static_cast<char>(n >> 24);
    f += static_cast<char>(n >> 16);
    f += static_cast<char>(n >> 8);
    f += static_cast<char>(n);
    f += QByteArray(2, '\0');
    return f + body;
}

// An ID3v2.3 tag around frames, with 64 bytes of padding; the size is
// synchsafe and counts the bytes after the header.
QByteArray tag23(const QByteArray& frames)
{
    const QByteArray body = frames + QByteArray(64, '\0');
    const auto n = static_cast<quint32>(body.size());
    QByteArray h("ID3\x03\x00\x00", 6);
    h += static_cast<char>((n >> 21) & 0x7F);
    h += static_cast<char>((n >> 14) & 0x7F);
    h += static_cast<char>((n >> 7) & 0x7F);
    h += static_cast<char>(n & 0x7F);
    return h + body;
}

QByteArray latin1Text(const QByteArray& s)
{
    return '\0' + s;
}

QByteArray utf16Text(const QString& s)
{
    QByteArray b("\x01\xFF\xFE", 3); // encoding 1, little-endian byte order mark
    for (const QChar c : s) {
        b += static_cast<char>(c.unicode() & 0xFF);
        b += static_cast<char>(c.unicode() >> 8);
    }
    return b;
}

// Both tags: a v2.3 tag with a UTF-16 artist, a plain title, a standard
// comment and the given genre text, then audio, then a v1.1 record.
QByteArray taggedFile(const QByteArray& genreText = "(17)")
{
    const QByteArray v2 =
        tag23(frame("TIT2", latin1Text("Song")) + frame("TPE1", utf16Text(QStringLiteral("Bänd"))) +
              frame("TALB", latin1Text("\xFF\xFE"
                                       "Disc")) +
              frame("TRCK", latin1Text("3/12")) + frame("TCON", latin1Text(genreText)) +
              frame("COMM", QByteArray("\0eng\0Hello", 10)) + frame("TCOM", latin1Text("Comp")));
    return v2 + mpegFrames(2) + id3v1Record("Title1", "Artist1", "Album1", "2001", "c1", 7, 13);
}

TEST(FormTagCommandLine, FirstFileName)
{
    const struct {
        QString line;
        std::optional<QString> file;
    } cases[] = {
        {QStringLiteral("\"/m/a b/c.mp3\" -x"), QStringLiteral("/m/a b/c.mp3")},
        {QStringLiteral("/m/a b.mp3"), QStringLiteral("/m/a")},
        {QStringLiteral("\"/m/a b.mp3"), std::nullopt},
        {QStringLiteral("ab\"c d\"ef"), QStringLiteral("abc d")},
        {QStringLiteral(" /m/a.mp3"), QString()},
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formTag::firstCommandLineFile(c.line), c.file) << c.line.toStdString();

    const QStringList args{QStringLiteral("/m/with space.mp3"), QStringLiteral("second")};
    EXPECT_EQ(formTag::firstCommandLineFile(formTag::commandLineOf(args)), args[0]);
}

TEST(FormTagPicker, ResolvesExactNameThenFirstContaining)
{
    GenrePicker p;
    ASSERT_EQ(p.ListCount(), 148);
    EXPECT_EQ(p.ItemData(0), 255);
    EXPECT_TRUE(p.entries()[0].name.isEmpty());
    const struct {
        QString text;
        bool keep;
        int genre;
        QString textAfter;
    } cases[] = {
        {QStringLiteral("Rock"), false, 17, QStringLiteral("Rock")},
        {QStringLiteral("Folk"), false, 80, QStringLiteral("Folk")},
        {QStringLiteral("ock"), false, 1, QStringLiteral("Classic Rock")},
        {QStringLiteral("Techno - Ind"), false, 51, QStringLiteral("Techno - Industrial")},
        {QStringLiteral("rock"), false, 255, QString()}, // case-sensitive
        {QString(), false, 255, QString()},
        {QStringLiteral("Indie Rock"), false, 255, QString()},
        {QStringLiteral("Indie Rock"), true, 255, QStringLiteral("Indie Rock")},
    };
    for (const auto& c : cases) {
        p.setText(c.text);
        p.resolve(c.keep);
        EXPECT_EQ(p.selectedGenre(), c.genre) << c.text.toStdString();
        EXPECT_EQ(p.Text(), c.textAfter) << c.text.toStdString();
    }
}

TEST(FormTagMarker, RemovesOnlyTheWholeMarker)
{
    const QString m = QStringLiteral("\u0001\u00FF\u00FE");
    const struct {
        QString in, out;
    } cases[] = {
        {m + QStringLiteral("Song"), QStringLiteral("Song")},
        {QStringLiteral("A") + m + QStringLiteral("B") + m, QStringLiteral("AB")},
        {QStringLiteral("\u00FF\u00FESong"), QStringLiteral("\u00FF\u00FESong")},
        {QStringLiteral("\u0001Song"), QStringLiteral("\u0001Song")},
        {QStringLiteral("nt Song"), QStringLiteral("nt Song")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formTag::withoutMarker(c.in), c.out);
}

TEST(FormTag, TagFileFillsEveryField)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a b.mp3"));
    ASSERT_TRUE(writeFile(path, taggedFile()));
    ScriptedPrompter prompter;
    formTag form(prompter);
    EXPECT_EQ(form.Caption, QStringLiteral("Form1"));
    form.Load(QLatin1Char('"') + path + QStringLiteral("\" --other"));
    EXPECT_EQ(form.txtMp3File, path);
    EXPECT_EQ(form.txtTitle, QStringLiteral("Title1"));
    EXPECT_EQ(form.txtArtist, QStringLiteral("Artist1"));
    EXPECT_EQ(form.txtAlbum, QStringLiteral("Album1"));
    EXPECT_EQ(form.txtYear, QStringLiteral("2001"));
    EXPECT_EQ(form.txtComment, QStringLiteral("c1"));
    EXPECT_EQ(form.cboGenre.Text(), QStringLiteral("Pop"));
    EXPECT_EQ(form.cboGenre.selectedGenre(), 13);

    EXPECT_EQ(form.txtTitleV2, QStringLiteral("Song"));
    EXPECT_EQ(form.txtArtistV2, QString::fromUtf8("Bänd"));
    // Real text that starts with the byte order mark letters is kept.
    EXPECT_EQ(form.txtAlbumV2, QString::fromUtf8("ÿþDisc"));
    EXPECT_EQ(form.txtTrack, QStringLiteral("3/12"));
    EXPECT_EQ(form.txtCommentV2, QStringLiteral("Hello"));
    EXPECT_EQ(form.txtComposer, QStringLiteral("Comp"));
    EXPECT_EQ(form.cboGenreV2.Text(), QStringLiteral("Rock"));
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

TEST(FormTag, UnloadableFileIsReportedAndFieldsStay)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.mp3"));
    ASSERT_TRUE(writeFile(good, taggedFile()));
    const QString missing = dir.filePath(QStringLiteral("missing.mp3"));
    ScriptedPrompter prompter;
    formTag form(prompter);
    ASSERT_TRUE(form.tagFile(good));
    EXPECT_FALSE(form.tagFile(missing));
    EXPECT_EQ(form.txtTitleV2, QStringLiteral("Song"));
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_EQ(prompter.prompts()[0].text,
              "Could not load file '" + missing + "'\r\n\r\nNo such file or directory");
    EXPECT_EQ(prompter.prompts()[0].icon, Icon::Information);

    // An unclosed quote on the command line loads nothing.
    formTag other(prompter);
    other.Load(QLatin1Char('"') + good);
    EXPECT_TRUE(other.txtMp3File.isEmpty());
    EXPECT_EQ(prompter.prompts().size(), 1);
}

struct SaveCase {
    const char* name;
    QByteArray genreText; // the file's TCON text
    QString v1Picker;     // "" = leave as loaded
    QString v2Picker;
    int v1Genre;
    int v2Genre;
    QString v2Other;
};

class FormTagSave : public ::testing::TestWithParam<SaveCase> {};

// The batch tag update: load, change artist and title, save; then read the
// file with fresh tag objects.
TEST_P(FormTagSave, WritesTheMappedFields)
{
    const SaveCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.mp3"));
    ASSERT_TRUE(writeFile(path, taggedFile(c.genreText)));
    ScriptedPrompter prompter;
    formTag form(prompter);
    ASSERT_TRUE(form.tagFile(path));
    form.txtArtist = QStringLiteral("New Artist");
    form.txtTitle = QStringLiteral("New Title");
    form.txtArtistV2 = QString::fromUtf8("Ärtist Ω");
    form.txtTitleV2 = QStringLiteral("New Title");
    form.txtComment = QStringLiteral("ignored");
    form.txtCommentV2 = QStringLiteral("ignored");
    if (!c.v1Picker.isEmpty()) form.cboGenre.setText(c.v1Picker);
    if (!c.v2Picker.isEmpty()) form.cboGenreV2.setText(c.v2Picker);
    ASSERT_TRUE(form.SetTags()) << form.lastError().toStdString();
    EXPECT_TRUE(form.lastError().isEmpty());

    const QString stamp = QStringLiteral("Edited by: Vantrel ") + versionShort();
    cMP3ID3v1 v1;
    v1.setMP3File(path);
    EXPECT_EQ(v1.Artist(), QStringLiteral("New Artist"));
    EXPECT_EQ(v1.Title(), QStringLiteral("New Title"));
    EXPECT_EQ(v1.Album(), QStringLiteral("Album1"));
    EXPECT_EQ(v1.Comment(), stamp);
    EXPECT_EQ(v1.Track(), 7);
    EXPECT_EQ(v1.Genre(), c.v1Genre);

    cMP3ID3v2 v2;
    v2.setMP3File(path);
    EXPECT_EQ(v2.Artist(), QString::fromUtf8("Ärtist Ω"));
    EXPECT_EQ(v2.Title(), QStringLiteral("New Title"));
    EXPECT_EQ(v2.Album(), QString::fromUtf8("ÿþDisc"));
    EXPECT_EQ(v2.Comment(), stamp);
    EXPECT_EQ(v2.TagsInFrame(QStringLiteral("COMM")), 1);
    EXPECT_EQ(v2.Track(), QStringLiteral("3/12"));
    EXPECT_EQ(v2.Composer(), QStringLiteral("Comp"));
    EXPECT_EQ(v2.Genre(), c.v2Genre);
    EXPECT_EQ(v2.OtherGenreName(), c.v2Other);
    EXPECT_EQ(QString::number(v2.ID3v2TagVersion()), QStringLiteral("3"));
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Genres, FormTagSave,
    ::testing::Values(SaveCase{"PickersUntouchedKeepGenres", "(17)", "", "", 13, 17, "Rock"},
                      SaveCase{"TextOnlyGenreSurvives", "Indie", "", "", 13, 255, "Indie"},
                      SaveCase{"ExactNameBeatsEarlierContaining", "(13)", "Rock", "Folk", 17, 80, "Folk"},
                      SaveCase{"PartialNamePicksFirstContaining", "(13)", "ock", "Techno - Ind", 1, 51,
                               "Techno - Industrial"},
                      SaveCase{"UnknownNameClearsV1AndStaysNameInV2", "(13)", "Shoegaze", "Shoegaze", 255,
                               255, "Shoegaze"}),
    [](const ::testing::TestParamInfo<SaveCase>& i) { return std::string(i.param.name); });

TEST(FormTag, SaveFailureIsReturnedWithReasons)
{
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    formTag form(prompter);
    form.txtMp3File = dir.filePath(QStringLiteral("gone.mp3"));
    form.txtTitle = QStringLiteral("x");
    EXPECT_FALSE(form.SetTags());
    EXPECT_TRUE(form.lastError().contains(QLatin1String("ID3v1")));
    EXPECT_TRUE(form.lastError().contains(QLatin1String("ID3v2")));
    EXPECT_FALSE(QFile::exists(form.txtMp3File));
}

} // namespace
