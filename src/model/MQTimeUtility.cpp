#include "model/MQTimeUtility.h"

#include "model/MQSetting.h"
#include "model/MQStringUtility.h"
#include "model/TimeCode.h"

#include <charconv>
#include <cmath>
#include <limits>

using MQStringUtility::integerValue;
using MQStringUtility::intValue;

namespace {

int32_t saturateToInt32(double v) {
    if (!(v == v)) {
        return 0;
    }
    if (v >= 2147483647.0) {
        return std::numeric_limits<int32_t>::max();
    }
    if (v <= -2147483648.0) {
        return std::numeric_limits<int32_t>::min();
    }
    return int32_t(v);
}

struct TimecodeFields {
    QStringView hours, minutes, seconds, frames;
};

// "[HH:MM:SS.FF]" or "HH:MM:SS.FF" split into its four fields; false when the third ":" field
// does not split into exactly two pieces at ".".
bool splitTimecode(const QString& timecode, TimecodeFields& fields) {
    QStringView s(timecode);
    while (!s.isEmpty() && (s.front() == u'[' || s.front() == u']')) {
        s = s.mid(1);
    }
    while (!s.isEmpty() && (s.back() == u'[' || s.back() == u']')) {
        s.chop(1);
    }
    // Split by hand in one pass: this runs for both codes of every editor line.
    qsizetype colons[3] = {-1, -1, -1};
    int colonCount = 0;
    int points = 0;
    qsizetype point = -1;
    for (qsizetype i = 0; i < s.size() && colonCount < 3; ++i) {
        if (s[i] == u':') {
            colons[colonCount++] = i;
        } else if (s[i] == u'.' && colonCount == 2 && points++ == 0) {
            point = i;
        }
    }
    if (colonCount < 2 || points != 1) {
        return false;
    }
    const qsizetype thirdEnd = colonCount == 3 ? colons[2] : s.size();
    fields = {s.mid(0, colons[0]), s.mid(colons[0] + 1, colons[1] - colons[0] - 1),
              s.mid(colons[1] + 1, point - colons[1] - 1), s.mid(point + 1, thirdEnd - point - 1)};
    return true;
}

} // namespace

MQTimeUtility& MQTimeUtility::sharedInstance() {
    static MQTimeUtility instance;
    return instance;
}

int32_t MQTimeUtility::timescale() const {
    return saturateToInt32(std::trunc(fps_ * 1000.0));
}

QString MQTimeUtility::timeStringFromTimeInterval(double seconds) const {
    if (seconds < 0) {
        return QString();
    }
    char buffer[64];
    buffer[0] = '[';
    char* end = writeRawTimeString(seconds, buffer + 1);
    *end++ = ']';
    return QString::fromLatin1(buffer, end - buffer);
}

QString MQTimeUtility::rawTimeStringFromTimeInterval(double seconds) const {
    char buffer[64];
    return QString::fromLatin1(buffer, writeRawTimeString(seconds, buffer) - buffer);
}

char* MQTimeUtility::writeRawTimeString(double seconds, char* out) const {
    const ITTime split(seconds);
    int32_t hours = split.getHours();
    int32_t minutes = split.getMinutes();
    int32_t secs = split.getSeconds();
    const double fraction = double(float(split.getMilliSeconds()) / 1000.0f);
    int32_t frames = saturateToInt32(std::round(fraction * fps_));
    if (double(frames) >= fps_) {
        frames = 0;
        if (++secs == 60) {
            secs = 0;
            if (++minutes == 60) {
                minutes = 0;
                ++hours;
            }
        }
    }
    // "%.2d:%.2d:%.2d.%.2d", formatted by hand: this runs for every time of every line.
    const auto put = [&](int32_t value) {
        long long v = value;
        if (v < 0) {
            *out++ = '-';
            v = -v;
        }
        if (v < 10) {
            *out++ = '0';
        }
        out = std::to_chars(out, out + 20, v).ptr;
    };
    put(hours);
    *out++ = ':';
    put(minutes);
    *out++ = ':';
    put(secs);
    *out++ = '.';
    put(frames);
    return out;
}

QString MQTimeUtility::timeStringFromCMTime(const MediaTime& time) const {
    return timeStringFromTimeInterval(time.seconds());
}

QString MQTimeUtility::rawTimeStringFromCMTime(const MediaTime& time) const {
    return rawTimeStringFromTimeInterval(time.seconds());
}

double MQTimeUtility::timeIntervalFromString(const QString& timecode) const {
    TimecodeFields f;
    if (!splitTimecode(timecode, f)) {
        return -1;
    }
    const int64_t whole =
        int64_t(intValue(f.hours)) * 3600 + int64_t(intValue(f.minutes)) * 60 + intValue(f.seconds);
    return double(whole) + double(intValue(f.frames)) / fps_;
}

double MQTimeUtility::timeIntervalFromStringWithFloor(const QString& timecode) const {
    TimecodeFields f;
    if (!splitTimecode(timecode, f)) {
        return -1;
    }
    const int64_t whole =
        int64_t(intValue(f.hours)) * 3600 + int64_t(intValue(f.minutes)) * 60 + intValue(f.seconds);
    return double(whole) + std::floor(double(intValue(f.frames)) / fps_ * 100.0) / 100.0;
}

MediaTime MQTimeUtility::cmTimeFromTimeString(const QString& timecode) const {
    TimecodeFields f;
    if (!splitTimecode(timecode, f)) {
        return MediaTime::indefinite();
    }
    const double whole = double(integerValue(f.hours)) * 3600.0 +
                         double(integerValue(f.minutes)) * 60.0 + double(integerValue(f.seconds));
    const double units = std::trunc((double(integerValue(f.frames)) + whole * fps_) * 1000.0);
    if (!(std::abs(units) < 9.2e18)) {
        return MediaTime::indefinite();
    }
    return MediaTime(int64_t(units), timescale());
}

MediaTime MQTimeUtility::getCMTimeWithFrame(int64_t frames) const {
    return MediaTime(frames * 1000, timescale());
}

MediaTime MQTimeUtility::getCMTimeWithTimeInteval(double seconds) const {
    return MediaTime::fromSeconds(seconds, timescale());
}

MediaTime MQTimeUtility::nudgeStep() const {
    return MediaTime(int64_t(MQSetting::shareInstance().timecodeAdjustmentPerArrowKey()) * 1000,
                     timescale());
}

MediaTime MQTimeUtility::increasedCMTime(const MediaTime& time) const {
    return time + nudgeStep();
}

MediaTime MQTimeUtility::decreasedCMTime(const MediaTime& time) const {
    const MediaTime step = nudgeStep();
    if (time < step) {
        return MediaTime::zero();
    }
    return time - step;
}

double MQTimeUtility::roundedTimeInteval(double seconds) {
    const float milliseconds = std::ceil(float(seconds * 1000.0));
    return double(milliseconds / 1000.0f);
}

MediaTime MQTimeUtility::getCMTimeWithDurationString(const QString& duration) {
    if (duration.isNull()) {
        return MediaTime::zero();
    }
    QString s = duration;
    s.remove(u's');
    const QStringList pieces = s.split(u'/');
    const int64_t numerator = integerValue(pieces.value(0));
    const int32_t denominator = pieces.size() == 2 ? intValue(pieces[1]) : 1;
    return MediaTime(numerator, denominator);
}

QString MQTimeUtility::changeFloat(const QString& number) {
    qsizetype end = number.size();
    while (end > 0) {
        const QChar c = number[end - 1];
        if (c == u'0') {
            --end;
        } else {
            if (c == u'.') {
                --end;
            }
            break;
        }
    }
    return end == 0 ? QStringLiteral("0") : number.left(end);
}

int32_t MQTimeUtility::numeratorFromMarqueeTimecode(const QString& timecode, int32_t numerator,
                                                    int32_t denominator) {
    TimecodeFields f;
    if (!splitTimecode(timecode, f)) {
        return -1;
    }
    // 32-bit arithmetic that wraps like the integers it was defined with.
    const uint32_t h = uint32_t(intValue(f.hours));
    const uint32_t m = uint32_t(intValue(f.minutes));
    const uint32_t s = uint32_t(intValue(f.seconds));
    const uint32_t frames = uint32_t(intValue(f.frames));
    const uint32_t N = uint32_t(numerator);
    const uint32_t D = uint32_t(denominator);
    const uint32_t totalSeconds = h * 3600u + m * 60u + s;
    const int32_t totalMinutes = int32_t(h * 60u + m);

    uint32_t base;
    if (numerator == 1001 || numerator == 2002) {
        const float nominal = float(denominator) * 1.001f;
        base = frames * N + uint32_t(saturateToInt32(std::trunc(nominal))) * totalSeconds;
    } else {
        base = frames * N + totalSeconds * D;
    }

    uint32_t dropped = 0;
    if (numerator == 2002) {
        dropped = denominator == 60000 ? 2 : 0;
    } else if (numerator == 1001) {
        dropped = denominator == 30000 ? 2 : denominator == 60000 ? 4 : 0;
    }
    const uint32_t droppedMinutes = uint32_t(totalMinutes - totalMinutes / 10);
    return int32_t(base - droppedMinutes * dropped * N);
}
