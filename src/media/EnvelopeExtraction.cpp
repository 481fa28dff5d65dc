#include "media/EnvelopeExtraction.h"

#include "media/AudioTrackDecoder.h"

#include <QThread>

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

enum class SegmentResult { Complete, Stopped, Failed, Inconsistent };

bool sameFormat(const AudioStreamDescription& a, const AudioStreamDescription& b) {
    return a.sampleRate == b.sampleRate && a.channelCount == b.channelCount;
}

SegmentResult decodeSequentially(const QString& path, unsigned trackNumber,
                                 WaveformAudioDataStore& store, ExtractionControl& control) {
    AudioTrackDecoder decoder;
    if (!decoder.open(path, trackNumber) || !sameFormat(decoder.description(), store.mASBD())) {
        return SegmentResult::Failed;
    }
    while (!control.stop.load(std::memory_order_relaxed)) {
        const bool more = decoder.decodeNextChunk(
            [&](const float* const* channels, uint32_t frameCount, int64_t) {
                store.addSamples(channels, frameCount);
                control.decodedFrames.fetch_add(frameCount, std::memory_order_relaxed);
                return true;
            });
        if (!more) {
            return SegmentResult::Complete;
        }
    }
    return SegmentResult::Stopped;
}

// Time stamp (in frames) of the first frame a fresh decode delivers; the segments count their
// frames from it, as one pass would.
bool firstFrameIndex(const QString& path, unsigned trackNumber, int64_t& first) {
    AudioTrackDecoder decoder;
    if (!decoder.open(path, trackNumber)) {
        return false;
    }
    first = -1;
    decoder.decodeNextChunk([&](const float* const*, uint32_t, int64_t frame) {
        first = frame;
        return true;
    });
    return first >= 0;
}

// Frames [begin, end) of the track (end < 0: to the end), written from block begin / block size.
SegmentResult decodeSegment(const QString& path, unsigned trackNumber,
                            WaveformAudioDataStore& store, ExtractionControl& control,
                            int64_t origin, int64_t begin, int64_t end) {
    AudioTrackDecoder decoder;
    if (!decoder.open(path, trackNumber) || !sameFormat(decoder.description(), store.mASBD())) {
        return SegmentResult::Failed;
    }
    // Start well before the segment so that the decoder's state at `begin` is the one a single
    // pass would have.
    const int64_t preroll = static_cast<int64_t>(store.mASBD().sampleRate);
    if (begin > 0 && !decoder.seekToFrame(std::max<int64_t>(0, begin - preroll))) {
        return SegmentResult::Inconsistent;
    }
    EnvelopeWriteState state =
        store.makeWriteState(static_cast<uint32_t>(begin / store.mDataBlockSize()));
    const uint32_t channelCount = store.channelCount();
    std::vector<const float*> parts(channelCount);
    int64_t expected = -1; // position of the next frame, once inside the segment
    bool first = true;
    bool reachedEnd = false;
    SegmentResult result = SegmentResult::Complete;
    while (!reachedEnd) {
        if (control.stop.load(std::memory_order_relaxed)) {
            return SegmentResult::Stopped;
        }
        const bool more = decoder.decodeNextChunk(
            [&](const float* const* channels, uint32_t frameCount, int64_t stamp) {
                if (stamp < 0) {
                    result = SegmentResult::Inconsistent;
                    return false;
                }
                const int64_t position = stamp - origin;
                if (first) {
                    first = false;
                    if (begin > 0 && position > begin - 2048) {
                        result = SegmentResult::Inconsistent; // the seek landed too late
                        return false;
                    }
                }
                if (expected >= 0 && position != expected) {
                    result = SegmentResult::Inconsistent;
                    return false;
                }
                const int64_t chunkEnd = position + frameCount;
                if (chunkEnd <= begin) {
                    return true;
                }
                const int64_t from = std::max(position, begin);
                const int64_t to = end >= 0 ? std::min(chunkEnd, end) : chunkEnd;
                for (uint32_t c = 0; c < channelCount; ++c) {
                    parts[c] = channels[c] + (from - position);
                }
                store.addSamples(state, parts.data(), static_cast<uint32_t>(to - from));
                control.decodedFrames.fetch_add(to - from, std::memory_order_relaxed);
                expected = chunkEnd;
                if (end >= 0 && chunkEnd >= end) {
                    reachedEnd = true;
                    return false;
                }
                return true;
            });
        if (result != SegmentResult::Complete) {
            return result;
        }
        if (!more) {
            break;
        }
    }
    if (end >= 0) {
        if (!reachedEnd) {
            return SegmentResult::Inconsistent; // the track ended before the segment did
        }
        store.flushFullBlock(state);
    }
    return SegmentResult::Complete;
}

} // namespace

void useBatchScheduling() {
#ifdef SCHED_BATCH
    sched_param parameters{};
    parameters.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &parameters);
#endif
}

int automaticSegmentCount(double durationSeconds) {
    if (durationSeconds < 120) {
        return 1;
    }
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

ExtractionResult extractTrackEnvelope(const QString& path, unsigned trackNumber,
                                      WaveformAudioDataStore& store, ExtractionControl& control,
                                      int segmentCount) {
    const AudioStreamDescription& source = store.mASBD();
    if (source.sampleRate <= 0 || store.mDataBlockSize() == 0 || source.channelCount == 0) {
        return ExtractionResult::Failed; // a block size of 0 must not be fed
    }
    const uint32_t blockSize = store.mDataBlockSize();
    const uint32_t blocks = store.mTotalLength();
    int64_t origin = 0;
    if (segmentCount > 1 && blocks >= static_cast<uint32_t>(segmentCount) * 300u &&
        firstFrameIndex(path, trackNumber, origin)) {
        std::vector<SegmentResult> results(segmentCount, SegmentResult::Complete);
        std::vector<std::thread> helpers;
        auto run = [&](int i) {
            const int64_t begin = static_cast<int64_t>(blocks) * i / segmentCount * blockSize;
            const int64_t end = i + 1 == segmentCount ? -1
                                                      : static_cast<int64_t>(blocks) * (i + 1) /
                                                            segmentCount * blockSize;
            results[i] = decodeSegment(path, trackNumber, store, control, origin, begin, end);
        };
        for (int i = 1; i < segmentCount; ++i) {
            helpers.emplace_back([&run, i] {
                useBatchScheduling();
                run(i);
            });
        }
        run(0);
        for (auto& helper : helpers) {
            helper.join();
        }
        if (control.stop.load()) {
            return ExtractionResult::Stopped;
        }
        const bool allComplete = std::all_of(results.begin(), results.end(), [](SegmentResult r) {
            return r == SegmentResult::Complete;
        });
        if (allComplete) {
            return ExtractionResult::Complete;
        }
        // A container whose time stamps cannot place the segments: decode in one pass instead.
        control.decodedFrames.store(0);
        store.clear();
    }
    switch (decodeSequentially(path, trackNumber, store, control)) {
    case SegmentResult::Complete:
        return ExtractionResult::Complete;
    case SegmentResult::Stopped:
        return ExtractionResult::Stopped;
    default:
        return ExtractionResult::Failed;
    }
}
