#include "MediaFixtures.h"

#include "media/views/MQMoviePlayerViewController.h"
#include "media/views/MpvPlayer.h"
#include "model/MQSetting.h"
#include "model/MQTimeUtility.h"
#include "platform/NotificationCenter.h"
#include "platform/PromptService.h"

#include <QCoreApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using mediafixtures::fixtures;
using mediafixtures::waitFor;

MQMoviePlayerViewController::Options headless() {
    return {false, QStringLiteral("null")};
}

SubtitleLinePtr lineAt(double start, double end, const QString& text = QStringLiteral("line")) {
    auto line = SubtitleLine::create();
    line->setStartTime(start);
    line->setEndTime(end);
    line->setText(text);
    return line;
}

// Opens the 12 s movie and waits until mpv has it.
bool openMovie(MQMoviePlayerViewController& player) {
    if (fixtures().movie12s.isEmpty() || !player.openMovie(fixtures().movie12s)) {
        return false;
    }
    return waitFor([&] { return player.mpvPlayer()->isFileLoaded(); });
}

TEST(PlayDirectionDetector, OnlyJumpsOverHalfASecondCount) {
    struct Step {
        double time;
        bool forward;
    };
    const std::vector<Step> steps = {
        {0.3, true},   {1.0, true}, {0.7, true}, // 0.3 s back: unchanged
        {-0.1, false},                           // 1.1 s back from the last jump
        {0.2, false},  {0.5, true}, {0.2, true},
    };
    PlayDirectionDetector detector;
    for (const Step& step : steps) {
        detector.update(step.time);
        EXPECT_EQ(detector.isPlayForward(), step.forward) << step.time;
    }
}

TEST(MarqueeMoviePlayerItem, SecondaryRanges) {
    MarqueeMoviePlayerItem item;
    EXPECT_FALSE(item.displaySecondaryMovieInTime(1));
    item.secondaryMovieDiplayTime = {{2, 4}, {10, 11}};
    EXPECT_TRUE(item.displaySecondaryMovieInTime(2));
    EXPECT_TRUE(item.displaySecondaryMovieInTime(10.5));
    EXPECT_FALSE(item.displaySecondaryMovieInTime(4));
    EXPECT_FALSE(item.displaySecondaryMovieInTime(5));
}

TEST(MoviePlayer, RefusesMissingAndShortMovies) {
    QCoreApplication::setApplicationName(QStringLiteral("Marquee"));
    ScriptedPromptService prompts;
    ScopedPromptService scope(prompts);
    MQMoviePlayerViewController player(headless(), nullptr);
    int loaded = 0;
    QObject::connect(&player, &MQMoviePlayerViewController::movieLoaded, [&] { ++loaded; });

    EXPECT_FALSE(player.openMovie(QStringLiteral("/nonexistent/movie.mp4")));
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(prompts.asked()[0].message, QStringLiteral("Can not load movie file"));

    const auto& f = fixtures();
    if (f.wav10s.isEmpty()) {
        GTEST_SKIP() << "ffmpeg could not make the fixtures";
    }
    EXPECT_FALSE(player.openMovie(f.wav10s));
    ASSERT_EQ(prompts.asked().size(), 2u);
    EXPECT_EQ(prompts.asked()[1].message,
              QStringLiteral(
                  "Marquee only support video/audio which duration is longer than 10 seconds"));
    EXPECT_FALSE(player.hasMovie());
    EXPECT_EQ(loaded, 0);

    // 10.04 s is long enough; audio only, so no video and the editor times at 30 fps.
    EXPECT_TRUE(player.openMovie(f.wav10_04s));
    EXPECT_EQ(loaded, 1);
    EXPECT_TRUE(player.noVideoLabel()->isVisibleTo(&player));
    EXPECT_DOUBLE_EQ(MQTimeUtility::sharedInstance().getFPS(), 30.0);
    EXPECT_EQ(prompts.asked().size(), 2u);
}

TEST(MoviePlayer, FrameRateFromTheVideoStream) {
    MQMoviePlayerViewController player(headless(), nullptr);
    ASSERT_TRUE(openMovie(player));
    EXPECT_DOUBLE_EQ(MQTimeUtility::sharedInstance().getFPS(), 25.0);
    EXPECT_FALSE(player.noVideoLabel()->isVisibleTo(&player));
    EXPECT_NEAR(player.duration().seconds(), 12.0, 0.1);
    player.close();
    EXPECT_FALSE(player.hasMovie());
    EXPECT_EQ(player.currentTime(), MediaTime::zero());
}

TEST(MoviePlayer, SpeedSteps) {
    MQMoviePlayerViewController player(headless(), nullptr);
    struct Step {
        std::function<void()> action;
        double rate;
    };
    const std::vector<Step> steps = {
        {[&] { player.speedForward(); }, 2},
        {[&] { player.speedForward(); }, 4},
        {[&] { player.speedBackward(); }, -2},
        {[&] { player.speedBackward(); }, -4},
        {[&] { player.didChangeSpeedRate(QStringLiteral("1.5x")); }, 1.5},
        {[&] { player.speedBackward(); }, -2},
        {[&] { player.speedForward(); }, 2},
        {[&] { player.didChangeSpeedRate(QStringLiteral("0.5x")); }, 0.5},
    };
    EXPECT_EQ(player.currentPlayRate(), 1.0);
    for (const Step& step : steps) {
        step.action();
        EXPECT_EQ(player.currentPlayRate(), step.rate);
    }
}

TEST(MoviePlayer, ForwardAndBackwardSteps) {
    MQSetting::shareInstance().setForwardBackwardPerKey(5);
    MQMoviePlayerViewController player(headless(), nullptr);
    ASSERT_TRUE(openMovie(player));
    int pauses = 0;
    ObserverGuard guard(NotificationCenter::defaultCenter().addObserver(
        MQMoviePlayerViewController::kMoviePlayerDidPauseNotification,
        [&](const Notification&) { ++pauses; }));

    player.setCurrentTime(1.0);
    player.fastForward(); // 5 frames at 25 fps
    EXPECT_NEAR(player.currentTimeSeconds(), 1.2, 1e-6);
    EXPECT_FALSE(player.isPlaying());
    player.rewind();
    player.rewind();
    EXPECT_NEAR(player.currentTimeSeconds(), 0.8, 1e-6);
    player.setCurrentTime(0.1);
    player.rewind();
    EXPECT_NEAR(player.currentTimeSeconds(), 0.0, 1e-6);
    EXPECT_EQ(pauses, 4);
    // mpv lands where it was sent.
    ASSERT_TRUE(waitFor([&] { return std::fabs(player.mpvPlayer()->timePosition()) < 0.05; }));
}

TEST(MoviePlayer, LoopsOneSubtitle) {
    MQMoviePlayerViewController player(headless(), nullptr);
    ASSERT_TRUE(openMovie(player));
    const auto line = lineAt(1.0, 1.4);
    player.playRepeatSubtitle(line, 1.0);
    EXPECT_TRUE(player.isPlaying());
    EXPECT_EQ(player.repeatSubtitle(), line);
    double latest = 0;
    int jumpsBack = 0;
    double previous = player.currentTimeSeconds();
    waitFor(
        [&] {
            const double now = player.currentTimeSeconds();
            latest = std::max(latest, now);
            if (now < previous - 0.2) {
                ++jumpsBack;
            }
            previous = now;
            return jumpsBack >= 2;
        },
        8000);
    EXPECT_GE(jumpsBack, 2);
    EXPECT_LT(latest, 1.4 + 0.3); // one tick of lateness at most, with slack for the machine
    player.stopRepeatPlaySubtitle();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FALSE(player.repeatSubtitle());
}

TEST(MoviePlayer, OverlayShowsTheLineAndFollowsItsText) {
    MQMoviePlayerViewController player(headless(), nullptr);
    const auto line = lineAt(1, 2, QStringLiteral("first\u23CEsecond"));
    player.setCurrentDisplaySubtitleLine(line);
    EXPECT_EQ(player.subtitleLayerText(), QStringLiteral("first\nsecond"));
    line->setText(QStringLiteral("changed"));
    EXPECT_EQ(player.subtitleLayerText(), QStringLiteral("changed"));
    player.setCurrentDisplaySubtitleLine(nullptr);
    EXPECT_EQ(player.subtitleLayerText(), QString());
    line->setText(QStringLiteral("no longer shown"));
    EXPECT_EQ(player.subtitleLayerText(), QString());
}

} // namespace
