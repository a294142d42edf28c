// Replacing a file's content through a temporary file in the same folder.
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

} // namespace

TEST_F(AtomicReplace, ReplacesContentAndKeepsPermissions)
{
    ::chmod(QFile::encodeName(path).constData(), 0640);
    QString error;
    EXPECT_TRUE(replaceFileAtomically(path, writes("new content"), &error)) << error.toStdString();
    EXPECT_EQ(readFile(path), "new content");
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0640));
    EXPECT_EQ(entries(), QStringList{"a.mp3"});
}

TEST_F(AtomicReplace, FailureLeavesTheOriginalAndNoTemporaryFile)
{
    QString error;
    const ContentWriter failing = [](QFile& out, QString& err) {
        out.write("half");
        err = "disk full";
        return false;
    };
    EXPECT_FALSE(replaceFileAtomically(path, failing, &error));
    EXPECT_EQ(error, "disk full");
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(entries(), QStringList{"a.mp3"});
}

TEST_F(AtomicReplace, RefusesWhatIsNotAnExistingWritableFile)
{
    QString error;
    EXPECT_FALSE(replaceFileAtomically(dir.filePath("missing.mp3"), writes("x"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(replaceFileAtomically(dir.path(), writes("x"), &error));
    ::chmod(QFile::encodeName(path).constData(), 0444);
    EXPECT_FALSE(replaceFileAtomically(path, writes("new")));
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(entries(), QStringList{"a.mp3"});
}

TEST_F(AtomicReplace, FollowsSymbolicLinks)
{
    const QString link = dir.filePath("link.mp3");
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_TRUE(replaceFileAtomically(link, writes("new")));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(path), "new");
}
