#pragma once

#include "model/MediaTime.h"

#include <QString>
#include <QStringList>

#include <optional>

// The text tools: pure transformations of editor text (or of a selected part of it).
namespace TextTools {

// The in-subtitle line-break marker.
inline constexpr char16_t kReturnMarker = u'\u23CE';

// The reader's non-empty, trimmed lines joined with "\n" (no trailing "\n").
QString removeEmptyLinesFromString(const QString& text);

// Lines 1+2, 3+4, … of the non-empty lines merged into one editor line each, joined by "⏎".
QString convertToBilingual(const QString& text);

// Lines numbered from 1 (non-empty, trimmed), each followed by "\n": with `cutOdd` lines 1, 3,
// 5 … are cut and 2, 4, 6 … kept, otherwise the reverse.
struct CutResult {
    QString kept;
    QString cut;
};
CutResult cutLines(const QString& text, bool cutOdd);

// Punctuation (;,。；，：) at both ends of each line dropped, punctuation right before a code
// dropped, any other run of punctuation turned into a line break; each line followed by "\n".
QString convertPunctuationToReturn(const QString& text);

// Any HH?MM?SS?FF written with a common separator and optional brackets becomes [HH:MM:SS.FF];
// "//" becomes "⏎".
QString convertTimeCodeFormat(const QString& text);

// The warning of the paste-in windows when the non-empty line counts differ, else nothing.
std::optional<QString> lineQuantityMismatch(const QString& originalText, const QString& pasted);
// The pasted lines joined with "\n".
QString getReplaceText(const QString& pasted);
// Each existing line followed by its pasted counterpart on the next line.
QString getConsolidateText(const QString& originalText, const QString& pasted);

// Fully timed lines of `selected` take the next line of `texts` between their codes; other
// lines stay. Each line is followed by "\n".
QString pasteTextOnly(const QString& selected, const QString& texts);
// The codes of `codes`, paired as In and Out, around the code-free lines of `selected` in
// order; left-over texts follow, each with "\n".
QString pasteTimeCodeOnly(const QString& selected, const QString& codes);

// Every code (two- or three-digit frames) moved by `offset`, later or earlier (never below 0),
// written back as a two-digit code at the current rate.
QString shiftTimecodes(const QString& text, const MediaTime& offset, bool increase);
// Every code removed.
QString deleteTimecodes(const QString& text);

} // namespace TextTools
