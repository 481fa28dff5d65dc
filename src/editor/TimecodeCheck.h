#pragma once

#include "editor/SubtitleTextModel.h"

#include <QString>
#include <QStringList>

#include <vector>

// A start or end code seen by the order check.
struct TimecodeMark {
    TextRange range;
    bool isError = false;
};

// The whole-text order check: every start or end code, in text order, is an error when its time
// is earlier than the code before it (the first is compared with 0 s).
struct TimecodeOrderCheck {
    std::vector<TimecodeMark> codes;
    QStringList errorTimeCodes;
    std::vector<TextRange> errorTimeCodeRanges;
    bool error = false;
};
TimecodeOrderCheck checkTimecodeOrder(const QString& text);

// The per-line checks. A start is wrong when it is earlier than the nearest earlier end, or not
// later than the nearest earlier lone start; an end is wrong when it is not after its own start.
bool checkErrorStartTimeCodeAtSubtitleLine(const SubtitleLineList& lines, qsizetype index);
bool checkErrorEndTimeCodeAtSubtitleLine(const SubtitleLine& line);

inline constexpr double kMinimumSubtitleDuration = 0.5;

// The text with overlaps removed (a start before the previous end moves to that end) and every
// subtitle at least kMinimumSubtitleDuration long; each line followed by "\n".
QString autoCorrectedText(const SubtitleLineList& lines);
