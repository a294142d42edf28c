#include "TestFiles.h"
#include "platform/Prompter.h"
#include "tags/TagError.h"
#include "tags/cMP3ID3v1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A record laid out byte by byte, with the fields exactly as given (no padding
// rule of our own), so that the reader is tested against raw bytes.
QByteArray rawRecord(const QByteArray& title, const QByteArray& artist, const QByteArray& album,
                     const QByteArray& year, const QByteArray& comment30, char genre)
{
    auto field = [](QByteArray v, int n) {
        v = v.left(n);
        v.append(n - v.size(), ' ');
        return v;
    };
    QByteArray r = "TAG";
    r += field(title, 30);
    r += field(artist, 30);
    r += field(album, 30);
    r += field(year, 4);
    r += field(comment30, 30); // offsets 97..126 of the record
    r += genre;
    return r;
}

struct ReadCase {
    const char* name;
    QByteArray file;
    bool hasTag;
    QString title, artist, album, year, comment;
    int track;
    int genre;
};

class Id3v1Read : public ::testing::TestWithParam<ReadCase> {};

TEST_P(Id3v1Read, FieldsAsStored)
{
    const ReadCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.mp3"));
    ASSERT_TRUE(writeFile(path, c.file));
    cMP3ID3v1 tag;
    tag.setMP3File(path);
    EXPECT_EQ(tag.HasID3v1Tag(), c.hasTag);
    EXPECT_EQ(tag.Title(), c.title);
    EXPECT_EQ(tag.Artist(), c.artist);
    EXPECT_EQ(tag.Album(), c.album);
    EXPECT_EQ(tag.Year(), c.year);
    EXPECT_EQ(tag.Comment(), c.comment);
    EXPECT_EQ(tag.Track(), c.track);
    EXPECT_EQ(tag.Genre(), c.genre);
}

const QByteArray audio = mpegFrames(2);

INSTANTIATE_TEST_SUITE_P(
    Records, Id3v1Read,
    ::testing::Values(ReadCase{"SpacePadded",
                               audio + rawRecord("Song", "Band", "Disc", "1999", QByteArray("Hi", 2), 17),
                               true, "Song", "Band", "Disc", "1999", "Hi", 0, 17},
                      ReadCase{"ZeroPaddedV11",
                               audio + id3v1Record("Title", "Artist", "Album", "2001", "Nice comment", 7, 13),
                               true, "Title", "Artist", "Album", "2001", "Nice comment", 7, 13},
                      ReadCase{"ZeroInsideFieldIsDropped",
                               audio + id3v1Record(QByteArray("A\0B", 3), "  C  "), true, "AB", "C", "", "",
                               "", 0, 255},
                      ReadCase{"AllZeroFieldsReadEmpty", audio + id3v1Record({}, {}, {}, {}, {}, 0, 0), true,
                               "", "", "", "", "", 0, 0},
                      // ID3v1.0: the comment's last two bytes are text, not a track number.
                      ReadCase{"V10SpacePaddedCommentHasNoTrack",
                               audio + rawRecord("T", "A", "", "", "Thirty chars of comment text!!", 0), true,
                               "T", "A", "", "", "Thirty chars of comment text", 0, 0},
                      ReadCase{"V10NonZeroBeforeTrackByte",
                               audio + rawRecord("T", "A", "", "", QByteArray(28, 'c') + "x\x07", 2), true,
                               "T", "A", "", "", QString(28, QLatin1Char('c')), 0, 2},
                      ReadCase{"Windows1252Text", audio + id3v1Record("Caf\xE9 \x80 \x9C", "Bj\xF6rk"), true,
                               QString::fromUtf8("Café € œ"), QString::fromUtf8("Björk"), "", "", "", 0, 255},
                      ReadCase{"LowerCaseMarkerIsNoTag", audio + "tag" + QByteArray(125, 'x'), false, "", "",
                               "", "", "", 0, 255},
                      ReadCase{"No128BytesBeforeEndIsNoTag", QByteArray("TAG") + QByteArray(125, 'x'), false,
                               "", "", "", "", "", 0, 255},
                      ReadCase{"AudioOnly", audio, false, "", "", "", "", "", 0, 255},
                      ReadCase{"EmptyFile", QByteArray(), false, "", "", "", "", "", 0, 255}),
    [](const ::testing::TestParamInfo<ReadCase>& i) { return std::string(i.param.name); });

TEST(Id3v1, UnopenableFileRaisesWithErrnoAndResetsFields)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.mp3"));
    ASSERT_TRUE(writeFile(good, audio + id3v1Record("Song", "Band", {}, {}, {}, 3, 9)));
    struct {
        QString path;
        int errnum;
    } cases[] = {{dir.filePath(QStringLiteral("missing.mp3")), ENOENT}, {dir.path(), EISDIR}};
    for (const auto& c : cases) {
        cMP3ID3v1 tag;
        tag.setMP3File(good);
        ASSERT_TRUE(tag.HasID3v1Tag());
        try {
            tag.setMP3File(c.path);
            ADD_FAILURE() << "no error for " << c.path.toStdString();
        } catch (const TagFileError& e) {
            EXPECT_EQ(e.number(), c.errnum);
            EXPECT_FALSE(e.description().isEmpty());
            EXPECT_TRUE(e.source().endsWith(QLatin1String(".cMP3ID3v1"))) << e.source().toStdString();
        }
        EXPECT_EQ(tag.MP3File(), c.path);
        EXPECT_FALSE(tag.HasID3v1Tag());
        EXPECT_TRUE(tag.Title().isEmpty());
        EXPECT_EQ(tag.Track(), 0);
        EXPECT_EQ(tag.Genre(), 255);
    }
}

struct WriteCase {
    const char* name;
    QByteArray before;
    bool written;
    bool readOnly = false;
};

class Id3v1Write : public ::testing::TestWithParam<WriteCase> {};

// Whatever the file held, the audio before the record is kept byte for byte,
// the record is exactly the fields padded with spaces, and reading it back
// gives the fields.
TEST_P(Id3v1Write, RecordBytesAndAudioKept)
{
    const WriteCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.mp3"));
    ASSERT_TRUE(writeFile(path, c.before));
    if (c.readOnly) QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    ScriptedPrompter prompter;
    cMP3ID3v1 tag(&prompter);
    tag.setMP3File(path);
    tag.setTitle(QStringLiteral("A title that is longer than thirty characters"));
    tag.setArtist(QStringLiteral("Rock"));
    tag.setAlbum(QString::fromUtf8("Ωmega € album"));
    tag.setYear(QStringLiteral("20245"));
    tag.setComment(QStringLiteral("Comment"));
    tag.setTrack(12);
    tag.setGenre(17);
    EXPECT_EQ(tag.Update(), c.written);
    const QByteArray after = readFile(path);
    if (!c.written) {
        EXPECT_EQ(after, c.before);
        EXPECT_FALSE(tag.lastError().isEmpty());
        EXPECT_TRUE(prompter.prompts().isEmpty());
        return;
    }
    const bool hadRecord = c.before.size() > 128 && c.before.right(128).startsWith("TAG");
    const QByteArray audioPart = hadRecord ? c.before.chopped(128) : c.before;
    ASSERT_EQ(after.size(), audioPart.size() + 128);
    EXPECT_EQ(after.left(audioPart.size()), audioPart);
    QByteArray expected = "TAG";
    expected += "A title that is longer than th";
    expected += "Rock" + QByteArray(26, ' ');
    expected += "?mega \x80 album" + QByteArray(17, ' ');
    expected += "2024";
    expected += "Comment" + QByteArray(21, ' ');
    expected += QByteArray("\x00\x0C\x11", 3);
    EXPECT_EQ(after.right(128), expected);

    cMP3ID3v1 back;
    back.setMP3File(path);
    EXPECT_EQ(back.Title(), QStringLiteral("A title that is longer than th"));
    EXPECT_EQ(back.Track(), 12);
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, Id3v1Write,
    ::testing::Values(WriteCase{"AppendsToUntaggedFile", mpegFrames(3), true},
                      WriteCase{"OverwritesRecordInPlace", mpegFrames(3) + id3v1Record("Old", "Old"), true},
                      WriteCase{"OverwritesV10Record",
                                mpegFrames(1) + rawRecord("x", "y", "", "", QByteArray(30, 'z'), 1), true},
                      WriteCase{"ShortFileUntouched", QByteArray(100, 'a'), false},
                      WriteCase{"File128BytesUntouched", QByteArray(128, 'a'), false},
                      WriteCase{"ReadOnlyUntouched", mpegFrames(3) + id3v1Record("Old", "Old"), false, true}),
    [](const ::testing::TestParamInfo<WriteCase>& i) { return std::string(i.param.name); });

TEST(Id3v1, EmptyFileGetsMessageAndStaysEmpty)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.mp3"));
    ASSERT_TRUE(writeFile(path, {}));
    ScriptedPrompter prompter;
    cMP3ID3v1 tag(&prompter);
    tag.setMP3File(path);
    tag.setTitle(QStringLiteral("x"));
    EXPECT_FALSE(tag.Update());
    EXPECT_EQ(QFileInfo(path).size(), 0);
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_EQ(prompter.prompts()[0].text,
              path +
                  " is not a valid MP3 file. The file might be damaged or corrupt. ID3-Tag cannot be saved.");
    EXPECT_EQ(prompter.prompts()[0].icon, Icon::Critical);
}

} // namespace
