#include "media/views/WaveformLayer.h"

#include "model/MQSetting.h"

#include <QLineF>
#include <QPainter>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

WaveformLayer::WaveformLayer(QObject* parent) : QObject(parent) {
    const double stored = MQSetting::shareInstance().waveFormZoomRate();
    zoomRate_ = stored > 0 && stored <= 1 ? stored : 0.5;
}

void WaveformLayer::addDataStore(std::shared_ptr<WaveformAudioDataStore> store) {
    if (!store) {
        return;
    }
    stores_.push_back(std::move(store));
    drawRect_.setY(0);
    Q_EMIT needsDisplay();
}

void WaveformLayer::setDisplayStyle(int style) {
    displayStyle_ = style;
    Q_EMIT needsDisplay();
}

void WaveformLayer::setZoomRate(double rate, bool remember) {
    if (rate == zoomRate_ || rate <= 0 || rate > 1) {
        return;
    }
    zoomRate_ = rate;
    needToResetPointer_ = true;
    if (remember) {
        MQSetting::shareInstance().setWaveFormZoomRate(static_cast<float>(rate));
        MQSetting::shareInstance().save();
    }
}

void WaveformLayer::setYAxisZoomRate(double rate) {
    yAxisZoomRate_ = std::clamp(rate, 0.1, 5.0);
    Q_EMIT needsDisplay();
}

void WaveformLayer::increaseWaveFormYAxisZoomRate() {
    setYAxisZoomRate(std::min(5.0, yAxisZoomRate_ + 0.3));
}

void WaveformLayer::decreaseWaveFormYAxisZoomRate() {
    // Rounded so that 1.0 minus three steps lands on 0.1 and not just above it.
    const double lowered = std::round((yAxisZoomRate_ - 0.3) * 1e9) / 1e9;
    setYAxisZoomRate(std::max(0.1, lowered));
}

void WaveformLayer::setBoundsSize(double width, double height) {
    drawRect_.setY(0);
    drawRect_.setWidth(width);
    drawRect_.setHeight(height);
}

double WaveformLayer::getSampleRate() const {
    const double rate = stores_.empty() ? WaveformAudioDataStore::kEnvelopeRate
                                        : stores_.front()->mTargetASBD().sampleRate;
    return rate * zoomRate_;
}

double WaveformLayer::getTotalLength() const {
    return stores_.empty() ? 0 : zoomRate_ * stores_.front()->mTotalLength();
}

void WaveformLayer::setNewOriginX(double x) {
    const double origin = std::max(0.0, x);
    drawRect_.moveLeft(origin);
    if (delegate_) {
        delegate_->setNewOriginX(origin);
    }
}

void WaveformLayer::setCurrentTime(double seconds, bool showPointerInMiddle) {
    if (stores_.empty()) {
        return;
    }
    pointerTime_ = seconds;
    const double p = seconds * getSampleRate();
    const double w = drawRect_.width();
    const double x = drawRect_.x();
    const double total = getTotalLength();
    const bool forward = player_ ? player_->isPlayingForward() : true;
    if (p < w / 2) {
        if (!(x >= 0 && x <= p)) {
            setNewOriginX(0);
        }
    } else if (p > total - w / 2) {
        if (!(x <= total - w && p <= x + w)) {
            setNewOriginX(total - w);
        }
    } else if (showPointerInMiddle) {
        setNewOriginX(p - w / 2);
    } else if (forward && p > x + w) {
        setNewOriginX(std::min(p - w / 5, total - w));
    } else if (!forward && x > p) {
        setNewOriginX(std::max(0.0, p - 4 * w / 5));
    }
    drawRect_.setY(0);
}

void WaveformLayer::draw(QPainter& painter) {
    painter.fillRect(QRectF(0, 0, drawRect_.width(), drawRect_.height()), kBackgroundColor);
    if (stores_.empty()) {
        return;
    }
    const bool playing = player_ && player_->isPlaying();
    if (!(isScroll_ && !playing)) {
        const double t = player_ && player_->hasCurrentItem() ? player_->currentTimeSeconds() : 0;
        if (needToResetPointer_) {
            setCurrentTime(t, true);
            if (delegate_) {
                delegate_->waveFormLayerDidChangeZoomRate();
            }
        } else {
            setCurrentTime(t, player_ && player_->shouldSyncWaveForm());
        }
        needToResetPointer_ = false;
    }
    const double middle = std::floor(drawRect_.height() / 2);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(QLineF(0, middle + 0.5, drawRect_.width(), middle + 0.5));
    drawWaveLines(painter, displayStyle_ - 1);
}

void WaveformLayer::drawWaveLines(QPainter& painter, int channel) {
    const double pps = getSampleRate();
    const double x0 = drawRect_.x();
    const double w = drawRect_.width();
    const double h = drawRect_.height();
    const double middle = h / 2;
    bool before = x0 - pointerTime_ * pps > 0;
    QVarLengthArray<QLineF, 2048> played;
    QVarLengthArray<QLineF, 2048> unplayed;
    double pointerColumn = -1;
    for (int64_t i = static_cast<int64_t>(std::floor(x0)); static_cast<double>(i) < x0 + w; ++i) {
        const auto index = static_cast<uint32_t>(std::floor(static_cast<double>(i) / zoomRate_));
        int average = 0;
        int single = 0;
        for (const auto& store : stores_) {
            average = std::max<int>(average, store->getAveragedChannelData(index));
            if (channel >= 0) {
                single =
                    std::max<int>(single, store->getData(static_cast<uint8_t>(channel), index));
            }
        }
        const auto d = static_cast<int64_t>(static_cast<double>(i) - pps * pointerTime_);
        const double column = static_cast<double>(i) - x0 + 0.5;
        if (d == 0 && !before) {
            pointerColumn = column;
            if (delegate_) {
                delegate_->waveFormLayerDidDrawPointer(static_cast<double>(i) - x0);
            }
            before = true;
            continue;
        }
        const int v = channel < 0 ? average : single;
        if (v == 0) {
            continue;
        }
        // v pixels tall at vertical zoom 1, centred on the middle line.
        const double half = v * yAxisZoomRate_ / 2;
        (before ? unplayed : played).append(QLineF(column, middle - half, column, middle + half));
    }
    painter.setPen(QPen(kPlayedColor, 1));
    painter.drawLines(played.constData(), static_cast<int>(played.size()));
    painter.setPen(QPen(kUnplayedColor, 1));
    painter.drawLines(unplayed.constData(), static_cast<int>(unplayed.size()));
    if (pointerColumn >= 0) {
        painter.setPen(QPen(kPointerColor, 1));
        painter.drawLine(QLineF(pointerColumn, 0, pointerColumn, h));
    }
}
