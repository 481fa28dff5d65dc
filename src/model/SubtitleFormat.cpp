#include "model/SubtitleFormat.h"

#include "model/Subtitle.h"

bool SubtitleFormat::isMine(const QStringList& lines, const QString& fileUrl) {
    Subtitle scratch;
    loadSubtitle(scratch, lines, fileUrl);
    return errorCount_ < qsizetype(scratch.subtitles.size());
}

QString SubtitleFormat::toText(const Subtitle&, const QString&) const {
    return QString();
}

void SubtitleFormat::loadSubtitle(Subtitle&, const QStringList&, const QString&) {}

QString SubtitleFormat::formatText(const SubtitleLine& line) const {
    return collapseBlankLines(line.text());
}

QString SubtitleFormat::collapseBlankLines(const QString& original) {
    // Most texts have no blank line; those are handed back without a search for one.
    const qsizetype firstBreak = original.indexOf(u'\n');
    if (firstBreak < 0 || original.indexOf(u'\n', firstBreak + 1) < 0) {
        return original;
    }
    QString text = original;
    while (text.contains(QStringLiteral("\n\n"))) {
        text.replace(QStringLiteral("\n\n"), QStringLiteral("\n"));
    }
    return text;
}

void SubtitleFormat::removeNativeFormatting(Subtitle&, const SubtitleFormat*) {}

QString SubtitleFormat::removeTag(const QString&, const QString& text) {
    return text;
}

QString SubtitleFormat::removeBadChars(const QString& text) {
    QString out = text;
    out.replace(QChar(u'\0'), QChar(u' '));
    return out;
}
