#pragma once

#include "editor/EditorNotifications.h"
#include "model/MediaTime.h"
#include "model/SubtitleLine.h"

#include <QString>

#include <cstdint>
#include <mutex>
#include <vector>

// A text range: start offset and length, in UTF-16 units.
struct TextRange {
    qsizetype location = 0;
    qsizetype length = 0;
    qsizetype end() const { return location + length; }
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// What one edit did to the line list.
struct EditOutcome {
    // Lines were removed and inserted (rather than one line updated in place).
    bool structural = false;
    // The lines [firstLine, firstLine + lineCount) now hold the edited text.
    qsizetype firstLine = 0;
    qsizetype lineCount = 0;
    SubtitleLinePtr currentEditingLine;
};

// The widget-free heart of the editor: the editor text and its line list, one SubtitleLine per
// text line ("\n" separated, empty lines included). A line is [start code] text [end code],
// each code a 13-character [HH:MM:SS.FF] at the current frame rate.
class SubtitleTextModel {
public:
    SubtitleTextModel();
    SubtitleTextModel(const SubtitleTextModel&) = delete;
    SubtitleTextModel& operator=(const SubtitleTextModel&) = delete;

    // The frame duration N/D of a loaded FCPX project, for the lines' numerators.
    void setFcpxFrameDuration(int32_t numerator, int32_t denominator);
    int32_t fcpxFrameDurationNumerator() const { return fcpxNumerator_; }
    int32_t fcpxFrameDurationDenominator() const { return fcpxDenominator_; }
    // The denominator D again, as the FCPX export reads it.
    int32_t frameDuration() const { return fcpxDenominator_; }
    int32_t numeratorFromMarqueeTimecode(const QString& timecode) const;

    // One editor line into a new record.
    SubtitleLinePtr parseText(const QString& line) const;
    // Split on "\n" and parse each piece.
    SubtitleLineList createSubtitleLinesFromText(const QString& text) const;
    // The whole text, trimmed of "\r", "\t" and " " at both ends, parsed line by line.
    SubtitleLineList generateSubtitleLines() const;

    // Replaces the whole text (normalised first) through the edit path.
    void setString(const QString& text);
    const QString& text() const { return text_; }

    // The edit path: replaces `removedLength` characters at `position` by `inserted` (taken as
    // it is; callers normalise typed or pasted text first) and brings the list in step. An edit
    // inside one line that neither adds nor removes a "\n" and ends before the end of the text
    // updates that line's record in place (its identity stays); any other edit re-creates the
    // touched lines, posting one delete per removed line and one add per inserted line once the
    // list has its new shape.
    EditOutcome applyEdit(qsizetype position, qsizetype removedLength, const QString& inserted);

    // Replaces the list without touching the text, posting every delete and add.
    void setSubtitles(SubtitleLineList lines);
    // setSubtitles of generateSubtitleLines().
    void refreshSubtitles();

    // The live list; structural changes and the player's look-ups hold listMutex().
    const SubtitleLineList& getAllSubtitles() const { return subtitles_; }
    std::recursive_mutex& listMutex() const { return listMutex_; }

    // Text lines: offsets of their starts and the line holding an offset.
    qsizetype lineCount() const { return qsizetype(lineStarts_.size()); }
    qsizetype lineStart(qsizetype index) const;
    // Offset of the "\n" ending the line, or the text length for the last line.
    qsizetype lineEnd(qsizetype index) const;
    QStringView lineText(qsizetype index) const;
    qsizetype lineIndexAtPosition(qsizetype position) const;
    SubtitleLinePtr lineAt(qsizetype index) const;

    // The line holding `location`; none past the end of the text.
    SubtitleLinePtr getSubtitleLineWithRange(qsizetype location) const;
    // The text part of the line, between its codes.
    TextRange getRangeWithSubtitleLine(const SubtitleLinePtr& line) const;
    // The start or end code of the line; length 0 when the line has none.
    TextRange findTimeCodeRangeOfSubtitleLine(const SubtitleLinePtr& line,
                                              bool isStartTimeCode) const;
    bool isStartTimeCodeInRange(TextRange range) const;
    bool isEndTimeCodeInRange(TextRange range) const;
    // -1 when the line is not in the list.
    qsizetype indexForSubtitleLine(const SubtitleLinePtr& line) const;
    SubtitleLinePtr previousSubtitleLineForLine(const SubtitleLinePtr& line) const;
    SubtitleLinePtr nextSubtitleLineForLine(const SubtitleLinePtr& line) const;

    // Look-ups for the player and the waveform.
    SubtitleLinePtr getCurrentSubtitle(const MediaTime& time) const;
    SubtitleLinePtr getNextSubtitleLineAtTime(const MediaTime& time) const;
    SubtitleLineList subtitleForStartTimeAndEndTime(double start, double end) const;

    // A frame rate of the editor's own, set by the Premiere export for its timecodes.
    void setFps(double fps) { fps_ = fps; }
    double fps() const { return fps_; }
    // HH:MM:SS.FF at fps(); the frame field is not carried into the seconds.
    QString rawTimeStringFromTimeInteval(double seconds) const;

protected:
    void postRemoved(const SubtitleLineList& removed, qsizetype firstIndex) const;
    void postInserted(qsizetype firstIndex, qsizetype count) const;
    void rebuildLineStarts();

    QString text_;
    SubtitleLineList subtitles_;
    // Offset of every text line; always as many entries as subtitles_.
    std::vector<qsizetype> lineStarts_;
    mutable std::recursive_mutex listMutex_;
    int32_t fcpxNumerator_ = 0;
    int32_t fcpxDenominator_ = 0;
    double fps_ = 30;
};

// The editor's timecode pattern; only 13-character matches are start or end codes.
class Regex;
const Regex& editorTimecodePattern();
inline constexpr int kTimecodeLength = 13;
