#include "MediaFixtures.h"

#include "media/WaveformEnvelopeCache.h"
#include "media/views/MQMediaPane.h"
#include "model/MQTimeUtility.h"
#include "platform/NotificationCenter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using mediafixtures::fixtures;

class MediaPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (fixtures().twoTrackAac.isEmpty() || fixtures().movie12s.isEmpty()) {
            GTEST_SKIP() << "ffmpeg could not make the fixtures";
        }
        WaveformEnvelopeCache::setDirectory(cache.path());
    }
    void TearDown() override {
        // The pane goes first, so that no worker writes into the cache folder being dropped.
        panePtr.reset();
        EXPECT_TRUE(MovieAudioExtractor::waitForRunningExtractions(10000));
        WaveformEnvelopeCache::setDirectory({});
    }

    QTemporaryDir cache;
    std::unique_ptr<MQMediaPane> panePtr = std::make_unique<MQMediaPane>(
        MQMoviePlayerViewController::Options{false, QStringLiteral("null")}, nullptr);
    MQMediaPane& pane = *panePtr;
};

TEST_F(MediaPaneTest, OneExtractorPerTrackFeedingOneLayer) {
    int finished = 0;
    ObserverGuard guard(NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(MovieAudioExtractor::kLoadWaveFormFinishedNotification),
        [&](const Notification&) { ++finished; }));
    int loaded = 0;
    QObject::connect(&pane, &MQMediaPane::movieLoaded, [&] { ++loaded; });
    ASSERT_TRUE(pane.openMovie(fixtures().twoTrackAac));
    EXPECT_EQ(loaded, 1);
    ASSERT_EQ(pane.extractors().size(), 2u);
    EXPECT_EQ(pane.waveformLayer()->getDataStoreArray().size(), 2u);
    EXPECT_EQ(pane.waveformLayer()->displayStyle(), 1);
    EXPECT_EQ(pane.waveFormView()->waveFormLayer(), pane.waveformLayer());
    ASSERT_TRUE(mediafixtures::waitFor([&] { return finished == 2; }));
    mediafixtures::waitFor([] { return false; }, 100);
    EXPECT_EQ(finished, 2);
}

TEST_F(MediaPaneTest, AnotherMovieStopsTheRunningExtraction) {
    ASSERT_TRUE(pane.openMovie(fixtures().twoTrackAac));
    const auto oldStore = pane.extractors().at(0)->mDataStore();
    WaveformLayer* oldLayer = pane.waveformLayer();
    ASSERT_TRUE(pane.openMovie(fixtures().movie12s));
    EXPECT_NE(pane.waveformLayer(), oldLayer);
    EXPECT_EQ(pane.extractors().size(), 1u);
    EXPECT_TRUE(MovieAudioExtractor::waitForRunningExtractions(10000));
    EXPECT_FALSE(oldStore->isLoadComplete());
    EXPECT_DOUBLE_EQ(MQTimeUtility::sharedInstance().getFPS(), 25.0);
}

} // namespace
