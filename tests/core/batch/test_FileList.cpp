// The parallel lists and the table built from them.
#include "batch/FileList.h"

#include <gtest/gtest.h>

using namespace vantrel;

namespace {

// Four files with artist, title and a proposal each.
void fill(FileList& l)
{
    for (const char* p : {"/m/a.mp3", "/m/sub/b.mp3", "/m/c.wma", "/d.mp3"})
        l.append(QString::fromLatin1(p));
    l.lstArtist = QStringList{"A1", "A2", "A3", "A4"};
    l.lstTit = QStringList{"T1", "T2", "T3", "T4"};
    l.listviewthem();
    for (int r = 0; r < l.rowCountShown(); ++r)
        l.setAfterText(r, QStringLiteral("new%1.mp3").arg(r));
}

} // namespace

TEST(FileList, RebuildShowsEveryColumnKeepsAfterEditsAndReadsShortListsAsEmpty)
{
    FileList l;
    fill(l);
    ASSERT_EQ(l.rowCountShown(), 4);
    EXPECT_EQ(l.row(1).before, QStringLiteral("b.mp3"));
    EXPECT_EQ(l.row(1).location, QStringLiteral("/m/sub/"));
    EXPECT_EQ(l.row(3).location, QStringLiteral("/"));
    EXPECT_EQ(l.row(2).artist, QStringLiteral("A3"));
    l.listviewthem();
    EXPECT_EQ(l.lstSim.size(), 4);
    EXPECT_EQ(l.row(2).after, QStringLiteral("new2.mp3"));
    EXPECT_EQ(l.statusText(), QStringLiteral("Number of files in list: 4"));
    // A file added after the simulation has no artist or proposal yet.
    l.append(QStringLiteral("/m/dropped.mp3"));
    l.listviewthem();
    ASSERT_EQ(l.rowCountShown(), 5);
    EXPECT_TRUE(l.row(4).artist.isEmpty());
    EXPECT_TRUE(l.row(4).after.isEmpty());
    EXPECT_EQ(l.row(0).after, QStringLiteral("new0.mp3"));
}

TEST(FileList, DeleteInTheMiddleKeepsRowsTogetherAndBlanksAfter)
{
    FileList l;
    fill(l);
    l.removeFiles({2, 1, 2});
    ASSERT_EQ(l.count(), 2);
    EXPECT_EQ(l.row(0).before, QStringLiteral("a.mp3"));
    EXPECT_EQ(l.row(1).before, QStringLiteral("d.mp3"));
    EXPECT_EQ(l.row(1).artist, QStringLiteral("A4"));
    EXPECT_EQ(l.row(1).title, QStringLiteral("T4"));
    EXPECT_TRUE(l.row(0).after.isEmpty());
    EXPECT_TRUE(l.lstSim.isEmpty());
}

TEST(FileList, DeleteWithoutSimulationDeleteLastAndClear)
{
    FileList l;
    l.append(QStringLiteral("/m/a.mp3"));
    l.append(QStringLiteral("/m/b.mp3"));
    l.listviewthem();
    l.removeFiles({0});
    EXPECT_EQ(l.lstFiles, QStringList{QStringLiteral("b.mp3")});
    l.removeFiles({0});
    EXPECT_EQ(l.count(), 0);
    EXPECT_EQ(l.rowCountShown(), 0);
    EXPECT_EQ(l.statusText(), QStringLiteral("Number of files in list: 0"));

    fill(l);
    l.clearAll();
    EXPECT_EQ(l.count(), 0);
    EXPECT_TRUE(l.lstSim.isEmpty() && l.lstArtist.isEmpty() && l.lstTit.isEmpty() && l.lstFiles.isEmpty());
}
