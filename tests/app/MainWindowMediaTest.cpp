#include "AppFixture.h"
#include "MediaFixtures.h"

#include "app/MQProjectFile.h"
#include "media/WaveformEnvelopeCache.h"
#include "media/views/MQMediaPane.h"
#include "media/views/MpvPlayer.h"
#include "model/MQSetting.h"

#include <QComboBox>
#include <QSlider>
#include <QToolButton>

namespace {

using mediafixtures::fixtures;
using mediafixtures::waitFor;

// At 30 fps frame 12 is 0.4 s; at the movie's 25 fps it is 0.48 s.
const QString kTimedText = QStringLiteral("[00:00:01.12]One[00:00:02.00]\n"
                                          "[00:00:05.00]Two[00:00:06.00]\n"
                                          "Untimed");

class MainWindowMediaTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (fixtures().movie12s.isEmpty()) {
            GTEST_SKIP() << "ffmpeg could not make the fixtures";
        }
        WaveformEnvelopeCache::setDirectory(cache_.path());
    }
    void TearDown() override {
        AppTest::TearDown();
        WaveformEnvelopeCache::setDirectory({});
    }

    // The window at 30 fps, its selector showing it, before any movie.
    MQMainWindowController& windowAt30() {
        MQMainWindowController& w = window();
        MQTimeUtility::sharedInstance().setFPS(30);
        w.initToolBarItems();
        return w;
    }
    MQMoviePlayerViewController* player() { return window().mediaPane()->player(); }
    bool waitUntilPlayable() {
        return waitFor([&] { return player()->mpvPlayer()->isFileLoaded(); });
    }
    QString writeProject(const QString& name, const QString& movie, const QString& text) {
        MQProjectFile project;
        project.moviePath = movie;
        project.subtitleText = text;
        const QString file = path(name);
        EXPECT_TRUE(project.writeToUrl(file));
        return file;
    }

    QTemporaryDir cache_;
};

TEST_F(MainWindowMediaTest, DroppedMovieSetsItsFrameRateAndStartsItsWaveform) {
    MQMainWindowController& w = windowAt30();
    ASSERT_EQ(w.frameRateSelector()->currentText(), QStringLiteral("30"));
    w.didDragFileIntoView(fixtures().movie12s);
    EXPECT_TRUE(prompts_.asked().empty());
    EXPECT_DOUBLE_EQ(MQTimeUtility::sharedInstance().getFPS(), 25.0);
    EXPECT_EQ(w.frameRateSelector()->currentText(), QStringLiteral("25"));
    EXPECT_EQ(w.moviePath(), fixtures().movie12s);
    ASSERT_NE(w.moviePlayerControl(), nullptr);
    EXPECT_TRUE(w.moviePlayerControl()->hasMovie());
    EXPECT_EQ(w.moviePlayerControl(), static_cast<MoviePlayerControl*>(player()));
    EXPECT_EQ(w.mediaPane()->extractors().size(), 1u);
    EXPECT_EQ(w.mediaPane()->waveformLayer()->getDataStoreArray().size(), 1u);
    EXPECT_TRUE(MovieAudioExtractor::waitForRunningExtractions(20000));
}

TEST_F(MainWindowMediaTest, MissingMovieIsRefusedAndTheCurrentOneStays) {
    MQMainWindowController& w = window();
    w.openMovie(fixtures().movie12s);
    w.openMovie(path(QStringLiteral("gone.mov")));
    ASSERT_EQ(prompts_.asked().size(), 1u);
    EXPECT_EQ(prompts_.asked()[0].message, QStringLiteral("Can not load movie file"));
    EXPECT_EQ(w.moviePath(), fixtures().movie12s);
    EXPECT_TRUE(player()->hasMovie());
}

TEST_F(MainWindowMediaTest, OpeningAMovieDoesNotMarkUnsavedWorkAsSaved) {
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kTimedText);
    ASSERT_FALSE(w.isSaved());
    w.openMovie(fixtures().movie12s);
    EXPECT_FALSE(w.isSaved());
}

TEST_F(MainWindowMediaTest, ProjectMovieOpensAndItsLinesAreTimedAtTheMovieRate) {
    const QString file = writeProject(QStringLiteral("p.mqp"), fixtures().movie12s, kTimedText);
    MQMainWindowController& w = windowAt30();
    w.resize(1440, 860);
    w.show();
    w.openMarqueeDocAtFile(file);
    EXPECT_TRUE(prompts_.asked().empty());
    EXPECT_EQ(w.moviePath(), fixtures().movie12s);
    EXPECT_TRUE(player()->hasMovie());
    EXPECT_TRUE(w.isSaved());
    EXPECT_EQ(w.frameRateSelector()->currentText(), QStringLiteral("25"));

    const SubtitleLineList& lines = w.subtitleTextModel().getAllSubtitles();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NEAR(lines[0]->startTime(), 1.48, 1e-4);
    // Both timed lines lie in the visible window and get blocks carrying the current lines.
    MQWaveFormView* waveform = w.mediaPane()->waveFormView();
    ASSERT_TRUE(waitFor([&] { return waveform->textLayerArray().size() == 2; }));
    EXPECT_EQ(waveform->textLayerArray()[0]->subtitleLine(), lines[0]);
    EXPECT_EQ(waveform->textLayerArray()[1]->subtitleLine(), lines[1]);
    EXPECT_TRUE(MovieAudioExtractor::waitForRunningExtractions(20000));
}

TEST_F(MainWindowMediaTest, OverlayAndNextSubtitleFollowThePlayPosition) {
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kTimedText);
    w.openMovie(fixtures().movie12s);
    ASSERT_TRUE(waitUntilPlayable());
    QLabel* next = w.mediaPane()->waveFormView()->nextSubtitleDisplayView();
    struct Case {
        double seconds;
        const char* overlay;
        const char* next;
    };
    const Case cases[] = {
        {1.6, "One", "One"},
        {3.0, "", "Two"}, // between lines: nothing shown, the next line announced
        {5.5, "Two", "Two"},
        {7.0, "", "Untimed"}, // a line without an end is the next one to time
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        player()->setCurrentTime(c.seconds);
        EXPECT_TRUE(waitFor(
            [&] {
                return player()->subtitleLayerText() == QLatin1String(c.overlay) &&
                       next->text() == QLatin1String(c.next);
            },
            5000))
            << qPrintable(player()->subtitleLayerText()) << " | " << qPrintable(next->text());
    }
    // Editing the shown line's text shows the new text at once.
    player()->setCurrentTime(5.5);
    ASSERT_TRUE(waitFor([&] { return player()->subtitleLayerText() == QLatin1String("Two"); }));
    w.replaceTextInTextView(
        QString(kTimedText).replace(QStringLiteral("Two"), QStringLiteral("2")));
    EXPECT_TRUE(waitFor([&] { return player()->subtitleLayerText() == QLatin1String("2"); }));
}

TEST_F(MainWindowMediaTest, NewAndOpeningAProjectWithoutMovieCloseTheMovie) {
    const QString withoutMovie = writeProject(QStringLiteral("b.mqp"), {}, kTimedText);
    struct Case {
        const char* name;
        std::function<void(MQMainWindowController&)> close;
    };
    const Case cases[] = {
        {"New",
         [&](MQMainWindowController& w) {
             prompts_.answer(QStringLiteral("Don't Save and New File"));
             w.newMarqueeDoc();
         }},
        {"Open", [&](MQMainWindowController& w) { w.openMarqueeDocAtFile(withoutMovie); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reopenWindow();
        MQMainWindowController& w = window();
        w.openMovie(fixtures().movie12s);
        ASSERT_TRUE(player()->hasMovie());
        c.close(w);
        EXPECT_FALSE(w.moviePlayerControl()->hasMovie());
        EXPECT_TRUE(w.moviePath().isEmpty());
        EXPECT_TRUE(w.mediaPane()->extractors().empty());
        EXPECT_TRUE(w.mediaPane()->waveformLayer()->getDataStoreArray().empty());
        EXPECT_TRUE(player()->subtitleLayerText().isEmpty());
    }
    // The project opened last does not take the closed movie with it when saved.
    ASSERT_TRUE(window().saveMarqueeDoc());
    EXPECT_TRUE(MQProjectFile::initWithFilePath(withoutMovie).moviePath.isEmpty());
}

TEST_F(MainWindowMediaTest, WaveformButtonsActOnTheCurrentWaveform) {
    MQMainWindowController& w = window();
    w.openMovie(fixtures().movie12s);
    QWidget* pane = w.findChild<QWidget*>(QStringLiteral("waveformPane"));
    ASSERT_NE(pane, nullptr);
    const auto button = [&](const QString& text) -> QToolButton* {
        for (QToolButton* b : pane->findChildren<QToolButton*>()) {
            if (b->text() == text) {
                return b;
            }
        }
        ADD_FAILURE() << "no button " << qPrintable(text);
        return nullptr;
    };
    WaveformLayer* layer = w.mediaPane()->waveformLayer();
    for (const auto& [title, style] : {std::pair{"R", 2}, {"L+R", 0}, {"L", 1}}) {
        button(QString::fromLatin1(title))->click();
        EXPECT_EQ(layer->displayStyle(), style) << title;
    }

    QSlider* zoom = w.waveFormZoomSlider();
    zoom->setValue(50);
    button(QStringLiteral("+"))->click();
    EXPECT_DOUBLE_EQ(layer->zoomRate(), 0.51);
    button(QStringLiteral("-"))->click();
    button(QStringLiteral("-"))->click();
    EXPECT_DOUBLE_EQ(layer->zoomRate(), 0.49);
    EXPECT_FLOAT_EQ(MQSetting::shareInstance().waveFormZoomRate(), 0.49f);

    button(QStringLiteral("3x"))->click();
    EXPECT_EQ(w.mediaPane()->waveFormView()->dragPlayRate(), 3);
    EXPECT_EQ(MQSetting::shareInstance().dragPlayRate(), 3);
}

} // namespace
