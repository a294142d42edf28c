// The ID3v1 record: reading raw records of both layouts, writing over or after
// the audio, and files that cannot be read or written.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "platform/Prompter.h"
#include "tags/TagError.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"

#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A record laid out byte by byte, fields padded with spaces and a 30-byte
// comment, so that the reader is tested against raw bytes, not our writer.
QByteArray rawRecord(const QByteArray& title, const QByteArray& artist, const QByteArray& comment30,
                     char genre)
{
    auto field = [](QByteArray v, int n) {
        v = v.left(n);
        v.append(n - v.size(), ' ');
        return v;
    };
    return "TAG" + field(title, 30) + field(artist, 30) + field("Disc", 30) + "1999" + field(comment30, 30) +
           genre;
}

// Title, artist, album, year, comment, track and genre.
QStringList fieldsOf(const cMP3ID3v1& t)
{
    return QStringList({t.Title(), t.Artist(), t.Album(), t.Year(), t.Comment(), QString::number(t.Track()),
                        QString::number(t.Genre())});
}
const QStringList noFields = {"", "", "", "", "", "0", "255"};

const QByteArray audio = mpegFrames(2);

TEST(Id3v1, ReadsFieldsAsStored)
{
    const std::tuple<const char*, QByteArray, QStringList> cases[] = {
        // name, record, fields read
        {"space padded",
         rawRecord("Song", "Band", "Hi", 17),
         {"Song", "Band", "Disc", "1999", "Hi", "0", "17"}},
        {"zero padded v1.1",
         id3v1Record("Title", "Artist", "Album", "2001", "Nice comment", 7, 13),
         {"Title", "Artist", "Album", "2001", "Nice comment", "7", "13"}},
        {"zero inside a field is dropped",
         id3v1Record(bytes("A\0B"), "  C  "),
         {"AB", "C", "", "", "", "0", "255"}},
        {"all zero", id3v1Record({}, {}, {}, {}, {}, 0, 0), {"", "", "", "", "", "0", "0"}},
        // ID3v1.0: the comment's last two bytes are text, not a track number.
        {"v1.0 comment has no track",
         rawRecord("T", "A", "Thirty chars of comment text!!", 0),
         {"T", "A", "Disc", "1999", "Thirty chars of comment text!!", "0", "0"}},
        {"v1.0 non-zero before the track byte",
         rawRecord("T", "A", QByteArray(28, 'c') + "x\x07", 2),
         {"T", "A", "Disc", "1999", QString(28, QLatin1Char('c')) + "x\x07", "0", "2"}},
        {"Windows-1252",
         id3v1Record("Caf\xE9 \x80 \x9C", "Bj\xF6rk"),
         {QString::fromUtf8("Café € œ"), QString::fromUtf8("Björk"), "", "", "", "0", "255"}},
    };
    TempFiles files;
    for (const auto& [name, record, fields] : cases) {
        SCOPED_TRACE(name);
        cMP3ID3v1 tag;
        tag.setMP3File(files.file(audio + record));
        EXPECT_TRUE(tag.HasID3v1Tag());
        EXPECT_EQ(fieldsOf(tag), fields);
    }
    // Lower-case marker, a record with no audio before it, no record, empty file.
    for (const QByteArray& file :
         {audio + "tag" + QByteArray(125, 'x'), "TAG" + QByteArray(125, 'x'), audio, QByteArray()}) {
        cMP3ID3v1 tag;
        tag.setMP3File(files.file(file));
        EXPECT_FALSE(tag.HasID3v1Tag()) << file.size();
        EXPECT_EQ(fieldsOf(tag), noFields);
    }
}

// Both tag objects: nothing of the previous file stays.
TEST(Id3v1, UnopenableFileRaisesWithErrnoAndResetsFields)
{
    TempFiles files;
    const QString good = files.file(id3v2Tag(3, frame23("TIT2", latin1Text("Song"))) + audio +
                                    id3v1Record("Song", "Band", {}, {}, {}, 3, 9));
    for (const auto& [path, errnum] :
         {std::pair(files.dir.filePath("missing.mp3"), ENOENT), {files.dir.path(), EISDIR}}) {
        cMP3ID3v1 tag;
        tag.setMP3File(good);
        try {
            tag.setMP3File(path);
            ADD_FAILURE() << "no error raised";
        } catch (const TagFileError& e) {
            EXPECT_EQ(e.number(), errnum);
        }
        EXPECT_EQ(fieldsOf(tag), noFields);
        cMP3ID3v2 v2;
        v2.setMP3File(good);
        EXPECT_THROW(v2.setMP3File(path), TagFileError);
        EXPECT_EQ(v2.Title(), "");
    }
}

// Whatever the file held, the audio before the record is kept byte for byte
// and the record is exactly the fields padded with spaces (v1.1 layout); a file
// that cannot take a record is left as it was.
TEST(Id3v1, WriteKeepsAudioAndLaysOutTheRecord)
{
    const struct {
        const char* name;
        QByteArray before;
        bool written;
        bool readOnly = false;
    } cases[] = {
        {"appends to an untagged file", mpegFrames(3), true},
        {"overwrites a record in place", mpegFrames(3) + id3v1Record("Old", "Old"), true},
        {"128-byte file untouched", QByteArray(128, 'a'), false},
        {"read-only file untouched", mpegFrames(3) + id3v1Record("Old", "Old"), false, true},
        {"empty file untouched, with a message", QByteArray(), false},
    };
    const QByteArray expected = QByteArray("TAG") +                        // marker
                                "A title that is longer than th" +         // title, cut at 30 bytes
                                "Rock" + QByteArray(26, ' ') +             // artist, space padded
                                "?mega \x80 album" + QByteArray(17, ' ') + // album in Windows-1252
                                "2024" +                                   // year, cut at 4
                                "Comment" + QByteArray(21, ' ') +          // comment, 28 bytes
                                QByteArray("\0\x0C\x11", 3);               // v1.1 zero, track 12, genre 17
    TempFiles files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = files.file(c.before);
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
        // Only the empty file is reported, as no MP3 file.
        EXPECT_EQ(prompter.prompts().size(), c.before.isEmpty() ? 1 : 0);
        EXPECT_TRUE(!c.before.isEmpty() ||
                    prompter.prompts().value(0).text.startsWith(path + " is not a valid MP3 file."));
        if (!c.written) {
            EXPECT_EQ(after, c.before);
            EXPECT_FALSE(tag.lastError().isEmpty());
            continue;
        }
        const QByteArray audioPart = c.before.right(128).startsWith("TAG") ? c.before.chopped(128) : c.before;
        EXPECT_EQ(after, audioPart + expected);
        cMP3ID3v1 back;
        back.setMP3File(path);
        EXPECT_EQ(back.Title(), QStringLiteral("A title that is longer than th"));
        EXPECT_EQ(back.Track(), 12);
    }
}

} // namespace
