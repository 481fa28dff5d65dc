#include "editor/SubtitleTextModel.h"

#include "model/MQStringUtility.h"
#include "model/MQTimeUtility.h"
#include "model/Regex.h"

const Regex& editorTimecodePattern() {
    static const Regex pattern(QStringLiteral("\\[[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{2,3}\\]"));
    return pattern;
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
    text_ = MQStringUtility::normalizeEditorText(text);
    subtitles_ = createSubtitleLinesFromText(text_);
}
