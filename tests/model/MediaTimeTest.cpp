#include "model/MediaTime.h"

#include <gtest/gtest.h>

TEST(MediaTime, ComparesAcrossTimescalesExactly) {
    EXPECT_EQ(MediaTime(1001, 30000), MediaTime(2002, 60000));
    EXPECT_LT(MediaTime(1, 3), MediaTime(333334, 1000000));
    EXPECT_GT(MediaTime(1, 3), MediaTime(333333, 1000000));
    EXPECT_LT(MediaTime::invalid(), MediaTime(-5, 1));
    EXPECT_GT(MediaTime::indefinite(), MediaTime(INT64_MAX, 1));
    // Values whose cross products overflow 64 bits still compare correctly.
    EXPECT_LT(MediaTime(INT64_MAX - 1, 2147483647), MediaTime(INT64_MAX, 2147483647));
}

TEST(MediaTime, AddAndSubtract) {
    EXPECT_EQ(MediaTime(1000, 25000) + MediaTime(2000, 25000), MediaTime(3000, 25000));
    const MediaTime sum = MediaTime(1, 3) + MediaTime(1, 6);
    EXPECT_EQ(sum, MediaTime(1, 2));
    EXPECT_EQ(sum.timescale(), 6);
    EXPECT_EQ(MediaTime(5, 1) - MediaTime(7, 1), MediaTime(-2, 1));
    EXPECT_FALSE((MediaTime::invalid() + MediaTime(1, 1)).isValid());
    EXPECT_TRUE((MediaTime::indefinite() - MediaTime(1, 1)).isIndefinite());
}

TEST(MediaTime, FromSecondsRoundsToNearest) {
    EXPECT_EQ(MediaTime::fromSeconds(1.5, 30000).value(), 45000);
    EXPECT_EQ(MediaTime::fromSeconds(0.00005, 10000).value(), 1); // half away from zero
    EXPECT_EQ(MediaTime::fromSeconds(-0.00005, 10000).value(), -1);
    EXPECT_FALSE(MediaTime::fromSeconds(1.0, 0).isValid());
    EXPECT_DOUBLE_EQ(MediaTime(45000, 30000).seconds(), 1.5);
}
