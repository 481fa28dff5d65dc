#pragma once

#include <QString>

#include <cstdint>

// Writes `value` as printf's "%.Nlld" would: at least `digits` digits (up to 20), a leading "-"
// when negative. Returns the end; `out` needs room for 21 characters. Writers call it for every
// time field, where printf-style formatting is too slow.
inline char* writePaddedNumber(char* out, int64_t value, int digits) {
    char buffer[20];
    int length = 0;
    uint64_t magnitude = value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    do {
        buffer[length++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (length < digits && length < int(sizeof buffer)) {
        buffer[length++] = '0';
    }
    if (value < 0) {
        *out++ = '-';
    }
    while (length > 0) {
        *out++ = buffer[--length];
    }
    return out;
}

inline void appendPaddedNumber(QString& out, int64_t value, int digits) {
    char buffer[24];
    out += QLatin1StringView(buffer, writePaddedNumber(buffer, value, digits) - buffer);
}

// Removes white space and newlines from both ends in place.
void trimInPlace(QString& text);
