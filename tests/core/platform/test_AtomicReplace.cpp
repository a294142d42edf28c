#include "platform/AtomicReplace.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

ContentWriter writes(const QByteArray& bytes)
{
    return [bytes](QFile& out, QString&) { return out.write(bytes) == bytes.size(); };
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

TEST(AtomicReplace, ReplacesContentAndKeepsPermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mp3");
    ASSERT_TRUE(writeFile(path, "old"));
    ::chmod(QFile::encodeName(path).constData(), 0640);
    QString error;
    EXPECT_TRUE(replaceFileAtomically(path, writes("new content"), &error)) << error.toStdString();
    EXPECT_EQ(readFile(path), "new content");
    EXPECT_EQ(modeOf(path), mode_t(0640));
    EXPECT_EQ(entries(dir.path()), QStringList{"a.mp3"});
}

TEST(AtomicReplace, FailureLeavesTheOriginalAndNoTemporaryFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mp3");
    ASSERT_TRUE(writeFile(path, "old"));
    QString error;
    const ContentWriter failing = [](QFile& out, QString& err) {
        out.write("half");
        err = "disk full";
        return false;
    };
    EXPECT_FALSE(replaceFileAtomically(path, failing, &error));
    EXPECT_EQ(error, "disk full");
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(entries(dir.path()), QStringList{"a.mp3"});
}

TEST(AtomicReplace, RefusesWhatIsNotAnExistingFile)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(replaceFileAtomically(dir.filePath("missing.mp3"), writes("x"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.mp3")));
    EXPECT_FALSE(replaceFileAtomically(dir.path(), writes("x"), &error));
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

TEST(AtomicReplace, FollowsSymbolicLinks)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("target.mp3");
    const QString link = dir.filePath("link.mp3");
    ASSERT_TRUE(writeFile(target, "old"));
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_TRUE(replaceFileAtomically(link, writes("new")));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(target), "new");
}

TEST(AtomicReplace, ReadOnlyFileIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mp3");
    ASSERT_TRUE(writeFile(path, "old"));
    ::chmod(QFile::encodeName(path).constData(), 0444);
    EXPECT_FALSE(replaceFileAtomically(path, writes("new")));
    EXPECT_EQ(readFile(path), "old");
}
