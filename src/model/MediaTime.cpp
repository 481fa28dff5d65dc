#include "model/MediaTime.h"

#include <cmath>
#include <limits>
#include <numeric>

namespace {

using i128 = __int128;

int64_t clampTo64(i128 v) {
    if (v > std::numeric_limits<int64_t>::max()) {
        return std::numeric_limits<int64_t>::max();
    }
    if (v < std::numeric_limits<int64_t>::min()) {
        return std::numeric_limits<int64_t>::min();
    }
    return int64_t(v);
}

// value × to / from rounded to nearest, halves away from zero.
i128 rescale(int64_t value, int32_t from, int32_t to) {
    const i128 num = i128(value) * to;
    const i128 q = num / from;
    const i128 r = num % from;
    if (2 * (r < 0 ? -r : r) >= from) {
        return num < 0 ? q - 1 : q + 1;
    }
    return q;
}

MediaTime combine(const MediaTime& a, const MediaTime& b, int sign) {
    if (!a.isValid() || !b.isValid()) {
        return MediaTime::invalid();
    }
    if (a.isIndefinite() || b.isIndefinite()) {
        return MediaTime::indefinite();
    }
    if (a.timescale() == b.timescale()) {
        return MediaTime(clampTo64(i128(a.value()) + sign * i128(b.value())), a.timescale());
    }
    const int64_t lcm = std::lcm(int64_t(a.timescale()), int64_t(b.timescale()));
    const int32_t scale = lcm <= std::numeric_limits<int32_t>::max()
                              ? int32_t(lcm)
                              : std::max(a.timescale(), b.timescale());
    const i128 va = rescale(a.value(), a.timescale(), scale);
    const i128 vb = rescale(b.value(), b.timescale(), scale);
    return MediaTime(clampTo64(va + sign * vb), scale);
}

} // namespace

MediaTime MediaTime::fromSeconds(double seconds, int32_t timescale) {
    if (timescale <= 0 || !std::isfinite(seconds)) {
        return invalid();
    }
    const double units = std::round(seconds * timescale);
    if (units >= 9.2e18 || units <= -9.2e18) {
        return invalid();
    }
    return MediaTime(int64_t(units), timescale);
}

double MediaTime::seconds() const {
    if (!isNumeric()) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return double(value_) / double(timescale_);
}

MediaTime MediaTime::convertScale(int32_t timescale) const {
    if (!isNumeric() || timescale <= 0) {
        return isIndefinite() ? *this : invalid();
    }
    return MediaTime(clampTo64(rescale(value_, timescale_, timescale)), timescale);
}

std::strong_ordering operator<=>(const MediaTime& a, const MediaTime& b) {
    if (a.kind_ != b.kind_ || a.kind_ != MediaTime::Kind::Numeric) {
        return a.kind_ <=> b.kind_;
    }
    return i128(a.value_) * b.timescale_ <=> i128(b.value_) * a.timescale_;
}

MediaTime operator+(const MediaTime& a, const MediaTime& b) {
    return combine(a, b, +1);
}
MediaTime operator-(const MediaTime& a, const MediaTime& b) {
    return combine(a, b, -1);
}
