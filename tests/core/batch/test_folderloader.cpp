// Loading folders into the list: order, extensions, subfolders, drops, names
// that cannot be represented, link cycles, progress and stop.
#include "TestFiles.h"
#include "batch/FolderLoader.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vantrel;
using QSL = QStringList;

namespace {

class FolderLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(tmp.isValid()); }

    QString root() const { return tmp.path(); }
    QString at(const char* rel) const { return tmp.path() + QLatin1Char('/') + QString::fromUtf8(rel); }
    void make(std::initializer_list<const char*> rels)
    {
        for (const char* r : rels)
            ASSERT_TRUE(test::writeFile(at(r), "x")) << r;
    }
    // The listed paths relative to the root, in list order.
    QStringList listed() const
    {
        QStringList out;
        for (const QString& p : list.lstAllfiles)
            out.append(p.startsWith(root() + QLatin1Char('/')) ? p.mid(root().size() + 1) : p);
        return out;
    }

    QTemporaryDir tmp;
    FileList list;
    ScriptedPrompter prompter;
    FolderLoader loader{list, prompter};
};

} // namespace

TEST_F(FolderLoaderTest, BreadthFirstWithAndWithoutSubfolders)
{
    // Only .mp3 and .wma in any letter case count (other formats only when asked for).
    make({"b.mp3", "A.MP3", "notes.txt", "sub2/x.wma", "Sub1/y.mp3", "Sub1/deep/z.mp3", "sub2/deeper/w.Mp3",
          "Sub1/deep/deepest/v.wma", "e.mp3.txt", "h.xmp3", "gmp3", "j.mp3 ", "k.flac"});
    EXPECT_TRUE(loader.loadFresh(root(), false));
    EXPECT_EQ(listed(), (QSL{"A.MP3", "b.mp3"}));
    EXPECT_TRUE(loader.loadFresh(root(), true));
    EXPECT_EQ(listed(), (QSL{"A.MP3", "b.mp3", "Sub1/y.mp3", "sub2/x.wma", "Sub1/deep/z.mp3",
                             "sub2/deeper/w.Mp3", "Sub1/deep/deepest/v.wma"}));
    ASSERT_EQ(list.lstFiles.size(), list.lstAllfiles.size());
    for (qsizetype k = 0; k < list.lstFiles.size(); ++k)
        EXPECT_EQ(list.lstFiles.at(k), FileList::nameOf(list.lstAllfiles.at(k)));
    EXPECT_EQ(loader.percent, 100);
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

// Every spelling of one folder loads the same list; a missing folder, or a
// file given as folder, is reported and empties the list.
TEST_F(FolderLoaderTest, SpellingsOfOneFolderLoadingTwiceAndMissingFolders)
{
    make({"a.mp3", "b.wma", "sub/c.mp3"});
    loader.loadFresh(root(), true);
    const QStringList plain = list.lstAllfiles;
    EXPECT_EQ(listed(), (QSL{"a.mp3", "b.wma", "sub/c.mp3"}));
    loader.loadFresh(root() + QStringLiteral("//sub/.."), true);
    EXPECT_EQ(list.lstAllfiles, plain);
    for (const char* missing : {"missing", "a.mp3"}) {
        EXPECT_FALSE(loader.loadFresh(at(missing), true));
        EXPECT_TRUE(loader.loadAborted);
        EXPECT_EQ(list.count(), 0);
    }
    EXPECT_EQ(prompter.prompts().size(), 2); // one for each, none for the spellings
}

TEST_F(FolderLoaderTest, DropAddsFoldersFilesAndNothingTwice)
{
    make({"one/a.mp3", "one/sub/b.wma", "one/readme.txt", "loose.mp3", "loose.txt", "Hits.mp3/c.mp3",
          "two/d.mp3"});
    loader.loadFresh(at("two"), true);
    const struct {
        QStringList dropped;
        bool subfolders;
        QStringList expected;
    } steps[] = {
        {{at("one")}, false, {"two/d.mp3", "one/a.mp3"}},
        {{at("one"), at("loose.txt"), at("loose.mp3"), at("loose.mp3"), at("two/d.mp3"), at("vanished.mp3")},
         true,
         {"two/d.mp3", "one/a.mp3", "one/sub/b.wma", "loose.mp3"}},
        // A folder whose name looks like an audio file adds its files, not itself.
        {{at("Hits.mp3")}, true, {"two/d.mp3", "one/a.mp3", "one/sub/b.wma", "loose.mp3", "Hits.mp3/c.mp3"}},
    };
    for (const auto& s : steps) {
        loader.addDropped(s.dropped, s.subfolders);
        EXPECT_EQ(listed(), s.expected);
    }
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

TEST_F(FolderLoaderTest, UnrepresentableNamesAreRefusedOncePerLoad)
{
    // A question mark and a properly encoded replacement character are
    // ordinary characters; a Latin-1 byte is not UTF-8.
    make({"good.mp3", "what?.mp3", "real\xef\xbf\xbd.mp3"});
    const QByteArray bad = QFile::encodeName(root()) + "/bad\xe9.mp3";
    const int fd = ::open(bad.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);

    loader.loadFresh(root(), true);
    ::unlink(bad.constData()); // before any assertion can return early
    EXPECT_EQ(listed(), (QSL{"good.mp3", "real\xef\xbf\xbd.mp3", "what?.mp3"}));
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_TRUE(prompter.prompts().first().text.startsWith("The file '" + root() + "/bad"));
}

TEST_F(FolderLoaderTest, LinkCyclesEndAndListEachFileOnce)
{
    make({"a.mp3", "sub/b.mp3", "sub/deep/c.mp3"});
    ASSERT_TRUE(QFile::link(root(), at("sub/deep/up")));
    ASSERT_TRUE(QFile::link(at("sub"), at("again")));
    ASSERT_TRUE(QFile::link(at("sub/deep"), at("sub/loop")));
    loader.loadFresh(root(), true);
    // "again" and "sub" are one folder: whichever comes first in name order is scanned.
    EXPECT_EQ(listed(), (QSL{"a.mp3", "again/b.mp3", "again/deep/c.mp3"}));
    EXPECT_EQ(loader.scanFolders.size(), 3);
}

TEST_F(FolderLoaderTest, ProgressReportsEachFolderAndCanStop)
{
    make({"a.mp3", "f1/b.mp3", "f2/c.mp3", "f3/d.mp3", "f3/e.txt"});
    QList<qsizetype> found;
    loader.progress = [&](qsizetype done, qsizetype total) {
        EXPECT_EQ(total, 5);
        found.append(done);
        return done < 2;
    };
    loader.loadFresh(root(), true);
    EXPECT_TRUE(loader.cancelled);
    EXPECT_EQ(found, (QList<qsizetype>{1, 2}));      // once per folder
    EXPECT_EQ(listed(), (QSL{"a.mp3", "f1/b.mp3"})); // what was found is kept

    // A stop during a drop ends the drop, not just the folder being scanned.
    list.clearAll();
    loader.progress = [](qsizetype, qsizetype) { return false; };
    loader.addDropped({at("f1"), at("f2"), at("a.mp3")}, true);
    EXPECT_TRUE(loader.cancelled);
    EXPECT_EQ(listed(), QSL{"f1/b.mp3"});
}
