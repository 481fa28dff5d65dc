#include "formats/AvidSubtitleFile.h"

#include "formats/TextFileWriter.h"

QString AvidSubtitleFile::head() {
    return QStringLiteral(
        "@ This file written with the Avid Caption plugin, version 1\n\n<begin subtitles>\n\n");
}

void AvidSubtitleFile::appendLine(QString& out, const SubtitleLine& line) {
    if (!line.isValid()) {
        return;
    }
    out += convertToAvidTimeFormat(line.getStartTimeString());
    out += u' ';
    out += convertToAvidTimeFormat(line.getEndTimeString());
    out += u'\n';
    out += line.text();
    out += QLatin1String("\n\n");
}

void AvidSubtitleFile::finish(QString& out) {
    out += QLatin1String("\n\n<end subtitles>");
}

QString AvidSubtitleFile::convertSubtitleToAvidText(const SubtitleLineList& lines) {
    QString out = head();
    for (const SubtitleLinePtr& line : lines) {
        appendLine(out, *line);
    }
    finish(out);
    return out;
}

QString AvidSubtitleFile::convertToAvidTimeFormat(const QString& timecode) {
    QString out = timecode;
    out.replace(u'.', u':');
    out.remove(u'[');
    out.remove(u']');
    return out;
}

bool AvidSubtitleFile::writeSubtitleToFile(const SubtitleLineList& lines, QString* error) const {
    return writeTextFileAtomically(path, convertSubtitleToAvidText(lines), error);
}
