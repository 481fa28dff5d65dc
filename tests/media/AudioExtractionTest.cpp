#include "MediaFixtures.h"

#include "media/EnvelopeExtraction.h"
#include "media/MovieAudioExtractor.h"
#include "media/MovieProbe.h"
#include "media/WaveformEnvelopeCache.h"
#include "platform/NotificationCenter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

using mediafixtures::fixtures;

#define REQUIRE_FIXTURE(path)                                                                      \
    do {                                                                                           \
        if ((path).isEmpty())                                                                      \
            GTEST_SKIP() << "ffmpeg could not make the fixture";                                   \
    } while (0)

std::shared_ptr<WaveformAudioDataStore> storeFor(const MovieInfo& info, unsigned track) {
    AudioStreamDescription source = info.audioTracks.at(track).description;
    AudioStreamDescription target = source;
    target.sampleRate = WaveformAudioDataStore::kEnvelopeRate;
    auto store = std::make_shared<WaveformAudioDataStore>(source, target, info.duration);
    store->setTrackNumber(track);
    return store;
}

// The envelope of a track decoded by `segments` decoders, which must all have been used
// unless `decoders` says otherwise.
std::vector<std::vector<uint8_t>> envelope(const QString& path, unsigned track, int segments,
                                           int decoders = 0) {
    const MovieInfo info = probeMovie(path);
    auto store = storeFor(info, track);
    ExtractionControl control;
    EXPECT_EQ(extractTrackEnvelope(path, track, *store, control, segments),
              ExtractionResult::Complete);
    // A quiet fall-back to one pass would prove nothing.
    EXPECT_EQ(control.decodersUsed.load(), decoders > 0 ? decoders : segments)
        << path.toStdString();
    std::vector<std::vector<uint8_t>> channels;
    for (uint32_t c = 0; c < store->channelCount(); ++c) {
        channels.push_back(store->channelData(c));
    }
    return channels;
}

class ScopedCacheDirectory {
public:
    ScopedCacheDirectory() { WaveformEnvelopeCache::setDirectory(dir_.path()); }
    ~ScopedCacheDirectory() {
        // A worker that had just finished may still be writing into the folder.
        MovieAudioExtractor::waitForRunningExtractions(10000);
        WaveformEnvelopeCache::setDirectory({});
    }

private:
    QTemporaryDir dir_;
};

TEST(MovieProbe, TracksRatesAndDurations) {
    const auto& f = fixtures();
    REQUIRE_FIXTURE(f.twoTrackAac);
    const MovieInfo two = probeMovie(f.twoTrackAac);
    ASSERT_TRUE(two.opened);
    ASSERT_EQ(two.audioTracks.size(), 2u);
    EXPECT_EQ(two.audioTracks[1].description.sampleRate, 48000);
    EXPECT_EQ(two.audioTracks[1].description.channelCount, 2u);
    EXPECT_TRUE(two.hasVideo);
    EXPECT_DOUBLE_EQ(editorFrameRateForMovie(two), 25.0);

    const MovieInfo audioOnly = probeMovie(f.audioOnlyAac);
    EXPECT_FALSE(audioOnly.hasVideo);
    EXPECT_DOUBLE_EQ(editorFrameRateForMovie(audioOnly), 30.0);

    EXPECT_DOUBLE_EQ(editorFrameRateForMovie(probeMovie(f.ntscMovie)), 29.97);
    EXPECT_DOUBLE_EQ(probeMovie(f.wav10s).duration, 10.0);
    EXPECT_NEAR(probeMovie(f.wav10_04s).duration, 10.04, 1e-6);

    EXPECT_FALSE(probeMovie(QStringLiteral("/nonexistent/movie.mov")).opened);
}

TEST(MovieProbe, NtscRatesAsTheEditorWritesThem) {
    EXPECT_DOUBLE_EQ(editorFrameRate(24000, 1001), 23.976);
    EXPECT_DOUBLE_EQ(editorFrameRate(30000, 1001), 29.97);
    EXPECT_DOUBLE_EQ(editorFrameRate(60000, 1001), 59.94);
    EXPECT_DOUBLE_EQ(editorFrameRate(25, 1), 25.0);
    EXPECT_DOUBLE_EQ(editorFrameRate(0, 0), 0.0);
}

TEST(AudioExtraction, KnownLevelsAndLengths) {
    const auto& f = fixtures();
    REQUIRE_FIXTURE(f.monoWav44k);
    const auto mono = envelope(f.monoWav44k, 0, 1);
    ASSERT_EQ(mono.size(), 1u);
    ASSERT_EQ(mono[0].size(), 1200u);
    EXPECT_EQ(mono[0][0], 100);
    EXPECT_EQ(mono[0][598], 100);
    EXPECT_EQ(mono[0][601], 0);
    EXPECT_EQ(mono[0][1100], 0);

    const auto stereo = envelope(f.stereoWav48k, 0, 1);
    ASSERT_EQ(stereo.size(), 2u);
    ASSERT_EQ(stereo[0].size(), 900u);
    EXPECT_EQ(stereo[0][450], 100);
    EXPECT_EQ(stereo[1][450], 50);
    // The track's last block is carried over and never written.
    EXPECT_EQ(stereo[0][898], 100);
    EXPECT_EQ(stereo[0][899], 0);
}

TEST(AudioExtraction, SegmentsGiveTheBytesOfOnePass) {
    const auto& f = fixtures();
    REQUIRE_FIXTURE(f.twoTrackAac);
    for (const QString& path :
         {f.twoTrackAac, f.longAac, f.longMp3, f.longAc3, f.stereoWav48k, f.monoWav44k}) {
        ASSERT_FALSE(path.isEmpty());
        for (unsigned track = 0; track < probeMovie(path).audioTracks.size(); ++track) {
            const auto onePass = envelope(path, track, 1);
            for (int segments : {2, 3}) {
                const auto parallel = envelope(path, track, segments);
                ASSERT_EQ(parallel.size(), onePass.size());
                for (size_t c = 0; c < onePass.size(); ++c) {
                    const auto mismatch = std::mismatch(onePass[c].begin(), onePass[c].end(),
                                                        parallel[c].begin(), parallel[c].end());
                    EXPECT_TRUE(mismatch.first == onePass[c].end())
                        << path.toStdString() << " track " << track << " segments " << segments
                        << " channel " << c << " differs at "
                        << (mismatch.first - onePass[c].begin()) << " of " << onePass[c].size();
                }
            }
        }
    }
}

TEST(AudioExtraction, TimeStampsThatCannotPlaceChunksFallBackToOnePass) {
    const auto& f = fixtures();
    REQUIRE_FIXTURE(f.splicedTs);
    EXPECT_EQ(envelope(f.splicedTs, 0, 2, 1), envelope(f.splicedTs, 0, 1));
}

TEST(AudioExtraction, StoppingSideBySideDecodersEndsThemAll) {
    const auto& f = fixtures();
    REQUIRE_FIXTURE(f.longAac);
    for (int decoders : {2, 3}) {
        auto store = storeFor(probeMovie(f.longAac), 0);
        ExtractionControl control;
        ExtractionResult result = ExtractionResult::Complete;
        std::thread run(
            [&] { result = extractTrackEnvelope(f.longAac, 0, *store, control, decoders); });
        while (control.decodedFrames.load() == 0) {
            std::this_thread::yield();
        }
        control.stop.store(true);
        run.join();
        EXPECT_EQ(result, ExtractionResult::Stopped) << decoders;
    }
}

TEST(AudioExtraction, MissingTrackFails) {
    const auto& f = fixtures();
    REQUIRE_FIXTURE(f.monoWav44k);
    const MovieInfo info = probeMovie(f.monoWav44k);
    auto store = storeFor(info, 0);
    ExtractionControl control;
    EXPECT_EQ(extractTrackEnvelope(f.monoWav44k, 3, *store, control), ExtractionResult::Failed);
}

TEST(MovieAudioExtractor, OneCompletionPerTrackThenFromTheCache) {
    const auto& f = fixtures();
    REQUIRE_FIXTURE(f.twoTrackAac);
    ScopedCacheDirectory cache;
    const MovieInfo info = probeMovie(f.twoTrackAac);
    int finishedNotifications = 0;
    ObserverGuard guard(NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(MovieAudioExtractor::kLoadWaveFormFinishedNotification),
        [&](const Notification&) { ++finishedNotifications; }));

    std::vector<std::vector<uint8_t>> decoded;
    {
        MovieAudioExtractor first, second;
        std::vector<double> progress;
        QObject::connect(&first, &MovieAudioExtractor::progressChanged,
                         [&](double value) { progress.push_back(value); });
        first.setExtractTrackNumber(0);
        second.setExtractTrackNumber(1);
        first.DoStartMovieAudioExtraction(f.twoTrackAac, info);
        second.DoStartMovieAudioExtraction(f.twoTrackAac, info);
        ASSERT_TRUE(first.mDataStore());
        EXPECT_EQ(first.mDataStore()->mTotalLength(), static_cast<uint32_t>(info.duration * 300));
        ASSERT_TRUE(
            mediafixtures::waitFor([&] { return first.isFinished() && second.isFinished(); }));
        mediafixtures::waitFor([] { return false; }, 100); // no late second notification
        EXPECT_EQ(finishedNotifications, 2);
        EXPECT_TRUE(first.mDataStore()->isLoadComplete());
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.back(), 200);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        decoded.push_back(first.mDataStore()->channelData(0));
        EXPECT_NE(std::count(decoded[0].begin(), decoded[0].end(), 0),
                  static_cast<long>(decoded[0].size()));
    }

    MovieAudioExtractor again;
    again.DoStartMovieAudioExtraction(f.twoTrackAac, info);
    ASSERT_TRUE(mediafixtures::waitFor([&] { return again.isFinished(); }));
    EXPECT_TRUE(again.isLoadedFromCache());
    EXPECT_EQ(again.mDataStore()->channelData(0), decoded[0]);
    EXPECT_EQ(finishedNotifications, 3);
}

TEST(MovieAudioExtractor, StoppedExtractionReportsNothing) {
    const auto& f = fixtures();
    REQUIRE_FIXTURE(f.twoTrackAac);
    ScopedCacheDirectory cache;
    int finishedNotifications = 0;
    ObserverGuard guard(NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(MovieAudioExtractor::kLoadWaveFormFinishedNotification),
        [&](const Notification&) { ++finishedNotifications; }));
    MovieAudioExtractor extractor;
    extractor.DoStartMovieAudioExtraction(f.twoTrackAac, probeMovie(f.twoTrackAac));
    extractor.stopExtracting();
    EXPECT_TRUE(MovieAudioExtractor::waitForRunningExtractions(5000));
    mediafixtures::waitFor([] { return false; }, 200);
    EXPECT_FALSE(extractor.isFinished());
    EXPECT_EQ(finishedNotifications, 0);
    EXPECT_FALSE(extractor.mDataStore()->isLoadComplete());
}

} // namespace
