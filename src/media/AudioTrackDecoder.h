#pragma once

#include "media/WaveformAudioDataStore.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

// Decodes one audio track of a movie as 32-bit float planar PCM at the track's own rate, one
// decoded frame at a time.
class AudioTrackDecoder {
public:
    // Frames of one chunk, their channel runs and the index of the first frame in the track
    // (-1 when the container gives no time stamp).
    using ChunkHandler =
        std::function<bool(const float* const* channels, uint32_t frameCount, int64_t firstFrame)>;

    AudioTrackDecoder();
    ~AudioTrackDecoder();
    AudioTrackDecoder(const AudioTrackDecoder&) = delete;
    AudioTrackDecoder& operator=(const AudioTrackDecoder&) = delete;

    // Opens audio track `trackNumber` (counted among the audio streams).
    bool open(const QString& path, unsigned trackNumber);
    const AudioStreamDescription& description() const { return description_; }
    double duration() const { return duration_; }

    // Seeks to a key point at or before the given frame of the track.
    bool seekToFrame(int64_t frame);
    // Decodes until one chunk has been handed over; false at the end, on an error, or when the
    // handler returns false.
    bool decodeNextChunk(const ChunkHandler& handler);

private:
    bool deliver(const ChunkHandler& handler, bool& keepGoing);
    int64_t frameIndexOf(const AVFrame* frame) const;

    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    SwrContext* resampler_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVFrame* converted_ = nullptr;
    AVPacket* packet_ = nullptr;
    int streamIndex_ = -1;
    bool draining_ = false;
    bool finished_ = false;
    AudioStreamDescription description_;
    double duration_ = 0;
};
