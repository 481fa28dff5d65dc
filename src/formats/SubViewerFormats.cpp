#include "formats/RegisteredFormats.h"

#include "formats/NumberFormat.h"

#include "model/MQStringUtility.h"
#include "model/Regex.h"
#include "model/Subtitle.h"

using MQStringUtility::integerValue;
using MQStringUtility::trimWhitespaceAndNewlines;

namespace {

// [HH:MM:SS]: the milliseconds are dropped, not rounded.
void appendClockSeconds(QString& out, const TimeCode& time) {
    out += u'[';
    appendPaddedNumber(out, time.hours(), 2);
    out += u':';
    appendPaddedNumber(out, time.minutes(), 2);
    out += u':';
    appendPaddedNumber(out, time.seconds(), 2);
    out += u']';
}

void appendClockMilliseconds(QString& out, const TimeCode& time) {
    appendPaddedNumber(out, time.hours(), 2);
    out += u':';
    appendPaddedNumber(out, time.minutes(), 2);
    out += u':';
    appendPaddedNumber(out, time.seconds(), 2);
    out += u'.';
    appendPaddedNumber(out, time.milliseconds(), 3);
}

} // namespace

void SubViewer10::loadSubtitle(Subtitle& subtitle, const QStringList& lines, const QString&) {
    static const Regex timeLine(QStringLiteral("^\\[\\d\\d:\\d\\d:\\d\\d\\]$"));
    enum class Mode { Start, Text, End } mode = Mode::Start;
    errorCount_ = 0;
    subtitle.subtitles.clear();
    SubtitleLinePtr line = SubtitleLine::create();
    for (const QString& raw : lines) {
        const QString trimmed = trimWhitespaceAndNewlines(raw);
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']') && timeLine.matches(trimmed)) {
            QString clock = trimmed;
            clock.remove(u'[');
            clock.remove(u']');
            const QStringList parts = clock.split(u':');
            if (parts.size() != 3) {
                continue;
            }
            const TimeCode time = TimeCode::withComponents(
                integerValue(parts[0]), integerValue(parts[1]), integerValue(parts[2]), 0);
            if (mode == Mode::Start) {
                line = SubtitleLine::create();
                line->setStartTimeCode(time);
                mode = Mode::Text;
            } else if (mode == Mode::End) {
                line->setEndTimeCode(time);
                subtitle.subtitles.push_back(line);
                mode = Mode::Start;
            }
            continue;
        }
        if (mode == Mode::Text && !trimmed.isEmpty()) {
            QString text = trimmed;
            text.replace(u'|', QChar(kReturnSymbol));
            line->setText(text);
            mode = Mode::End;
        }
    }
    subtitle.renumber(1);
}

QString SubViewer10::head(const QString& title) const {
    return QStringLiteral("[TITLE]\n") + title +
           QStringLiteral("\n[AUTHOR]\n[SOURCE]\n[PRG]\n[FILEPATH]\n[DELAY]\n0\n[CD TRACK]\n0\n"
                          "[BEGIN]\n******** START SCRIPT ********\n");
}

void SubViewer10::appendCue(QString& out, const SubtitleLine& line, const QString& text) const {
    QString oneLine = text;
    oneLine.replace(u'\n', u'|');
    oneLine.replace(QChar(kReturnSymbol), u'|');
    appendClockSeconds(out, line.startTimeCode());
    out += u'\n';
    out += oneLine;
    out += u'\n';
    appendClockSeconds(out, line.endTimeCode());
    out += QLatin1String("\n\n");
}

void SubViewer10::finish(QString& out) const {
    out += QLatin1String("[end]\n******** END SCRIPT ********\n");
}

void SubViewer20::loadSubtitle(Subtitle& subtitle, const QStringList& lines, const QString&) {
    static const Regex timingLine(
        QStringLiteral("^\\d\\d:\\d\\d:\\d\\d.\\d+,\\d\\d:\\d\\d:\\d\\d.\\d+$"));
    enum class Mode { Timing, Text } mode = Mode::Timing;
    errorCount_ = 0;
    subtitle.subtitles.clear();
    SubtitleLinePtr line = SubtitleLine::create();
    for (const QString& raw : lines) {
        const QString trimmed = trimWhitespaceAndNewlines(raw);
        if (timingLine.matches(trimmed)) {
            // The "." of the pattern stands for any character, so only ":", "," and "." split.
            QStringList parts;
            qsizetype from = 0;
            for (qsizetype i = 0; i <= raw.size(); ++i) {
                if (i == raw.size() || raw[i] == u':' || raw[i] == u',' || raw[i] == u'.') {
                    parts.append(raw.mid(from, i - from));
                    from = i + 1;
                }
            }
            if (parts.size() != 8) {
                continue;
            }
            line->setStartTimeCode(
                TimeCode::withComponents(integerValue(parts[0]), integerValue(parts[1]),
                                         integerValue(parts[2]), integerValue(parts[3])));
            line->setEndTimeCode(
                TimeCode::withComponents(integerValue(parts[4]), integerValue(parts[5]),
                                         integerValue(parts[6]), integerValue(parts[7])));
            mode = Mode::Text;
            continue;
        }
        if (mode != Mode::Text || trimmed.isEmpty()) {
            continue;
        }
        QString text = trimmed;
        static const std::pair<const char16_t*, const char16_t*> kCodes[] = {
            {u"[br]", u"\u23CE"}, {u"{\\i1}", u"<i>"},  {u"{\\i0}", u"</i>"}, {u"{\\i}", u"</i>"},
            {u"{\\b1}", u"<b>"},  {u"{\\b0}", u"</b>"}, {u"{\\b}", u"</b>"},  {u"{\\u1}", u"<u>"},
            {u"{\\u0}", u"</u>"}, {u"{\\u}", u"</u>"},
        };
        for (const auto& [code, markup] : kCodes) {
            text.replace(QString::fromUtf16(code), QString::fromUtf16(markup));
        }
        line->setText(text);
        subtitle.subtitles.push_back(line);
        line = SubtitleLine::create();
        mode = Mode::Timing;
    }
    subtitle.renumber(1);
}

QString SubViewer20::head(const QString& title) const {
    return QStringLiteral("[INFORMATION]\n[TITLE]%1\n").arg(title) +
           QStringLiteral("[AUTHOR]\n[SOURCE]\n[PRG]\n[FILEPATH]\n[DELAY]0\n[CD TRACK]0\n"
                          "[COMMENT]\n[END INFORMATION]\n[SUBTITLE]\n"
                          "[COLF]&H000000,[STYLE]bd,[SIZE]25,[FONT]Arial\n");
}

void SubViewer20::appendCue(QString& out, const SubtitleLine& line, const QString& text) const {
    static const std::pair<const char16_t*, const char16_t*> kMarkup[] = {
        {u"\n", u"[br]"},    {u"\u23CE", u"[br]"}, {u"<i>", u"{\\i1}"}, {u"</i>", u"{\\i0}"},
        {u"<b>", u"{\\b1}"}, {u"</b>", u"{\\b0}"}, {u"<u>", u"{\\u1}"}, {u"</u>", u"{\\u0}"},
    };
    QString coded = text;
    for (const auto& [markup, code] : kMarkup) {
        coded.replace(QString::fromUtf16(markup), QString::fromUtf16(code));
    }
    appendClockMilliseconds(out, line.startTimeCode());
    out += u',';
    appendClockMilliseconds(out, line.endTimeCode());
    out += u'\n';
    out += coded;
    out += QLatin1String("\n\n");
}

void SubViewer20::finish(QString& out) const {
    trimInPlace(out);
}
