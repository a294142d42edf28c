#include "tags/Genres.h"
#include "tags/cMP3ID3v2.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(Genres, NamesByNumber)
{
    struct Case {
        int number;
        const char* name;
    };
    const Case cases[] = {{0, "Blues"},
                          {17, "Rock"},
                          {25, "Euro - Techno"},
                          {78, "Rock 'n'Roll"},
                          {109, "Pr0n Groove"},
                          {122, "Drum Solo"},
                          {124, "Euro - House"},
                          {147, "Synth Pop"},
                          {123, ""},
                          {148, ""},
                          {-1, ""},
                          {256, ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(GenreName(c.number).toStdString(), c.name) << c.number;
        EXPECT_EQ(cMP3ID3v2::GenreName(c.number), GenreName(c.number)) << c.number;
    }
}
