#include "tags/Genres.h"
#include "tags/cMP3ID3v2.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(Genres, NamesByNumber)
{
    struct Case { int number; const char* name; };
    const Case cases[] = {
        {0, "Blues"},         {17, "Rock"},          {25, "Euro - Techno"}, {40, "Alt.Rock"},
        {53, "Pop / Folk"},   {71, "Lo - fi"},       {78, "Rock 'n'Roll"},  {81, "Folk / Rock"},
        {109, "Pr0n Groove"}, {122, "Drum Solo"},    {124, "Euro - House"}, {136, "Christian Gangsta Rap"},
        {147, "Synth Pop"},   {123, ""},             {148, ""},             {255, ""},
        {-1, ""},             {256, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GenreName(c.number).toStdString(), c.name) << c.number;
        EXPECT_EQ(cMP3ID3v2::GenreName(c.number), GenreName(c.number)) << c.number;
    }
}

TEST(Genres, PickerEntries)
{
    const QList<GenreEntry> entries = genrePickerEntries();
    ASSERT_EQ(entries.size(), 148); // 0..147 without 123, and the empty entry
    EXPECT_TRUE(entries[0].name.isEmpty());
    EXPECT_EQ(entries[0].number, NoGenre);
    int previous = -1;
    for (qsizetype i = 1; i < entries.size(); ++i) {
        EXPECT_GT(entries[i].number, previous) << "entries in number order";
        EXPECT_NE(entries[i].number, 123);
        EXPECT_FALSE(entries[i].name.isEmpty());
        EXPECT_EQ(entries[i].name, GenreName(entries[i].number));
        previous = entries[i].number;
    }
}
