#include "batch/Estimates.h"

#include <gtest/gtest.h>

using namespace vantrel;

// Rounding half to even, the time text, and one case of each estimate.
TEST(Estimates, RoundingTimeTextsAndFormulas)
{
    for (auto [x, rounded] : {std::pair{0.5, 0}, {1.5, 2}, {2.5, 2}, {2.51, 3}})
        EXPECT_EQ(roundHalfEven(x), rounded) << x;
    for (auto [seconds, text] :
         {std::pair{75.0, "1 min 15 sec"}, {5.0, "0 min 05 sec"}, {600.0, "10 min 00 sec"}})
        EXPECT_EQ(SetTimeFormat(seconds).toStdString(), text) << seconds;
    EXPECT_EQ(estimateFix(135, Mode::TagNames), 2); // 1.5 s rounds to 2
    EXPECT_EQ(estimateDrop(1696), 5);
    // 4900 files in a tag mode: 100 + 5 - 1.7347 = 103.27 -> 103
    EXPECT_EQ(estimateSimulate(4900, Mode::TagsFromNames, false), 103);
    // 2900 files, names only: 45 + 10 - 7.7586 = 47.24 -> 47; the slow option: 47 * 3.3 = 155.1 -> 155
    EXPECT_EQ(estimateSimulate(2900, Mode::FileNames, false), 47);
    EXPECT_EQ(estimateSimulate(2900, Mode::FileNames, true), 155);
}
