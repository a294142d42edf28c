// The parallel lists and the table built from them.
#include "batch/FileList.h"

#include <gtest/gtest.h>

using namespace vantrel;

// The table shows every column and keeps the proposals when a file is added;
// deleting keeps each row's values together; clearing empties every list.
TEST(FileList, RebuildDeleteAndClearKeepTheListsParallel)
{
    FileList l;
    for (const char* p : {"/m/a.mp3", "/m/sub/b.mp3", "/m/c.wma", "/d.mp3"})
        l.append(QString::fromLatin1(p));
    l.lstArtist = QStringList{"A1", "A2", "A3", "A4"};
    l.lstTit = QStringList{"T1", "T2", "T3", "T4"};
    l.listviewthem();
    for (int r = 0; r < l.rowCountShown(); ++r)
        l.setAfterText(r, QStringLiteral("new%1.mp3").arg(r));
    ASSERT_EQ(l.rowCountShown(), 4);
    const FileList::Row r = l.row(1);
    EXPECT_EQ(QStringList({r.before, r.location, r.artist, r.title}),
              QStringList({"b.mp3", "/m/sub/", "A2", "T2"}));
    EXPECT_EQ(l.row(3).location, QStringLiteral("/"));
    // A file added after the simulation has no artist or proposal yet; the others keep theirs.
    l.append(QStringLiteral("/m/dropped.mp3"));
    l.listviewthem();
    ASSERT_EQ(l.rowCountShown(), 5);
    EXPECT_TRUE(l.row(4).artist.isEmpty() && l.row(4).after.isEmpty());
    EXPECT_EQ(l.row(2).after, QStringLiteral("new2.mp3"));
    EXPECT_EQ(l.statusText(), QStringLiteral("Number of files in list: 5"));
    l.removeFiles({2, 1, 2, 4});
    ASSERT_EQ(l.count(), 2);
    EXPECT_EQ(QStringList({l.row(0).before, l.row(1).before, l.row(1).artist, l.row(1).title}),
              QStringList({"a.mp3", "d.mp3", "A4", "T4"}));
    EXPECT_TRUE(l.row(0).after.isEmpty() && l.lstSim.isEmpty());
    l.clearAll();
    EXPECT_EQ(l.rowCountShown(), 0);
    EXPECT_TRUE(l.lstSim.isEmpty() && l.lstArtist.isEmpty() && l.lstTit.isEmpty() && l.lstFiles.isEmpty());
}
