#include "platform/FileSystem.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantrel;

namespace {

bool isRoot()
{
    return ::geteuid() == 0;
}

// Creates a file whose name is given as raw bytes (possibly not valid UTF-8).
bool touchRaw(const QString& folder, const QByteArray& rawName)
{
    const QByteArray path = QFile::encodeName(folder) + '/' + rawName;
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp.isValid()); }
    QString at(const QString& rel) const { return tmp.path() + QLatin1Char('/') + rel; }
    void file(const QString& rel) { ASSERT_TRUE(test::writeFile(at(rel), "x")); }
    void folder(const QString& rel) { ASSERT_TRUE(QDir().mkpath(at(rel))); }
    void link(const QString& target, const QString& rel) { ASSERT_TRUE(QFile::link(target, at(rel))); }

    QTemporaryDir tmp;
};

} // namespace

TEST_F(FileSystemTest, ExistenceTestsTellFilesFoldersAndOddEntriesApart)
{
    file(QStringLiteral("song.mp3"));
    folder(QStringLiteral("folder.mp3"));
    link(at(QStringLiteral("song.mp3")), QStringLiteral("to-file"));
    link(at(QStringLiteral("folder.mp3")), QStringLiteral("to-folder"));
    link(at(QStringLiteral("nowhere")), QStringLiteral("dangling"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(at(QStringLiteral("pipe.mp3"))).constData(), 0644), 0);

    struct Case {
        const char* rel;
        bool file, folder, taken;
    };
    const Case cases[] = {
        {"song.mp3", true, false, true},    {"folder.mp3", false, true, true}, {"to-file", true, false, true},
        {"to-folder", false, true, true},   {"dangling", false, false, true},  {"pipe.mp3", false, false, true},
        {"missing.mp3", false, false, false},
    };
    for (const Case& c : cases) {
        const QString p = at(QString::fromLatin1(c.rel));
        EXPECT_EQ(FileExists(p), c.file) << c.rel;
        EXPECT_EQ(FileReadable(p), c.file) << c.rel;
        EXPECT_EQ(FolderExists(p), c.folder) << c.rel;
        EXPECT_EQ(PathTaken(p), c.taken) << c.rel;
    }
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_FALSE(FolderExists(QString()));
    EXPECT_FALSE(PathTaken(QString()));
}

TEST_F(FileSystemTest, UnreadableFileDoesNotExistForReading)
{
    if (isRoot())
        GTEST_SKIP() << "permissions do not bind root";
    file(QStringLiteral("locked.mp3"));
    ASSERT_TRUE(QFile::setPermissions(at(QStringLiteral("locked.mp3")), QFileDevice::WriteOwner));
    EXPECT_FALSE(FileExists(at(QStringLiteral("locked.mp3"))));
    EXPECT_TRUE(PathTaken(at(QStringLiteral("locked.mp3"))));
}

TEST_F(FileSystemTest, FolderEntriesComeInNameOrderIgnoringCase)
{
    for (const char* n : {"beta.mp3", "Alpha.mp3", "charlie.mp3", "ALPHA2.mp3", "Beta.mp3"})
        file(QString::fromLatin1(n));
    for (const char* n : {"zulu", "Echo", "delta"})
        folder(QString::fromLatin1(n));
    link(at(QStringLiteral("zulu")), QStringLiteral("Foxtrot"));
    link(at(QStringLiteral("gone")), QStringLiteral("dangling.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(at(QStringLiteral("pipe.mp3"))).constData(), 0644), 0);

    FolderEntries e;
    ASSERT_TRUE(readFolder(tmp.path(), e));
    const QStringList files{QStringLiteral("Alpha.mp3"), QStringLiteral("ALPHA2.mp3"), QStringLiteral("Beta.mp3"),
                            QStringLiteral("beta.mp3"), QStringLiteral("charlie.mp3")};
    const QStringList folders{QStringLiteral("delta"), QStringLiteral("Echo"), QStringLiteral("Foxtrot"),
                              QStringLiteral("zulu")};
    EXPECT_EQ(e.files, files);
    EXPECT_EQ(e.folders, folders);
}

TEST_F(FileSystemTest, MissingOrUnreadableFolderReadsAsNothing)
{
    FolderEntries e;
    e.files = {QStringLiteral("stale")};
    EXPECT_FALSE(readFolder(at(QStringLiteral("missing")), e));
    EXPECT_TRUE(e.files.isEmpty());
    if (isRoot())
        return;
    folder(QStringLiteral("closed"));
    file(QStringLiteral("closed/a.mp3"));
    ASSERT_TRUE(QFile::setPermissions(at(QStringLiteral("closed")), QFileDevice::WriteOwner));
    EXPECT_FALSE(readFolder(at(QStringLiteral("closed")), e));
    QFile::setPermissions(at(QStringLiteral("closed")), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                             QFileDevice::ExeOwner);
}

TEST(FileSystem, NameBytesValidity)
{
    struct Case {
        QByteArray raw;
        bool valid;
    };
    const Case cases[] = {
        {"plain.mp3", true},
        {"caf\xc3\xa9.mp3", true},     // é in UTF-8
        {"caf\xe9.mp3", false},        // é in Latin-1: not UTF-8
        {"\xff\xfe.mp3", false},       // never valid in UTF-8
        {"half\xe2\x82.mp3", false},   // cut-off sequence
        {"what?.mp3", true},           // a question mark is an ordinary character here
        {"\xef\xbf\xbd.mp3", true},    // a real replacement character, properly encoded
        {"", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nameBytesValid(c.raw), c.valid) << c.raw.toHex().constData();
}

TEST_F(FileSystemTest, PathsDecodedFromBadBytesAreNotRepresentable)
{
    ASSERT_TRUE(touchRaw(tmp.path(), "bad\xe9.mp3"));
    ASSERT_TRUE(touchRaw(tmp.path(), "real\xef\xbf\xbd.mp3"));
    ASSERT_TRUE(touchRaw(tmp.path(), "what?.mp3"));
    FolderEntries e;
    ASSERT_TRUE(readFolder(tmp.path(), e));
    ASSERT_EQ(e.files.size(), 3);
    QStringList refused;
    for (const QString& f : std::as_const(e.files)) {
        if (!pathRepresentable(at(f)))
            refused.append(f);
    }
    ::unlink((QFile::encodeName(tmp.path()) + "/bad\xe9.mp3").constData()); // Qt could not remove it
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused.first().startsWith(QStringLiteral("bad")));
}

TEST_F(FileSystemTest, CountTreeSkipsDotFoldersAndEndsOnLinkCycles)
{
    file(QStringLiteral("a.mp3"));
    file(QStringLiteral("notes.txt"));
    file(QStringLiteral("sub/b.mp3"));
    file(QStringLiteral("sub/deep/c.wma"));
    file(QStringLiteral(".hidden/d.mp3"));
    file(QStringLiteral(".e.mp3"));
    link(tmp.path(), QStringLiteral("sub/deep/back-to-top"));
    link(at(QStringLiteral("sub")), QStringLiteral("sub-again"));
    EXPECT_EQ(countTree(tmp.path()), 5); // a, notes, .e, b, c
    EXPECT_EQ(countTree(at(QStringLiteral("missing"))), 0);

    // The contents kept by the count are what reading each folder gives; a
    // folder reached by two paths is kept under the first one only.
    FolderCache cache;
    EXPECT_EQ(countTree(tmp.path(), &cache), 5);
    EXPECT_TRUE(cache.contains(tmp.path() + QLatin1Char('/')));
    EXPECT_EQ(cache.size(), 3); // the root, "sub" by one of its names, "deep" below it
    const QStringList keys = cache.keys();
    for (const QString& key : keys) {
        FolderEntries fromDisk, fromCache;
        ASSERT_TRUE(readFolder(key, fromDisk));
        ASSERT_TRUE(readFolder(key, fromCache, cache));
        EXPECT_EQ(fromCache.files, fromDisk.files) << key.toStdString();
        EXPECT_EQ(fromCache.folders, fromDisk.folders) << key.toStdString();
        EXPECT_FALSE(cache.contains(key)); // taken out
    }
}

TEST(FileSystem, ProgramFactsDescribeThisExecutable)
{
    EXPECT_EQ(programFileName(), QStringLiteral("test_filesystem"));
    EXPECT_EQ(programName(), QStringLiteral("test_filesystem"));
    EXPECT_TRUE(FileExists(programFolder() + QLatin1Char('/') + programFileName()));
    EXPECT_TRUE(FolderExists(programFolder()));
    EXPECT_FALSE(programFolder().endsWith(QLatin1Char('/')));
}
