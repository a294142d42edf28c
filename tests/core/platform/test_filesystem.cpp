// The file-system questions: what exists, folder contents in name order,
// counting a tree with link cycles.
#include "TestFiles.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vantrel;

namespace {

class FileSystemTest : public ::testing::Test {
  protected:
    QString at(const char* rel) const { return tmp.path() + QLatin1Char('/') + QString::fromUtf8(rel); }
    void file(const char* rel) { ASSERT_TRUE(test::writeFile(at(rel), "x")); }
    void folder(const char* rel) { ASSERT_TRUE(QDir().mkpath(at(rel))); }
    void link(const QString& target, const char* rel) { ASSERT_TRUE(QFile::link(target, at(rel))); }

    QTemporaryDir tmp;
};

} // namespace

TEST_F(FileSystemTest, ExistenceAndFolderEntriesTellFilesFoldersAndOddEntriesApart)
{
    for (const char* n : {"beta.mp3", "Alpha.mp3", "ALPHA2.mp3", "Beta.mp3"})
        file(n);
    for (const char* n : {"zulu", "Echo", "folder.mp3"})
        folder(n);
    link(at("Alpha.mp3"), "to-file");
    link(at("zulu"), "Foxtrot");
    link(at("nowhere"), "dangling.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("pipe.mp3")).constData(), 0644), 0);

    const struct {
        const char* rel;
        bool file, folder, taken;
    } cases[] = {
        {"Alpha.mp3", true, false, true},     {"folder.mp3", false, true, true},
        {"to-file", true, false, true},       {"Foxtrot", false, true, true},
        {"dangling.mp3", false, false, true}, {"pipe.mp3", false, false, true},
        {"missing.mp3", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(at(c.rel)), c.file) << c.rel;
        EXPECT_EQ(FileReadable(at(c.rel)), c.file) << c.rel;
        EXPECT_EQ(FolderExists(at(c.rel)), c.folder) << c.rel;
        EXPECT_EQ(PathTaken(at(c.rel)), c.taken) << c.rel;
    }
    EXPECT_FALSE(FileExists(QString()) || FolderExists(QString()) || PathTaken(QString()));

    // Links count as what they point to; dangling links and pipes are left out.
    FolderEntries e;
    ASSERT_TRUE(readFolder(tmp.path(), e));
    EXPECT_EQ(e.files, (QStringList{"Alpha.mp3", "ALPHA2.mp3", "Beta.mp3", "beta.mp3", "to-file"}));
    EXPECT_EQ(e.folders, (QStringList{"Echo", "folder.mp3", "Foxtrot", "zulu"}));
    EXPECT_FALSE(readFolder(at("missing"), e)); // and nothing of the last folder is left
    EXPECT_TRUE(e.files.isEmpty() && e.folders.isEmpty());
}

TEST_F(FileSystemTest, CountTreeSkipsDotFoldersAndEndsOnLinkCycles)
{
    for (const char* n : {"a.mp3", "notes.txt", "sub/b.mp3", "sub/deep/c.wma", ".hidden/d.mp3", ".e.mp3"})
        file(n);
    link(tmp.path(), "sub/deep/back-to-top");
    link(at("sub"), "sub-again");
    EXPECT_EQ(countTree(tmp.path()), 5); // a, notes, .e, b, c
    EXPECT_EQ(countTree(at("missing")), 0);

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
