#pragma once

#include "model/SubtitleLine.h"

#include <QString>

// Avid caption text, written from the editor's lines with their editor timecodes.
class AvidSubtitleFile {
public:
    explicit AvidSubtitleFile(const QString& path = QString()) : path(path) {}

    // Lines without both a start and an end are left out: a caption needs both times.
    static QString convertSubtitleToAvidText(const SubtitleLineList& lines);
    static QString head();
    static void appendLine(QString& out, const SubtitleLine& line);
    static void finish(QString& out);
    // [HH:MM:SS.FF] → HH:MM:SS:FF
    static QString convertToAvidTimeFormat(const QString& timecode);
    // Atomic UTF-8 write to `path`; false with the reason in `error` on failure.
    bool writeSubtitleToFile(const SubtitleLineList& lines, QString* error = nullptr) const;

    QString path;
};
