#include "formats/MQExporter.h"

#include "editor/SubtitleTextModel.h"
#include "formats/TextFileWriter.h"
#include "model/MQStringUtility.h"
#include "model/MQTimeUtility.h"
#include "model/Regex.h"
#include "model/Subtitle.h"
#include "model/TimeCode.h"

#include <cmath>

const QString MQExporter::kApplicationName = QStringLiteral("Marquee");

namespace {

const QStringView kTrimmed = u"\r\n\t ";

// Frames of the millisecond part at the current rate, halves away from zero, with no carry:
// 999 ms at 30 fps is frame 30.
QString frameTimeString(double seconds, char separator) {
    const ITTime time(seconds);
    const double fps = MQTimeUtility::sharedInstance().getFPS();
    const long frame = std::lround(double(time.getMilliSeconds()) / 1000.0 * fps);
    return QString::asprintf("%02d%c%02d%c%02d%c%02ld", time.getHours(), separator,
                             time.getMinutes(), separator, time.getSeconds(), separator, frame);
}

QString withLineFeeds(const QString& text) {
    QString out = text;
    out.replace(QChar(kReturnSymbol), u'\n');
    return out;
}

} // namespace

MQExporter::MQExporter(const QString& editorText, double movieDuration, int32_t fcpxNumerator,
                       int32_t fcpxDenominator)
    : editorText_(editorText), movieDuration_(movieDuration), fcpxNumerator_(fcpxNumerator),
      fcpxDenominator_(fcpxDenominator) {}

MQExporter::MQExporter(const SubtitleTextModel& editor, double movieDuration)
    : MQExporter(editor.text(), movieDuration, editor.fcpxFrameDurationNumerator(),
                 editor.fcpxFrameDurationDenominator()) {}

std::vector<ExtractedSubtitle> MQExporter::generateSubtitleLines(const QString& editorText,
                                                                 double movieDuration,
                                                                 int32_t fcpxNumerator,
                                                                 int32_t fcpxDenominator) {
    const MQTimeUtility& tu = MQTimeUtility::sharedInstance();
    const QString text = MQStringUtility::trimCharacters(editorText, kTrimmed);
    const QStringView view(text);
    std::vector<ExtractedSubtitle> subtitles;
    qsizetype previousStart = -1;
    qsizetype previousEnd = -1;
    editorTimecodePattern().forEachMatch(text, [&](const Regex::Match& match) {
        if (previousEnd >= 0) {
            const QString stretch = MQStringUtility::trimCharacters(
                view.mid(previousEnd, match.start() - previousEnd), kTrimmed);
            if (!stretch.isEmpty()) {
                const QString a = text.mid(previousStart, previousEnd - previousStart);
                const QString b = match.captured();
                ExtractedSubtitle subtitle;
                subtitle.startTime = tu.timeIntervalFromString(a);
                subtitle.endTime = tu.timeIntervalFromString(b);
                subtitle.startNumerator =
                    MQTimeUtility::numeratorFromMarqueeTimecode(a, fcpxNumerator, fcpxDenominator);
                subtitle.endNumerator =
                    MQTimeUtility::numeratorFromMarqueeTimecode(b, fcpxNumerator, fcpxDenominator);
                subtitle.text = stretch;
                subtitles.push_back(std::move(subtitle));
            }
        }
        previousStart = match.start();
        previousEnd = match.end();
        return true;
    });
    if (previousEnd >= 0 && previousEnd < text.size()) {
        qsizetype lineEnd = previousEnd;
        while (lineEnd < text.size() && text[lineEnd] != u'\r' && text[lineEnd] != u'\n') {
            ++lineEnd;
        }
        if (lineEnd > previousEnd) {
            const QString last = text.mid(previousStart, previousEnd - previousStart);
            ExtractedSubtitle subtitle;
            subtitle.startTime = tu.timeIntervalFromStringWithFloor(last);
            subtitle.endTime = movieDuration;
            subtitle.startNumerator =
                MQTimeUtility::numeratorFromMarqueeTimecode(last, fcpxNumerator, fcpxDenominator);
            subtitle.endNumerator = int64_t(double(fcpxDenominator) * movieDuration);
            subtitle.text = text.mid(previousEnd, lineEnd - previousEnd);
            subtitles.push_back(std::move(subtitle));
        }
    }
    return subtitles;
}

std::vector<ExtractedSubtitle> MQExporter::generateSubtitleLines() const {
    return generateSubtitleLines(editorText_, movieDuration_, fcpxNumerator_, fcpxDenominator_);
}

QString MQExporter::srtTimeStringFromTimeInterval(double seconds) {
    const ITTime time(seconds);
    return QString::asprintf("%.2d:%.2d:%.2d,%.3d", time.getHours(), time.getMinutes(),
                             time.getSeconds(), time.getMilliSeconds());
}

QString MQExporter::stlTimeStringFromTimeInterval(double seconds) {
    return frameTimeString(seconds, ':');
}

QString MQExporter::textScriptTimeStringFromTimeInterval(double seconds) {
    return frameTimeString(seconds, ';');
}

QString MQExporter::getSRTFileContent() const {
    QString out;
    int index = 0;
    for (const ExtractedSubtitle& subtitle : generateSubtitleLines()) {
        if (!out.isEmpty()) {
            out += u'\n';
        }
        out += QString::number(index++);
        out += u'\n';
        out += srtTimeStringFromTimeInterval(subtitle.startTime);
        out += QLatin1String(" --> ");
        out += srtTimeStringFromTimeInterval(subtitle.endTime);
        out += u'\n';
        out += withLineFeeds(subtitle.text);
        out += u'\n';
    }
    return out;
}

QString MQExporter::getSTLFileContent() const {
    QString out = QStringLiteral("//This STL file is genetated by %1").arg(kApplicationName);
    for (const ExtractedSubtitle& subtitle : generateSubtitleLines()) {
        out += u'\n';
        out += stlTimeStringFromTimeInterval(subtitle.startTime);
        out += QLatin1String(", ");
        out += stlTimeStringFromTimeInterval(subtitle.endTime);
        out += QLatin1String(", ");
        out += subtitle.text;
    }
    return out;
}

QString MQExporter::getTextScriptFileContent() const {
    QString out;
    int index = 0;
    for (const ExtractedSubtitle& subtitle : generateSubtitleLines()) {
        if (!out.isEmpty()) {
            out += u'\n';
        }
        out += QStringLiteral("%1 %2 %3 %4")
                   .arg(index++)
                   .arg(textScriptTimeStringFromTimeInterval(subtitle.startTime),
                        textScriptTimeStringFromTimeInterval(subtitle.endTime),
                        withLineFeeds(subtitle.text));
    }
    return out;
}

bool MQExporter::saveSrtFile(const QString& path, QString* error) const {
    return writeTextFileAtomically(path, getSRTFileContent(), error);
}

bool MQExporter::saveStlFile(const QString& path, QString* error) const {
    return writeTextFileAtomically(path, getSTLFileContent(), error);
}

bool MQExporter::saveTextScriptFile(const QString& path, QString* error) const {
    return writeTextFileAtomically(path, getTextScriptFileContent(), error);
}
