#include "model/SubtitleLine.h"

#include "model/MQTimeUtility.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// A random (version 4) UUID in upper case. Lines are made by the hundred thousand on import, so
// this draws from a per-thread generator seeded once from the system instead of asking the
// system for every id.
QString newLineId() {
    thread_local std::mt19937_64 generator{[] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }()};
    uint64_t high = generator();
    uint64_t low = generator();
    high = (high & ~0xF000ull) | 0x4000ull;               // version 4
    low = (low & ~(0xC000ull << 48)) | (0x8000ull << 48); // RFC 4122 variant
    static constexpr char hex[] = "0123456789ABCDEF";
    char text[36];
    int pos = 0;
    const auto putBits = [&](uint64_t value, int nibbles) {
        for (int i = nibbles - 1; i >= 0; --i) {
            text[pos++] = hex[(value >> (4 * i)) & 0xF];
        }
    };
    putBits(high >> 32, 8);
    text[pos++] = '-';
    putBits(high >> 16, 4);
    text[pos++] = '-';
    putBits(high, 4);
    text[pos++] = '-';
    putBits(low >> 48, 4);
    text[pos++] = '-';
    putBits(low, 12);
    return QString::fromLatin1(text, 36);
}

// The times of a line not yet timed, decomposed once rather than for every new line.
const TimeCode& unsetTime() {
    static const TimeCode unset = TimeCode::fromSeconds(-1);
    return unset;
}

} // namespace

SubtitleLine::SubtitleLine()
    : subtitleLineId(newLineId()), startTimeCode_(unsetTime()), endTimeCode_(unsetTime()) {}

SubtitleLinePtr SubtitleLine::copyOf(const SubtitleLine& source) {
    auto line = create();
    line->number = source.number;
    line->text_ = source.text_;
    line->setStartTime(source.startTime_);
    line->setEndTime(source.endTime_);
    line->setStartTimeCode(
        TimeCode::withTotalMilliseconds(source.startTimeCode_.totalMilliseconds()));
    line->setEndTimeCode(TimeCode::withTotalMilliseconds(source.endTimeCode_.totalMilliseconds()));
    line->startFrame = source.startFrame;
    line->endFrame = source.endFrame;
    line->isForced = source.isForced;
    line->extra = source.extra;
    line->isComment = source.isComment;
    line->actor = source.actor;
    line->effect = source.effect;
    line->layer = source.layer;
    line->subtitleLineId = source.subtitleLineId;
    line->language = source.language;
    line->style = source.style;
    line->isStartTimeError = source.isStartTimeError;
    line->isEndTimeError = source.isEndTimeError;
    return line;
}

SubtitleLine::ObserverId SubtitleLine::addObserver(Observer observer) {
    const ObserverId id = nextObserverId_++;
    observers_.emplace_back(id, std::move(observer));
    return id;
}

void SubtitleLine::removeObserver(ObserverId id) {
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void SubtitleLine::notify(Change change) {
    if (observers_.empty()) {
        return;
    }
    // An observer may remove itself (or others) while being told.
    const auto snapshot = observers_;
    for (const auto& [id, observer] : snapshot) {
        const bool alive = std::any_of(observers_.begin(), observers_.end(),
                                       [id = id](const auto& entry) { return entry.first == id; });
        if (alive) {
            observer(*this, change);
        }
    }
}

void SubtitleLine::setStartTime(double seconds) {
    startTime_ = MQTimeUtility::roundedTimeInteval(seconds);
    startTimeCode_.setTotalSeconds(startTime_);
    startTimeString_ = MQTimeUtility::sharedInstance().timeStringFromTimeInterval(startTime_);
    notify(Change::Start);
}

void SubtitleLine::setEndTime(double seconds) {
    endTime_ = MQTimeUtility::roundedTimeInteval(seconds);
    endTimeCode_.setTotalSeconds(endTime_);
    endTimeString_ = MQTimeUtility::sharedInstance().timeStringFromTimeInterval(endTime_);
    notify(Change::End);
}

void SubtitleLine::setStartTimeCode(const TimeCode& timeCode) {
    startTimeCode_ = timeCode;
    startTime_ = MQTimeUtility::roundedTimeInteval(timeCode.totalSeconds());
    startTimeString_ = MQTimeUtility::sharedInstance().timeStringFromTimeInterval(startTime_);
    notify(Change::Start);
}

void SubtitleLine::setEndTimeCode(const TimeCode& timeCode) {
    endTimeCode_ = timeCode;
    endTime_ = MQTimeUtility::roundedTimeInteval(timeCode.totalSeconds());
    endTimeString_ = MQTimeUtility::sharedInstance().timeStringFromTimeInterval(endTime_);
    notify(Change::End);
}

void SubtitleLine::setText(const QString& text) {
    text_ = text;
    notify(Change::Text);
}

bool SubtitleLine::isTimeInTimeRange(double seconds) const {
    const double t = MQTimeUtility::roundedTimeInteval(seconds);
    if (isValid()) {
        return startTime_ <= t && t < endTime_;
    }
    return isStartTimeValid() && t >= startTime_;
}

bool SubtitleLine::isEqualToSubtitle(const SubtitleLine& other) const {
    if (this == &other) {
        return true;
    }
    return startTime_ == other.startTime_ && endTime_ == other.endTime_ && text_ == other.text_;
}

TimeCode SubtitleLine::duration() const {
    return TimeCode::withTotalMilliseconds(endTimeCode_.totalMilliseconds() -
                                           std::trunc(startTimeCode_.totalMilliseconds()));
}

QString SubtitleLine::getSubtitleLineString() const {
    return startTimeString_ + text_ + endTimeString_;
}

void SubtitleLine::calculateTimeCodesFromFrameNumbers(double rate) {
    setStartTimeCode(TimeCode::withTotalMilliseconds(double(startFrame) * (1000.0 / rate)));
    setEndTimeCode(TimeCode::withTotalMilliseconds(double(endFrame) * (1000.0 / rate)));
}

QString SubtitleLine::description() const {
    return QString::asprintf("%.4f,%.4f ", startTime_, endTime_) + text_;
}
