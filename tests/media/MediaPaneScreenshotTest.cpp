#include "MediaFixtures.h"

#include "editor/SubtitleTextModel.h"
#include "media/views/MQMediaPane.h"
#include "media/views/MpvPlayer.h"
#include "platform/NotificationCenter.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>

#include <gtest/gtest.h>

namespace {

// The editor's answers, from the sample's editor text.
class SampleDocument : public MoviePlayerDelegate, public MQWaveFormViewDelegate {
public:
    SubtitleLineList lines;

    SubtitleLinePtr moviePlayerDisplaySubtitleAtTime(double seconds) override {
        for (const auto& line : lines) {
            if (line->isValid() && line->isTimeInTimeRange(seconds)) {
                return line;
            }
        }
        return nullptr;
    }
    SubtitleLineList subtitleForStartTime(double start, double end) override {
        SubtitleLineList found;
        for (const auto& line : lines) {
            if (line->isValid() && line->endTime() >= start && line->startTime() <= end) {
                found.push_back(line);
            }
        }
        return found;
    }
    SubtitleLinePtr previousSubtitleLineForLine(const SubtitleLinePtr&) override { return {}; }
    SubtitleLinePtr nextSubtitleLineForLine(const SubtitleLinePtr&) override { return {}; }
};

// Run by hand under a display (xvfb-run) with --gtest_also_run_disabled_tests: plays the
// sample movie and saves a picture of the pane to build/screenshots/media-pane.png.
TEST(MediaPaneScreenshot, DISABLED_SampleMoviePlaying) {
    const QString build = qEnvironmentVariable("MARQUEE_BUILD_DIR");
    const QString movie = build + QStringLiteral("/sample/Sample.mp4");
    QFile textFile(build + QStringLiteral("/sample/Sample.txt"));
    if (!QFile::exists(movie) || !textFile.open(QIODevice::ReadOnly)) {
        GTEST_SKIP() << "no sample movie in the build folder";
    }
    SubtitleTextModel model;
    SampleDocument document;
    document.lines = model.createSubtitleLinesFromText(QString::fromUtf8(textFile.readAll()));

    MQMediaPane pane;
    pane.player()->setDelegate(&document);
    pane.waveFormView()->setDelegate(&document);
    pane.resize(1100, 900);
    pane.show();
    ASSERT_TRUE(pane.openMovie(movie));
    for (size_t i = 0; i < document.lines.size(); ++i) {
        NotificationCenter::defaultCenter().post(
            QStringLiteral("kAddSubtitleLineToWaveFormNotification"),
            QVariant::fromValue(document.lines[i]), {{QStringLiteral("index"), int(i)}});
    }
    mediafixtures::waitFor(
        [&] { return pane.player()->hasMovie() && pane.player()->mpvPlayer()->isFileLoaded(); });
    pane.player()->setCurrentTime(8.5);
    pane.player()->play();
    mediafixtures::waitFor([] { return false; }, 2500);
    QDir().mkpath(build + QStringLiteral("/screenshots"));
    const QString out = build + QStringLiteral("/screenshots/media-pane.png");
    EXPECT_TRUE(pane.grab().save(out));
    pane.player()->pause();
    std::printf("screenshot: %s\n", qPrintable(out));
}

} // namespace
