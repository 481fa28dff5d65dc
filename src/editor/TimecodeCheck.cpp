#include "editor/TimecodeCheck.h"

#include "model/MQStringUtility.h"
#include "model/MQTimeUtility.h"
#include "model/Regex.h"

TimecodeOrderCheck checkTimecodeOrder(const QString& text) {
    TimecodeOrderCheck check;
    const MQTimeUtility& tu = MQTimeUtility::sharedInstance();
    // Codes from here on are followed by nothing but white space.
    qsizetype blankTail = text.size();
    while (blankTail > 0 && MQStringUtility::isWhitespace(text[blankTail - 1])) {
        --blankTail;
    }
    double previous = 0;
    editorTimecodePattern().forEachMatch(text, [&](const Regex::Match& m) {
        if (m.length() != kTimecodeLength) {
            return true;
        }
        const qsizetype start = m.start();
        const qsizetype end = m.end();
        const bool isStart = start == 0 || text[start - 1] == u'\n';
        const bool isEnd = end >= blankTail || (start != 0 && text[end] == u'\n');
        if (!isStart && !isEnd) {
            return true;
        }
        const QString code = m.captured();
        const double t = tu.timeIntervalFromString(code);
        TimecodeMark mark{{start, kTimecodeLength}, t < previous};
        if (mark.isError) {
            check.errorTimeCodes.append(code);
            check.errorTimeCodeRanges.push_back(mark.range);
            check.error = true;
        }
        check.codes.push_back(mark);
        previous = t;
        return true;
    });
    return check;
}

bool checkErrorStartTimeCodeAtSubtitleLine(const SubtitleLineList& lines, qsizetype index) {
    if (index < 0 || index >= qsizetype(lines.size()) || !lines[index]->isStartTimeValid()) {
        return false;
    }
    const double start = lines[index]->startTime();
    for (qsizetype i = index - 1; i >= 0; --i) {
        const SubtitleLine& earlier = *lines[i];
        if (earlier.isEndTimeValid()) {
            return start < earlier.endTime();
        }
        if (earlier.isStartTimeValid()) {
            return start <= earlier.startTime();
        }
    }
    return false;
}

bool checkErrorEndTimeCodeAtSubtitleLine(const SubtitleLine& line) {
    return line.isStartTimeValid() && line.isEndTimeValid() && line.endTime() <= line.startTime();
}

QString autoCorrectedText(const SubtitleLineList& lines) {
    QString text;
    SubtitleLinePtr previous;
    for (const auto& source : lines) {
        SubtitleLinePtr line = SubtitleLine::copyOf(*source);
        if (previous && line->isStartTimeValid() && previous->isEndTimeValid() &&
            previous->endTime() > line->startTime()) {
            line->setStartTime(previous->endTime());
        }
        if (line->isValid() && line->startTime() + kMinimumSubtitleDuration > line->endTime()) {
            line->setEndTime(line->startTime() + kMinimumSubtitleDuration);
        }
        text += line->getSubtitleLineString();
        text += u'\n';
        previous = line;
    }
    return text;
}
