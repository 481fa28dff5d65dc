#include "media/WaveformAudioDataStore.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// Arbitrary samples cut into arbitrary chunks must give the envelope of one single chunk:
// the block carry-over may never read past a chunk or drop a value.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    static const double rates[] = {8000, 11025, 22050, 44100, 48000, 96000, 300, 301};
    const double rate = rates[data[0] % 8];
    const uint32_t channels = 1 + data[1] % 3;
    const size_t chunkBytes = data[2] % 16;
    data += 3;
    size -= 3;
    const size_t chunkCount = std::min(chunkBytes, size);
    std::vector<uint32_t> chunks(data, data + chunkCount);
    data += chunkCount;
    size -= chunkCount;

    const size_t frames = size / (sizeof(float) * channels);
    std::vector<std::vector<float>> samples(channels, std::vector<float>(frames));
    for (size_t f = 0; f < frames; ++f) {
        for (uint32_t c = 0; c < channels; ++c) {
            std::memcpy(&samples[c][f], data + (f * channels + c) * sizeof(float), sizeof(float));
        }
    }
    AudioStreamDescription source{rate, channels, 32};
    AudioStreamDescription target = source;
    target.sampleRate = WaveformAudioDataStore::kEnvelopeRate;
    const double seconds = static_cast<double>(frames) / rate;
    WaveformAudioDataStore whole(source, target, seconds);
    WaveformAudioDataStore pieces(source, target, seconds);

    std::vector<const float*> pointers(channels);
    auto feed = [&](WaveformAudioDataStore& store, size_t from, size_t count) {
        for (uint32_t c = 0; c < channels; ++c) {
            pointers[c] = samples[c].data() + from;
        }
        store.addSamples(pointers.data(), static_cast<uint32_t>(count));
    };
    feed(whole, 0, frames);
    size_t offset = 0;
    for (size_t i = 0; offset < frames; ++i) {
        const size_t want = chunks.empty() ? frames : chunks[i % chunks.size()] * 7 + 1;
        const size_t count = std::min(want, frames - offset);
        feed(pieces, offset, count);
        offset += count;
    }
    for (uint32_t c = 0; c < channels; ++c) {
        if (whole.channelData(c) != pieces.channelData(c)) {
            std::abort();
        }
    }
    return 0;
}
