#pragma once

#include "model/SubtitleLine.h"

#include <QString>

#include <cstdint>
#include <vector>

class SubtitleTextModel;

// One subtitle extracted from editor text for the writers that read the text itself. The times
// are the exact seconds of the timecodes (not rounded to whole milliseconds as stored lines are),
// so that the writers cut milliseconds from them.
struct ExtractedSubtitle {
    double startTime = -1;
    double endTime = -1;
    int64_t startNumerator = 0;
    int64_t endNumerator = 0;
    QString text; // "⏎" markers kept
};

// The SRT, STL and Adobe Encore writers, which take their subtitles from the editor text by
// pairing consecutive timecodes.
class MQExporter {
public:
    // `movieDuration` in seconds ends a subtitle left open after the last timecode (0 without a
    // movie); the FCPX frame duration N/D gives the numerators.
    MQExporter(const QString& editorText, double movieDuration, int32_t fcpxNumerator,
               int32_t fcpxDenominator);
    MQExporter(const SubtitleTextModel& editor, double movieDuration);

    static std::vector<ExtractedSubtitle> generateSubtitleLines(const QString& editorText,
                                                                double movieDuration,
                                                                int32_t fcpxNumerator,
                                                                int32_t fcpxDenominator);
    std::vector<ExtractedSubtitle> generateSubtitleLines() const;

    static QString srtTimeStringFromTimeInterval(double seconds);
    static QString stlTimeStringFromTimeInterval(double seconds);
    static QString textScriptTimeStringFromTimeInterval(double seconds);

    QString getSRTFileContent() const;
    QString getSTLFileContent() const;
    QString getTextScriptFileContent() const;

    // Atomic UTF-8 writes; false with the reason in `error` when the file cannot be written.
    bool saveSrtFile(const QString& path, QString* error = nullptr) const;
    bool saveStlFile(const QString& path, QString* error = nullptr) const;
    bool saveTextScriptFile(const QString& path, QString* error = nullptr) const;

    static const QString kApplicationName;

private:
    QString editorText_;
    double movieDuration_;
    int32_t fcpxNumerator_;
    int32_t fcpxDenominator_;
};
