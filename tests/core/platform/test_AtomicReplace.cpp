// Replacing a file's content through a temporary file in the same folder.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "platform/AtomicReplace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class AtomicReplace : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(writeFile(path, "old")); }
    // Every entry of the folder, hidden ones included: no temporary file may stay.
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mp3");
};

const QByteArray oldContent(3000, 'o'), newContent(9000, 'n');

ContentWriter writes(const QByteArray& bytes)
{
    return [bytes](QFile& out, QString& error) {
        if (writeFully(out.handle(), bytes.constData(), bytes.size())) return true;
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    };
}

QByteArray xattr(const QString& path, const char* name)
{
    QByteArray v(256, '\0');
    const ssize_t n = ::getxattr(QFile::encodeName(path).constData(), name, v.data(), size_t(v.size()));
    return n < 0 ? QByteArray() : v.left(n);
}

struct stat statOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

// A second link to the file, or none.
enum class Links { One, Two };

class ReplaceVariants : public AtomicReplace, public ::testing::WithParamInterface<Links> {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(writeFile(path, oldContent));
        if (GetParam() == Links::Two)
            ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    }
    QStringList expected() const
    {
        return GetParam() == Links::Two ? QStringList{"a.mp3", "b.mp3"} : QStringList{"a.mp3"};
    }
    const QString other = dir.filePath("b.mp3");
};

} // namespace

// A link is followed; what is not an existing writable file is refused.
TEST_F(AtomicReplace, FollowsLinksAndRefusesWhatIsNotAnExistingWritableFile)
{
    const QString link = dir.filePath("link.mp3");
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_TRUE(replaceFileAtomically(link, writes("new")));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(path), "new");
    QFile::remove(link);
    QString error;
    EXPECT_FALSE(replaceFileAtomically(dir.filePath("missing.mp3"), writes("x"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(replaceFileAtomically(dir.path(), writes("x"), &error));
    ::chmod(QFile::encodeName(path).constData(), 0444);
    EXPECT_FALSE(replaceFileAtomically(path, writes("x")));
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(entries(), QStringList{"a.mp3"});
}

// Content replaced; mode, owner, group, extended attributes and an ACL survive; so do hard links.
TEST_P(ReplaceVariants, KeepsWhatIsNotContent)
{
    const QByteArray native = QFile::encodeName(path);
    ::chmod(native.constData(), 0640);
    ASSERT_TRUE(::geteuid() != 0 || ::chown(native.constData(), 1234, 4321) == 0);
    // (tag, permissions, id) entries after the version.
    const QByteArray acl = bytes("\2\0\0\0")                      // version 2
                           + bytes("\1\0\6\0\xFF\xFF\xFF\xFF")    // owner: read, write
                           + bytes("\2\0\4\0\xE8\3\0\0")          // user 1000: read
                           + bytes("\4\0\4\0\xFF\xFF\xFF\xFF")    // group: read
                           + bytes("\x10\0\4\0\xFF\xFF\xFF\xFF")  // mask: read
                           + bytes("\x20\0\0\0\xFF\xFF\xFF\xFF"); // others: nothing
    const bool attrs = ::setxattr(native.constData(), "user.vantrel", "v", 1, 0) == 0;
    const bool acls =
        ::setxattr(native.constData(), "system.posix_acl_access", acl.constData(), acl.size(), 0) == 0;
    const struct stat before = statOf(path);

    QString error;
    ASSERT_TRUE(replaceFileAtomically(path, writes(newContent), &error)) << error.toStdString();
    EXPECT_EQ(readFile(path), newContent);
    const struct stat after = statOf(path);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_TRUE(!attrs || xattr(path, "user.vantrel") == "v");
    EXPECT_TRUE(!acls || xattr(path, "system.posix_acl_access") == acl);
    if (GetParam() == Links::Two) {
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_nlink, nlink_t(2));
        EXPECT_EQ(readFile(other), newContent);
    }
    EXPECT_EQ(entries(), expected());
}

// A full disk at any point: the system's words, the original, nothing else.
TEST_P(ReplaceVariants, FullDiskLeavesTheOriginalAndNoOtherFile)
{
    // The new content, then for two links the backup and the rewrite.
    for (qint64 after : {0, 100, 4000, 8999, 9500, 14000}) {
        SCOPED_TRACE(after);
        if (GetParam() == Links::One && after >= newContent.size()) break;
        vantrel::testing::failWritesAfter(after, ENOSPC);
        QString error;
        const bool ok = replaceFileAtomically(path, writes(newContent), &error);
        vantrel::testing::failWritesAfter(0, 0);
        ASSERT_FALSE(ok);
        EXPECT_EQ(error.toStdString(), "No space left on device");
        EXPECT_EQ(readFile(path), oldContent);
        EXPECT_EQ(entries(), expected());
    }
}

// A kill at any write leaves the old content in place or a complete copy
// beside it; the next successful write removes that copy.
TEST_P(ReplaceVariants, KillAtAnyMomentLeavesTheOldContentSomewhere)
{
    const QString backup = backupPathOf(path);
    for (qint64 after = 0; after <= 21000; after += 997) { // new content, backup, rewrite
        SCOPED_TRACE(after);
        const pid_t child = ::fork();
        if (child == 0) {
            vantrel::testing::failWritesAfter(after, -1);
            ::_exit(replaceFileAtomically(path, writes(newContent)) ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        const QByteArray now = readFile(path);
        EXPECT_TRUE(now == newContent || now == oldContent || readFile(backup) == oldContent);
        ASSERT_TRUE(replaceFileAtomically(path, writes(oldContent)));
        EXPECT_FALSE(QFile::exists(backup));
        for (const QString& e : entries()) // temporary files a kill left
            if (e.startsWith('.')) QFile::remove(dir.filePath(e));
    }
}

INSTANTIATE_TEST_SUITE_P(Links, ReplaceVariants, ::testing::Values(Links::One, Links::Two));
