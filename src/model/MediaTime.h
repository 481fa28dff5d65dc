#pragma once

#include <compare>
#include <cstdint>

// A rational media time: value / timescale seconds. Compare, add and subtract are exact
// integer arithmetic; only seconds() and fromSeconds() touch floating point.
class MediaTime {
public:
    constexpr MediaTime() = default;
    constexpr MediaTime(int64_t value, int32_t timescale)
        : value_(value), timescale_(timescale),
          kind_(timescale > 0 ? Kind::Numeric : Kind::Invalid) {}

    static constexpr MediaTime zero() { return MediaTime(0, 1); }
    static constexpr MediaTime invalid() { return MediaTime(); }
    static constexpr MediaTime indefinite() {
        MediaTime t;
        t.kind_ = Kind::Indefinite;
        return t;
    }
    // Seconds at the given timescale, rounded to the nearest unit (halves away from zero).
    static MediaTime fromSeconds(double seconds, int32_t timescale);

    constexpr int64_t value() const { return value_; }
    constexpr int32_t timescale() const { return timescale_; }
    constexpr bool isNumeric() const { return kind_ == Kind::Numeric; }
    constexpr bool isIndefinite() const { return kind_ == Kind::Indefinite; }
    constexpr bool isValid() const { return kind_ != Kind::Invalid; }

    // Seconds as a double; NaN for a time that is not numeric.
    double seconds() const;

    // The same instant at another timescale, rounded to the nearest unit.
    MediaTime convertScale(int32_t timescale) const;

    // Invalid < numeric times in order < indefinite.
    friend std::strong_ordering operator<=>(const MediaTime& a, const MediaTime& b);
    friend bool operator==(const MediaTime& a, const MediaTime& b) { return (a <=> b) == 0; }

    // Sums and differences keep an exact common timescale where one fits in 32 bits, else the
    // larger timescale (rounded). An invalid operand gives invalid; an indefinite one indefinite.
    friend MediaTime operator+(const MediaTime& a, const MediaTime& b);
    friend MediaTime operator-(const MediaTime& a, const MediaTime& b);

private:
    enum class Kind : uint8_t { Invalid, Numeric, Indefinite };
    int64_t value_ = 0;
    int32_t timescale_ = 0;
    Kind kind_ = Kind::Invalid;
};
