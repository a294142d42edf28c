// Reading ID3v2 tags of every version from files made here byte by byte.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "tags/cMP3ID3v2.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class Id3v2Read : public ::testing::Test, protected TempFiles {
  protected:
    cMP3ID3v2 read(const QByteArray& bytes)
    {
        cMP3ID3v2 t;
        t.setMP3File(file(bytes));
        return t;
    }
};

} // namespace

// 2.2 only comes from old files: its ids take their 2.3 form, unknown ids are
// warned of, and only the frames that always did fill the fields do so (not TCM or ULT).
TEST_F(Id3v2Read, Version22Frames)
{
    const QByteArray frames = frame22("TT2", latin1Text("Song")) + frame22("TP1", latin1Text("Band")) +
                              frame22("TAL", latin1Text("Disc")) + frame22("TYE", latin1Text("1999")) +
                              frame22("TRK", latin1Text("3/12")) + frame22("COM", bytes("\0eng\0Hello")) +
                              frame22("TCO", latin1Text("(17)")) + frame22("TEN", latin1Text("Enc")) +
                              frame22("TCM", latin1Text("Comp")) + frame22("XYZ", latin1Text("?")) +
                              frame22("CRM", "x") + frame22("ULT", bytes("\0eng\0words"));
    const cMP3ID3v2 t = read(id3v2Tag(2, frames, 64) + mpegFrames());
    EXPECT_EQ(t.ID3v2TagVersion(), 2);
    // The comment is the text alone, not the language in front.
    EXPECT_EQ(QStringList({t.Title(), t.Artist(), t.Album(), t.Year(), t.Track(), t.Comment(), t.EncodedBy(),
                           t.OtherGenreName(), t.Composer(), t.Lyrics()}),
              QStringList({"Song", "Band", "Disc", "1999", "3/12", "Hello", "Enc", "Rock", "", ""}));
    EXPECT_EQ(t.Genre(), 17);
    EXPECT_EQ(t.frameIds().mid(8), (QStringList{"TCOM", "USLT"}));
    ASSERT_EQ(t.warnings().size(), 2);
    EXPECT_TRUE(t.warnings()[0].contains("XYZ") && t.warnings()[1].contains("CRM"));
}

// Each field from the frames that hold it, in every text encoding (Latin-1,
// UTF-16 with a little-endian mark and UTF-8: in the interoperability test).
TEST_F(Id3v2Read, FieldsInEveryEncoding)
{
    const QString cafe = QStringLiteral("Caf\u00e9 \u4e2d");
    using Get = QString (cMP3ID3v2::*)() const;
    const Get title = &cMP3ID3v2::Title, comment = &cMP3ID3v2::Comment;
    const std::tuple<const char*, QByteArray, Get, QString> cases[] = {
        // name, tag, getter, value
        {"utf16 be bom", id3v2Tag(3, frame23("TIT2", "\001\xFE\xFF" + utf16be(cafe))), title, cafe},
        {"utf16 terminated", id3v2Tag(3, frame23("TIT2", "\001" + utf16(cafe) + QByteArray(2, '\0'))), title,
         cafe},
        {"utf16be", id3v2Tag(4, frame24("TIT2", "\002" + utf16be(cafe))), title, cafe},
        {"latin1 zero padded", id3v2Tag(3, frame23("TIT2", bytes("\0Song\0\0\0"))), title, "Song"},
        {"2.4 several values", id3v2Tag(4, frame24("TIT2", bytes("\003A\0B"))), title, "A/B"},
        // Text that happens to begin like a language code stays whole.
        {"text like a language", id3v2Tag(3, frame23("COMM", bytes("\0eng\0english tea"))), comment,
         "english tea"},
        // A comment without a terminator after the description reads its rest as text.
        {"no terminator", id3v2Tag(3, frame23("COMM", bytes("\0engHello"))), comment, "Hello"},
        {"utf16 lyrics",
         id3v2Tag(3, frame23("USLT",
                             "\001eng" + utf16("d") + QByteArray(2, '\0') + utf16(QStringLiteral("la la")))),
         &cMP3ID3v2::Lyrics, "la la"},
        {"zero before a URL, as older writes did", id3v2Tag(3, frame23("WOAF", bytes("\0http://a"))),
         &cMP3ID3v2::AudioURL, "http://a"},
        {"link's description", id3v2Tag(3, frame23("WXXX", bytes("\0desc\0http://a"))), &cMP3ID3v2::LinkTo,
         "http://a"},
        // The year comes from TYER when there is one, else from the start of TDRC (in the write test).
        {"TYER before TDRC",
         id3v2Tag(3, frame23("TDRC", latin1Text("2001")) + frame23("TYER", latin1Text("1999"))),
         &cMP3ID3v2::Year, "1999"},
    };
    for (const auto& [name, tag, get, value] : cases)
        EXPECT_EQ((read(tag + mpegFrames()).*get)(), value) << name;
}

TEST_F(Id3v2Read, GenreTexts)
{
    const std::tuple<QByteArray, int, const char*> cases[] = {
        // text, genre, other genre name
        {"(17)", 17, "Rock"},    {"(17)Indie Rock", 17, "Indie Rock"},
        {"Rock", 255, "Rock"},   {"(300)", 255, "(300)"},
        {"(17)x", 17, "Rock"},   {"(123)", 123, ""},
        {"17", 17, "Rock"},      {"()Pop", 255, "()Pop"},
        {"(abc)", 255, "(abc)"},
    };
    for (const auto& [text, genre, other] : cases) {
        SCOPED_TRACE(text.constData());
        const cMP3ID3v2 t = read(id3v2Tag(3, frame23("TCON", latin1Text(text))) + mpegFrames());
        EXPECT_EQ(t.Genre(), genre);
        EXPECT_EQ(t.OtherGenreName().toStdString(), other);
    }
}

TEST_F(Id3v2Read, HeaderAndFrameVariants)
{
    // 2.4 frame flags and encrypted frames: in the frame conversion's test.
    const QByteArray tit2 = frame23("TIT2", latin1Text("Song"));
    // name, tag, title (empty: check the artist "x" instead)
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"2.3 whole-tag unsynchronisation",
         id3v2Tag(3, frame23("TIT2", bytes("\0A\xFF\0\xE0")) + QByteArray(4, '\0'), 0, 0x80),
         "A\xC3\xBF\xC3\xA0"},
        {"2.4 extended header",
         id3v2Tag(4, synchsafe(6) + bytes("\x01\0") + frame24("TIT2", latin1Text("Song")), 0, 0x40), "Song"},
        {"2.4 frame size written plain",
         id3v2Tag(4, QByteArray("TIT2") + be32(129) + QByteArray(2, '\0') + latin1Text(QByteArray(128, 'y')) +
                         frame24("TPE1", latin1Text("x"))),
         ""},
        {"truncated frame keeps the ones before", id3v2Tag(3, tit2 + bytes("TPE1\0\0\x01\0\0\0abc")), "Song"},
        {"zero-size frame", id3v2Tag(3, frame23("TXXX", "") + tit2), "Song"},
    };
    for (const auto& [name, tag, title] : cases) {
        SCOPED_TRACE(name);
        const cMP3ID3v2 t = read(tag + mpegFrames());
        EXPECT_EQ(*title ? t.Title() : t.Artist(), *title ? QString::fromUtf8(title) : "x");
    }
}

TEST_F(Id3v2Read, WhereNoTagIsFound)
{
    const QByteArray tag = id3v2Tag(3, frame23("TIT2", latin1Text("Song")));
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty file", {}},
        {"audio only", mpegFrames()},
        {"after FF FB audio", mpegFrames(1) + tag},
        {"major version 5", bytes("ID3\x05\0\0\0\0\0\x10") + QByteArray(16, '\0')},
        {"size beyond the file", bytes("ID3\x03\0\0\x7F\x7F\x7F\x7F") + QByteArray(16, '\0')},
        {"ID3 in an ID3v1 comment", QByteArray(200, 'a') + id3v1Record("t", "a", "", "", "ID3 rocks")},
    };
    for (const auto& [name, content] : cases) {
        SCOPED_TRACE(name);
        const cMP3ID3v2 t = read(content);
        EXPECT_FALSE(t.HasID3v2Tag());
        EXPECT_EQ(t.Title(), "");
    }
    // Without audio in front, a tag far into the file is still found, also
    // across the border of the blocks the search reads.
    for (int at : {4093, 4095, 65535, 65537}) {
        const cMP3ID3v2 t = read(QByteArray(at, 'x') + tag + mpegFrames());
        EXPECT_TRUE(t.HasID3v2Tag()) << at;
        EXPECT_EQ(t.tagOffset(), at);
    }
}

TEST_F(Id3v2Read, DamagedTagsNeverCrash)
{
    // Frame sizes beyond the tag, zero and huge sizes, many tiny frames.
    QByteArray many;
    for (int i = 0; i < 20000; ++i)
        many += frame23("TXXX", "");
    const QByteArray cases[] = {
        id3v2Tag(3, bytes("TIT2\x7F\xFF\xFF\xFF\0\0abc")),
        id3v2Tag(4, bytes("TIT2\x7F\x7F\x7F\x7F\0\0abc")),
        id3v2Tag(2, bytes("TT2\xFF\xFF\xFF")),
        id3v2Tag(3, many),
        bytes("ID3\x03\0\0\0\0\0\x20TIT2\0\0\0\x20\0\0"),
        bytes("ID3\x04\0\x40\0\0\0\x0A\x7F\x7F\x7F\x7F") + QByteArray(6, '\0'),
        bytes("ID3\x03\0\x40\0\0\0\x0A\xFF\xFF\xFF\xFF") + QByteArray(6, '\0'),
        id3v2Tag(4, frame24("TIT2", bytes("\x01"), 0x0009)),          // compressed, no length
        id3v2Tag(3, frame23("TIT2", bytes("\0\0\x10\0xyz"), 0x0080)), // bad compressed data
    };
    for (const QByteArray& c : cases)
        EXPECT_TRUE(read(c + mpegFrames()).HasID3v2Tag());
    EXPECT_EQ(read(id3v2Tag(3, many)).TagsInFrame("TXXX"), 20000);
}
