#include "TestSupport.h"

#include "model/MQSetting.h"
#include "model/MQTimeUtility.h"
#include "model/TimeCode.h"

#include <gtest/gtest.h>

using testsupport::ScopedFrameRate;

namespace {

MQTimeUtility& tu() {
    return MQTimeUtility::sharedInstance();
}

struct PrintCase {
    double fps;
    double seconds;
    const char* expected;
};

class RawTimeString : public ::testing::TestWithParam<PrintCase> {};

TEST_P(RawTimeString, PrintsFramesWithCarry) {
    const PrintCase c = GetParam();
    ScopedFrameRate rate(c.fps);
    EXPECT_EQ(tu().rawTimeStringFromTimeInterval(c.seconds), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RawTimeString,
    ::testing::Values(PrintCase{25, 1.98, "00:00:02.00"}, PrintCase{30, 59.99, "00:01:00.00"},
                      PrintCase{30, 3599.99, "01:00:00.00"}, PrintCase{30, 0, "00:00:00.00"},
                      PrintCase{30, 1.5, "00:00:01.15"}, PrintCase{25, 1.6, "00:00:01.15"},
                      PrintCase{30, 0.034000001847744, "00:00:00.01"},
                      PrintCase{23.976, 10.5, "00:00:10.12"},
                      PrintCase{29.97, 0.999, "00:00:01.00"}, // 29.94 rounds to 30 ≥ 29.97: carry
                      PrintCase{30, 36000, "10:00:00.00"}, PrintCase{30, 360000, "100:00:00.00"}));

TEST(TimeUtility, ZeroRateStoresThirty) {
    ScopedFrameRate rate(0);
    EXPECT_EQ(tu().getFPS(), 30.0);
    EXPECT_EQ(tu().timescale(), 30000);
}

TEST(TimeUtility, BracketedStringIsEmptyForNegativeTimes) {
    ScopedFrameRate rate(30);
    EXPECT_EQ(tu().timeStringFromTimeInterval(-1), QString());
    EXPECT_EQ(tu().timeStringFromTimeInterval(-0.001), QString());
    EXPECT_EQ(tu().timeStringFromTimeInterval(1.5), QStringLiteral("[00:00:01.15]"));
}

struct ParseCase {
    double fps;
    const char* timecode;
    double seconds;
    double floored;
};

class TimeIntervalFromString : public ::testing::TestWithParam<ParseCase> {};

TEST_P(TimeIntervalFromString, ReadsFramesAtTheCurrentRate) {
    const ParseCase c = GetParam();
    ScopedFrameRate rate(c.fps);
    EXPECT_DOUBLE_EQ(tu().timeIntervalFromString(QString::fromLatin1(c.timecode)), c.seconds);
    EXPECT_DOUBLE_EQ(tu().timeIntervalFromStringWithFloor(QString::fromLatin1(c.timecode)),
                     c.floored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeIntervalFromString,
    ::testing::Values(ParseCase{30, "[00:00:01.15]", 1.5, 1.5},
                      ParseCase{25, "[00:00:01.15]", 1.6, 1.6},
                      ParseCase{30, "00:00:01.15", 1.5, 1.5}, ParseCase{30, "[00:00:01]", -1, -1},
                      // 123/30 × 100 is 409.99… in double, so the floor drops a hundredth.
                      ParseCase{30, "[00:00:01.123]", 1 + 123.0 / 30, 5.09},
                      ParseCase{30, "[01:02:03.01]", 3723 + 1.0 / 30, 3723.03},
                      ParseCase{30, "[00:01.5]", -1, -1}, // too few fields: refused, not read
                      // Only the third field must split at one point; a fourth is ignored.
                      ParseCase{30, "[00:00:01.15:07]", 1.5, 1.5},
                      ParseCase{30, "[00:00:01.1.5]", -1, -1}, ParseCase{30, "::.3", 0.1, 0.1},
                      ParseCase{30, "", -1, -1}));

TEST(TimeUtility, MediaTimeFromTimecode) {
    ScopedFrameRate rate(29.97);
    const MediaTime t = tu().cmTimeFromTimeString(QStringLiteral("[00:00:10.15]"));
    EXPECT_EQ(t.timescale(), 29970);
    EXPECT_EQ(t.value(), int64_t((15 + 10 * 29.97) * 1000));
    EXPECT_TRUE(tu().cmTimeFromTimeString(QStringLiteral("[00:00:10]")).isIndefinite());
}

TEST(TimeUtility, MediaTimesFromFramesAndSeconds) {
    ScopedFrameRate rate(25);
    EXPECT_EQ(tu().getCMTimeWithFrame(3), MediaTime(3000, 25000));
    EXPECT_EQ(tu().getCMTimeWithTimeInteval(1.5), MediaTime(37500, 25000));
    EXPECT_EQ(tu().getCMTimeWithTimeInteval(0.00002), MediaTime(1, 25000)); // nearest unit
}

TEST(TimeUtility, NudgeStepsByTheSettingAndNeverBelowZero) {
    testsupport::ScopedSettingsFile settings;
    ScopedFrameRate rate(25);
    MQSetting::shareInstance().setTimecodeAdjustmentPerArrowKey(5);
    const MediaTime one = MediaTime(25000, 25000);
    EXPECT_EQ(tu().increasedCMTime(one), MediaTime(30000, 25000));
    EXPECT_EQ(tu().decreasedCMTime(one), MediaTime(20000, 25000));
    EXPECT_EQ(tu().decreasedCMTime(MediaTime(4999, 25000)), MediaTime::zero());
    EXPECT_EQ(tu().decreasedCMTime(MediaTime(5000, 25000)), MediaTime::zero());
}

TEST(TimeUtility, RoundedTimeIntervalIsSinglePrecisionCeiling) {
    EXPECT_EQ(MQTimeUtility::roundedTimeInteval(1.0 / 30), double(0.034f));
    EXPECT_NEAR(MQTimeUtility::roundedTimeInteval(1.0 / 30), 0.034000001847744, 1e-15);
    EXPECT_EQ(MQTimeUtility::roundedTimeInteval(1.2345), double(1.235f));
    EXPECT_NEAR(MQTimeUtility::roundedTimeInteval(0.04), 0.039999999105930, 1e-15);
    EXPECT_EQ(MQTimeUtility::roundedTimeInteval(-1), -1.0);
    // Idempotent: a stored time passes through again unchanged.
    const double once = MQTimeUtility::roundedTimeInteval(12.3456789);
    EXPECT_EQ(MQTimeUtility::roundedTimeInteval(once), once);
}

TEST(TimeUtility, DurationStrings) {
    EXPECT_EQ(MQTimeUtility::getCMTimeWithDurationString(QStringLiteral("1001/30000s")),
              MediaTime(1001, 30000));
    EXPECT_EQ(MQTimeUtility::getCMTimeWithDurationString(QStringLiteral("5s")), MediaTime(5, 1));
    EXPECT_EQ(MQTimeUtility::getCMTimeWithDurationString(QString()), MediaTime::zero());
    EXPECT_FALSE(MQTimeUtility::getCMTimeWithDurationString(QStringLiteral("1/0s")).isValid());
    const MediaTime t = MQTimeUtility::getCMTimeWithDurationString(QStringLiteral("100/2500s"));
    EXPECT_EQ(t.value(), 100);
    EXPECT_EQ(t.timescale(), 2500);
}

TEST(TimeUtility, ChangeFloat) {
    const std::pair<const char*, const char*> cases[] = {
        {"25.000", "25"}, {"29.970", "29.97"}, {"30.", "30"}, {"000", "0"},
        {"25.5", "25.5"}, {"0.000", "0"},      {"100", "1"},  {"", "0"}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(MQTimeUtility::changeFloat(QString::fromLatin1(in)), QString::fromLatin1(out))
            << in;
    }
}

struct NumeratorCase {
    const char* timecode;
    int32_t n, d;
    int32_t expected;
};

class FcpxNumerator : public ::testing::TestWithParam<NumeratorCase> {};

TEST_P(FcpxNumerator, CountsDropFrameAt2997And5994) {
    const NumeratorCase c = GetParam();
    EXPECT_EQ(
        MQTimeUtility::numeratorFromMarqueeTimecode(QString::fromLatin1(c.timecode), c.n, c.d),
        c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FcpxNumerator,
    ::testing::Values(NumeratorCase{"[00:10:00.00]", 1001, 30000, 17999982},
                      NumeratorCase{"[00:01:00.02]", 1001, 30000, 1801800},
                      NumeratorCase{"[00:01:00.02]", 2002, 60000, 2002 * 1800},
                      NumeratorCase{"[00:01:00.02]", 1001, 24000, 1001 * (2 + 60 * 24)},
                      NumeratorCase{"[00:01:00.04]", 1001, 60000, 1001 * (4 + 3600 - 4)},
                      NumeratorCase{"[00:00:02.10]", 1, 25, 10 + 2 * 25},
                      NumeratorCase{"[00:00:02.10]", 100, 2500, 100 * 10 + 2 * 2500},
                      NumeratorCase{"[00:00:02]", 1001, 30000, -1}));

TEST(TimeCode, ParseToMilliseconds) {
    const std::pair<const char*, double> cases[] = {
        {"00:00:01,5", 1005},   {"01:02:03.456", 3723456}, {"00:00:01:020", 1020},
        {"00:00:01", -1},       {"1,2,3,4,5", -1},         {"", -1},
        {"-0:00:01,000", 1000},
    };
    for (const auto& [in, ms] : cases) {
        EXPECT_EQ(TimeCode::parseToMilliseconds(QString::fromLatin1(in)), ms) << in;
    }
}

TEST(TimeCode, ComponentsFollowTheTotal) {
    TimeCode unset = TimeCode::fromSeconds(-1);
    EXPECT_EQ(unset.totalMilliseconds(), -1000);
    EXPECT_EQ(unset.seconds(), -1);
    EXPECT_EQ(unset.hours(), 0);
    EXPECT_EQ(unset.minutes(), 0);
    EXPECT_EQ(unset.milliseconds(), 0);

    TimeCode t = TimeCode::withTotalMilliseconds(3723456.7);
    EXPECT_EQ(t.hours(), 1);
    EXPECT_EQ(t.minutes(), 2);
    EXPECT_EQ(t.seconds(), 3);
    EXPECT_EQ(t.milliseconds(), 456);
    EXPECT_EQ(t.description(), QStringLiteral(" 1: 2: 3,456"));
    t.addTimeMilliseconds(-3723457);
    EXPECT_EQ(t.seconds(), 0);
    EXPECT_EQ(t.milliseconds(), 0);

    const TimeCode built = TimeCode::withComponents(0, 75, 0, 5);
    EXPECT_EQ(built.minutes(), 75); // kept as given
    EXPECT_EQ(built.totalMilliseconds(), 4500005);
}

TEST(ITTime, SplitsSecondsForPrinting) {
    const ITTime t(3723.4567);
    EXPECT_EQ(t.getHours(), 1);
    EXPECT_EQ(t.getMinutes(), 2);
    EXPECT_EQ(t.getSeconds(), 3);
    EXPECT_EQ(t.getMilliSeconds(), 456);
}

} // namespace
