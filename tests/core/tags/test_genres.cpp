#include "tags/Genres.h"
#include "tags/cMP3ID3v2.h"

#include <gtest/gtest.h>

using namespace vantrel;

// The ends of the list, names written unusually, the gap at 123 and numbers outside.
TEST(Genres, NamesByNumber)
{
    const std::pair<int, const char*> cases[] = {
        {0, "Blues"},
        {17, "Rock"},
        {78, "Rock 'n'Roll"},
        {122, "Drum Solo"},
        {124, "Euro - House"},
        {147, "Synth Pop"},
        {123, ""},
        {148, ""},
        {-1, ""},
        {256, ""},
    };
    for (const auto& [number, name] : cases) {
        EXPECT_EQ(GenreName(number).toStdString(), name) << number;
        EXPECT_EQ(cMP3ID3v2::GenreName(number), GenreName(number)) << number;
    }
}
