#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

// The part of a decoder's stream description the envelope needs.
struct AudioStreamDescription {
    double sampleRate = 0;
    uint32_t channelCount = 0;
    uint32_t bitsPerChannel = 0;
};

// Running state of the block reduction: where the next value goes and the frames of a block
// that the last chunk left unfinished. The store keeps one for sequential appends; a segment
// decoded on its own keeps its own, started at the segment's first index.
struct EnvelopeWriteState {
    uint32_t writeIndex = 0;
    uint32_t remainingSamples = 0;
    std::vector<uint8_t> preferredRemainingSample; // running peak of the unfinished block
};

// The peak envelope of one audio track: one byte per channel for every 1/300 s, 200 for full
// scale, clipped at 255. Writers (decoder threads) and readers (drawing) share it under its lock.
class WaveformAudioDataStore {
public:
    static constexpr double kEnvelopeRate = 300.0;

    WaveformAudioDataStore(const AudioStreamDescription& source,
                           const AudioStreamDescription& target, double lengthSeconds);

    // Envelope value of a run of samples, starting from a running peak.
    static uint8_t calcSamepleFromDataBlock(const float* data, uint32_t count, uint8_t preferred);

    // Appends one decoded chunk: `frameCount` frames, one float run per channel.
    void addSamples(const float* const* channels, uint32_t frameCount);
    // The same reduction for a segment decoded apart, with its own running state.
    void addSamples(EnvelopeWriteState& state, const float* const* channels, uint32_t frameCount);
    // A segment that ends on a block boundary carries its last block; this writes it.
    void flushFullBlock(EnvelopeWriteState& state);
    EnvelopeWriteState makeWriteState(uint32_t startIndex) const;

    uint8_t getData(uint8_t channel, uint32_t index) const;
    uint8_t getAveragedChannelData(uint32_t index) const;

    // Copies of the envelope, and replacing it whole (the cache).
    std::vector<uint8_t> channelData(uint32_t channel) const;
    bool setChannelData(uint32_t channel, const std::vector<uint8_t>& values);
    // Back to all zeros, nothing written yet.
    void clear();

    const AudioStreamDescription& mASBD() const { return source_; }
    const AudioStreamDescription& mTargetASBD() const { return target_; }
    double mLength() const { return length_; }
    uint16_t mDataBlockSize() const { return blockSize_; }
    uint32_t mTotalLength() const { return totalLength_; }
    uint32_t channelCount() const { return source_.channelCount; }
    uint32_t mCurrentWriteDataIndex() const;
    uint32_t mRemaingSampleNum() const;

    void setLoadComplete(bool complete);
    bool isLoadComplete() const;
    unsigned trackNumber() const { return trackNumber_; }
    void setTrackNumber(unsigned number) { trackNumber_ = number; }

private:
    void writeValue(uint32_t channel, uint32_t index, uint8_t value);

    AudioStreamDescription source_;
    AudioStreamDescription target_;
    double length_ = 0;
    uint16_t blockSize_ = 0;
    uint32_t totalLength_ = 0;
    std::vector<std::vector<uint8_t>> data_;
    EnvelopeWriteState sequential_;
    bool readComplete_ = false;
    unsigned trackNumber_ = 0;
    mutable std::mutex mutex_;
};
