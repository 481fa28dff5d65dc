#include "media/AudioTrackDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <vector>

AudioTrackDecoder::AudioTrackDecoder() = default;

AudioTrackDecoder::~AudioTrackDecoder() {
    av_frame_free(&frame_);
    av_frame_free(&converted_);
    av_packet_free(&packet_);
    swr_free(&resampler_);
    avcodec_free_context(&codec_);
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
    AVStream* stream = format_->streams[streamIndex_];
    for (unsigned i = 0; i < format_->nb_streams; ++i) {
        if (static_cast<int>(i) != streamIndex_) {
            format_->streams[i]->discard = AVDISCARD_ALL;
        }
    }
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!decoder) {
        return false;
    }
    codec_ = avcodec_alloc_context3(decoder);
    if (!codec_ || avcodec_parameters_to_context(codec_, stream->codecpar) < 0) {
        return false;
    }
    codec_->pkt_timebase = stream->time_base;
    codec_->thread_count = 1;
    if (avcodec_open2(codec_, decoder, nullptr) < 0) {
        return false;
    }
    description_.sampleRate = codec_->sample_rate;
    description_.channelCount = static_cast<uint32_t>(codec_->ch_layout.nb_channels);
    description_.bitsPerChannel = 32;
    if (description_.sampleRate <= 0 || description_.channelCount == 0) {
        return false;
    }
    duration_ = format_->duration > 0 ? static_cast<double>(format_->duration) / AV_TIME_BASE : 0;
    frame_ = av_frame_alloc();
    converted_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    return frame_ && converted_ && packet_;
}

bool AudioTrackDecoder::seekToFrame(int64_t frame) {
    if (!format_ || streamIndex_ < 0) {
        return false;
    }
    AVStream* stream = format_->streams[streamIndex_];
    const int64_t target =
        av_rescale_q(frame, AVRational{1, static_cast<int>(description_.sampleRate)},
                     stream->time_base) +
        (stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0);
    if (av_seek_frame(format_, streamIndex_, target, AVSEEK_FLAG_BACKWARD) < 0) {
        return false;
    }
    avcodec_flush_buffers(codec_);
    draining_ = false;
    finished_ = false;
    return true;
}

int64_t AudioTrackDecoder::frameIndexOf(const AVFrame* frame) const {
    const int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE) {
        return -1;
    }
    return av_rescale_q(pts, format_->streams[streamIndex_]->time_base,
                        AVRational{1, static_cast<int>(description_.sampleRate)});
}

bool AudioTrackDecoder::deliver(const ChunkHandler& handler, bool& keepGoing) {
    const int frameCount = frame_->nb_samples;
    if (frameCount <= 0) {
        return false;
    }
    const int channels = frame_->ch_layout.nb_channels;
    if (channels != static_cast<int>(description_.channelCount)) {
        keepGoing = false;
        return true;
    }
    const int64_t first = frameIndexOf(frame_);
    if (frame_->format == AV_SAMPLE_FMT_FLTP) {
        keepGoing = handler(reinterpret_cast<const float* const*>(frame_->extended_data),
                            static_cast<uint32_t>(frameCount), first);
        return true;
    }
    if (!resampler_) {
        if (swr_alloc_set_opts2(&resampler_, &frame_->ch_layout, AV_SAMPLE_FMT_FLTP,
                                frame_->sample_rate, &frame_->ch_layout,
                                static_cast<AVSampleFormat>(frame_->format), frame_->sample_rate, 0,
                                nullptr) < 0 ||
            swr_init(resampler_) < 0) {
            keepGoing = false;
            return true;
        }
    }
    av_frame_unref(converted_);
    converted_->format = AV_SAMPLE_FMT_FLTP;
    converted_->sample_rate = frame_->sample_rate;
    converted_->nb_samples = frameCount;
    if (av_channel_layout_copy(&converted_->ch_layout, &frame_->ch_layout) < 0 ||
        av_frame_get_buffer(converted_, 0) < 0) {
        keepGoing = false;
        return true;
    }
    const int produced =
        swr_convert(resampler_, converted_->extended_data, frameCount,
                    const_cast<const uint8_t**>(frame_->extended_data), frameCount);
    if (produced <= 0) {
        keepGoing = false;
        return true;
    }
    keepGoing = handler(reinterpret_cast<const float* const*>(converted_->extended_data),
                        static_cast<uint32_t>(produced), first);
    return true;
}

bool AudioTrackDecoder::decodeNextChunk(const ChunkHandler& handler) {
    if (!codec_ || finished_) {
        return false;
    }
    for (;;) {
        const int received = avcodec_receive_frame(codec_, frame_);
        if (received == 0) {
            bool keepGoing = true;
            const bool delivered = deliver(handler, keepGoing);
            av_frame_unref(frame_);
            if (!keepGoing) {
                finished_ = true;
                return false;
            }
            if (delivered) {
                return true;
            }
            continue;
        }
        if (received != AVERROR(EAGAIN)) {
            finished_ = true; // end of stream or a decoding error: the extraction simply ends
            return false;
        }
        if (draining_) {
            finished_ = true;
            return false;
        }
        const int read = av_read_frame(format_, packet_);
        if (read < 0) {
            draining_ = true;
            avcodec_send_packet(codec_, nullptr);
            continue;
        }
        if (packet_->stream_index == streamIndex_) {
            const int sent = avcodec_send_packet(codec_, packet_);
            if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA) {
                av_packet_unref(packet_);
                finished_ = true;
                return false;
            }
        }
        av_packet_unref(packet_);
    }
}
