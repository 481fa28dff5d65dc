#pragma once

#include <QByteArray>
#include <QString>

// Readers that give the plain text of word-processor scripts: RTF, Word 97-2003 (.doc) and Word
// (.docx). Each is strict about the container and gives a null string for anything it cannot
// read; text inside field instructions, pictures and other skipped parts is left out.
namespace ScriptReaders {

QString rtfPlainText(const QByteArray& bytes);
QString docPlainText(const QByteArray& bytes);
QString docxPlainText(const QByteArray& bytes);

// Chooses the reader by the extension (.rtf, .doc, .docx, case-insensitive); Word documents
// also lose any hyperlink field code left in their text. Null when unreadable.
QString readScriptFile(const QString& path);

} // namespace ScriptReaders
