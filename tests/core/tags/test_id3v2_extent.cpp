// How far an existing tag reaches when the two readings of its size disagree,
// as in tags that older versions of this program wrote with a plain size.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "tags/cMP3ID3v2.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QByteArray text(const char* id, const QByteArray& s)
{
    return frame23(id, QByteArray(1, '\0') + s);
}

} // namespace

// Each case is read, then rewritten with a title that fits in place and with
// one that makes the tag grow.
TEST(Id3v2Extent, ReadsEveryFrameAndRewritesWithoutStaleTags)
{
    const QByteArray audio = mpegFrames(4);
    const QByteArray small = text("TIT2", "Old title") + text("TPE1", "Old band");
    const QByteArray big =
        text("TIT2", "Old title") + text("COMM", QByteArray(1400, 'c')) + text("TPE1", "Old band");
    // Rewritten in place with fewer frames: the old frames stay behind the end marker.
    const QByteArray leftovers = plainSizeTag(text("TIT2", "New") + QByteArray(4, '\0') + small, 2048);
    // Grown in front of a standard tag: size field N plain, N - S zero bytes
    // added at the start, so the old tag still stands behind the new one.
    const QByteArray oldTag =
        bytes("ID3\x03\0\0\0\0\x02\0") + text("TALB", "Stale") + QByteArray(256 - 15, '\0');
    QByteArray grown = QByteArray(2048 - 512, '\0') + oldTag + audio; // S = plain 00 00 02 00 = 512
    const QByteArray head =
        bytes("ID3\x03\0\0\0\0\x08\0") + text("TIT2", QByteArray(600, 't')) + QByteArray(4, '\0');
    grown.replace(0, head.size(), head);
    // A size past the end of the file: the tag ends where the audio starts.
    QByteArray past = id3v2Tag(3, small, 20);
    past.replace(6, 4, synchsafe(5000));
    const QStringList two = {"TIT2", "TPE1"};
    const struct {
        const char* name;
        QByteArray file;    // the whole file
        qint64 area;        // the tag area expected
        QStringList frames; // the frame ids expected
    } cases[] = {
        {"old program, fresh tag", plainSizeTag(small, 2048) + audio, 2048, two},
        {"old program, frames beyond the synchsafe reading",
         plainSizeTag(big, 2048) + audio,
         2048,
         {"TIT2", "COMM", "TPE1"}},
        {"old program, size byte of 0x80", plainSizeTag(small, 0x8000) + audio, 0x8000, two},
        {"old program, in-place leftovers", leftovers + audio, 2048, {"TIT2"}},
        {"old program, grown over a standard tag", grown, 2048 - 512 + 266, {"TIT2"}},
        // Zero bytes before the audio; the plain reading of the size (1024)
        // falls on an audio frame, but audio starts before it.
        {"standard tag, junk before the audio",
         id3v2Tag(3, small, 512 - small.size()) + QByteArray(607 - 522, '\0') + audio, 522, two},
        {"standard tag, readings differ", id3v2Tag(3, small, 1000) + audio, 10 + small.size() + 1000, two},
        {"2.4 tag with footer",
         id3v2Tag(4, frame24("TIT2", bytes("\0x")), 0, 0x10) + bytes("3DI\x04\0\x10\0\0\0\x0C") + audio,
         32,
         {"TIT2"}},
        {"size past the end of the file", past + audio, past.size(), two},
        {"tag with nothing after it", plainSizeTag(small, 2048), 2048, two},
    };
    TempFiles files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cMP3ID3v2 before;
        before.setMP3File(files.file(c.file));
        EXPECT_EQ(before.tagAreaSize(), c.area);
        EXPECT_EQ(before.frameIds(), c.frames);

        for (int titleLength : {3, 3000}) {
            SCOPED_TRACE(titleLength);
            const QString path = files.file(c.file);
            cMP3ID3v2 t;
            t.setMP3File(path);
            t.setTitle(QString(titleLength, 'n'));
            ASSERT_TRUE(t.Update()) << t.lastError().toStdString();

            const QByteArray after = readFile(path);
            const QByteArray rest = c.file.mid(c.area);
            EXPECT_TRUE(after.endsWith(rest));
            EXPECT_TRUE(titleLength != 3 || after.size() == c.file.size()); // a short title fits in place
            // Header size is synchsafe and counts the bytes after the header.
            const qint64 area = after.size() - rest.size();
            EXPECT_EQ(after.mid(6, 4), synchsafe(quint32(area - 10)));
            // No second tag and no old frame anywhere in the new area.
            EXPECT_EQ(after.indexOf("ID3", 1), -1);
            EXPECT_EQ(after.left(area).indexOf("Old title"), -1);
            EXPECT_EQ(after.left(area).indexOf("Stale"), -1);

            cMP3ID3v2 again;
            again.setMP3File(path);
            EXPECT_EQ(again.tagAreaSize(), area);
            EXPECT_EQ(again.tagText("TIT2", 1), QString(titleLength, 'n'));
            EXPECT_EQ(again.frameIds().size(), c.frames.size());
            EXPECT_TRUE(again.warnings().isEmpty());
        }
    }
}
