#pragma once

#include <QString>

#include <cstdint>

// Appends `value` as printf's "%.Nlld" would: at least `digits` digits, a leading "-" when
// negative. Writers call it for every time field, where printf-style formatting is too slow.
inline void appendPaddedNumber(QString& out, int64_t value, int digits) {
    char buffer[24];
    int length = 0;
    uint64_t magnitude = value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    do {
        buffer[length++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (length < digits) {
        buffer[length++] = '0';
    }
    if (value < 0) {
        out += u'-';
    }
    while (length > 0) {
        out += QLatin1Char(buffer[--length]);
    }
}

// Removes white space and newlines from both ends in place.
void trimInPlace(QString& text);
