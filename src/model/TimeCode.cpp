#include "model/TimeCode.h"

#include "model/MQStringUtility.h"

#include <cmath>
#include <limits>

namespace {

int64_t truncToInt64(double v) {
    if (!(v == v)) {
        return 0;
    }
    if (v >= 9.2e18) {
        return std::numeric_limits<int64_t>::max();
    }
    if (v <= -9.2e18) {
        return std::numeric_limits<int64_t>::min();
    }
    return int64_t(v);
}

int32_t truncToInt32(double v) {
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

} // namespace

TimeCode TimeCode::withTotalMilliseconds(double milliseconds) {
    TimeCode tc;
    tc.setTotalMilliseconds(milliseconds);
    return tc;
}

TimeCode TimeCode::withComponents(int64_t hours, int64_t minutes, int64_t seconds,
                                  int64_t milliseconds) {
    TimeCode tc;
    tc.hours_ = hours;
    tc.minutes_ = minutes;
    tc.seconds_ = seconds;
    tc.milliseconds_ = milliseconds;
    tc.total_ = double(hours) * 3600000.0 + double(minutes) * 60000.0 + double(seconds) * 1000.0 +
                double(milliseconds);
    return tc;
}

TimeCode TimeCode::timeCodeFromString(const QString& text) {
    return withTotalMilliseconds(parseToMilliseconds(text));
}

double TimeCode::parseToMilliseconds(const QString& text) {
    QList<QStringView> parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u':' || text[i] == u',' || text[i] == u'.') {
            parts.append(QStringView(text).mid(start, i - start));
            start = i + 1;
        }
    }
    if (parts.size() != 4) {
        return -1;
    }
    using MQStringUtility::integerValue;
    // Summed in double so that absurd fields cannot overflow.
    return double(integerValue(parts[0])) * 3600000.0 + double(integerValue(parts[1])) * 60000.0 +
           double(integerValue(parts[2])) * 1000.0 + double(integerValue(parts[3]));
}

void TimeCode::setTotalMilliseconds(double milliseconds) {
    total_ = milliseconds;
    const double totalSeconds = total_ / 1000.0;
    milliseconds_ = truncToInt64(total_) % 1000;
    const int64_t wholeSeconds = truncToInt64(totalSeconds);
    hours_ = wholeSeconds / 3600;
    minutes_ = (wholeSeconds - hours_ * 3600) / 60;
    seconds_ = wholeSeconds - hours_ * 3600 - minutes_ * 60;
}

QString TimeCode::description() const {
    return QString::asprintf("%2lld:%2lld:%2lld,%3lld", (long long)hours_, (long long)minutes_,
                             (long long)seconds_, (long long)milliseconds_);
}

ITTime::ITTime(double seconds)
    : data_(truncToInt32(std::floor(seconds))),
      ms_(int32_t(truncToInt64(std::floor(seconds * 1000.0)) % 1000)) {}
