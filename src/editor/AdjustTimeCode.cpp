#include "editor/AdjustTimeCode.h"

#include <QLocale>

#include <cmath>

void AdjustTimeCodeState::reset(double fps) {
    fps_ = fps;
    values_[Hours] = values_[Minutes] = values_[Seconds] = values_[Frames] = 0;
    row_ = 0;
}

void AdjustTimeCodeState::setValue(Field field, int value) {
    values_[field] = value;
    calculateAdjustTime();
}

bool AdjustTimeCodeState::inRange(Field field, int value, double fps) {
    switch (field) {
    case Hours:
        return value >= 1 && value <= 10;
    case Minutes:
    case Seconds:
        return value >= 0 && value <= 60;
    case Frames:
        return value >= 0 && value <= fps;
    }
    return false;
}

bool AdjustTimeCodeState::acceptText(Field field, const QString& text) {
    bool ok = false;
    const int value = QLocale::c().toInt(text.trimmed(), &ok);
    if (!ok || !inRange(field, value, fps_)) {
        return false;
    }
    setValue(field, value);
    return true;
}

void AdjustTimeCodeState::setRow(int row) {
    row_ = row == 0 ? 0 : 1;
    calculateAdjustTime();
}

void AdjustTimeCodeState::calculateAdjustTime() {
    int carry = 0;
    if (values_[Frames] >= fps_) {
        values_[Frames] = 0;
        carry = 1;
    }
    if (values_[Seconds] + carry >= 60) {
        values_[Seconds] = 0;
        carry = 1;
    } else {
        values_[Seconds] += carry;
        carry = 0;
    }
    if (values_[Minutes] + carry >= 60) {
        values_[Minutes] = 0;
        carry = 1;
    } else {
        values_[Minutes] += carry;
        carry = 0;
    }
    values_[Hours] += carry;
}

QString AdjustTimeCodeState::summary() const {
    return QString::asprintf("Shift all time codes %s %.2d:%.2d:%.2d.%.2d",
                             row_ == 0 ? "backward" : "forward", values_[Hours], values_[Minutes],
                             values_[Seconds], values_[Frames]);
}

MediaTime AdjustTimeCodeState::offset() const {
    const int32_t frames = int32_t(
        std::trunc(values_[Frames] +
                   (values_[Hours] * 3600 + values_[Minutes] * 60 + values_[Seconds]) * fps_));
    return MediaTime(int64_t(frames) * 1000, int32_t(std::trunc(fps_ * 1000)));
}
