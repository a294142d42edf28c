// Writing ID3v2 tags: the exact bytes, where they go, and what stays untouched.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "tags/Id3v2Format.h"
#include "tags/cMP3ID3v2.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class Id3v2Write : public ::testing::Test, protected TempFiles {
  protected:
    // Reads path, lets change modify the tag, writes it; returns the file after.
    template <typename F> QByteArray rewrite(const QString& path, F change)
    {
        cMP3ID3v2 t;
        t.setMP3File(path);
        change(t);
        EXPECT_TRUE(t.Update()) << t.lastError().toStdString();
        return readFile(path);
    }
};

// The frames of a 2.3 tag at the start of bytes, each with its header.
QList<QByteArray> framesOf(const QByteArray& bytes)
{
    QList<QByteArray> out;
    const qsizetype end = 10 + ((bytes[6] << 21) | (bytes[7] << 14) | (bytes[8] << 7) | bytes[9]);
    qsizetype pos = 10;
    while (pos + 10 <= end && bytes[pos] != '\0') {
        const qsizetype size = qsizetype(id3v2::plain32(bytes.constData() + pos + 4, 4));
        out << bytes.mid(pos, 10 + size);
        pos += 10 + size;
    }
    return out;
}

} // namespace

// A new tag: 2.3 header with the synchsafe size, the frame, zero padding up to
// the next multiple of 2048 bytes (T = 10 + (10 + 1 + n) + 4 for a title of n
// characters), then the audio as it was.
TEST_F(Id3v2Write, NewTagFillsAMultipleOf2048)
{
    const QByteArray audio = mpegFrames();
    // "ID3" v2.3.0, no flags, synchsafe size 2038 | "TIT2", size 5, no flags | Latin-1, "Song".
    ASSERT_EQ(rewrite(file(audio), [](cMP3ID3v2& t) { t.setTitle("Song"); }).left(25),
              bytes("ID3\x03\x00\x00\x00\x00\x0F\x76TIT2\x00\x00\x00\x05\x00\x00\x00Song"));
    const std::pair<int, qsizetype> cases[] = {
        {5, 2048}, {2022, 2048}, {2023, 4096}, {4070, 4096}, {4071, 6144}};
    for (const auto& [length, area] : cases) {
        SCOPED_TRACE(length);
        const QByteArray after =
            rewrite(file(audio), [&](cMP3ID3v2& t) { t.setTitle(QString(length, 'x')); });
        EXPECT_EQ(after.size() - audio.size(), area);
        EXPECT_EQ(QByteArray(after.mid(6, 4)), synchsafe(quint32(area - 10)));
        const qsizetype end = 21 + length;
        EXPECT_EQ(after.mid(end, area - end), QByteArray(area - end, '\0'));
        EXPECT_EQ(after.mid(area), audio);
    }
}

// Each setter's frame (id, size, flags, then the body: encoding, (language,)
// fields) and the value read back. (Which texts fit Latin-1: in the format test.)
TEST_F(Id3v2Write, SettersWriteTheirFrameAndReadItBack)
{
    using T = cMP3ID3v2;
    const struct {
        void (T::*set)(const QString&);
        QString (T::*get)() const;
        QString value;
        QByteArray frame;
    } cases[] = {
        {&T::setComment, &T::Comment, "Hi", bytes("COMM\0\0\0\x07\0\0\0\0nt\0Hi")},
        {&T::setComment, &T::Comment, QStringLiteral("\u4e2d"),
         bytes("COMM\0\0\0\x0C\0\0\x01\0nt\xFF\xFE\0\0\xFF\xFE\x2D\x4E")},
        {&T::setTitle, &T::Title, QStringLiteral("\u00e9\u4e2d"),
         bytes("TIT2\0\0\0\x07\0\0\x01\xFF\xFE\xE9\0\x2D\x4E")},
        {&T::setTitle, &T::Title, "", bytes("TIT2\0\0\0\x01\0\0\0")},
        {&T::setLinkTo, &T::LinkTo, "http://x", bytes("WXXX\0\0\0\x0A\0\0\0\0http://x")},
        {&T::setArtistURL, &T::ArtistURL, "http://x", bytes("WOAR\0\0\0\x08\0\0http://x")},
        {&T::setBuyURL, &T::BuyURL, "http://x", bytes("WCOM\0\0\0\x08\0\0http://x")},
        {&T::setAudioURL, &T::AudioURL, "http://x", bytes("WOAF\0\0\0\x08\0\0http://x")},
        {&T::setLyrics, &T::Lyrics, "la", bytes("USLT\0\0\0\x07\0\0\0XXX\0la")},
        {&T::setPlayCounter, &T::PlayCounter, "258", bytes("PCNT\0\0\0\x04\0\0\0\0\x01\x02")},
        {&T::setYear, &T::Year, "1999", bytes("TYER\0\0\0\x05\0\0\0001999")},
        {&T::setCopyright, &T::Copyright, "(c)", bytes("TCOP\0\0\0\x04\0\0\0(c)")},
        {&T::setOriginalArtist, &T::OriginalArtist, "Orig", bytes("TOPE\0\0\0\x05\0\0\0Orig")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame.toHex().constData());
        const QString path = file(mpegFrames());
        EXPECT_EQ(framesOf(rewrite(path, [&](T& t) { (t.*c.set)(c.value); })), QList<QByteArray>{c.frame});
        T back;
        back.setMP3File(path);
        EXPECT_EQ((back.*c.get)(), c.value);
    }
}

TEST_F(Id3v2Write, SettersReplaceTheirFrame)
{
    cMP3ID3v2 t;
    t.setMP3File(file(id3v2Tag(3, frame23("TIT2", latin1Text("Old")) + frame23("TPE1", latin1Text("Band"))) +
                      mpegFrames()));
    t.setTitle("One");
    t.setTitle("Two");
    EXPECT_EQ(t.TagsInFrame("TIT2"), 1);
    EXPECT_EQ(t.tagText("TIT2", 1), "Two");
    EXPECT_EQ(t.frameIds(), (QStringList{"TPE1", "TIT2"})); // a set frame moves to the end

    // Setting the year replaces a 2.4 recording time.
    t.setMP3File(file(id3v2Tag(4, frame24("TDRC", latin1Text("2001-02-03"))) + mpegFrames()));
    EXPECT_EQ(t.Year(), "2001");
    t.setYear("1999");
    ASSERT_TRUE(t.Update());
    t.setMP3File(t.MP3File());
    EXPECT_EQ(t.frameIds(), (QStringList{"TDAT", "TYER"})); // the day stays
    EXPECT_EQ(t.Year(), "1999");
}

TEST_F(Id3v2Write, UntouchedFramesStayByteForByte)
{
    const QByteArray picture = bytes("\0image/jpeg\0\x03\0") + QByteArray(3000, '\xD8');
    const QByteArray priv = bytes("owner\0") + bytes("\x00\x01\x02\xFF\x00");
    const QByteArray tail23 = frame23("TPE1", latin1Text("Band"));
    const std::tuple<const char*, QByteArray, QList<QByteArray>> cases[] = {
        // name, tag, frames kept
        {"2.3",
         id3v2Tag(3,
                  frame23("APIC", picture) + frame23("PRIV", priv) + frame23("TIT2", latin1Text("Old")) +
                      frame23("GRP1", latin1Text("x"), 0x2000) + tail23,
                  100),
         {frame23("APIC", picture), frame23("PRIV", priv), frame23("GRP1", latin1Text("x"), 0x2000), tail23}},
        {"2.4: headers in 2.3 form, UTF-8 re-encoded",
         id3v2Tag(4, frame24("APIC", picture) + frame24("PRIV", priv, 0x4000) +
                         frame24("TIT2", latin1Text("Old")) + frame24("TPE1", bytes("\003B\xC3\xA4nd")) +
                         frame24("TXXX", bytes("\x03k\0v"), 0x0001 ^ 0x0001) +
                         frame24("TALB", synchsafe(2) + latin1Text("A"), 0x0001)),
         {frame23("APIC", picture), frame23("PRIV", priv, 0x8000),
          frame23("TPE1", bytes("\x01") + utf16(QStringLiteral("B\u00e4nd"))),
          frame23("TXXX", bytes("\x01") + utf16("k") + QByteArray(2, '\0') + utf16("v")),
          frame23("TALB", latin1Text("A"))}},
        {"2.2: ids and picture in 2.3 form",
         id3v2Tag(2, frame22("PIC", bytes("\0JPG\x03\0") + QByteArray(10, '\xD8')) +
                         frame22("TT2", latin1Text("Old")) + frame22("TCM", latin1Text("Comp"))),
         {frame23("APIC", bytes("\0image/jpeg\0\x03\0") + QByteArray(10, '\xD8')),
          frame23("TCOM", latin1Text("Comp"))}},
    };
    for (const auto& [name, tag, kept] : cases) {
        SCOPED_TRACE(name);
        const QByteArray after = rewrite(file(tag + mpegFrames()), [](cMP3ID3v2& t) { t.setTitle("New"); });
        EXPECT_EQ(framesOf(after), kept + QList<QByteArray>{frame23("TIT2", latin1Text("New"))});
        EXPECT_TRUE(after.endsWith(mpegFrames()));
        EXPECT_EQ(after[3], '\x03');
    }
}

TEST_F(Id3v2Write, AudioIsNeverTouched)
{
    const QByteArray audio = mpegFrames(3) + id3v1Record("t", "a");
    const QByteArray tag = id3v2Tag(3, frame23("TIT2", latin1Text("Old")), 10);
    // A tag further in is never written over: everything stays behind the new
    // one, as does what only looks like a tag (an invalid version).
    for (const QByteArray& before : {"junk" + tag + audio, bytes("ID3\x05\0\0\0\0\0\x01x") + audio}) {
        const QString path = file(before);
        const QByteArray after = rewrite(path, [](cMP3ID3v2& t) { t.setTitle(QString(100, 'n')); });
        EXPECT_TRUE(after.endsWith(before));
        EXPECT_TRUE(after.startsWith("ID3\x03"));
        cMP3ID3v2 t;
        t.setMP3File(path);
        EXPECT_EQ(t.Title(), QString(100, 'n'));
        EXPECT_EQ(t.tagOffset(), 0);
    }
}

TEST_F(Id3v2Write, FailedWritesAreReported)
{
    const QByteArray content = id3v2Tag(3, frame23("TIT2", latin1Text("Old"))) + mpegFrames();
    cMP3ID3v2 t;
    // An id that cannot be written: nothing is written.
    const QString path = file(content);
    t.setMP3File(path);
    t.AddTag("XY", "z");
    t.setTitle("New");
    EXPECT_FALSE(t.Update());
    EXPECT_FALSE(t.lastError().isEmpty());
    EXPECT_EQ(readFile(path), content);
    // The file vanished between reading and writing: it is not made anew.
    t.setMP3File(path);
    QFile::remove(path);
    t.setTitle("New");
    EXPECT_FALSE(t.Update());
    EXPECT_FALSE(QFile::exists(path));
    // Ids containing "ID3" are left out, the rest is written.
    t.setMP3File(file(content));
    t.AddTag("XID3", "z");
    EXPECT_TRUE(t.Update());
    t.setMP3File(t.MP3File());
    EXPECT_EQ(t.frameIds(), QStringList{"TIT2"});
}
