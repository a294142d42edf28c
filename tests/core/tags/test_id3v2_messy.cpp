// Tags as other programs and old rippers leave them: a write keeps every frame
// or is refused with the file left byte-identical; and the content, not the
// name, decides whether an ID3 tag may be written at all.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "platform/Prompter.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"
#include "tags/modTag.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QByteArray album = frame23("TALB", latin1Text("Album"));
const QByteArray composer = frame23("TCOM", latin1Text("Composer"));
const QByteArray picture = frame23("APIC", QByteArray("\0image/png\0\3\0\x89PNG\r\n", 18));

// A 2.3 or 2.4 tag header with the given flags and the synchsafe size of body.
QByteArray header(int major, int flags, qsizetype body)
{
    return QByteArray("ID3", 3) + char(major) + '\0' + char(flags) + synchsafe(quint32(body));
}

} // namespace

// Tags that must be rewritten with every frame kept (kept: frame bytes that
// must appear unchanged in the new tag).
TEST(Id3v2Messy, NonStandardShapesKeepEveryFrame)
{
    const QByteArray frames = album + composer + picture;
    const QByteArray odd1 = frame23("COM ", "\0engodd", 0), odd2 = frame23("TT2\0", "\0two"),
                     odd3 = frame23("Txyz", "\0lower");
    const struct {
        const char* name;
        QByteArray tag;
        QList<QByteArray> kept;
    } cases[] = {
        // The extended-header flag without an extended header: the frames start at byte 10.
        {"2.3 flag without header",
         header(3, 0x40, frames.size() + 100) + frames + QByteArray(100, '\0'),
         {album, composer, picture}},
        {"2.4 flag without header",
         id3v2Tag(4, frame24("TALB", latin1Text("Album")) + frame24("TCOM", latin1Text("Composer")), 50,
                  0x40),
         {album, composer}},
        {"2.3 real extended header",
         header(3, 0x40, 10 + frames.size() + 20) + QByteArray("\0\0\0\6\0\0\0\0\0\0", 10) + frames +
             QByteArray(20, '\0'),
         {album, composer, picture}},
        // Well-formed but non-standard ids, carried over byte for byte with what follows.
        {"id with a space", id3v2Tag(3, album + odd1 + composer, 30), {album, odd1, composer}},
        {"2.2 id in a 2.3 tag", id3v2Tag(3, odd2 + album + picture), {odd2, album, picture}},
        {"lower-case id", id3v2Tag(3, album + odd3 + composer + odd2, 10), {album, odd3, composer, odd2}},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath("a.mp3");
        ASSERT_TRUE(writeFile(path, c.tag + mpegFrames(2)));
        cMP3ID3v2 t;
        t.setMP3File(path);
        EXPECT_EQ(t.Album(), "Album");
        t.setTitle("New");
        ASSERT_TRUE(t.Update()) << t.lastError().toStdString();
        const QByteArray now = readFile(path);
        for (const QByteArray& f : c.kept)
            EXPECT_TRUE(now.contains(f)) << f.left(4).toStdString();
        EXPECT_TRUE(now.endsWith(mpegFrames(2)));
        cMP3ID3v2 back;
        back.setMP3File(path);
        EXPECT_EQ(back.Title(), "New");
        EXPECT_EQ(back.Album(), "Album");
        EXPECT_TRUE(back.unreadReason().isEmpty());
    }
}

// Tags with bytes the reader cannot account for: nothing is written, through
// the tag class, the record routine or the tag window.
TEST(Id3v2Messy, UnaccountedBytesRefuseTheWrite)
{
    const struct {
        const char* name;
        QByteArray tag;
    } cases[] = {
        {"junk after the frames", id3v2Tag(3, album + "\x01\x02junk" + QByteArray(6, '\0'))},
        {"frame past the end",
         header(3, 0, album.size() + 14) + album + frame23("TCOM", QByteArray(40, 'x'))},
        {"junk where an id stands", id3v2Tag(3, album + frame23("T-X!", "\0x") + composer)},
        {"compressed 2.2 tag", header(2, 0x40, 20) + QByteArray(20, 'x')},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath("a.mp3");
        const QByteArray bytes = c.tag + mpegFrames(2);
        ASSERT_TRUE(writeFile(path, bytes));
        cMP3ID3v2 t;
        t.setMP3File(path);
        EXPECT_FALSE(t.warnings().isEmpty());
        t.setTitle("New");
        EXPECT_FALSE(t.Update());
        EXPECT_TRUE(t.lastError().contains("could not be read completely")) << t.lastError().toStdString();
        EXPECT_EQ(readFile(path), bytes);
    }
}

// Another container named .mp3 gets no ID3 tag from any write path; MPEG audio
// named otherwise is an MP3.
TEST(Id3v2Messy, ContentDecidesWhetherId3IsWritten)
{
    const QByteArray asf("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
    const struct {
        const char* name;
        QByteArray bytes;
        bool mp3;
    } cases[] = {
        {"ASF", asf + QByteArray(400, '\1'), false},
        {"FLAC", "fLaC" + QByteArray(400, '\1'), false},
        {"Ogg", "OggS" + QByteArray(400, '\1'), false},
        {"WAVE", "RIFF\x10\0\0\0WAVEfmt " + QByteArray(400, '\1'), false},
        {"MP4",
         QByteArray("\0\0\0\x18"
                    "ftypM4A ",
                    12) +
             QByteArray(400, '\1'),
         false},
        {"FLAC behind a tag", id3v2Tag(3, album) + "fLaC" + QByteArray(400, '\1'), false},
        {"MPEG named .wma", mpegFrames(2), true},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.mp3 ? "a.wma" : "a.mp3");
        ASSERT_TRUE(writeFile(path, c.bytes));
        cMP3ID3v1 v1;
        v1.setMP3File(path);
        v1.setTitle("T");
        cMP3ID3v2 v2;
        v2.setMP3File(path);
        v2.setTitle("T");
        ScriptedPrompter prompts;
        QString name = path;
        EXPECT_EQ(modTag::SetID3v1(name, TagRecord(), prompts), c.mp3);
        EXPECT_EQ(v1.Update(), c.mp3);
        EXPECT_EQ(v2.Update(), c.mp3);
        if (c.mp3) continue;
        EXPECT_TRUE(v1.lastError().startsWith("not an MP3 file")) << v1.lastError().toStdString();
        EXPECT_TRUE(v2.lastError().startsWith("not an MP3 file")) << v2.lastError().toStdString();
        ASSERT_EQ(prompts.prompts().size(), 1);
        EXPECT_TRUE(prompts.prompts()[0].text.contains("not an MP3 file"));
        EXPECT_EQ(readFile(path), c.bytes);
    }
}
