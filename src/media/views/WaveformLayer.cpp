#include "media/views/WaveformLayer.h"

#include "model/MQSetting.h"

#include <QPainter>

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
    const int width = static_cast<int>(std::ceil(drawRect_.width()));
    const int height = static_cast<int>(std::ceil(drawRect_.height()));
    if (width <= 0 || height <= 0) {
        return;
    }
    if (canvas_.width() != width || canvas_.height() != height) {
        canvas_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    }
    canvas_.fill(kBackgroundColor);
    if (!stores_.empty()) {
        const bool playing = player_ && player_->isPlaying();
        if (!(isScroll_ && !playing)) {
            const double t =
                player_ && player_->hasCurrentItem() ? player_->currentTimeSeconds() : 0;
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
        fillRows(static_cast<int>(std::floor(drawRect_.height() / 2)), 0, width, Qt::black);
        drawWaveLines(displayStyle_ - 1);
    }
    painter.drawImage(QPointF(0, 0), canvas_);
}

void WaveformLayer::fillRows(int row, int column, int count, const QColor& colour) {
    if (row < 0 || row >= canvas_.height()) {
        return;
    }
    auto* line = reinterpret_cast<QRgb*>(canvas_.scanLine(row));
    std::fill(line + std::max(0, column), line + std::min(canvas_.width(), column + count),
              colour.rgba());
}

void WaveformLayer::fillColumn(int column, int top, int bottom, const QColor& colour) {
    if (column < 0 || column >= canvas_.width()) {
        return;
    }
    top = std::max(0, top);
    bottom = std::min(canvas_.height() - 1, bottom);
    const QRgb value = colour.rgba();
    const qsizetype stride = canvas_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    QRgb* pixel = reinterpret_cast<QRgb*>(canvas_.bits()) + top * stride + column;
    for (int y = top; y <= bottom; ++y, pixel += stride) {
        *pixel = value;
    }
}

void WaveformLayer::drawWaveLines(int channel) {
    // Columns are written straight into the canvas: a strip is thousands of one-pixel lines,
    // which a painter would turn into one span per pixel row.
    const double pps = getSampleRate();
    const double x0 = drawRect_.x();
    const double w = drawRect_.width();
    const double middle = drawRect_.height() / 2;
    bool before = x0 - pointerTime_ * pps > 0;
    int pointerColumn = -1;
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
        const int column = static_cast<int>(std::floor(static_cast<double>(i) - x0 + 0.5));
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
        const int top = static_cast<int>(std::lround(middle - half));
        const int bottom = std::max(top, static_cast<int>(std::lround(middle + half)) - 1);
        fillColumn(column, top, bottom, before ? kUnplayedColor : kPlayedColor);
    }
    if (pointerColumn >= 0) {
        fillColumn(pointerColumn, 0, canvas_.height() - 1, kPointerColor);
    }
}
