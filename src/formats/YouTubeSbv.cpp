#include "formats/RegisteredFormats.h"

#include "formats/NumberFormat.h"

#include "model/MQStringUtility.h"
#include "model/Regex.h"
#include "model/Subtitle.h"

using MQStringUtility::integerValue;
using MQStringUtility::trimWhitespaceAndNewlines;

namespace {

const Regex& timingPattern() {
    static const Regex pattern(
        QStringLiteral("^-?\\d+:-?\\d+:-?\\d+[:,.]-?\\d+,\\d+:-?\\d+:-?\\d+[:,.]-?\\d+$"));
    return pattern;
}

} // namespace

QString YouTubeSbv::formatTime(const TimeCode& time) {
    QString out;
    appendPaddedNumber(out, time.hours(), 1);
    out += u':';
    appendPaddedNumber(out, time.minutes(), 2);
    out += u':';
    appendPaddedNumber(out, time.seconds(), 2);
    out += u'.';
    appendPaddedNumber(out, time.milliseconds(), 3);
    return out;
}

QString YouTubeSbv::head(const QString&) const {
    return QString();
}

void YouTubeSbv::appendCue(QString& out, const SubtitleLine& line, const QString& text) const {
    QString lines = text;
    lines.replace(QChar(kReturnSymbol), QLatin1String("\r\n"));
    out += formatTime(line.startTimeCode());
    out += u',';
    out += formatTime(line.endTimeCode());
    out += QLatin1String("\r\n");
    out += lines;
    out += QLatin1String("\r\n\r\n");
}

void YouTubeSbv::finish(QString& out) const {
    trimInPlace(out);
}

bool YouTubeSbv::tryReadTimeCodesLine(const QString& line, SubtitleLine& subtitleLine) {
    QString s = line;
    s.replace(u'.', u':');
    s.replace(QChar(0x060C), u','); // Arabic comma
    s.replace(QChar(0x00A1), u':'); // inverted exclamation mark
    if (!timingPattern().matches(s)) {
        return false;
    }
    s.replace(u',', u':');
    s.remove(u' ');
    const QStringList parts = s.split(u':');
    if (parts.size() < 8) {
        return false;
    }
    subtitleLine.setStartTimeCode(
        TimeCode::withComponents(integerValue(parts[0]), integerValue(parts[1]),
                                 integerValue(parts[2]), integerValue(parts[3])));
    subtitleLine.setEndTimeCode(
        TimeCode::withComponents(integerValue(parts[4]), integerValue(parts[5]),
                                 integerValue(parts[6]), integerValue(parts[7])));
    return true;
}

bool YouTubeSbv::isText(const QString& text) {
    static const Regex digitsOnly(QStringLiteral("^\\d+$"));
    const QString trimmed = trimWhitespaceAndNewlines(text);
    return !trimmed.isEmpty() && !timingPattern().matches(trimmed) && !digitsOnly.matches(trimmed);
}

void YouTubeSbv::readLine(Subtitle& subtitle, const QString& line, const QString& nextLine) {
    if (expecting_ == Expecting::TimeCodes) {
        if (tryReadTimeCodesLine(line, *l_)) {
            l_->setText(QString());
            expecting_ = Expecting::Text;
        } else if (!line.isEmpty()) {
            ++errorCount_;
        }
        return;
    }
    if (!line.isEmpty()) {
        QString text = l_->text();
        if (!text.isEmpty()) {
            text += u'\n';
        }
        text += trimWhitespaceAndNewlines(removeBadChars(line));
        l_->setText(text);
    } else if (!isText(nextLine)) {
        subtitle.subtitles.push_back(l_);
        l_ = SubtitleLine::create();
        expecting_ = Expecting::TimeCodes;
    }
}

void YouTubeSbv::loadSubtitle(Subtitle& subtitle, const QStringList& lines, const QString&) {
    l_ = SubtitleLine::create();
    expecting_ = Expecting::TimeCodes;
    errorCount_ = 0;
    subtitle.subtitles.clear();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const bool isLast = i == lines.size() - 1;
        if (expecting_ == Expecting::Text && !isLast && !l_->text().isEmpty() &&
            timingPattern().matches(trimWhitespaceAndNewlines(line))) {
            readLine(subtitle, QString(), QString());
        }
        readLine(subtitle, line, isLast ? QString() : lines[i + 1]);
    }
    if (!l_->text().isEmpty()) {
        subtitle.subtitles.push_back(l_);
    }
    l_.reset();
    for (const SubtitleLinePtr& cue : subtitle.subtitles) {
        QString text = cue->text();
        text.replace(QStringLiteral("\n\n"), QStringLiteral("\n"));
        text.replace(u'\n', QChar(kReturnSymbol));
        cue->setText(text);
    }
    subtitle.renumber(1);
}
