#pragma once

#include "model/SubtitleLine.h"

#include <QString>

#include <cstdint>
#include <mutex>

// The widget-free heart of the editor: the editor text and its line list, one SubtitleLine per
// text line ("\n" separated, empty lines included). A line is [start code] text [end code],
// each code a 13-character [HH:MM:SS.FF] at the current frame rate.
class SubtitleTextModel {
public:
    SubtitleTextModel() = default;
    SubtitleTextModel(const SubtitleTextModel&) = delete;
    SubtitleTextModel& operator=(const SubtitleTextModel&) = delete;

    // The frame duration N/D of a loaded FCPX project, for the lines' numerators.
    void setFcpxFrameDuration(int32_t numerator, int32_t denominator);
    int32_t fcpxFrameDurationNumerator() const { return fcpxNumerator_; }
    int32_t fcpxFrameDurationDenominator() const { return fcpxDenominator_; }
    int32_t numeratorFromMarqueeTimecode(const QString& timecode) const;

    // One editor line into a new record.
    SubtitleLinePtr parseText(const QString& line) const;
    // Split on "\n" and parse each piece.
    SubtitleLineList createSubtitleLinesFromText(const QString& text) const;
    // The whole text, trimmed of "\r", "\t" and " " at both ends, parsed line by line.
    SubtitleLineList generateSubtitleLines() const;

    // Replaces the whole text (normalised first) and rebuilds the list.
    void setString(const QString& text);
    const QString& text() const { return text_; }

    // The live list; structural changes and the player's look-ups hold listMutex().
    const SubtitleLineList& getAllSubtitles() const { return subtitles_; }
    std::recursive_mutex& listMutex() const { return listMutex_; }

protected:
    QString text_;
    SubtitleLineList subtitles_;
    mutable std::recursive_mutex listMutex_;
    int32_t fcpxNumerator_ = 0;
    int32_t fcpxDenominator_ = 0;
};

// The editor's timecode pattern; only 13-character matches are start or end codes.
class Regex;
const Regex& editorTimecodePattern();
inline constexpr int kTimecodeLength = 13;
