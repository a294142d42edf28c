#include "batch/Estimates.h"

#include <gtest/gtest.h>

using namespace vantrel;

// Rounding half to even, the time text, and an estimate rounded twice.
TEST(Estimates, RoundingTimeTextsAndFormulas)
{
    for (auto [x, rounded] : {std::pair{0.5, 0}, {1.5, 2}, {2.5, 2}, {2.51, 3}})
        EXPECT_EQ(roundHalfEven(x), rounded) << x;
    for (auto [seconds, text] : {std::pair{75.0, "1 min 15 sec"}, {5.0, "0 min 05 sec"}})
        EXPECT_EQ(SetTimeFormat(seconds).toStdString(), text) << seconds;
    // 2900 files, names only: 45 + 10 - 7.7586 = 47.24 -> 47; the slow option: 47 * 3.3 = 155.1 -> 155
    EXPECT_EQ(estimateSimulate(2900, Mode::FileNames, false), 47);
    EXPECT_EQ(estimateSimulate(2900, Mode::FileNames, true), 155);
}
