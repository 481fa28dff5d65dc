#include "TestSupport.h"

#include "editor/EditorTextBuffer.h"
#include "editor/SubtitleEditorController.h"
#include "model/MQSetting.h"
#include "model/MQTimeUtility.h"

#include <gtest/gtest.h>

using testsupport::ScopedFrameRate;
using testsupport::ScopedSettingsFile;

namespace {

// A player whose clock only moves when the test says so.
class FakePlayer : public MoviePlayerControl {
public:
    bool isPlaying() const override { return playing; }
    void play() override {
        playing = true;
        calls << QStringLiteral("play");
    }
    void stopRepeatPlaySubtitle() override {
        playing = false;
        calls << QStringLiteral("stop");
    }
    void fastForward() override { calls << QStringLiteral("forward"); }
    void rewind() override { calls << QStringLiteral("rewind"); }
    void speedForward() override { calls << QStringLiteral("speedForward"); }
    void speedBackward() override { calls << QStringLiteral("speedBackward"); }
    void setCurrentTime(double seconds) override {
        now = seconds;
        calls << QStringLiteral("seek");
    }
    SubtitleLinePtr repeatSubtitle() const override { return nullptr; }
    MediaTime currentTime() const override {
        return MQTimeUtility::sharedInstance().getCMTimeWithTimeInteval(now);
    }
    MediaTime duration() const override {
        return MQTimeUtility::sharedInstance().getCMTimeWithTimeInteval(length);
    }
    bool hasMovie() const override { return true; }

    void advance(double seconds) { now += seconds; }

    bool playing = true;
    double now = 0;
    double length = 600;
    QStringList calls;
};

struct RecordingDelegate : SubtitleTextViewDelegate {
    void didSelectedTimeCode(const MediaTime& time) override { seeks.push_back(time.seconds()); }
    void increaseWaveFormSlider() override { zoom << QStringLiteral("in"); }
    void decreaseWaveFormYAxisZoomRate() override { zoom << QStringLiteral("y-out"); }
    std::vector<double> seeks;
    QStringList zoom;
};

EditorKeyEvent key(int code, const char* keyString, Qt::KeyboardModifiers modifiers = {}) {
    return {code, modifiers, QString::fromUtf8(keyString), false};
}

class HandTiming : public ::testing::Test {
protected:
    HandTiming() : rate_(30), editor(buffer) {
        editor.setPlayer(&player);
        editor.setDelegate(&delegate);
    }
    void setText(const QString& text) {
        buffer.replaceCharacters({0, buffer.text().size()}, text);
        buffer.setSelectedRange({0, 0});
    }
    QString line(int index) { return buffer.model().lineText(index).toString(); }

    ScopedSettingsFile settings_;
    ScopedFrameRate rate_;
    MemoryTextBuffer buffer;
    SubtitleEditorController editor;
    FakePlayer player;
    RecordingDelegate delegate;
};

} // namespace

TEST_F(HandTiming, Mode1PutsInThenOutAndMovesOn) {
    setText(QStringLiteral("first\nsecond"));
    player.now = 3;
    EXPECT_EQ(editor.keyDown(key(Qt::Key_Space, "Space")), KeyOutcome::Handled);
    EXPECT_EQ(line(0), QStringLiteral("[00:00:03.00]first"));
    EXPECT_FALSE(editor.isEndCodePaired());
    player.advance(1.5);
    editor.keyDown(key(Qt::Key_Space, "Space"));
    EXPECT_EQ(line(0), QStringLiteral("[00:00:03.00]first[00:00:04.15]"));
    EXPECT_TRUE(editor.isEndCodePaired());
    EXPECT_EQ(buffer.selectedRange().location, buffer.model().lineStart(1));
    player.advance(1);
    editor.keyDown(key(Qt::Key_Space, "Space"));
    EXPECT_EQ(line(1), QStringLiteral("[00:00:05.15]second"));
}

TEST_F(HandTiming, Mode1AtTheLastLineAddsALine) {
    setText(QStringLiteral("only"));
    player.now = 1;
    editor.runMode1();
    player.advance(1);
    editor.runMode1();
    EXPECT_EQ(buffer.text(), QStringLiteral("[00:00:01.00]only[00:00:02.00]\n"));
    EXPECT_EQ(buffer.model().getAllSubtitles().size(), 2u);
}

TEST_F(HandTiming, OutTooSoonIsHalfASecondAndStopsTheRepeat) {
    setText(QStringLiteral("a\nb"));
    player.now = 2;
    editor.runMode1();
    player.advance(0.2);
    editor.runMode1();
    const auto first = buffer.model().getAllSubtitles()[0];
    EXPECT_DOUBLE_EQ(first->endTime() - first->startTime(), 0.5);
    EXPECT_TRUE(player.calls.contains(QStringLiteral("stop")));
}

TEST_F(HandTiming, OutIsCutBackToTheNextStart) {
    setText(QStringLiteral("[00:00:01.00]a\n[00:00:02.00]b[00:00:03.00]"));
    buffer.setSelectedRange({3, 0});
    player.now = 2.5;
    editor.insertEndTimeCodeInSubtitleLine(buffer.model().getAllSubtitles()[0]);
    EXPECT_EQ(line(0), QStringLiteral("[00:00:01.00]a[00:00:02.00]"));
}

TEST_F(HandTiming, InInsideAnotherSubtitleIsRefused) {
    setText(QStringLiteral("[00:00:01.00]a[00:00:03.00]\nb"));
    const int32_t scale = MQTimeUtility::sharedInstance().timescale();
    EXPECT_FALSE(editor.allowInsertStartTime(MediaTime::fromSeconds(2, scale)));
    EXPECT_TRUE(editor.allowInsertStartTime(MediaTime::fromSeconds(2.99, scale)));
    EXPECT_TRUE(editor.allowInsertStartTime(MediaTime::fromSeconds(3, scale)));
    buffer.setSelectedRange({28, 0});
    EXPECT_FALSE(editor.insertStartTimeCode(MediaTime::fromSeconds(2, scale)));
    EXPECT_EQ(line(1), QStringLiteral("b"));
}

TEST_F(HandTiming, Mode2PressAndRelease) {
    setText(QStringLiteral("a\nb"));
    player.now = 1;
    editor.keyDown(key(Qt::Key_2, "2"));
    EXPECT_TRUE(editor.mode2Recording());
    player.advance(1);
    EXPECT_EQ(editor.keyDown({Qt::Key_2, {}, QStringLiteral("2"), true}), KeyOutcome::Handled);
    EXPECT_EQ(line(0), QStringLiteral("[00:00:01.00]a"));
    editor.keyUp(key(Qt::Key_2, "2"));
    EXPECT_FALSE(editor.mode2Recording());
    EXPECT_EQ(line(0), QStringLiteral("[00:00:01.00]a[00:00:02.00]"));
    player.advance(1);
    editor.keyDown(key(Qt::Key_2, "2"));
    EXPECT_EQ(line(1), QStringLiteral("[00:00:03.00]b"));
}

TEST_F(HandTiming, Mode3ClosesOneAndOpensTheNext) {
    setText(QStringLiteral("one\ntwo\nthree"));
    for (double t : {1.0, 2.0, 3.0}) {
        player.now = t;
        editor.keyDown(key(Qt::Key_Return, "Return"));
    }
    EXPECT_EQ(line(0), QStringLiteral("[00:00:01.00]one[00:00:02.00]"));
    EXPECT_EQ(line(1), QStringLiteral("[00:00:02.00]two[00:00:03.00]"));
    EXPECT_EQ(line(2), QStringLiteral("[00:00:03.00]three"));
}

TEST_F(HandTiming, PauseClosesAnOpenLine) {
    setText(QStringLiteral("a\nb"));
    player.now = 1;
    editor.runMode1();
    player.advance(2);
    editor.moviePlayerDidPause();
    EXPECT_EQ(line(0), QStringLiteral("[00:00:01.00]a[00:00:03.00]"));
    editor.moviePlayerDidPause(); // paired: nothing more
    EXPECT_EQ(line(1), QStringLiteral("b"));
}

TEST_F(HandTiming, TypingIsSwallowedWhilePlayingButArrowsPass) {
    setText(QStringLiteral("a"));
    EXPECT_EQ(editor.keyDown(key(Qt::Key_X, "X")), KeyOutcome::Swallowed);
    EXPECT_EQ(editor.keyDown(key(Qt::Key_Left, "Left")), KeyOutcome::PassOn);
    player.playing = false;
    EXPECT_EQ(editor.keyDown(key(Qt::Key_Space, "Space")), KeyOutcome::PassOn);
}

TEST_F(HandTiming, TransportKeys) {
    setText(QStringLiteral("a"));
    player.playing = false;
    // After typing, J/K/L are letters while stopped.
    EXPECT_EQ(editor.keyDown(key(Qt::Key_K, "K")), KeyOutcome::PassOn);
    EXPECT_EQ(editor.keyDown(key(Qt::Key_Tab, "Tab")), KeyOutcome::Handled);
    EXPECT_TRUE(player.playing);
    EXPECT_EQ(editor.keyDown(key(Qt::Key_K, "K")), KeyOutcome::Handled);
    EXPECT_FALSE(player.playing);
    EXPECT_EQ(editor.keyDown(key(Qt::Key_L, "L")), KeyOutcome::Handled);
    EXPECT_TRUE(player.playing);
    EXPECT_EQ(editor.keyDown(key(Qt::Key_J, "Ctrl+J", Qt::ControlModifier)), KeyOutcome::Handled);
    EXPECT_EQ(editor.keyDown(key(Qt::Key_Backtab, "Shift+Backtab", Qt::ShiftModifier)),
              KeyOutcome::Handled);
    EXPECT_EQ(player.calls,
              (QStringList{"play", "stop", "speedForward", "play", "rewind", "forward"}));
    EXPECT_EQ(editor.keyDown(key(Qt::Key_Equal, "Ctrl+=", Qt::ControlModifier)),
              KeyOutcome::Handled);
    EXPECT_EQ(editor.keyDown(key(Qt::Key_Minus, "Alt+-", Qt::AltModifier)), KeyOutcome::Handled);
    EXPECT_EQ(delegate.zoom, (QStringList{"in", "y-out"}));
}

TEST_F(HandTiming, NudgeGuards) {
    player.playing = false;
    // The previous start is 12 frames before the selected one: it stops 10 frames after it.
    setText(QStringLiteral("[00:00:01.00]a[00:00:01.05]\n[00:00:01.12]b[00:00:03.00]\n"
                           "[00:00:03.10]c[00:00:05.00]"));
    const TextRange bStart{28, 13};
    buffer.setSelectedRange(bStart);
    EXPECT_EQ(editor.keyDown(key(Qt::Key_Left, "Left")), KeyOutcome::Handled);
    EXPECT_EQ(line(1), QStringLiteral("[00:00:01.10]b[00:00:03.00]"));
    // The earlier end is not later than the new start, so it stays.
    EXPECT_EQ(line(0), QStringLiteral("[00:00:01.00]a[00:00:01.05]"));
    EXPECT_EQ(buffer.selectedRange(), bStart);
    EXPECT_TRUE(editor.adjustingTimeCode());

    // Nudging b's end right past c's start drags that start along.
    const TextRange bEnd{42, 13};
    buffer.setSelectedRange(bEnd);
    for (int i = 0; i < 3; ++i) {
        editor.keyDown(key(Qt::Key_Right, "Right"));
    }
    EXPECT_EQ(line(1), QStringLiteral("[00:00:01.10]b[00:00:03.15]"));
    EXPECT_EQ(line(2), QStringLiteral("[00:00:03.15]c[00:00:05.00]"));
    // Never closer than 10 frames to the next end.
    for (int i = 0; i < 20; ++i) {
        editor.keyDown(key(Qt::Key_Right, "Right"));
    }
    EXPECT_EQ(line(1), QStringLiteral("[00:00:01.10]b[00:00:04.20]"));
}

TEST_F(HandTiming, StartNudgeDragsAnOverlappingEnd) {
    player.playing = false;
    setText(QStringLiteral("[00:00:01.00]a[00:00:03.00]\n[00:00:03.00]b[00:00:04.00]"));
    buffer.setSelectedRange({28, 13});
    editor.keyDown(key(Qt::Key_Left, "Left"));
    EXPECT_EQ(buffer.text(),
              QStringLiteral("[00:00:01.00]a[00:00:02.25]\n[00:00:02.25]b[00:00:04.00]"));
}

TEST_F(HandTiming, CodeNavigationAndSync) {
    player.playing = false;
    setText(QStringLiteral("[00:00:01.00]a[00:00:02.00]\n[00:00:03.00]b[00:00:04.00]"));
    buffer.setSelectedRange({5, 0});
    editor.keyDown(key(Qt::Key_Right, "Alt+Right", Qt::AltModifier));
    EXPECT_EQ(buffer.selectedRange(), (TextRange{14, 13}));
    editor.keyDown(key(Qt::Key_Down, "Down"));
    EXPECT_EQ(buffer.selectedRange(), (TextRange{42, 13}));
    editor.keyDown(key(Qt::Key_Left, "Alt+Left", Qt::AltModifier));
    EXPECT_EQ(buffer.selectedRange(), (TextRange{28, 13}));
    EXPECT_EQ(delegate.seeks, (std::vector<double>{2, 4, 3}));
    EXPECT_EQ(editor.keyDown(key(Qt::Key_Return, "Return")), KeyOutcome::Handled);
    EXPECT_EQ(buffer.selectedRange(), (TextRange{41, 0}));
}

TEST_F(HandTiming, DeleteAndInsertCodes) {
    player.playing = false;
    player.now = 7;
    setText(QStringLiteral("[00:00:01.00]a[00:00:02.00]\nb"));
    buffer.setSelectedRange({3, 0});
    EXPECT_EQ(editor.keyDown(key(Qt::Key_Backspace, "Ctrl+Backspace", Qt::ControlModifier)),
              KeyOutcome::Handled);
    EXPECT_EQ(buffer.text(), QStringLiteral("a\nb"));
    buffer.setSelectedRange({2, 0});
    EXPECT_EQ(editor.keyDown(key(Qt::Key_F6, "F6")), KeyOutcome::Handled);
    EXPECT_EQ(buffer.text(), QStringLiteral("a\n[00:00:07.00]b"));
}
