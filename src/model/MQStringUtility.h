#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

// The string rules shared by the editor, the formats and the exchange files.
namespace MQStringUtility {

// Editor text normalisation: "\r\n" becomes "\n"; every other "\r", U+2028 and U+2029 becomes
// "\n"; every other character below U+0020 (tab included) is dropped.
QString normalizeEditorText(QStringView text);
// The same for a string the caller gives up: returned as it is, without a copy, when it is
// already normal (a long imported document need not exist twice).
QString normalizeEditorText(QString&& text);

// White space: Unicode space separators and tab. Newlines: U+000A-U+000D, U+0085, U+2028,
// U+2029.
bool isWhitespace(QChar c);
bool isWhitespaceOrNewline(QChar c);

QString trimWhitespace(QStringView text);
QString trimWhitespaceAndNewlines(QStringView text);
// Removes every character of `set` from both ends.
QString trimCharacters(QStringView text, QStringView set);

// Splits at every "\n" and every "\r", trims white space and newlines from each piece and keeps
// the non-empty ones.
QStringList linesFromText(QStringView text);

// Leading-integer readings: leading white space skipped, an optional sign, then decimal digits up
// to the first other character; 0 when there are none. Overflow saturates.
int32_t intValue(QStringView text);
int64_t integerValue(QStringView text);

} // namespace MQStringUtility
