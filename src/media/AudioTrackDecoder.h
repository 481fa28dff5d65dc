#pragma once

#include "media/WaveformAudioDataStore.h"

#include <QString>

#include <cstdint>
#include <functional>

struct AVCodecContext;
struct AVCodecParameters;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

// A time stamp the container does not give.
constexpr int64_t kNoFrameStamp = INT64_MIN;

// Frames of one decoded chunk, their channel runs and the index of the first frame in the
// track (kNoFrameStamp when the container gives no time stamp; the first frames of a track
// may lie before 0). Returning false ends the decoding.
using AudioChunkHandler =
    std::function<bool(const float* const* channels, uint32_t frameCount, int64_t firstFrame)>;

// Turns the packets of one audio stream into 32-bit float planar PCM at the stream's own rate.
// Several of them can decode packets that one demuxer reads.
class AudioPacketDecoder {
public:
    AudioPacketDecoder() = default;
    ~AudioPacketDecoder();
    AudioPacketDecoder(const AudioPacketDecoder&) = delete;
    AudioPacketDecoder& operator=(const AudioPacketDecoder&) = delete;

    // `timeBaseNum/Den` is the stream's time base, in which the packets are stamped.
    bool open(const AVCodecParameters* parameters, int timeBaseNum, int timeBaseDen);
    const AudioStreamDescription& description() const { return description_; }

    // Decodes one packet (nullptr: gives out what the decoder still holds, as at the end of
    // the stream) and hands over every frame it yields. False when the decoding has to end:
    // a decoding error, the end of a drained stream, or the handler asked for it.
    bool decode(const AVPacket* packet, const AudioChunkHandler& handler);
    // Forgets everything decoded so far, as after a seek.
    void reset();
    // The time stamp of a packet or frame as a frame index of the track, or kNoFrameStamp.
    int64_t frameIndexOfStamp(int64_t stamp) const;

private:
    bool deliver(const AudioChunkHandler& handler);

    AVCodecContext* codec_ = nullptr;
    SwrContext* resampler_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVFrame* converted_ = nullptr;
    int timeBaseNum_ = 1;
    int timeBaseDen_ = 1;
    AudioStreamDescription description_;
};

// Reads one audio track of a movie: its packets in file order, or decoded one packet at a time.
class AudioTrackDecoder {
public:
    AudioTrackDecoder() = default;
    ~AudioTrackDecoder();
    AudioTrackDecoder(const AudioTrackDecoder&) = delete;
    AudioTrackDecoder& operator=(const AudioTrackDecoder&) = delete;

    // Opens audio track `trackNumber` (counted among the audio streams) and its decoder.
    bool open(const QString& path, unsigned trackNumber);
    const AudioStreamDescription& description() const { return decoder_.description(); }
    double duration() const { return duration_; }
    const AVCodecParameters* parameters() const;
    int timeBaseNum() const;
    int timeBaseDen() const;
    int64_t frameIndexOfStamp(int64_t stamp) const { return decoder_.frameIndexOfStamp(stamp); }

    // The next packet of the track; false at the end of the file or on a read error.
    bool readPacket(AVPacket* packet);
    // Reads and decodes the next packet, draining the decoder at the end of the file; false
    // once nothing more comes, on an error, or when the handler asks to stop.
    bool decodeNextPacket(const AudioChunkHandler& handler);

private:
    AVFormatContext* format_ = nullptr;
    AVPacket* packet_ = nullptr;
    int streamIndex_ = -1;
    bool finished_ = false;
    double duration_ = 0;
    AudioPacketDecoder decoder_;
};
