#include "model/MQStringUtility.h"

#include <algorithm>
#include <limits>

namespace MQStringUtility {

QString normalizeEditorText(QStringView text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r') {
            if (i + 1 < n && text[i + 1] == u'\n') {
                ++i;
            }
            out.append(u'\n');
        } else if (c == 0x2028 || c == 0x2029 || c == u'\n') {
            out.append(u'\n');
        } else if (c >= 0x20) {
            out.append(QChar(c));
        }
    }
    return out;
}

QString normalizeEditorText(QString&& text) {
    const QStringView view(text);
    if (std::all_of(view.begin(), view.end(), [](QChar c) {
            return c.unicode() >= 0x20 ? c.unicode() != 0x2028 && c.unicode() != 0x2029
                                       : c == u'\n';
        })) {
        return std::move(text);
    }
    return normalizeEditorText(QStringView(text));
}

bool isWhitespace(QChar c) {
    if (c.unicode() < 0x80) {
        return c == u'\t' || c == u' ';
    }
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

bool isWhitespaceOrNewline(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80) {
        return (u >= 0x09 && u <= 0x0D) || u == u' ';
    }
    return (u >= 0x09 && u <= 0x0D) || u == 0x85 || c.category() == QChar::Separator_Space ||
           c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph;
}

template <typename Pred> static QString trimIf(QStringView text, Pred pred) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && pred(text[begin])) {
        ++begin;
    }
    while (end > begin && pred(text[end - 1])) {
        --end;
    }
    return text.mid(begin, end - begin).toString();
}

QString trimWhitespace(QStringView text) {
    return trimIf(text, isWhitespace);
}

QString trimWhitespaceAndNewlines(QStringView text) {
    return trimIf(text, isWhitespaceOrNewline);
}

QString trimCharacters(QStringView text, QStringView set) {
    return trimIf(text, [set](QChar c) { return set.contains(c); });
}

QStringList linesFromText(QStringView text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i == n || text[i] == u'\n' || text[i] == u'\r') {
            QString piece = trimWhitespaceAndNewlines(text.mid(start, i - start));
            if (!piece.isEmpty()) {
                lines.append(std::move(piece));
            }
            start = i + 1;
        }
    }
    return lines;
}

template <typename Int> static Int leadingInteger(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isWhitespaceOrNewline(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate towards the sign so that the minimum value is reachable.
    Int value = 0;
    bool saturated = false;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        if (saturated) {
            continue;
        }
        if (negative) {
            if (value < (std::numeric_limits<Int>::min() + digit) / 10) {
                value = std::numeric_limits<Int>::min();
                saturated = true;
            } else {
                value = value * 10 - digit;
            }
        } else {
            if (value > (std::numeric_limits<Int>::max() - digit) / 10) {
                value = std::numeric_limits<Int>::max();
                saturated = true;
            } else {
                value = value * 10 + digit;
            }
        }
    }
    return value;
}

int32_t intValue(QStringView text) {
    return leadingInteger<int32_t>(text);
}
int64_t integerValue(QStringView text) {
    return leadingInteger<int64_t>(text);
}

} // namespace MQStringUtility
