#include "MediaFixtures.h"
#include "TestSupport.h"

#include "editor/EditorTextBuffer.h"
#include "editor/SubtitleEditorController.h"
#include "media/views/MQMoviePlayerViewController.h"
#include "media/views/MpvPlayer.h"
#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

// Hand timing against the real player: the movie plays in real time (with mpv's null audio
// output) and the codes must land where the movie was when the key went down.

namespace {

using mediafixtures::fixtures;
using mediafixtures::waitFor;

// A code holds whole frames at 25 fps, and the player reports its position every 1/30 s.
constexpr double kTolerance = 1.0 / 25 + 1.0 / 30 + 0.02;

EditorKeyEvent key(int code, const char* keyString, bool isAutoRepeat = false) {
    return {code, {}, QString::fromUtf8(keyString), isAutoRepeat};
}

class HandTimingWithPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        if (fixtures().movie12s.isEmpty()) {
            GTEST_SKIP() << "ffmpeg could not make the movie";
        }
        ASSERT_TRUE(player.openMovie(fixtures().movie12s));
        ASSERT_TRUE(waitFor([&] { return player.mpvPlayer()->isFileLoaded(); }));
        editor.setPlayer(&player);
        pauseObserver = ObserverGuard(NotificationCenter::defaultCenter().addObserver(
            MQMoviePlayerViewController::kMoviePlayerDidPauseNotification,
            [this](const Notification&) { editor.moviePlayerDidPause(); }));
    }

    void setText(const QString& text) {
        buffer.replaceCharacters({0, buffer.text().size()}, text);
        buffer.setSelectedRange({0, 0});
    }
    double now() const { return player.currentTime().seconds(); }
    // Lets the movie play on until it reaches the given time.
    void playUntil(double seconds) {
        ASSERT_TRUE(waitFor([&] { return now() >= seconds; }, 15000)) << "stuck at " << now();
    }
    // Presses (or releases) a key and returns the movie's time around it.
    template <typename Press> std::pair<double, double> timed(Press press) {
        const double before = now();
        press();
        return {before, now()};
    }
    SubtitleLinePtr subtitle(size_t index) { return buffer.model().getAllSubtitles().at(index); }

    testsupport::ScopedSettingsFile settings;
    MQMoviePlayerViewController player{{false, QStringLiteral("null")}, nullptr};
    MemoryTextBuffer buffer;
    SubtitleEditorController editor{buffer};
    ObserverGuard pauseObserver;
};

#define EXPECT_TIMED(value, window)                                                                \
    do {                                                                                           \
        EXPECT_GE((value), (window).first - kTolerance);                                           \
        EXPECT_LE((value), (window).second + kTolerance);                                          \
    } while (0)

TEST_F(HandTimingWithPlayer, Mode1InThenOutThenTheNextLine) {
    setText(QStringLiteral("first\nsecond"));
    player.play();
    playUntil(0.6);
    const auto in = timed([&] { editor.keyDown(key(Qt::Key_Space, "Space")); });
    playUntil(in.second + 1.2);
    const auto out = timed([&] { editor.keyDown(key(Qt::Key_Space, "Space")); });
    playUntil(out.second + 0.5);
    const auto next = timed([&] { editor.keyDown(key(Qt::Key_Space, "Space")); });

    ASSERT_TRUE(subtitle(0)->isValid());
    EXPECT_TIMED(subtitle(0)->startTime(), in);
    EXPECT_TIMED(subtitle(0)->endTime(), out);
    EXPECT_TIMED(subtitle(1)->startTime(), next);
    EXPECT_TRUE(player.isPlaying());
}

TEST_F(HandTimingWithPlayer, Mode2HoldsTheKeyForTheSubtitle) {
    setText(QStringLiteral("held\nnext"));
    player.play();
    playUntil(0.6);
    const auto down = timed([&] { editor.keyDown(key(Qt::Key_2, "2")); });
    playUntil(down.second + 0.5);
    editor.keyDown(key(Qt::Key_2, "2", true)); // auto-repeat while held changes nothing
    EXPECT_FALSE(subtitle(0)->isValid());
    playUntil(down.second + 1.0);
    const auto up = timed([&] { editor.keyUp(key(Qt::Key_2, "2")); });

    EXPECT_TIMED(subtitle(0)->startTime(), down);
    EXPECT_TIMED(subtitle(0)->endTime(), up);
    EXPECT_FALSE(subtitle(1)->isValid());
}

TEST_F(HandTimingWithPlayer, Mode3EachReturnClosesOneAndOpensTheNext) {
    setText(QStringLiteral("one\ntwo\nthree"));
    player.play();
    std::vector<std::pair<double, double>> presses;
    for (double at : {0.6, 1.4, 2.2}) {
        playUntil(at);
        presses.push_back(timed([&] { editor.keyDown(key(Qt::Key_Return, "Return")); }));
    }
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TIMED(subtitle(i)->startTime(), presses[i]);
    }
    EXPECT_TIMED(subtitle(0)->endTime(), presses[1]);
    EXPECT_TIMED(subtitle(1)->endTime(), presses[2]);
    EXPECT_DOUBLE_EQ(subtitle(0)->endTime(), subtitle(1)->startTime());
}

TEST_F(HandTimingWithPlayer, PausingClosesTheOpenSubtitleWhereTheMovieStopped) {
    setText(QStringLiteral("open\nafter"));
    player.play();
    playUntil(0.6);
    const auto in = timed([&] { editor.keyDown(key(Qt::Key_Space, "Space")); });
    playUntil(in.second + 1.0);
    const auto paused = timed([&] { player.pause(); });
    ASSERT_FALSE(player.isPlaying());
    EXPECT_TIMED(subtitle(0)->endTime(), paused);
    EXPECT_FALSE(subtitle(1)->isValid());
}

} // namespace
