#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// An imported SRT file and the conversion of SRT into editor text: one line per cue,
// [start]text[end], the milliseconds turned into frames at the given rate.
class SRTFile {
public:
    SRTFile() = default;
    explicit SRTFile(const QString& path) { loadFile(path); }

    // Decodes the file and replaces every "\r" by "\n"; null when the file cannot be read.
    QString loadFile(const QString& path);

    QString path;
    QString languageCode;
    QString extendedLanguageTag;
    QString text;

    // A line with all spaces removed that holds exactly one "HH:MM:SS,mmm-->HH:MM:SS,mmm".
    static bool isTimecodeString(const QString& line);
    // Trimmed, non-empty file lines to editor lines.
    static QStringList generateSRTLines(const QStringList& lines, float fps);
    // A whole SRT text to editor text; empty when nothing converts.
    static QString convertToText(const QString& srtText, float fps);

    // The messages shown when an import fails, filled with the file's name.
    static QString cannotReadMessage(const QString& fileName);
    static QString cannotTranslateMessage(const QString& fileName);
};
