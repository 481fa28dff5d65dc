#include "media/EnvelopeExtraction.h"

#include "media/AudioTrackDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <QThread>

#include <malloc.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Side-by-side extraction: one demuxer reads the track once and hands its packets out in
// chunks to a few decoders, each writing its chunks' blocks at their own indices. A chunk's
// decoder starts a little before the chunk (so that its state at the chunk's start is the one a
// single pass would have) and reads a little past it. Only one demuxer means only one copy of
// the container's sample index, which for a long movie is the largest allocation of all.

namespace {

enum class PartResult { Complete, Stopped, Failed, Inconsistent };

constexpr double kPrerollSeconds = 0.5;
constexpr double kPostrollSeconds = 0.5;
constexpr double kChunkSeconds = 30;
// A chunk must be at least as long as its preroll and postroll together, so that the packets
// of one chunk and those of the next chunk of the same decoder never interleave.
constexpr double kMinimumChunkSeconds = kPrerollSeconds + kPostrollSeconds;
// Packets waiting for one decoder; the reader waits when a decoder falls this far behind.
constexpr int64_t kQueueBytes = 2 << 20;
// The first frame a chunk decodes must lie at least this far before the chunk.
constexpr int64_t kMinimumPrerollFrames = 2048;

struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

// Packets for one decoder, in order; an empty item ends the current chunk. One reader and
// one decoder: packets pass in batches, so that the two rarely have to wake each other.
class PacketQueue {
public:
    // From the reader only. False when the queue was closed.
    bool push(PacketPtr packet) {
        const bool endOfChunk = !packet;
        pendingBytes_ += packet ? packet->size : 0;
        pending_.push_back(std::move(packet));
        if (!endOfChunk && pending_.size() < kBatchPackets) {
            return true;
        }
        std::unique_lock lock(mutex_);
        producerWaiting_ = true;
        changed_.wait(lock, [&] { return closed_ || bytes_ == 0 || bytes_ <= kQueueBytes; });
        producerWaiting_ = false;
        if (closed_) {
            return false;
        }
        bytes_ += pendingBytes_;
        for (auto& item : pending_) {
            items_.push_back(std::move(item));
        }
        pending_.clear();
        pendingBytes_ = 0;
        if (consumerWaiting_) {
            changed_.notify_all();
        }
        spent_.swap(returned_);
        lock.unlock();
        spent_.clear(); // freed where they were made, outside the lock
        return true;
    }
    // From the decoder only. Nothing when the queue was closed.
    std::optional<PacketPtr> pop() {
        if (taken_.empty()) {
            std::unique_lock lock(mutex_);
            consumerWaiting_ = true;
            changed_.wait(lock, [&] { return closed_ || !items_.empty(); });
            consumerWaiting_ = false;
            if (closed_) {
                return std::nullopt;
            }
            taken_.swap(items_);
            bytes_ = 0;
            for (auto& packet : used_) {
                returned_.push_back(std::move(packet));
            }
            used_.clear();
            if (producerWaiting_) {
                changed_.notify_all();
            }
        }
        PacketPtr packet = std::move(taken_.front());
        taken_.pop_front();
        return packet;
    }
    // From the decoder only: a packet it is done with goes back to the reader to be freed
    // there, within the reader's allocator caches. Freed by the decoder, every packet would
    // take the reader's arena lock, and the two threads would contend for it all the time.
    void giveBack(PacketPtr packet) { used_.push_back(std::move(packet)); }
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        items_.clear();
        changed_.notify_all();
    }

private:
    static constexpr size_t kBatchPackets = 32;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<PacketPtr> items_;
    int64_t bytes_ = 0;
    bool closed_ = false;
    bool producerWaiting_ = false;
    bool consumerWaiting_ = false;
    std::vector<PacketPtr> pending_; // the reader's side
    int64_t pendingBytes_ = 0;
    std::deque<PacketPtr> taken_;     // the decoder's side
    std::vector<PacketPtr> used_;     // the decoder's side
    std::vector<PacketPtr> returned_; // under the lock
    std::vector<PacketPtr> spent_;    // the reader's side
};

// The time stamp (in frames) of the first frame a single pass delivers: the other chunks
// count their frames from it. The reader finds it before any packet goes to another chunk.
class OriginGate {
public:
    void publish(std::optional<int64_t> origin) {
        std::lock_guard lock(mutex_);
        if (!settled_) {
            settled_ = true;
            origin_ = origin;
            changed_.notify_all();
        }
    }
    std::optional<int64_t> wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return settled_; });
        return origin_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool settled_ = false;
    std::optional<int64_t> origin_;
};

struct Chunk {
    int64_t begin = 0; // frames, counted as a single pass counts them
    int64_t end = -1;  // -1: to the end of the track
    int64_t feedBegin = 0;
    int64_t feedEnd = -1;
    bool last() const { return end < 0; }
};

bool sameFormat(const AudioStreamDescription& a, const AudioStreamDescription& b) {
    return a.sampleRate == b.sampleRate && a.channelCount == b.channelCount;
}

PartResult decodeSequentially(const QString& path, unsigned trackNumber,
                              WaveformAudioDataStore& store, ExtractionControl& control) {
    AudioTrackDecoder decoder;
    if (!decoder.open(path, trackNumber) || !sameFormat(decoder.description(), store.mASBD())) {
        return PartResult::Failed;
    }
    const auto add = [&](const float* const* channels, uint32_t frameCount, int64_t) {
        store.addSamples(channels, frameCount);
        control.decodedFrames.fetch_add(frameCount, std::memory_order_relaxed);
        return true;
    };
    while (!control.stop.load(std::memory_order_relaxed)) {
        if (!decoder.decodeNextPacket(add)) {
            return PartResult::Complete;
        }
    }
    return PartResult::Stopped;
}

// Everything the reader and the decoders share.
struct ParallelRun {
    WaveformAudioDataStore& store;
    ExtractionControl& control;
    const AVCodecParameters* parameters;
    int timeBaseNum;
    int timeBaseDen;
    std::vector<Chunk> chunks;
    std::vector<PacketQueue> queues;
    OriginGate origin;
    std::atomic<bool> abandoned{false};

    void abandon() {
        abandoned.store(true);
        origin.publish(std::nullopt);
        for (auto& queue : queues) {
            queue.close();
        }
    }
};

// Decodes the chunks of one decoder: `first`, first + stride, ...
PartResult decodeChunks(ParallelRun& run, size_t first, size_t stride) {
    AudioPacketDecoder decoder;
    if (!decoder.open(run.parameters, run.timeBaseNum, run.timeBaseDen) ||
        !sameFormat(decoder.description(), run.store.mASBD())) {
        return PartResult::Failed;
    }
    PacketQueue& queue = run.queues[first % stride];
    const uint32_t blockSize = run.store.mDataBlockSize();
    const uint32_t channelCount = run.store.channelCount();
    std::vector<const float*> parts(channelCount);
    std::optional<int64_t> origin;
    for (size_t index = first; index < run.chunks.size(); index += stride) {
        const Chunk& chunk = run.chunks[index];
        if (index != first) {
            decoder.reset();
        }
        EnvelopeWriteState state =
            run.store.makeWriteState(static_cast<uint32_t>(chunk.begin / blockSize));
        int64_t counted = 0;   // frames delivered so far, for the first chunk
        int64_t expected = -1; // position of the next frame
        bool covered = false;
        PartResult result = PartResult::Complete;
        const auto add = [&](const float* const* channels, uint32_t frameCount, int64_t stamp) {
            int64_t position = 0;
            if (index == 0) {
                // The first chunk counts its frames as one pass does, and checks that the
                // time stamps the other chunks rely on agree with that count.
                if (!origin) {
                    origin = run.origin.wait();
                }
                if (!origin || stamp == kNoFrameStamp || stamp - *origin != counted) {
                    result = PartResult::Inconsistent;
                    return false;
                }
                position = counted;
                counted += frameCount;
            } else {
                if (!origin) {
                    origin = run.origin.wait();
                }
                if (!origin || stamp == kNoFrameStamp) {
                    result = PartResult::Inconsistent;
                    return false;
                }
                position = stamp - *origin;
                if (expected < 0 && position > chunk.begin - kMinimumPrerollFrames) {
                    result = PartResult::Inconsistent; // too little decoded before the chunk
                    return false;
                }
            }
            if (expected >= 0 && position != expected) {
                result = PartResult::Inconsistent;
                return false;
            }
            expected = position + frameCount;
            const int64_t chunkEnd = expected;
            if (chunkEnd <= chunk.begin) {
                return true;
            }
            const int64_t from = std::max(position, chunk.begin);
            const int64_t to = chunk.last() ? chunkEnd : std::min(chunkEnd, chunk.end);
            if (to > from) {
                for (uint32_t c = 0; c < channelCount; ++c) {
                    parts[c] = channels[c] + (from - position);
                }
                run.store.addSamples(state, parts.data(), static_cast<uint32_t>(to - from));
                run.control.decodedFrames.fetch_add(to - from, std::memory_order_relaxed);
            }
            if (!chunk.last() && chunkEnd >= chunk.end) {
                covered = true;
            }
            return true;
        };
        bool decoding = true;
        for (;;) {
            std::optional<PacketPtr> item = queue.pop();
            if (!item) {
                return run.control.stop.load() ? PartResult::Stopped : PartResult::Inconsistent;
            }
            if (!*item) {
                break; // the end of this chunk's packets
            }
            if (run.control.stop.load(std::memory_order_relaxed)) {
                return PartResult::Stopped;
            }
            if (decoding && !covered) {
                decoding = decoder.decode(item->get(), add);
                if (result != PartResult::Complete) {
                    return result;
                }
            }
            queue.giveBack(std::move(*item));
        }
        if (decoding && !covered) {
            // The end of the track, or a decoder that holds frames back: give out the rest.
            decoder.decode(nullptr, add);
            if (result != PartResult::Complete) {
                return result;
            }
        }
        if (!chunk.last()) {
            if (!covered) {
                return PartResult::Inconsistent; // the track ended before the chunk did
            }
            run.store.flushFullBlock(state);
        }
    }
    return PartResult::Complete;
}

// Reads the track once, handing every packet to the decoders of the chunks it feeds. The
// first packets also go through a decoder of its own, which finds the origin exactly as the
// first chunk's decoder will.
PartResult readPackets(ParallelRun& run, AudioTrackDecoder& reader) {
    const size_t decoders = run.queues.size();
    auto queueOf = [&](size_t chunk) -> PacketQueue& { return run.queues[chunk % decoders]; };
    size_t firstOpen = 0; // chunks before it have had all their packets
    std::optional<int64_t> firstStamp;
    std::optional<AudioPacketDecoder> originFinder(std::in_place);
    if (!originFinder->open(run.parameters, run.timeBaseNum, run.timeBaseDen)) {
        return PartResult::Failed;
    }
    const auto takeOrigin = [&](const float* const*, uint32_t, int64_t stamp) {
        run.origin.publish(stamp != kNoFrameStamp ? std::optional<int64_t>(stamp) : std::nullopt);
        return false;
    };
    PacketPtr packet(av_packet_alloc());
    if (!packet) {
        return PartResult::Failed;
    }
    while (reader.readPacket(packet.get())) {
        if (originFinder && !originFinder->decode(packet.get(), takeOrigin)) {
            originFinder.reset();
            run.origin.publish(std::nullopt); // unless a frame gave it: the decoder failed
        }
        if (run.control.stop.load(std::memory_order_relaxed) || run.abandoned.load()) {
            return run.control.stop.load() ? PartResult::Stopped : PartResult::Inconsistent;
        }
        const int64_t stamp = reader.frameIndexOfStamp(packet->pts);
        if (stamp == kNoFrameStamp) {
            return PartResult::Inconsistent; // nothing to place the packet by
        }
        if (!firstStamp) {
            firstStamp = stamp;
        }
        // Close enough to a single pass's count to pick chunks: the margins are far larger
        // than any decoder's delay at the start.
        const int64_t position = stamp - *firstStamp;
        while (firstOpen < run.chunks.size() && !run.chunks[firstOpen].last() &&
               position >= run.chunks[firstOpen].feedEnd) {
            if (!queueOf(firstOpen).push(nullptr)) {
                return PartResult::Stopped;
            }
            ++firstOpen;
        }
        for (size_t i = firstOpen; i < run.chunks.size(); ++i) {
            const Chunk& chunk = run.chunks[i];
            if (position < chunk.feedBegin) {
                break;
            }
            if (!chunk.last() && position >= chunk.feedEnd) {
                continue;
            }
            if (i > 0 && originFinder) {
                return PartResult::Inconsistent; // still no frame this far into the track
            }
            PacketPtr copy(av_packet_clone(packet.get()));
            if (!copy) {
                return PartResult::Failed;
            }
            if (!queueOf(i).push(std::move(copy))) {
                return PartResult::Stopped; // the decoders were stopped or gave up
            }
        }
        av_packet_unref(packet.get());
    }
    run.origin.publish(std::nullopt); // a track that never gave a frame
    for (size_t i = firstOpen; i < run.chunks.size(); ++i) {
        if (!queueOf(i).push(nullptr)) {
            return PartResult::Stopped;
        }
    }
    return PartResult::Complete;
}

// The track cut at block boundaries into chunks of about kChunkSeconds, at least one per
// decoder; empty when the track is too short to be worth it.
std::vector<Chunk> cutIntoChunks(const WaveformAudioDataStore& store, int decoders) {
    const double rate = store.mASBD().sampleRate;
    const int64_t blockSize = store.mDataBlockSize();
    const int64_t blocks = store.mTotalLength();
    const auto blocksOf = [&](double seconds) {
        return static_cast<int64_t>(seconds * rate) / blockSize;
    };
    if (blocks < decoders * blocksOf(kMinimumChunkSeconds)) {
        return {};
    }
    const int64_t count = std::max<int64_t>(decoders, (blocks + blocksOf(kChunkSeconds) - 1) /
                                                          blocksOf(kChunkSeconds));
    const auto preroll = static_cast<int64_t>(kPrerollSeconds * rate);
    const auto postroll = static_cast<int64_t>(kPostrollSeconds * rate);
    std::vector<Chunk> chunks(count);
    for (int64_t i = 0; i < count; ++i) {
        Chunk& chunk = chunks[i];
        chunk.begin = blocks * i / count * blockSize;
        chunk.end = i + 1 == count ? -1 : blocks * (i + 1) / count * blockSize;
        chunk.feedBegin = i == 0 ? std::numeric_limits<int64_t>::min() : chunk.begin - preroll;
        chunk.feedEnd = chunk.last() ? -1 : chunk.end + postroll;
    }
    return chunks;
}

PartResult decodeInParallel(const QString& path, unsigned trackNumber,
                            WaveformAudioDataStore& store, ExtractionControl& control,
                            int decoders) {
    AudioTrackDecoder reader;
    if (!reader.open(path, trackNumber) || !sameFormat(reader.description(), store.mASBD())) {
        return PartResult::Failed;
    }
    ParallelRun run{store,
                    control,
                    reader.parameters(),
                    reader.timeBaseNum(),
                    reader.timeBaseDen(),
                    cutIntoChunks(store, decoders),
                    std::vector<PacketQueue>(static_cast<size_t>(decoders)),
                    {},
                    {}};
    if (run.chunks.empty()) {
        return PartResult::Inconsistent;
    }
    std::vector<PartResult> results(decoders, PartResult::Complete);
    std::vector<std::thread> threads;
    for (int i = 0; i < decoders; ++i) {
        threads.emplace_back([&run, &results, i, decoders] {
            useBatchScheduling();
            results[i] = decodeChunks(run, static_cast<size_t>(i), static_cast<size_t>(decoders));
            if (results[i] != PartResult::Complete) {
                run.abandon();
            }
        });
    }
    const PartResult read = readPackets(run, reader);
    if (read != PartResult::Complete) {
        run.abandon();
    }
    for (auto& thread : threads) {
        thread.join();
    }
    if (control.stop.load()) {
        return PartResult::Stopped;
    }
    results.push_back(read);
    const bool complete = std::all_of(results.begin(), results.end(),
                                      [](PartResult r) { return r == PartResult::Complete; });
    return complete ? PartResult::Complete : PartResult::Inconsistent;
}

} // namespace

void useBatchScheduling() {
#ifdef SCHED_BATCH
    sched_param parameters{};
    parameters.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &parameters);
#endif
}

void tuneAllocatorForDecoding() {
    mallopt(M_MXFAST, 0);
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
    if (segmentCount > 1) {
        switch (decodeInParallel(path, trackNumber, store, control, segmentCount)) {
        case PartResult::Complete:
            control.decodersUsed.store(segmentCount);
            return ExtractionResult::Complete;
        case PartResult::Stopped:
            return ExtractionResult::Stopped;
        case PartResult::Failed:
            return ExtractionResult::Failed;
        case PartResult::Inconsistent:
            // Time stamps that cannot place the chunks: decode in one pass instead.
            control.decodedFrames.store(0);
            store.clear();
            break;
        }
    }
    switch (decodeSequentially(path, trackNumber, store, control)) {
    case PartResult::Complete:
        control.decodersUsed.store(1);
        return ExtractionResult::Complete;
    case PartResult::Stopped:
        return ExtractionResult::Stopped;
    default:
        return ExtractionResult::Failed;
    }
}
