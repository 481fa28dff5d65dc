#include "formats/NumberFormat.h"
#include "formats/RegisteredFormats.h"

#include "model/MQStringUtility.h"
#include "model/Subtitle.h"

void trimInPlace(QString& text) {
    qsizetype end = text.size();
    while (end > 0 && MQStringUtility::isWhitespaceOrNewline(text[end - 1])) {
        --end;
    }
    text.truncate(end);
    qsizetype start = 0;
    while (start < text.size() && MQStringUtility::isWhitespaceOrNewline(text[start])) {
        ++start;
    }
    text.remove(0, start);
}

QString CueSubtitleFormat::toText(const Subtitle& subtitle, const QString& title) const {
    QString out = head(title);
    for (const SubtitleLinePtr& line : subtitle.subtitles) {
        appendCue(out, *line, line->text());
    }
    finish(out);
    return out;
}

GenericExport::GenericExport(const CueSubtitleFormat& format)
    : format_(format), out_(format.head(format.name())) {}

void GenericExport::add(const SubtitleLine& line) {
    if (!line.isValid()) {
        return;
    }
    if (!line.text().contains(QChar(kReturnSymbol))) {
        format_.appendCue(out_, line, line.text());
        return;
    }
    QString text = line.text();
    text.replace(QChar(kReturnSymbol), u'\n');
    format_.appendCue(out_, line, text);
}

QString GenericExport::finish() {
    format_.finish(out_);
    return std::move(out_);
}
