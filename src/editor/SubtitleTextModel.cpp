#include "editor/SubtitleTextModel.h"

#include "model/MQStringUtility.h"
#include "model/MQTimeUtility.h"
#include "model/Regex.h"
#include "model/TimeCode.h"
#include "platform/NotificationCenter.h"

#include <QVariant>

#include <algorithm>
#include <cmath>

const Regex& editorTimecodePattern() {
    static const Regex pattern(QStringLiteral("\\[[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{2,3}\\]"));
    return pattern;
}

SubtitleTextModel::SubtitleTextModel() {
    subtitles_.push_back(SubtitleLine::create());
    lineStarts_.push_back(0);
}

void SubtitleTextModel::setFcpxFrameDuration(int32_t numerator, int32_t denominator) {
    fcpxNumerator_ = numerator;
    fcpxDenominator_ = denominator;
}

int32_t SubtitleTextModel::numeratorFromMarqueeTimecode(const QString& timecode) const {
    return MQTimeUtility::numeratorFromMarqueeTimecode(timecode, fcpxNumerator_, fcpxDenominator_);
}

SubtitleLinePtr SubtitleTextModel::parseText(const QString& line) const {
    auto record = SubtitleLine::create();
    const MQTimeUtility& tu = MQTimeUtility::sharedInstance();
    bool hasStart = false;
    bool hasEnd = false;
    // Only a code at offset 0 or one ending the line can count; most lines have neither, so
    // the pattern only runs on lines that could hold one.
    const bool mayStart = line.size() >= kTimecodeLength && line.front() == u'[';
    const bool mayEnd = line.size() >= kTimecodeLength && line.back() == u']';
    if (!mayStart && !mayEnd) {
        record->setText(line);
        return record;
    }
    editorTimecodePattern().forEachMatch(line, [&](const Regex::Match& m) {
        if (m.length() != kTimecodeLength) {
            return true;
        }
        const QString code = m.captured();
        if (m.start() == 0) {
            hasStart = true;
            record->setStartTime(tu.timeIntervalFromString(code));
            record->startNumerator = numeratorFromMarqueeTimecode(code);
        } else if (m.end() == line.size()) {
            hasEnd = true;
            record->setEndTime(tu.timeIntervalFromString(code));
            record->endNumerator = numeratorFromMarqueeTimecode(code);
        }
        return true;
    });
    // A line that is a single code has it as its start only.
    const qsizetype from = hasStart ? kTimecodeLength : 0;
    const qsizetype to = hasEnd ? line.size() - kTimecodeLength : line.size();
    record->setText(line.mid(from, std::max<qsizetype>(0, to - from)));
    return record;
}

SubtitleLineList SubtitleTextModel::createSubtitleLinesFromText(const QString& text) const {
    SubtitleLineList lines;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(u'\n', start);
        lines.push_back(parseText(text.mid(start, end < 0 ? -1 : end - start)));
        if (end < 0) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

SubtitleLineList SubtitleTextModel::generateSubtitleLines() const {
    return createSubtitleLinesFromText(MQStringUtility::trimCharacters(text_, u"\r\t "));
}

void SubtitleTextModel::setString(const QString& text) {
    std::lock_guard lock(listMutex_);
    applyEdit(0, text_.size(), MQStringUtility::normalizeEditorText(text));
}

void SubtitleTextModel::rebuildLineStarts() {
    lineStarts_.clear();
    lineStarts_.push_back(0);
    const QChar* data = text_.constData();
    for (qsizetype i = 0, n = text_.size(); i < n; ++i) {
        if (data[i] == u'\n') {
            lineStarts_.push_back(i + 1);
        }
    }
}

void SubtitleTextModel::postRemoved(const SubtitleLineList& removed, qsizetype firstIndex) const {
    NotificationCenter& center = NotificationCenter::defaultCenter();
    // From the back, so that each index is the line's index at the moment it goes.
    for (qsizetype i = qsizetype(removed.size()) - 1; i >= 0; --i) {
        center.post(kDeleteSubtitleLineFromWaveFormNotification, QVariant::fromValue(removed[i]),
                    {{QStringLiteral("index"), qlonglong(firstIndex + i)}});
    }
}

void SubtitleTextModel::postInserted(qsizetype firstIndex, qsizetype count) const {
    NotificationCenter& center = NotificationCenter::defaultCenter();
    for (qsizetype i = firstIndex; i < firstIndex + count; ++i) {
        center.post(kAddSubtitleLineToWaveFormNotification, QVariant::fromValue(subtitles_[i]),
                    {{QStringLiteral("index"), qlonglong(i)}});
    }
}

static void copyTimesAndText(SubtitleLine& target, const SubtitleLine& parsed) {
    if (target.startTime() != parsed.startTime() ||
        target.startTimeString() != parsed.startTimeString()) {
        target.setStartTime(parsed.startTime());
    }
    if (target.text() != parsed.text()) {
        target.setText(parsed.text());
    }
    if (target.endTime() != parsed.endTime() || target.endTimeString() != parsed.endTimeString()) {
        target.setEndTime(parsed.endTime());
    }
    // The FCPX export reads the numerators, so they follow a retyped code.
    target.startNumerator = parsed.startNumerator;
    target.endNumerator = parsed.endNumerator;
}

EditOutcome SubtitleTextModel::applyEdit(qsizetype position, qsizetype removedLength,
                                         const QString& inserted) {
    std::lock_guard lock(listMutex_);
    position = std::clamp<qsizetype>(position, 0, text_.size());
    removedLength = std::clamp<qsizetype>(removedLength, 0, text_.size() - position);
    const QStringView removedText = QStringView(text_).mid(position, removedLength);
    const bool singleLine = !inserted.contains(u'\n') && !removedText.contains(u'\n') &&
                            position + removedLength < text_.size();

    EditOutcome outcome;
    const qsizetype first = lineIndexAtPosition(position);
    if (singleLine) {
        text_.replace(position, removedLength, inserted);
        const qsizetype delta = inserted.size() - removedLength;
        if (delta != 0) {
            for (auto it = lineStarts_.begin() + first + 1; it != lineStarts_.end(); ++it) {
                *it += delta;
            }
        }
        const SubtitleLinePtr parsed = parseText(lineText(first).toString());
        copyTimesAndText(*subtitles_[first], *parsed);
        outcome.firstLine = first;
        outcome.lineCount = 1;
        outcome.currentEditingLine = subtitles_[first];
        return outcome;
    }

    const qsizetype last = lineIndexAtPosition(position + removedLength);
    const qsizetype spanStart = lineStarts_[first];
    text_.replace(position, removedLength, inserted);
    qsizetype spanEnd = text_.indexOf(u'\n', position + inserted.size());
    if (spanEnd < 0) {
        spanEnd = text_.size();
    }
    SubtitleLineList fresh = createSubtitleLinesFromText(text_.mid(spanStart, spanEnd - spanStart));

    // Line starts: the old span's entries give way to the new span's, the rest move by delta.
    const qsizetype delta = inserted.size() - removedLength;
    std::vector<qsizetype> spanStarts;
    spanStarts.reserve(fresh.size());
    spanStarts.push_back(spanStart);
    for (qsizetype i = spanStart; i < spanEnd; ++i) {
        if (text_[i] == u'\n') {
            spanStarts.push_back(i + 1);
        }
    }
    for (auto it = lineStarts_.begin() + last + 1; it != lineStarts_.end(); ++it) {
        *it += delta;
    }
    lineStarts_.erase(lineStarts_.begin() + first, lineStarts_.begin() + last + 1);
    lineStarts_.insert(lineStarts_.begin() + first, spanStarts.begin(), spanStarts.end());

    SubtitleLineList removed(subtitles_.begin() + first, subtitles_.begin() + last + 1);
    subtitles_.erase(subtitles_.begin() + first, subtitles_.begin() + last + 1);
    subtitles_.insert(subtitles_.begin() + first, fresh.begin(), fresh.end());

    postRemoved(removed, first);
    postInserted(first, qsizetype(fresh.size()));

    outcome.structural = true;
    outcome.firstLine = first;
    outcome.lineCount = qsizetype(fresh.size());
    outcome.currentEditingLine = fresh.back();
    return outcome;
}

void SubtitleTextModel::setSubtitles(SubtitleLineList lines) {
    std::lock_guard lock(listMutex_);
    SubtitleLineList removed;
    removed.swap(subtitles_);
    subtitles_ = std::move(lines);
    postRemoved(removed, 0);
    postInserted(0, qsizetype(subtitles_.size()));
}

void SubtitleTextModel::refreshSubtitles() {
    std::lock_guard lock(listMutex_);
    // The list stays one-to-one with the text lines, so the lines come from the text as it is.
    rebuildLineStarts();
    setSubtitles(createSubtitleLinesFromText(text_));
}

qsizetype SubtitleTextModel::lineStart(qsizetype index) const {
    return lineStarts_[size_t(std::clamp<qsizetype>(index, 0, lineCount() - 1))];
}

qsizetype SubtitleTextModel::lineEnd(qsizetype index) const {
    return index + 1 < lineCount() ? lineStarts_[size_t(index + 1)] - 1 : text_.size();
}

QStringView SubtitleTextModel::lineText(qsizetype index) const {
    const qsizetype start = lineStart(index);
    return QStringView(text_).mid(start, lineEnd(index) - start);
}

qsizetype SubtitleTextModel::lineIndexAtPosition(qsizetype position) const {
    const auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), position);
    return std::max<qsizetype>(0, (it - lineStarts_.begin()) - 1);
}

SubtitleLinePtr SubtitleTextModel::lineAt(qsizetype index) const {
    std::lock_guard lock(listMutex_);
    if (index < 0 || index >= qsizetype(subtitles_.size())) {
        return nullptr;
    }
    return subtitles_[size_t(index)];
}

SubtitleLinePtr SubtitleTextModel::getSubtitleLineWithRange(qsizetype location) const {
    if (location < 0 || location > text_.size()) {
        return nullptr;
    }
    return lineAt(lineIndexAtPosition(location));
}

TextRange SubtitleTextModel::getRangeWithSubtitleLine(const SubtitleLinePtr& line) const {
    const qsizetype index = indexForSubtitleLine(line);
    if (index < 0) {
        return {};
    }
    const qsizetype codeLength = line->isStartTimeValid() ? kTimecodeLength : 0;
    return {lineStart(index) + codeLength, line->text().size()};
}

TextRange SubtitleTextModel::findTimeCodeRangeOfSubtitleLine(const SubtitleLinePtr& line,
                                                             bool isStartTimeCode) const {
    const qsizetype index = indexForSubtitleLine(line);
    if (index < 0) {
        return {};
    }
    const qsizetype offset = lineStart(index);
    if (isStartTimeCode) {
        return {offset, line->isStartTimeValid() ? kTimecodeLength : 0};
    }
    const qsizetype codeLength = line->isStartTimeValid() ? kTimecodeLength : 0;
    return {offset + codeLength + line->text().size(),
            line->isEndTimeValid() ? kTimecodeLength : 0};
}

bool SubtitleTextModel::isStartTimeCodeInRange(TextRange range) const {
    return range.location == 0 ||
           (range.location <= text_.size() && text_[range.location - 1] == u'\n');
}

bool SubtitleTextModel::isEndTimeCodeInRange(TextRange range) const {
    const qsizetype end = range.end();
    if (end >= text_.size()) {
        return true;
    }
    if (range.location != 0 && text_[end] == u'\n') {
        return true;
    }
    for (qsizetype i = end; i < text_.size(); ++i) {
        if (!MQStringUtility::isWhitespace(text_[i])) {
            return false;
        }
    }
    return true;
}

qsizetype SubtitleTextModel::indexForSubtitleLine(const SubtitleLinePtr& line) const {
    std::lock_guard lock(listMutex_);
    const auto it = std::find(subtitles_.begin(), subtitles_.end(), line);
    return it == subtitles_.end() ? -1 : it - subtitles_.begin();
}

SubtitleLinePtr SubtitleTextModel::previousSubtitleLineForLine(const SubtitleLinePtr& line) const {
    const qsizetype index = indexForSubtitleLine(line);
    return index > 0 ? lineAt(index - 1) : nullptr;
}

SubtitleLinePtr SubtitleTextModel::nextSubtitleLineForLine(const SubtitleLinePtr& line) const {
    const qsizetype index = indexForSubtitleLine(line);
    return index >= 0 ? lineAt(index + 1) : nullptr;
}

SubtitleLinePtr SubtitleTextModel::getCurrentSubtitle(const MediaTime& time) const {
    std::lock_guard lock(listMutex_);
    const double seconds = time.seconds();
    for (const auto& line : subtitles_) {
        if (line->isTimeInTimeRange(seconds)) {
            return line;
        }
    }
    return nullptr;
}

SubtitleLinePtr SubtitleTextModel::getNextSubtitleLineAtTime(const MediaTime& time) const {
    std::lock_guard lock(listMutex_);
    const double t = MQTimeUtility::roundedTimeInteval(time.seconds());
    SubtitleLinePtr withoutEnd;
    for (const auto& line : subtitles_) {
        if (!withoutEnd && !line->isEndTimeValid()) {
            withoutEnd = line;
        }
        if (line->endTime() > t) {
            return withoutEnd ? withoutEnd : line;
        }
    }
    return withoutEnd;
}

SubtitleLineList SubtitleTextModel::subtitleForStartTimeAndEndTime(double start, double end) const {
    std::lock_guard lock(listMutex_);
    SubtitleLineList found;
    for (const auto& line : subtitles_) {
        if (!line->isValid()) {
            continue;
        }
        if (line->startTime() > end) {
            break;
        }
        if (line->startTime() < end && line->endTime() >= start) {
            found.push_back(line);
        }
    }
    return found;
}

QString SubtitleTextModel::rawTimeStringFromTimeInteval(double seconds) const {
    const ITTime time(seconds);
    const int frames = int(std::lround(double(float(time.getMilliSeconds()) / 1000.0f) * fps_));
    return QString::asprintf("%.2d:%.2d:%.2d.%.2d", time.getHours(), time.getMinutes(),
                             time.getSeconds(), frames);
}
