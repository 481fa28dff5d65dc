#include "TestSupport.h"

#include "model/MQTimeUtility.h"
#include "model/Regex.h"
#include "model/Subtitle.h"
#include "model/SubtitleLine.h"

#include <gtest/gtest.h>

using testsupport::ScopedFrameRate;

TEST(SubtitleLine, NewLineIsUntimed) {
    const auto line = SubtitleLine::create();
    EXPECT_EQ(line->startTime(), -1);
    EXPECT_EQ(line->endTime(), -1);
    EXPECT_EQ(line->startTimeString(), QString());
    EXPECT_EQ(line->endTimeString(), QString());
    EXPECT_EQ(line->startTimeCode().totalMilliseconds(), -1000);
    EXPECT_FALSE(line->isValid());
    EXPECT_FALSE(line->subtitleLineId.isEmpty());
    EXPECT_NE(line->subtitleLineId, SubtitleLine::create()->subtitleLineId);
    static const Regex uuid(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$"));
    EXPECT_TRUE(uuid.matches(line->subtitleLineId)) << line->subtitleLineId.toStdString();
    line->setText(QStringLiteral("bare"));
    EXPECT_EQ(line->getSubtitleLineString(), QStringLiteral("bare"));
}

TEST(SubtitleLine, SettersRoundAndKeepTheTimeCodeInStep) {
    ScopedFrameRate rate(30);
    const auto line = SubtitleLine::create();
    line->setStartTime(1.0 / 30);
    EXPECT_NEAR(line->startTime(), 0.034000001847744, 1e-15);
    EXPECT_EQ(line->startTimeString(), QStringLiteral("[00:00:00.01]"));
    EXPECT_EQ(line->startTimeCode().totalSeconds(), line->startTime());

    line->setEndTimeCode(TimeCode::withTotalMilliseconds(2500.4));
    EXPECT_EQ(line->endTime(), double(2.501f));
    EXPECT_EQ(line->endTimeString(), QStringLiteral("[00:00:02.15]"));
    EXPECT_TRUE(line->isValid());
}

TEST(SubtitleLine, TimeStringsKeepTheRateTheyWereMadeWith) {
    ScopedFrameRate rate(30);
    const auto line = SubtitleLine::create();
    line->setStartTime(1.5);
    MQTimeUtility::sharedInstance().setFPS(25);
    EXPECT_EQ(line->startTimeString(), QStringLiteral("[00:00:01.15]"));
    line->setStartTime(1.5);
    EXPECT_EQ(line->startTimeString(), QStringLiteral("[00:00:01.13]"));
}

TEST(SubtitleLine, TimeRange) {
    const auto line = SubtitleLine::create();
    line->setStartTime(1.0);
    EXPECT_TRUE(line->isTimeInTimeRange(1.0));
    EXPECT_TRUE(line->isTimeInTimeRange(99999)); // only a start: every later time
    EXPECT_FALSE(line->isTimeInTimeRange(0.999));
    line->setEndTime(2.0);
    EXPECT_TRUE(line->isTimeInTimeRange(1.0));
    EXPECT_TRUE(line->isTimeInTimeRange(1.998));
    EXPECT_FALSE(line->isTimeInTimeRange(1.9995)); // rounds up to the end
    EXPECT_FALSE(line->isTimeInTimeRange(2.0));
    const auto untimed = SubtitleLine::create();
    EXPECT_FALSE(untimed->isTimeInTimeRange(0));
}

TEST(SubtitleLine, CopyKeepsIdentityAndFlagsButNotNumerators) {
    const auto line = SubtitleLine::create();
    line->setStartTime(1);
    line->setEndTime(2);
    line->setText(QStringLiteral("hello"));
    line->isStartTimeError = true;
    line->startNumerator = 30;
    line->endNumerator = 60;
    line->actor = QStringLiteral("Bob");
    const auto copy = SubtitleLine::copyOf(*line);
    EXPECT_EQ(copy->subtitleLineId, line->subtitleLineId);
    EXPECT_TRUE(copy->isStartTimeError);
    EXPECT_EQ(copy->startNumerator, 0);
    EXPECT_EQ(copy->endNumerator, 0);
    EXPECT_EQ(copy->actor, QStringLiteral("Bob"));
    EXPECT_TRUE(copy->isEqualToSubtitle(*line));
    copy->setText(QStringLiteral("other"));
    EXPECT_FALSE(copy->isEqualToSubtitle(*line));
}

TEST(SubtitleLine, DurationTruncatesTheStart) {
    const auto line = SubtitleLine::create();
    line->setStartTimeCode(TimeCode::withTotalMilliseconds(1000.7));
    line->setEndTimeCode(TimeCode::withTotalMilliseconds(3000));
    EXPECT_EQ(line->duration().totalMilliseconds(), 2000);
}

TEST(SubtitleLine, ObserversHearTextAndTimeChanges) {
    const auto line = SubtitleLine::create();
    std::vector<SubtitleLine::Change> heard;
    const auto id =
        line->addObserver([&](SubtitleLine&, SubtitleLine::Change c) { heard.push_back(c); });
    line->setText(QStringLiteral("a"));
    line->setStartTime(1);
    line->setEndTimeCode(TimeCode::fromSeconds(2));
    line->removeObserver(id);
    line->setText(QStringLiteral("b"));
    using C = SubtitleLine::Change;
    EXPECT_EQ(heard, (std::vector<C>{C::Text, C::Start, C::End}));
}

TEST(SubtitleLine, ObserverMayRemoveItselfWhileBeingTold) {
    const auto line = SubtitleLine::create();
    int calls = 0;
    SubtitleLine::ObserverId self = 0;
    self = line->addObserver([&](SubtitleLine& l, SubtitleLine::Change) {
        ++calls;
        l.removeObserver(self);
    });
    line->setText(QStringLiteral("x"));
    line->setText(QStringLiteral("y"));
    EXPECT_EQ(calls, 1);
}

TEST(SubtitleLine, FrameNumbersToTimes) {
    const auto line = SubtitleLine::create();
    line->startFrame = 25;
    line->endFrame = 50;
    line->calculateTimeCodesFromFrameNumbers(25);
    EXPECT_EQ(line->startTime(), 1.0);
    EXPECT_EQ(line->endTime(), 2.0);
}

TEST(Subtitle, EditorRendering) {
    ScopedFrameRate rate(30);
    Subtitle doc;
    EXPECT_EQ(doc.filename, QStringLiteral("Untitled"));
    const auto timed = SubtitleLine::create();
    timed->setStartTime(1);
    timed->setEndTime(2);
    timed->setText(QStringLiteral("A\nB"));
    const auto startOnly = SubtitleLine::create();
    startOnly->setStartTime(3);
    startOnly->setText(QStringLiteral("C"));
    const auto bare = SubtitleLine::create();
    bare->setText(QStringLiteral("D"));
    doc.subtitles = {timed, startOnly, bare};
    EXPECT_EQ(doc.getTextViewDisplayString(),
              QStringLiteral("[00:00:01.00]A\u23CEB[00:00:02.00]\n[00:00:03.00]C\nD"));
    doc.renumber(1);
    EXPECT_EQ(timed->number, 1);
    EXPECT_EQ(startOnly->number, 2);
    EXPECT_EQ(bare->number, 3);
    EXPECT_EQ(Subtitle().getTextViewDisplayString(), QString());
}

TEST(Subtitle, LoadWithoutALoaderFindsNoFormat) {
    Subtitle doc;
    EXPECT_EQ(doc.loadSubtitle(QStringLiteral("/nonexistent.vtt")), nullptr);
    EXPECT_TRUE(doc.subtitles.empty());
    EXPECT_FALSE(doc.calculateTimeCodesFromFrameNumbers(25));
}
