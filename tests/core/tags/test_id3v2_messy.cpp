// Tags as other programs and old rippers leave them: a write keeps every frame
// or is refused with the file byte-identical; and the content, not the name,
// decides whether an ID3 tag may be written at all.
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

const QByteArray album = frame23("TALB", latin1Text("Album")),
                 composer = frame23("TCOM", latin1Text("Composer"));
const QByteArray odd1 = frame23("COM ", "\0engodd"), odd2 = frame23("Tt2\0", "\0two");

QByteArray header(int major, int flags, qsizetype body) // "ID3", version, flags, synchsafe size
{
    return bytes("ID3") + char(major) + '\0' + char(flags) + synchsafe(quint32(body));
}

} // namespace

// kept: frame bytes that must reappear unchanged after a title change; none
// means the write must be refused.
TEST(Id3v2Messy, EveryFrameIsKeptOrTheWriteRefused)
{
    const QByteArray frames = album + composer;
    const struct {
        const char* name;
        QByteArray tag;
        QList<QByteArray> kept;
    } cases[] = {
        {"2.3 flag, no extended header",
         header(3, 0x40, frames.size() + 9) + frames + QByteArray(9, 0),
         {frames}},
        {"2.3 extended header", header(3, 0x40, 26) + bytes("\0\0\0\6") + QByteArray(6, 0) + album, {album}},
        {"id with a space", id3v2Tag(3, album + odd1 + composer, 30), {album, odd1, composer}},
        {"lower-case 2.2 id in a 2.3 tag", id3v2Tag(3, odd2 + album, 10), {odd2, album}},
        {"junk after the frames", id3v2Tag(3, album + "\x01junk" + QByteArray(6, 0)), {}},
        {"junk id", id3v2Tag(3, album + frame23("T-X!", "\0x") + composer), {}},
        {"frame past the end",
         header(3, 0, album.size() + 14) + album + frame23("TCOM", QByteArray(40, 'x')),
         {}},
        {"compressed 2.2 tag", header(2, 0x40, 20) + QByteArray(20, 'x'), {}},
        // Cut inside TCOM with the audio right behind: the size lands on the
        // second audio frame, or past the end of the file.
        {"cut tag, size on an audio frame", header(3, 0, frames.size() - 9 + 417) + frames.chopped(9), {}},
        {"cut tag, size past the end", header(3, 0, 5000) + frames.chopped(9), {}},
    };
    TempFiles files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = files.file(c.tag + mpegFrames(2));
        cMP3ID3v2 t;
        t.setMP3File(path);
        t.setTitle("New");
        EXPECT_EQ(t.Update(), !c.kept.isEmpty()) << t.lastError().toStdString();
        const QByteArray now = readFile(path);
        if (c.kept.isEmpty()) {
            EXPECT_TRUE(t.lastError().contains("could not be read completely"));
            EXPECT_EQ(now, c.tag + mpegFrames(2));
        }
        for (const QByteArray& f : c.kept)
            EXPECT_TRUE(now.contains(f)) << f.left(4).toStdString();
        cMP3ID3v2 back;
        back.setMP3File(path);
        EXPECT_EQ(back.Title(), c.kept.isEmpty() ? "" : "New");
    }
}

// Another container named .mp3 gets no ID3 tag from any write path; MPEG audio
// named .wma is an MP3.
TEST(Id3v2Messy, ContentDecidesWhetherId3IsWritten)
{
    const QByteArray asf("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
    const std::pair<QByteArray, bool> cases[] = {{asf + QByteArray(400, 1), false},
                                                 {bytes("\0\0\0\030ftypM4A ") + QByteArray(400, 1), false},
                                                 {id3v2Tag(3, album) + "fLaC" + QByteArray(400, 1), false},
                                                 {mpegFrames(2), true}};
    QTemporaryDir dir;
    for (const auto& [content, mp3] : cases) {
        const QString path = dir.filePath(mp3 ? "a.wma" : "a.mp3");
        ASSERT_TRUE(writeFile(path, content));
        cMP3ID3v1 v1;
        v1.setMP3File(path);
        cMP3ID3v2 v2;
        v2.setMP3File(path);
        ScriptedPrompter prompts;
        QString name = path;
        EXPECT_EQ(modTag::SetID3v1(name, TagRecord(), prompts), mp3);
        EXPECT_EQ(v1.Update(), mp3);
        EXPECT_EQ(v2.Update(), mp3);
        if (mp3) continue;
        EXPECT_TRUE(v1.lastError().startsWith("not an MP3 file") &&
                    v2.lastError().startsWith("not an MP3 file"));
        EXPECT_TRUE(prompts.prompts().value(0).text.contains("not an MP3 file"));
        EXPECT_EQ(readFile(path), content);
    }
}

// The tag is read again under the lock: one that another program made
// unreadable since it was read is not replaced either.
TEST(Id3v2Messy, TagChangedSinceReadingIsCheckedAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mp3");
    ASSERT_TRUE(writeFile(path, id3v2Tag(3, album, 40) + mpegFrames(2)));
    cMP3ID3v2 t;
    t.setMP3File(path);
    const QByteArray messy = id3v2Tag(3, album + "\x01junk" + QByteArray(6, 0)) + mpegFrames(2);
    ASSERT_TRUE(writeFile(path, messy));
    t.setTitle("New");
    EXPECT_FALSE(t.Update());
    EXPECT_EQ(readFile(path), messy);
}
