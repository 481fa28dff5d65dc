#include "formats/RegisteredFormats.h"

#include "formats/NumberFormat.h"

#include "model/MQStringUtility.h"
#include "model/Regex.h"
#include "model/Subtitle.h"

#include <algorithm>

using MQStringUtility::trimWhitespaceAndNewlines;

namespace {

const QString kArrow = QStringLiteral("-->");

char* writeVttTime(char* out, const TimeCode& time, bool withHours) {
    if (withHours) {
        out = writePaddedNumber(out, time.hours(), 2);
        *out++ = ':';
    }
    out = writePaddedNumber(out, time.minutes(), 2);
    *out++ = ':';
    out = writePaddedNumber(out, time.seconds(), 2);
    *out++ = '.';
    return writePaddedNumber(out, time.milliseconds(), 3);
}

} // namespace

void WebVTTFormat::loadSubtitle(Subtitle& subtitle, const QStringList& lines, const QString&) {
    static const Regex startWithoutHours(
        QStringLiteral("^-?\\d+:-?\\d+\\.-?\\d+\\s*-->\\s*-?\\d+:-?\\d+:-?\\d+\\.-?\\d+"));
    static const Regex bothWithoutHours(
        QStringLiteral("^-?\\d+:-?\\d+\\.-?\\d+\\s*-->\\s*-?\\d+:-?\\d+\\.-?\\d+"));
    static const Regex timingLine(
        QStringLiteral("^-?\\d+:-?\\d+:-?\\d+\\.-?\\d+\\s*-->\\s*-?\\d+:-?\\d+:-?\\d+\\.-?\\d+"));

    errorCount_ = 0;
    SubtitleLinePtr cue;
    bool cueClosed = true;
    for (const QString& raw : lines) {
        QString t = raw;
        const bool hasArrow = raw.contains(kArrow);
        if (hasArrow) {
            if (startWithoutHours.contains(t)) {
                t = QStringLiteral("00:") + t;
            }
            if (bothWithoutHours.contains(t)) {
                t.replace(QStringLiteral("--> "), QStringLiteral("--> 00:"));
                t = QStringLiteral("00:") + t;
            }
        }
        const std::optional<Regex::Match> timing =
            hasArrow ? timingLine.firstMatch(t) : std::nullopt;
        if (timing) {
            if (cue) {
                subtitle.subtitles.push_back(cue);
            }
            cue.reset();
            const QStringList parts = timing->captured().split(kArrow);
            if (parts.size() == 2) {
                cue = SubtitleLine::create();
                cue->setStartTimeCode(
                    TimeCode::timeCodeFromString(trimWhitespaceAndNewlines(parts[0])));
                cue->setEndTimeCode(
                    TimeCode::timeCodeFromString(trimWhitespaceAndNewlines(parts[1])));
            }
            cueClosed = false;
            continue;
        }
        const QString trimmed = trimWhitespaceAndNewlines(raw);
        if (subtitle.subtitles.empty() && trimmed == QLatin1String("WEBVTT")) {
            subtitle.header = QStringLiteral("WEBVTT");
            continue;
        }
        if (cue && !trimmed.isEmpty()) {
            if (!cueClosed) {
                cue->setText(trimWhitespaceAndNewlines(cue->text() + u'\n' + trimmed));
            }
            continue;
        }
        if (raw.isEmpty()) {
            cueClosed = true;
        }
    }
    if (cue) {
        subtitle.subtitles.push_back(cue);
    }
    subtitle.renumber(1);
}

void WebVTTFormat::removeNativeFormatting(Subtitle& subtitle, const SubtitleFormat*) {
    static const char* const kTags[] = {"v", "rt", "ruby", "c", "span"};
    for (const SubtitleLinePtr& line : subtitle.subtitles) {
        if (!line->text().contains(u'<')) {
            continue;
        }
        QString text = line->text();
        for (const char* tag : kTags) {
            text = removeTag(QLatin1String(tag), text);
        }
        line->setText(text);
    }
}

QString WebVTTFormat::removeTag(const QString& tag, const QString& text) {
    const qsizetype open = text.indexOf(QStringLiteral("<%1 ").arg(tag));
    if (open < 0) {
        return text;
    }
    const qsizetype close = text.indexOf(u'>', open, Qt::CaseInsensitive);
    if (close < 0) {
        return text;
    }
    QString out = text;
    out.remove(open, close - open + 1);
    out.remove(QStringLiteral("</%1>").arg(tag));
    return out;
}

QString WebVTTFormat::head(const QString&) const {
    return QStringLiteral("WEBVTT\n\n");
}

void WebVTTFormat::appendCue(QString& out, const SubtitleLine& line, const QString& text) const {
    const TimeCode& start = line.startTimeCode();
    const TimeCode& end = line.endTimeCode();
    // A cue never mixes the forms with and without hours.
    const bool withHours = !(start.hours() < 1 && end.hours() < 1);
    // The timing line is formatted as bytes and appended at once: this runs for every cue.
    char timing[192]; // room for the longest numbers
    char* at = writeVttTime(timing, start, withHours);
    at = std::copy_n(" --> ", 5, at);
    at = writeVttTime(at, end, withHours);
    *at++ = '\n';
    out += QLatin1StringView(timing, at - timing);
    out += collapseBlankLines(text); // a blank line would end the cue
    out += QLatin1String("\n\n");
}

void WebVTTFormat::finish(QString& out) const {
    trimInPlace(out);
}
