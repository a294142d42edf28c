// The one file type of the tag code: why an open fails (and what the run
// log then says), and reads served from the kept start and end of a file
// staying true to the file across writes.
#include "TestFiles.h"
#include "batch/RunAccount.h"
#include "platform/OpenFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vantrel;

TEST(OpenFile, FailuresKeepTheSystemsReason)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QLatin1Char('/');
    ASSERT_TRUE(QDir().mkpath(dir + "folder.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + "pipe.mp3").constData(), 0644), 0);
    ASSERT_TRUE(test::writeFile(dir + "locked.mp3", "x"));
    ASSERT_EQ(::chmod(QFile::encodeName(dir + "locked.mp3").constData(), 0444), 0);

    const struct {
        const char* name;
        OpenFile::Mode mode;
        int error;
        const char* reason; // as the simulation logs a file it cannot open
    } table[] = {
        {"gone.mp3", OpenFile::Mode::Read, ENOENT, "File no longer exists!"},
        {"folder.mp3", OpenFile::Mode::Read, EISDIR, "Not a regular file"},
        {"pipe.mp3", OpenFile::Mode::Read, EINVAL, "Not a regular file"},       // and does not hang
        {"locked.mp3", OpenFile::Mode::ReadWrite, EACCES, "Permission denied"}, // also for root
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        OpenFile f(dir + row.name, row.mode);
        EXPECT_FALSE(f.isOpen());
        EXPECT_EQ(f.error(), row.error);
        EXPECT_EQ(unreadableReason(f.error()), QString::fromLatin1(row.reason));
        EXPECT_EQ(
            unreadableReason(dir + row.name),
            QString::fromLatin1(row.mode == OpenFile::Mode::Read ? row.reason : "File could not be read"));
    }
}

TEST(OpenFile, KeptEndsServeReadsUntilAWrite)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/a.mp3";
    ASSERT_TRUE(test::writeFile(path, "0123456789abcdefghijklmnopqrstuvwxyzABCD")); // 40 bytes
    OpenFile f(path, OpenFile::Mode::ReadWrite);
    ASSERT_TRUE(f.keepEnds(8, 4));
    ASSERT_NE(f.kept(0, 8), nullptr);
    EXPECT_EQ(QByteArray(f.kept(36, 4), 4), "ABCD");
    EXPECT_EQ(f.kept(6, 4), nullptr); // runs past the kept start
    char b[8];
    ASSERT_TRUE(f.readAt(10, b, 4)); // from the file
    EXPECT_EQ(QByteArray(b, 4), "abcd");
    EXPECT_EQ(f.readUpTo(38, b, 8), 2);
    EXPECT_FALSE(f.readAt(38, b, 8));
    EXPECT_EQ(f.error(), EIO);

    ASSERT_TRUE(f.writeAt(2, "XY", 2));
    EXPECT_EQ(f.kept(0, 4), nullptr);
    ASSERT_TRUE(f.readAt(0, b, 4));
    EXPECT_EQ(QByteArray(b, 4), "01XY");
}
