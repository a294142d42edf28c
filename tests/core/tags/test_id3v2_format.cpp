// The byte-level conversions: 2.4 frames into their 2.3 form, text
// re-encoding, string splitting and MPEG frame headers.
#include "Id3v2Bytes.h"
#include "tags/Id3v2Format.h"

#include <gtest/gtest.h>

using namespace vantrel::id3v2;
using namespace vantrel::test;

TEST(Id3v2Format, Version24FramesIn23Form)
{
    const QByteArray text("\0hello", 6);
    const QByteArray zlib = qCompress(text).mid(4);
    struct Case {
        const char* name;
        quint16 flags24;
        QByteArray body24;
        quint16 flags23;
        QByteArray body23;
    };
    const Case cases[] = {
        {"plain", 0, text, 0, text},
        {"status flags move", 0x7000, text, 0xE000, text},
        {"group id", 0x0040, "G" + text, 0x0020, "G" + text},
        // 2.4 puts the group id before the method, 2.3 after it.
        {"encrypted and grouped", 0x0044, "GM" + text, 0x0060, "MG" + text},
        {"data length dropped", 0x0001, synchsafe(6) + text, 0, text},
        {"unsynchronised", 0x0002, bytes("\0\xFF\0\xE0"), 0, bytes("\0\xFF\xE0")},
        {"compressed with length", 0x0009, synchsafe(6) + zlib, 0x0080, be32(6) + zlib},
        {"compressed without length", 0x0008, zlib, 0x0080, be32(6) + zlib},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto f = convertV24Frame("TIT2", c.flags24, c.body24, false);
        ASSERT_TRUE(f.has_value());
        EXPECT_EQ(f->flags, c.flags23);
        EXPECT_EQ(f->body, c.body23);
        // What the field properties get: decompressed, extras skipped; nothing when encrypted.
        const QByteArray plain = c.flags24 & 0x0002 ? bytes("\0\xFF\xE0") : text;
        EXPECT_EQ(content23(*f, 1000), c.flags23 & 0x0040 ? std::nullopt : std::optional(plain));
    }
    // Whole-tag unsynchronisation reaches every frame.
    EXPECT_EQ(convertV24Frame("TIT2", 0, bytes("\0\xFF\0\xE0"), true)->body, bytes("\0\xFF\xE0"));
    // Too short for what the flags announce, or compressed garbage: not expressible.
    EXPECT_FALSE(convertV24Frame("TIT2", 0x0001, "ab", false).has_value());
    EXPECT_FALSE(convertV24Frame("TIT2", 0x0008, "not zlib", false).has_value());
}

TEST(Id3v2Format, Utf8TextBecomesUtf16)
{
    const QString e = QStringLiteral("\u00e9");
    const QByteArray z(2, '\0'); // a UTF-16 terminator
    // id, body in (encoding byte 3 (UTF-8) or 2 (UTF-16BE), then the fields), body out
    const std::tuple<const char*, QByteArray, QByteArray> cases[] = {
        {"TIT2", "\003" + e.toUtf8(), "\001" + utf16(e)},
        {"TIT2", "\003" + e.toUtf8() + '\0', "\001" + utf16(e) + z},
        {"TPE1", bytes("\003a\0b"), "\001" + utf16("a") + z + utf16("b")},
        {"TPE1", "\002" + utf16be(e), "\001" + utf16(e)},
        // encoding, language "eng", description, text (COMM, APIC, TXXX: in the write and interop tests)
        {"USLT", bytes("\003eng\0la"), "\001eng" + utf16("") + z + utf16("la")},
        // encoding, description, URL (always Latin-1)
        {"WXXX", bytes("\003d\0http://x"), "\001" + utf16("d") + z + "http://x"},
        // encoding, MIME type, file name, description, data
        {"GEOB", bytes("\003a/b\0f\0d\0DATA"), bytes("\001a/b\0") + utf16("f") + z + utf16("d") + z + "DATA"},
        // Unchanged: unknown layouts, empty bodies.
        {"PRIV", "\003abc", "\003abc"},
        {"TIT2", "", ""},
    };
    for (const auto& [id, in, out] : cases)
        EXPECT_EQ(reencodeFor23(id, in), out) << id;
}

// (Artists and genres: what other readers make of them is in the interoperability test.)
TEST(Id3v2Format, SeveralValuesJoinedFor23)
{
    const QByteArray z(1, '\0');
    EXPECT_EQ(joinValuesFor23("TXXX", latin1Text("k") + z + "a" + z + "b"), latin1Text("k") + z + "a/b");
    // Frames that are not text: unchanged (people lists: in the interoperability test).
    const QByteArray comment = latin1Text("eng") + z + "a" + z + "b";
    EXPECT_EQ(joinValuesFor23("COMM", comment), comment);
    // 2.3 date frames only where missing, and only from a date in the 2.4 form.
    EXPECT_EQ(v23Equivalents({{"TDRC", 0, latin1Text("2001-02")}, {"TYER", 0, latin1Text("2000")}}).size(),
              0);
    EXPECT_EQ(v23Equivalents({{"TDRC", 0, latin1Text("May 1988")}}).size(), 0);
}

TEST(Id3v2Format, StringsAndEncodings)
{
    // UTF-16 terminators only count at even positions.
    EXPECT_EQ(splitStrings(Utf16Bom, bytes("a\0\0b\0\0")), QList<QByteArray>{bytes("a\0\0b")});
    EXPECT_EQ(splitStrings(Latin1, bytes("a\0b\0c"), 2), (QList<QByteArray>{"a", bytes("b\0c")}));
    EXPECT_EQ(decodeString(Utf16Bom, bytes("a\0b\0")), "ab");  // no mark: little-endian
    EXPECT_EQ(decodeString(Utf16Bom, bytes("\377\376a")), ""); // mark FF FE, one odd byte dropped
    EXPECT_EQ(chooseEncoding({QStringLiteral("\u00ff")}), Latin1);
    EXPECT_EQ(chooseEncoding({"a", QStringLiteral("\u0100")}), Utf16Bom);
    EXPECT_FALSE(synchsafe32("\x00\x00\x80\x00").has_value());
}

TEST(Id3v2Format, MpegHeaders)
{
    const std::tuple<QByteArray, bool, int> cases[] = {
        // header, valid, frame length
        {"\xFF\xFB\x90\x64", true, 417}, // MPEG-1 layer III 128 kbit/s 44.1 kHz
        {"\xFF\xFB\x92\x64", true, 418}, // padded
        {"\xFF\xF3\x90\x64", true, 261}, // MPEG-2 layer III 80 kbit/s 22.05 kHz
        {"\xFF\xFF\x90\x64", true, 312}, // layer I 288 kbit/s: (12 * 288000 / 44100) * 4
        {"\xFF\xEB\x90\x64", false, 0},  // reserved version
        {"\xFF\xFB\xF0\x64", false, 0},  // bad bit rate
        {"\xFF\xFB\x00\x64", true, 0},   // free format: no length
        {"\xFE\xFB\x90\x64", false, 0},  // no sync
    };
    for (const auto& [header, valid, length] : cases) {
        const auto* p = reinterpret_cast<const unsigned char*>(header.constData());
        EXPECT_EQ(isMpegHeader(p), valid) << header.toHex().constData();
        EXPECT_EQ(mpegFrameLength(p), length) << header.toHex().constData();
    }
}
