#include "media/WaveformAudioDataStore.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

WaveformAudioDataStore makeStore(double rate, uint32_t channels, double seconds) {
    AudioStreamDescription source{rate, channels, 32};
    AudioStreamDescription target = source;
    target.sampleRate = WaveformAudioDataStore::kEnvelopeRate;
    return WaveformAudioDataStore(source, target, seconds);
}

// A mono signal whose block k (of `blockSize` frames) holds the level (k % 50 + 1) / 100.
std::vector<float> steppedSignal(uint32_t frames, uint32_t blockSize) {
    std::vector<float> samples(frames);
    for (uint32_t i = 0; i < frames; ++i) {
        samples[i] = static_cast<float>((i / blockSize) % 50 + 1) / 100.0f;
    }
    return samples;
}

void feed(WaveformAudioDataStore& store, const std::vector<float>& samples,
          const std::vector<uint32_t>& chunkSizes) {
    uint32_t offset = 0;
    for (uint32_t size : chunkSizes) {
        const float* channel = samples.data() + offset;
        store.addSamples(&channel, size);
        offset += size;
    }
}

TEST(WaveformAudioDataStore, EnvelopeValueOfSamples) {
    struct Case {
        std::vector<float> samples;
        uint8_t preferred;
        uint8_t expected;
    };
    const std::vector<Case> cases = {
        {{1.0f}, 0, 200},
        {{1.3f}, 0, 255},
        {{-0.5f}, 0, 100},
        {{0.0f}, 0, 0},
        {{0.1f, -0.6f, 0.3f}, 0, 120},
        {{0.1f}, 150, 150},
        {{5.0f, 0.2f}, 0, 255},
        {{}, 77, 77},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WaveformAudioDataStore::calcSamepleFromDataBlock(
                      c.samples.data(), static_cast<uint32_t>(c.samples.size()), c.preferred),
                  c.expected);
    }
}

TEST(WaveformAudioDataStore, LengthsFromTheSourceRate) {
    EXPECT_EQ(makeStore(44100, 2, 10).mDataBlockSize(), 147);
    EXPECT_EQ(makeStore(48000, 2, 10).mDataBlockSize(), 160);
    const auto ninetyMinutes = makeStore(48000, 2, 5400);
    EXPECT_EQ(ninetyMinutes.mTotalLength(), 1620000u);
    EXPECT_EQ(makeStore(48000, 1, 10.04).mTotalLength(), 3012u);
    EXPECT_EQ(makeStore(48000, 1, -1).mTotalLength(), 0u);
}

TEST(WaveformAudioDataStore, FirstChunkCarriesItsUnfinishedBlock) {
    auto store = makeStore(44100, 1, 10);
    const std::vector<float> samples = steppedSignal(2000, 147);
    feed(store, samples, {1000});
    // Blocks start at 0, 147, 294, 441, 588 and 735; the 118 frames from 882 wait.
    EXPECT_EQ(store.mCurrentWriteDataIndex(), 6u);
    EXPECT_EQ(store.mRemaingSampleNum(), 118u);
    for (uint32_t k = 0; k < 6; ++k) {
        EXPECT_EQ(store.getData(0, k), (k % 50 + 1) * 2) << k;
    }
    EXPECT_EQ(store.getData(0, 6), 0);

    feed(store, std::vector<float>(samples.begin() + 1000, samples.end()), {1000});
    // The next chunk first completes block 6 with 29 frames.
    EXPECT_EQ(store.getData(0, 6), 14);
    EXPECT_EQ(store.mCurrentWriteDataIndex(), 13u);
}

TEST(WaveformAudioDataStore, BlockEndingWithTheChunkIsWrittenByTheNext) {
    auto store = makeStore(48000, 1, 10);
    const std::vector<float> samples = steppedSignal(330, 160);
    feed(store, samples, {320});
    EXPECT_EQ(store.mCurrentWriteDataIndex(), 1u);
    EXPECT_EQ(store.mRemaingSampleNum(), 160u);
    EXPECT_EQ(store.getData(0, 1), 0);
    feed(store, std::vector<float>(samples.begin() + 320, samples.end()), {10});
    EXPECT_EQ(store.getData(0, 1), 4);
    EXPECT_EQ(store.mCurrentWriteDataIndex(), 2u);
}

// Chunk sizes must not change the envelope: small chunks that do not even finish the pending
// block, a chunk that ends exactly with it, exact block multiples and odd sizes all give the
// blocks of one large chunk.
TEST(WaveformAudioDataStore, ChunkingDoesNotChangeTheEnvelope) {
    const uint32_t frames = 44100;
    const std::vector<float> samples = steppedSignal(frames, 147);
    auto reference = makeStore(44100, 1, 1);
    feed(reference, samples, {frames});

    const std::vector<std::vector<uint32_t>> chunkings = {
        {1000, 10, 5, 200, frames - 1215},
        {1000, 29, frames - 1029},
        {147, 147, 294, frames - 588},
        {1, 1, 1, 1, frames - 4},
        {4096, 4096, 4096, 4096, 4096, 4096, 4096, 4096, 4096, 4096, frames - 40960},
    };
    for (const auto& chunks : chunkings) {
        auto store = makeStore(44100, 1, 1);
        feed(store, samples, chunks);
        // The last block of a track is never written, whatever the chunk that ends it.
        EXPECT_EQ(store.getData(0, reference.mTotalLength() - 1), 0);
        for (uint32_t k = 0; k < reference.mTotalLength(); ++k) {
            ASSERT_EQ(store.getData(0, k), reference.getData(0, k)) << "block " << k;
        }
    }
}

TEST(WaveformAudioDataStore, ReadsOutsideTheEnvelopeAreZero) {
    auto store = makeStore(48000, 2, 1);
    std::vector<float> left(48000, 0.5f), right(48000, 0.25f);
    const float* channels[] = {left.data(), right.data()};
    store.addSamples(channels, 48000);
    EXPECT_EQ(store.getData(0, 10), 100);
    EXPECT_EQ(store.getData(1, 10), 50);
    EXPECT_EQ(store.getAveragedChannelData(10), 75);
    EXPECT_EQ(store.getData(2, 10), 0);
    EXPECT_EQ(store.getData(0, 300), 0);
    EXPECT_EQ(store.getAveragedChannelData(300), 0);

    // Audio longer than the length is dropped.
    store.addSamples(channels, 48000);
    EXPECT_EQ(store.getData(0, 299), 100);
}

TEST(WaveformAudioDataStore, ZeroRateStoreIgnoresSamples) {
    auto store = makeStore(0, 1, 10);
    EXPECT_EQ(store.mDataBlockSize(), 0);
    const float sample = 1.0f;
    const float* channel = &sample;
    store.addSamples(&channel, 1);
    EXPECT_EQ(store.mCurrentWriteDataIndex(), 0u);
}

} // namespace
