#pragma once

#include "model/Subtitle.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// Prints QStrings readably in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace formatstest {

inline QString fixturePath(const QString& name) {
    return QStringLiteral(MQ_FORMAT_FIXTURES "/") + name;
}

inline QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// Lines as the file loader gives them to the formats: split at every "\n" (the tests use no CR).
inline QStringList fileLines(const char* text) {
    return u8(text).split(u'\n');
}

// A timed cue, times in milliseconds.
inline SubtitleLinePtr cue(double startMs, double endMs, const char* text) {
    auto line = SubtitleLine::create();
    line->setStartTimeCode(TimeCode::withTotalMilliseconds(startMs));
    line->setEndTimeCode(TimeCode::withTotalMilliseconds(endMs));
    line->setText(u8(text));
    return line;
}

// "start-end text" per subtitle, times in milliseconds, for compact comparisons.
inline QStringList cueSummary(const Subtitle& subtitle) {
    QStringList out;
    for (const auto& line : subtitle.subtitles) {
        out << QStringLiteral("%1-%2 %3")
                   .arg(QString::number(line->startTimeCode().totalMilliseconds(), 'f', 0),
                        QString::number(line->endTimeCode().totalMilliseconds(), 'f', 0),
                        line->text());
    }
    return out;
}

} // namespace formatstest
