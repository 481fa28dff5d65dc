#include "MediaFixtures.h"

#include "media/views/MQMoviePlayerViewController.h"
#include "media/views/MQWaveFormView.h"
#include "media/views/MpvPlayer.h"
#include "model/MQTimeUtility.h"
#include "platform/NotificationCenter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace {

using mediafixtures::fixtures;

// The editor's side: the document's lines, answering the view's questions.
class FakeDocument : public MQWaveFormViewDelegate {
public:
    SubtitleLineList lines;

    SubtitleLineList subtitleForStartTime(double start, double end) override {
        SubtitleLineList found;
        for (const auto& line : lines) {
            if (line->isValid() && line->endTime() >= start && line->startTime() <= end) {
                found.push_back(line);
            }
        }
        return found;
    }
    SubtitleLinePtr previousSubtitleLineForLine(const SubtitleLinePtr& line) override {
        auto it = std::find(lines.begin(), lines.end(), line);
        return it == lines.end() || it == lines.begin() ? nullptr : *(it - 1);
    }
    SubtitleLinePtr nextSubtitleLineForLine(const SubtitleLinePtr& line) override {
        auto it = std::find(lines.begin(), lines.end(), line);
        return it == lines.end() || it + 1 == lines.end() ? nullptr : *(it + 1);
    }
};

SubtitleLinePtr lineAt(double start, double end) {
    auto line = SubtitleLine::create();
    line->setStartTime(start);
    line->setEndTime(end);
    line->setText(QStringLiteral("text"));
    return line;
}

void mouse(QWidget* target, QEvent::Type type, double x, double y = 150) {
    // Positions are given in the editor view's coordinates.
    QWidget* view = target->parentWidget() && qobject_cast<MQWaveFormTextView*>(target)
                        ? target->parentWidget()
                        : target;
    const QPointF local = target == view ? QPointF(x, y) : target->mapFrom(view, QPointF(x, y));
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, target->mapToGlobal(local), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void drag(QWidget* target, double from, double to) {
    mouse(target, QEvent::MouseButtonPress, from);
    mouse(target, QEvent::MouseMove, (from + to) / 2);
    mouse(target, QEvent::MouseMove, to);
    mouse(target, QEvent::MouseButtonRelease, to);
}

class WaveFormViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (fixtures().movie12s.isEmpty()) {
            GTEST_SKIP() << "ffmpeg could not make the fixtures";
        }
        ASSERT_TRUE(player.openMovie(fixtures().movie12s));
        ASSERT_TRUE(mediafixtures::waitFor([&] { return player.mpvPlayer()->isFileLoaded(); }));
        AudioStreamDescription source{48000, 2, 32};
        AudioStreamDescription target = source;
        target.sampleRate = WaveformAudioDataStore::kEnvelopeRate;
        layer.addDataStore(std::make_shared<WaveformAudioDataStore>(source, target, 12.0));
        layer.setZoomRate(1.0, false); // 300 px per second
        view.setPlayer(&player);
        view.setDelegate(&document);
        view.setWaveFormLayer(&layer);
        view.resize(1000, 300);
        QApplication::processEvents();
    }

    // Shows the document's lines as the editor would announce them.
    void announce() {
        for (size_t i = 0; i < document.lines.size(); ++i) {
            NotificationCenter::defaultCenter().post(
                WaveFormNotification::kAddSubtitleLineToWaveForm,
                QVariant::fromValue(document.lines[i]), {{QStringLiteral("index"), int(i)}});
        }
    }

    MQWaveFormTextView* blockFor(const SubtitleLinePtr& line) {
        for (auto* block : view.textLayerArray()) {
            if (block->subtitleLine() == line) {
                return block;
            }
        }
        return nullptr;
    }

    MQMoviePlayerViewController player{{false, QStringLiteral("null")}, nullptr};
    WaveformLayer layer;
    FakeDocument document;
    MQWaveFormView view;
};

TEST_F(WaveFormViewTest, DragToCreate) {
    std::vector<SubtitleLinePtr> created;
    ObserverGuard guard(NotificationCenter::defaultCenter().addObserver(
        WaveFormNotification::kAddSubtitleLineToTextView,
        [&](const Notification& n) { created.push_back(n.object.value<SubtitleLinePtr>()); }));
    layer.setNewOriginX(3000);

    drag(&view, 100, 400);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_NEAR(created[0]->startTime(), 10.333, 0.001);
    EXPECT_NEAR(created[0]->endTime(), 11.333, 0.001);
    EXPECT_EQ(created[0]->text(), QString());

    // The editor answers by announcing the new line: it gets a block and plays in a loop.
    document.lines = {created[0]};
    announce();
    ASSERT_NE(blockFor(created[0]), nullptr);
    EXPECT_EQ(player.repeatSubtitle(), created[0]);
    player.stopRepeatPlaySubtitle();

    // Ten points or less create nothing.
    drag(&view, 700, 710);
    EXPECT_EQ(created.size(), 1u);
}

TEST_F(WaveFormViewTest, DragToCreateStopsAtTheNextBlock) {
    layer.setNewOriginX(3000);
    document.lines = {lineAt(10.5, 11.0)}; // x 150 to 300
    announce();
    std::vector<SubtitleLinePtr> created;
    ObserverGuard guard(NotificationCenter::defaultCenter().addObserver(
        WaveFormNotification::kAddSubtitleLineToTextView,
        [&](const Notification& n) { created.push_back(n.object.value<SubtitleLinePtr>()); }));
    mouse(&view, QEvent::MouseButtonPress, 50);
    mouse(&view, QEvent::MouseMove, 100);
    mouse(&view, QEvent::MouseMove, 200); // inside the block
    mouse(&view, QEvent::MouseMove, 400); // past it
    mouse(&view, QEvent::MouseButtonRelease, 400);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_NEAR(created[0]->startTime(), 10.167, 0.001);
    EXPECT_NEAR(created[0]->endTime(), 10.5, 0.001);
}

TEST_F(WaveFormViewTest, EdgeDragsKeepTheirLimits) {
    MQTimeUtility::sharedInstance().setFPS(25);
    layer.setNewOriginX(2700);
    const auto a = lineAt(10.0, 11.0); // x 300 to 600
    const auto b = lineAt(11.0, 11.8); // x 600 to 840
    document.lines = {a, b};
    announce();
    ASSERT_EQ(view.textLayerArray().size(), 2u);
    int endChanges = 0;
    ObserverGuard guard(NotificationCenter::defaultCenter().addObserver(
        WaveFormNotification::kDidChangeEndTimeCode, [&](const Notification&) { ++endChanges; }));

    // A one-point move of a left edge does nothing.
    drag(blockFor(a), 302, 303);
    EXPECT_DOUBLE_EQ(a->startTime(), 10.0);

    // Dragging the right edge left stops when the subtitle is half a second long.
    drag(blockFor(a), 595, 300);
    EXPECT_NEAR(a->endTime(), 10.5, 0.001);
    EXPECT_GT(endChanges, 0);
    QApplication::processEvents(); // blocks are re-placed after the change

    // Back to the right, into B: B's start is pushed along while the edges touch, and A stops
    // ten frames before B's end.
    a->setEndTime(11.0);
    QApplication::processEvents();
    drag(blockFor(a), 598, 800);
    EXPECT_NEAR(a->endTime(), 11.8 - 10.0 / 25, 0.001);
    EXPECT_GT(b->startTime(), 11.1);
    EXPECT_NEAR(b->endTime(), 11.8, 1e-6);
    // The dragged subtitle is replayed at normal speed afterwards.
    EXPECT_EQ(player.repeatSubtitle(), a);
    EXPECT_EQ(player.currentPlayRate(), 1.0);
    player.stopRepeatPlaySubtitle();
}

TEST_F(WaveFormViewTest, LeftEdgeStopsTenFramesAfterThePreviousStart) {
    MQTimeUtility::sharedInstance().setFPS(25);
    layer.setNewOriginX(2700);
    const auto a = lineAt(9.2, 9.6);
    const auto b = lineAt(10.0, 11.0); // left edge at x 300
    document.lines = {a, b};
    announce();
    drag(blockFor(b), 303, 0);
    EXPECT_NEAR(b->startTime(), 9.2 + 0.4, 0.001);
    player.stopRepeatPlaySubtitle();
}

TEST_F(WaveFormViewTest, ClicksAndInPlaceEditing) {
    layer.setNewOriginX(2700);
    const auto a = lineAt(10.0, 11.0); // x 300 to 600
    document.lines = {a};
    announce();
    std::vector<QString> posted;
    QString editedText;
    SubtitleLinePtr editedLine;
    auto& center = NotificationCenter::defaultCenter();
    ObserverGuard highlight(
        center.addObserver(WaveFormNotification::kHighlightSubtitleText, [&](const Notification&) {
            posted.push_back(QStringLiteral("highlight"));
        }));
    ObserverGuard update(center.addObserver(
        WaveFormNotification::kUpdateSubtitleTextViewText, [&](const Notification& n) {
            editedText = n.object.toString();
            editedLine = n.userInfo.value(QStringLiteral("subtitle")).value<SubtitleLinePtr>();
        }));

    // A click inside the block (away from its edges) asks the editor to highlight the line.
    mouse(blockFor(a), QEvent::MouseButtonPress, 450);
    mouse(blockFor(a), QEvent::MouseButtonRelease, 450);
    EXPECT_EQ(posted, std::vector<QString>{QStringLiteral("highlight")});

    // A double click edits the text in place; the editor hears of it 0.3 s after the last key.
    mouse(blockFor(a), QEvent::MouseButtonDblClick, 450);
    ASSERT_TRUE(view.isWaveFormEditing());
    view.editSubtitleTextView()->setPlainText(QStringLiteral("new words"));
    EXPECT_TRUE(editedText.isEmpty());
    ASSERT_TRUE(mediafixtures::waitFor([&] { return !editedText.isEmpty(); }, 2000));
    EXPECT_EQ(editedText, QStringLiteral("new words"));
    EXPECT_EQ(editedLine, a);
    player.stopRepeatPlaySubtitle();
}

TEST_F(WaveFormViewTest, DeletedLinesLeaveTheStrip) {
    layer.setNewOriginX(2700);
    const auto a = lineAt(10.0, 11.0);
    document.lines = {a};
    announce();
    ASSERT_NE(blockFor(a), nullptr);
    NotificationCenter::defaultCenter().post(WaveFormNotification::kDeleteSubtitleLineFromWaveForm,
                                             QVariant::fromValue(a),
                                             {{QStringLiteral("index"), 0}});
    EXPECT_EQ(blockFor(a), nullptr);
}

} // namespace
