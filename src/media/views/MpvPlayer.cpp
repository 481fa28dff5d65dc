#include "media/views/MpvPlayer.h"

#include <QMetaObject>

#include <mpv/client.h>

#include <algorithm>
#include <clocale>
#include <cmath>

namespace {

enum PropertyId : uint64_t { kPause = 1, kTimePos, kDuration, kVideoCodec };

void setOption(mpv_handle* mpv, const char* name, const QString& value) {
    mpv_set_option_string(mpv, name, value.toUtf8().constData());
}

} // namespace

MpvPlayer::MpvPlayer(const QString& videoOutput, const QString& audioOutput, QObject* parent)
    : QObject(parent) {
    // libmpv refuses to start unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    mpv_ = mpv_create();
    if (!mpv_) {
        return;
    }
    setOption(mpv_, "vo", videoOutput);
    if (!audioOutput.isEmpty()) {
        setOption(mpv_, "ao", audioOutput);
    }
    setOption(mpv_, "idle", QStringLiteral("yes"));
    setOption(mpv_, "keep-open", QStringLiteral("always"));
    setOption(mpv_, "pause", QStringLiteral("yes"));
    setOption(mpv_, "input-default-bindings", QStringLiteral("no"));
    setOption(mpv_, "osc", QStringLiteral("no"));
    setOption(mpv_, "terminal", QStringLiteral("no"));
    setOption(mpv_, "hr-seek", QStringLiteral("yes"));
    if (mpv_initialize(mpv_) < 0) {
        mpv_terminate_destroy(mpv_);
        mpv_ = nullptr;
        return;
    }
    mpv_observe_property(mpv_, kPause, "pause", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv_, kTimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv_, kDuration, "duration", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv_, kVideoCodec, "video-codec", MPV_FORMAT_STRING);
    mpv_set_wakeup_callback(
        mpv_,
        [](void* context) {
            // Called on one of mpv's threads: only queue the work.
            QMetaObject::invokeMethod(static_cast<MpvPlayer*>(context), &MpvPlayer::drainEvents,
                                      Qt::QueuedConnection);
        },
        this);
}

MpvPlayer::~MpvPlayer() {
    Q_EMIT aboutToDestroy(); // render contexts go before the core
    if (mpv_) {
        mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
        mpv_terminate_destroy(mpv_);
    }
}

void MpvPlayer::loadFile(const QString& path) {
    if (!mpv_) {
        Q_EMIT loadFailed();
        return;
    }
    fileLoaded_ = false;
    hasVideo_ = false;
    timePosition_ = 0;
    const QByteArray file = path.toUtf8();
    const char* command[] = {"loadfile", file.constData(), nullptr};
    mpv_command_async(mpv_, 0, command);
}

void MpvPlayer::stop() {
    if (!mpv_) {
        return;
    }
    const char* command[] = {"stop", nullptr};
    mpv_command_async(mpv_, 0, command);
    fileLoaded_ = false;
    timePosition_ = 0;
    duration_ = 0;
}

void MpvPlayer::setPaused(bool paused) {
    if (!mpv_) {
        return;
    }
    int flag = paused ? 1 : 0;
    mpv_set_property_async(mpv_, 0, "pause", MPV_FORMAT_FLAG, &flag);
    if (paused_ != paused) {
        paused_ = paused;
        Q_EMIT pausedChanged(paused);
    }
}

void MpvPlayer::setRate(double rate) {
    if (!mpv_ || rate == 0) {
        return;
    }
    double speed = std::clamp(std::fabs(rate), 0.01, 100.0);
    mpv_set_property_async(mpv_, 0, "speed", MPV_FORMAT_DOUBLE, &speed);
    const char* direction = rate < 0 ? "backward" : "forward";
    mpv_set_property_async(mpv_, 0, "play-dir", MPV_FORMAT_STRING, &direction);
}

void MpvPlayer::seek(double seconds, bool exact) {
    if (!mpv_) {
        return;
    }
    const QByteArray target = QByteArray::number(std::max(0.0, seconds), 'f', 6);
    const char* command[] = {"seek", target.constData(), exact ? "absolute+exact" : "absolute",
                             nullptr};
    mpv_command_async(mpv_, 0, command);
    timePosition_ = std::max(0.0, seconds);
}

void MpvPlayer::setVolume(double volume) {
    volume_ = volume;
    if (mpv_) {
        mpv_set_property_async(mpv_, 0, "volume", MPV_FORMAT_DOUBLE, &volume_);
    }
}

void MpvPlayer::drainEvents() {
    while (mpv_) {
        mpv_event* event = mpv_wait_event(mpv_, 0);
        if (event->event_id == MPV_EVENT_NONE) {
            break;
        }
        switch (event->event_id) {
        case MPV_EVENT_FILE_LOADED:
            fileLoaded_ = true;
            Q_EMIT fileLoaded();
            break;
        case MPV_EVENT_END_FILE: {
            const auto* end = static_cast<mpv_event_end_file*>(event->data);
            if (end->reason == MPV_END_FILE_REASON_ERROR) {
                fileLoaded_ = false;
                Q_EMIT loadFailed();
            }
            break;
        }
        case MPV_EVENT_PLAYBACK_RESTART:
            Q_EMIT seekFinished();
            break;
        case MPV_EVENT_PROPERTY_CHANGE: {
            const auto* property = static_cast<mpv_event_property*>(event->data);
            if (event->reply_userdata == kPause && property->format == MPV_FORMAT_FLAG) {
                const bool paused = *static_cast<int*>(property->data) != 0;
                if (paused != paused_) {
                    paused_ = paused;
                    Q_EMIT pausedChanged(paused);
                }
            } else if (event->reply_userdata == kTimePos && property->format == MPV_FORMAT_DOUBLE) {
                timePosition_ = *static_cast<double*>(property->data);
                Q_EMIT timePositionChanged(timePosition_);
            } else if (event->reply_userdata == kDuration &&
                       property->format == MPV_FORMAT_DOUBLE) {
                duration_ = *static_cast<double*>(property->data);
            } else if (event->reply_userdata == kVideoCodec) {
                hasVideo_ = property->format == MPV_FORMAT_STRING;
            }
            break;
        }
        default:
            break;
        }
    }
}
