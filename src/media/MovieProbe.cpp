#include "media/MovieProbe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cmath>

MovieInfo probeMovie(const QString& path) {
    MovieInfo info;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr) < 0) {
        return info;
    }
    if (avformat_find_stream_info(format, nullptr) < 0) {
        avformat_close_input(&format);
        return info;
    }
    info.opened = true;
    info.duration = format->duration > 0 ? static_cast<double>(format->duration) / AV_TIME_BASE : 0;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        const AVCodecParameters* parameters = stream->codecpar;
        if (parameters->codec_type == AVMEDIA_TYPE_AUDIO) {
            AudioTrackInfo track;
            track.streamIndex = static_cast<int>(i);
            track.description.sampleRate = parameters->sample_rate;
            track.description.channelCount =
                static_cast<uint32_t>(parameters->ch_layout.nb_channels);
            track.description.bitsPerChannel = 32;
            info.audioTracks.push_back(track);
        } else if (parameters->codec_type == AVMEDIA_TYPE_VIDEO && !info.hasVideo &&
                   !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
            info.hasVideo = true;
            AVRational rate = stream->avg_frame_rate;
            if (rate.num <= 0 || rate.den <= 0) {
                rate = stream->r_frame_rate;
            }
            info.frameRate = editorFrameRate(rate.num, rate.den);
        }
    }
    avformat_close_input(&format);
    return info;
}

double editorFrameRate(int numerator, int denominator) {
    if (numerator <= 0 || denominator <= 0) {
        return 0;
    }
    // Three decimals give the NTSC rates as the editor writes them: 23.976, 29.97 and 59.94.
    const double rate = static_cast<double>(numerator) / denominator;
    return std::round(rate * 1000.0) / 1000.0;
}

double editorFrameRateForMovie(const MovieInfo& info) {
    return info.hasVideo && info.frameRate > 0 ? info.frameRate : 30.0;
}
