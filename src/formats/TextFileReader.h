#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

// Turns files into one string and strings into clean lines. Stateless.
class TextFileReader {
public:
    // The bytes of a text file as a string: a byte-order mark decides first, then valid UTF-8,
    // then the encoding the detector names; when none of these decodes the bytes, a lenient
    // reading (RTF as its plain text, other bytes in the named or a Western code page). Null for
    // an empty input.
    static QString decodeText(const QByteArray& bytes);
    // The name of the encoding decodeText() reads the bytes with first.
    static QByteArray detectEncoding(const QByteArray& bytes);

    // A file decoded as above; null when the file is missing or unreadable.
    static QString getContentFromURL(const QString& path);
    // A file read for import: Word and RTF documents as their plain text; other files decoded,
    // with every "\r" removed.
    static QString readFile(const QString& path);

    // Split at every "\n" and "\r", each piece trimmed, empty pieces dropped.
    static QStringList getLinesFromText(QStringView text);
    static QString removeEmptyLinesFromString(QStringView text);
};
