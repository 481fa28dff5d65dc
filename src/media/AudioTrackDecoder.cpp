#include "media/AudioTrackDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

AudioPacketDecoder::~AudioPacketDecoder() {
    av_frame_free(&frame_);
    av_frame_free(&converted_);
    swr_free(&resampler_);
    avcodec_free_context(&codec_);
}

bool AudioPacketDecoder::open(const AVCodecParameters* parameters, int timeBaseNum,
                              int timeBaseDen) {
    if (!parameters || timeBaseNum <= 0 || timeBaseDen <= 0) {
        return false;
    }
    const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
    if (!decoder) {
        return false;
    }
    codec_ = avcodec_alloc_context3(decoder);
    if (!codec_ || avcodec_parameters_to_context(codec_, parameters) < 0) {
        return false;
    }
    timeBaseNum_ = timeBaseNum;
    timeBaseDen_ = timeBaseDen;
    codec_->pkt_timebase = AVRational{timeBaseNum, timeBaseDen};
    codec_->thread_count = 1;
    // (E-)AC-3 dither drawn from each frame's own data rather than from a generator running
    // since the start, so that a chunk decoded on its own gives the samples of one pass.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "cons_noisegen", "1", 0);
    const int opened = avcodec_open2(codec_, decoder, &options);
    av_dict_free(&options);
    if (opened < 0) {
        return false;
    }
    description_.sampleRate = codec_->sample_rate;
    description_.channelCount = static_cast<uint32_t>(codec_->ch_layout.nb_channels);
    description_.bitsPerChannel = 32;
    if (description_.sampleRate <= 0 || description_.channelCount == 0) {
        return false;
    }
    frame_ = av_frame_alloc();
    converted_ = av_frame_alloc();
    return frame_ && converted_;
}

void AudioPacketDecoder::reset() {
    if (codec_) {
        avcodec_flush_buffers(codec_);
    }
}

int64_t AudioPacketDecoder::frameIndexOfStamp(int64_t stamp) const {
    if (stamp == AV_NOPTS_VALUE || description_.sampleRate <= 0) {
        return kNoFrameStamp;
    }
    return av_rescale_q(stamp, AVRational{timeBaseNum_, timeBaseDen_},
                        AVRational{1, static_cast<int>(description_.sampleRate)});
}

// False when the decoding has to end; a frame without samples is skipped.
bool AudioPacketDecoder::deliver(const AudioChunkHandler& handler) {
    const int frameCount = frame_->nb_samples;
    if (frameCount <= 0) {
        return true;
    }
    if (frame_->ch_layout.nb_channels != static_cast<int>(description_.channelCount)) {
        return false;
    }
    const int64_t first = frameIndexOfStamp(frame_->best_effort_timestamp);
    if (frame_->format == AV_SAMPLE_FMT_FLTP) {
        return handler(reinterpret_cast<const float* const*>(frame_->extended_data),
                       static_cast<uint32_t>(frameCount), first);
    }
    if (!resampler_) {
        if (swr_alloc_set_opts2(&resampler_, &frame_->ch_layout, AV_SAMPLE_FMT_FLTP,
                                frame_->sample_rate, &frame_->ch_layout,
                                static_cast<AVSampleFormat>(frame_->format), frame_->sample_rate, 0,
                                nullptr) < 0 ||
            swr_init(resampler_) < 0) {
            return false;
        }
    }
    av_frame_unref(converted_);
    converted_->format = AV_SAMPLE_FMT_FLTP;
    converted_->sample_rate = frame_->sample_rate;
    converted_->nb_samples = frameCount;
    if (av_channel_layout_copy(&converted_->ch_layout, &frame_->ch_layout) < 0 ||
        av_frame_get_buffer(converted_, 0) < 0) {
        return false;
    }
    const int produced =
        swr_convert(resampler_, converted_->extended_data, frameCount,
                    const_cast<const uint8_t**>(frame_->extended_data), frameCount);
    if (produced <= 0) {
        return false;
    }
    return handler(reinterpret_cast<const float* const*>(converted_->extended_data),
                   static_cast<uint32_t>(produced), first);
}

bool AudioPacketDecoder::decode(const AVPacket* packet, const AudioChunkHandler& handler) {
    if (!codec_) {
        return false;
    }
    const int sent = avcodec_send_packet(codec_, packet);
    // A damaged packet is skipped; a drained decoder refuses further packets.
    if (sent < 0 && sent != AVERROR_INVALIDDATA && sent != AVERROR_EOF) {
        return false;
    }
    for (;;) {
        const int received = avcodec_receive_frame(codec_, frame_);
        if (received == AVERROR(EAGAIN)) {
            return true;
        }
        if (received != 0) {
            return false; // end of stream or a decoding error: the decoding simply ends
        }
        const bool keepGoing = deliver(handler);
        av_frame_unref(frame_);
        if (!keepGoing) {
            return false;
        }
    }
}

AudioTrackDecoder::~AudioTrackDecoder() {
    av_packet_free(&packet_);
    avformat_close_input(&format_);
}

bool AudioTrackDecoder::open(const QString& path, unsigned trackNumber) {
    if (avformat_open_input(&format_, path.toUtf8().constData(), nullptr, nullptr) < 0) {
        return false;
    }
    if (avformat_find_stream_info(format_, nullptr) < 0) {
        return false;
    }
    unsigned audioIndex = 0;
    for (unsigned i = 0; i < format_->nb_streams; ++i) {
        if (format_->streams[i]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) {
            continue;
        }
        if (audioIndex++ == trackNumber) {
            streamIndex_ = static_cast<int>(i);
            break;
        }
    }
    if (streamIndex_ < 0) {
        return false;
    }
    for (unsigned i = 0; i < format_->nb_streams; ++i) {
        if (static_cast<int>(i) != streamIndex_) {
            format_->streams[i]->discard = AVDISCARD_ALL;
        }
    }
    const AVStream* stream = format_->streams[streamIndex_];
    if (!decoder_.open(stream->codecpar, stream->time_base.num, stream->time_base.den)) {
        return false;
    }
    duration_ = format_->duration > 0 ? static_cast<double>(format_->duration) / AV_TIME_BASE : 0;
    packet_ = av_packet_alloc();
    return packet_ != nullptr;
}

const AVCodecParameters* AudioTrackDecoder::parameters() const {
    return streamIndex_ >= 0 ? format_->streams[streamIndex_]->codecpar : nullptr;
}

int AudioTrackDecoder::timeBaseNum() const {
    return streamIndex_ >= 0 ? format_->streams[streamIndex_]->time_base.num : 1;
}

int AudioTrackDecoder::timeBaseDen() const {
    return streamIndex_ >= 0 ? format_->streams[streamIndex_]->time_base.den : 1;
}

bool AudioTrackDecoder::readPacket(AVPacket* packet) {
    if (!format_ || streamIndex_ < 0) {
        return false;
    }
    for (;;) {
        if (av_read_frame(format_, packet) < 0) {
            return false;
        }
        if (packet->stream_index == streamIndex_) {
            return true;
        }
        av_packet_unref(packet);
    }
}

bool AudioTrackDecoder::decodeNextPacket(const AudioChunkHandler& handler) {
    if (!packet_ || finished_) {
        return false;
    }
    if (!readPacket(packet_)) {
        finished_ = true;
        decoder_.decode(nullptr, handler);
        return false;
    }
    const bool more = decoder_.decode(packet_, handler);
    av_packet_unref(packet_);
    if (!more) {
        finished_ = true;
    }
    return more;
}
