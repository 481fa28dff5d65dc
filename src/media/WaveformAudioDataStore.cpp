#include "media/WaveformAudioDataStore.h"

#include <algorithm>
#include <cmath>

WaveformAudioDataStore::WaveformAudioDataStore(const AudioStreamDescription& source,
                                               const AudioStreamDescription& target,
                                               double lengthSeconds)
    : source_(source), target_(target), length_(lengthSeconds) {
    const double blockSize = target.sampleRate > 0 ? source.sampleRate / target.sampleRate : 0;
    blockSize_ = static_cast<uint16_t>(std::clamp(blockSize, 0.0, 65535.0));
    // The small allowance keeps 10.04 s at 3012 values although 10.04 × 300 is 3011.9999…
    const double total = lengthSeconds > 0 ? lengthSeconds * target.sampleRate + 1e-6 : 0;
    totalLength_ = static_cast<uint32_t>(std::clamp(total, 0.0, 4294967295.0));
    data_.assign(source.channelCount, std::vector<uint8_t>(totalLength_, 0));
    sequential_ = makeWriteState(0);
}

uint8_t WaveformAudioDataStore::calcSamepleFromDataBlock(const float* data, uint32_t count,
                                                         uint8_t preferred) {
    // The value only ever rises to a larger truncated amplitude, so it is the larger of the
    // preferred value and the truncated peak; the peak is found first, in independent lanes
    // the compiler can keep in vector registers. NaN samples never raise it.
    constexpr int kLanes = 8;
    float lanes[kLanes] = {};
    uint32_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        for (int lane = 0; lane < kLanes; ++lane) {
            const float amplitude = std::fabs(data[i + lane]);
            lanes[lane] = amplitude > lanes[lane] ? amplitude : lanes[lane];
        }
    }
    float peak = 0;
    for (; i < count; ++i) {
        const float amplitude = std::fabs(data[i]);
        peak = amplitude > peak ? amplitude : peak;
    }
    for (float lane : lanes) {
        peak = lane > peak ? lane : peak;
    }
    const float amplitude = peak * 200.0f;
    if (amplitude > static_cast<float>(preferred)) {
        return amplitude > 255.0f ? 255 : static_cast<uint8_t>(amplitude);
    }
    return preferred;
}

EnvelopeWriteState WaveformAudioDataStore::makeWriteState(uint32_t startIndex) const {
    EnvelopeWriteState state;
    state.writeIndex = startIndex;
    state.preferredRemainingSample.assign(source_.channelCount, 0);
    return state;
}

void WaveformAudioDataStore::writeValue(uint32_t channel, uint32_t index, uint8_t value) {
    if (index < totalLength_) {
        data_[channel][index] = value;
    }
}

void WaveformAudioDataStore::addSamples(const float* const* channels, uint32_t frameCount) {
    addSamples(sequential_, channels, frameCount);
}

void WaveformAudioDataStore::addSamples(EnvelopeWriteState& state, const float* const* channels,
                                        uint32_t frameCount) {
    const uint32_t blockSize = blockSize_;
    const uint32_t channelCount = source_.channelCount;
    if (blockSize == 0 || channelCount == 0 || frameCount == 0) {
        return;
    }
    // The values are worked out without the lock, so that decoders writing other parts of
    // the envelope do not wait for each other; the lock covers only copying them in.
    // Finished blocks are always the run that starts at the write index.
    const uint32_t firstIndex = state.writeIndex;
    const uint32_t maxBlocks = frameCount / blockSize + 1;
    thread_local std::vector<uint8_t> finished;
    finished.assign(static_cast<size_t>(maxBlocks) * channelCount, 0);
    uint32_t blocks = 0;
    uint32_t offset = 0;
    if (state.remainingSamples > 0) {
        const uint32_t missing = blockSize - std::min(state.remainingSamples, blockSize);
        if (frameCount <= missing) {
            // A chunk that does not go past the unfinished block only adds to it: reading
            // `missing` samples from a shorter chunk would run past its end, and a block that
            // ends with the chunk waits for the next one, as it does below.
            for (uint32_t c = 0; c < channelCount; ++c) {
                state.preferredRemainingSample[c] = calcSamepleFromDataBlock(
                    channels[c], frameCount, state.preferredRemainingSample[c]);
            }
            state.remainingSamples += frameCount;
            return;
        }
        for (uint32_t c = 0; c < channelCount; ++c) {
            finished[static_cast<size_t>(c) * maxBlocks] =
                calcSamepleFromDataBlock(channels[c], missing, state.preferredRemainingSample[c]);
        }
        blocks = 1;
        offset = missing;
    }
    // A block that ends exactly at the end of the chunk is carried over to the next one.
    uint32_t reached = offset;
    uint32_t written = blocks;
    for (uint32_t c = 0; c < channelCount; ++c) {
        written = blocks;
        reached = offset;
        uint8_t* values = finished.data() + static_cast<size_t>(c) * maxBlocks;
        while (frameCount > blockSize && reached < frameCount - blockSize) {
            values[written++] = calcSamepleFromDataBlock(channels[c] + reached, blockSize, 0);
            reached += blockSize;
        }
    }
    state.writeIndex = firstIndex + written;
    state.remainingSamples = frameCount - reached;
    for (uint32_t c = 0; c < channelCount; ++c) {
        state.preferredRemainingSample[c] =
            state.remainingSamples > 0
                ? calcSamepleFromDataBlock(channels[c] + reached, state.remainingSamples, 0)
                : 0;
    }
    if (written == 0 || firstIndex >= totalLength_) {
        return;
    }
    const uint32_t stored = std::min(written, totalLength_ - firstIndex);
    std::lock_guard lock(mutex_);
    for (uint32_t c = 0; c < channelCount; ++c) {
        std::copy_n(finished.data() + static_cast<size_t>(c) * maxBlocks, stored,
                    data_[c].begin() + firstIndex);
    }
}

void WaveformAudioDataStore::flushFullBlock(EnvelopeWriteState& state) {
    std::lock_guard lock(mutex_);
    if (blockSize_ == 0 || state.remainingSamples != blockSize_) {
        return;
    }
    for (uint32_t c = 0; c < source_.channelCount; ++c) {
        writeValue(c, state.writeIndex, state.preferredRemainingSample[c]);
    }
    ++state.writeIndex;
    state.remainingSamples = 0;
}

uint8_t WaveformAudioDataStore::getData(uint8_t channel, uint32_t index) const {
    if (index >= totalLength_ || channel >= source_.channelCount) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    return data_[channel][index];
}

uint8_t WaveformAudioDataStore::getAveragedChannelData(uint32_t index) const {
    if (index >= totalLength_) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    unsigned sum = 0;
    for (const auto& channel : data_) {
        sum += channel[index];
    }
    const unsigned count = std::max<unsigned>(1, source_.channelCount);
    return static_cast<uint8_t>(sum / count);
}

std::vector<uint8_t> WaveformAudioDataStore::channelData(uint32_t channel) const {
    std::lock_guard lock(mutex_);
    return channel < data_.size() ? data_[channel] : std::vector<uint8_t>{};
}

bool WaveformAudioDataStore::setChannelData(uint32_t channel, const std::vector<uint8_t>& values) {
    std::lock_guard lock(mutex_);
    if (channel >= data_.size() || values.size() != totalLength_) {
        return false;
    }
    data_[channel] = values;
    return true;
}

void WaveformAudioDataStore::clear() {
    std::lock_guard lock(mutex_);
    for (auto& channel : data_) {
        std::fill(channel.begin(), channel.end(), 0);
    }
    sequential_ = EnvelopeWriteState{0, 0, std::vector<uint8_t>(source_.channelCount, 0)};
}

uint32_t WaveformAudioDataStore::mCurrentWriteDataIndex() const {
    std::lock_guard lock(mutex_);
    return sequential_.writeIndex;
}

uint32_t WaveformAudioDataStore::mRemaingSampleNum() const {
    std::lock_guard lock(mutex_);
    return sequential_.remainingSamples;
}

void WaveformAudioDataStore::setLoadComplete(bool complete) {
    std::lock_guard lock(mutex_);
    readComplete_ = complete;
}

bool WaveformAudioDataStore::isLoadComplete() const {
    std::lock_guard lock(mutex_);
    return readComplete_;
}
