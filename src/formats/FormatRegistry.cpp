#include "formats/FormatRegistry.h"

#include "formats/RegisteredFormats.h"
#include "formats/TextFileReader.h"
#include "model/MQTimeUtility.h"

#include <QDebug>

#include <mutex>

namespace FormatRegistry {

const std::vector<SubtitleFormatPtr>& allSubtitleFormats() {
    static std::once_flag once;
    static std::vector<SubtitleFormatPtr> formats;
    std::call_once(once, [] {
        formats = {std::make_shared<WebVTTFormat>(), std::make_shared<SubViewer10>(),
                   std::make_shared<SubViewer20>(), std::make_shared<YouTubeSbv>()};
        Subtitle::setLoader(&loadSubtitleFile);
    });
    return formats;
}

SubtitleFormatPtr loadSubtitleLines(Subtitle& subtitle, const QStringList& lines,
                                    const QString& path, bool batchMode) {
    subtitle.fileUrl = path;
    subtitle.subtitles.clear();
    SubtitleFormatPtr found;
    for (const SubtitleFormatPtr& format : allSubtitleFormats()) {
        if (format->isMine(lines, path)) {
            found = format;
            break;
        }
    }
    if (!found) {
        return nullptr;
    }
    subtitle.header.clear();
    found->setBatchMode(batchMode);
    found->loadSubtitle(subtitle, lines, path);
    subtitle.format = found;
    subtitle.wasLoadedWithFrameNumbers = found->isFrameBased();
    if (found->isFrameBased()) {
        subtitle.calculateTimeCodesFromFrameNumbers(MQTimeUtility::sharedInstance().getFPS());
    }
    found->removeNativeFormatting(subtitle, nullptr);
    return found;
}

SubtitleFormatPtr loadSubtitleFile(Subtitle& subtitle, const QString& path, bool batchMode) {
    const QString text = TextFileReader::readFile(path);
    // Every "\n" and every "\r" ends a line; lines are neither trimmed nor filtered.
    QStringList lines;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\n' || text[i] == u'\r') {
            lines.append(text.mid(from, i - from));
            from = i + 1;
        }
    }
    return loadSubtitleLines(subtitle, lines, path, batchMode);
}

OpenedFile openSubtitleFile(const QString& path) {
    allSubtitleFormats();
    Subtitle subtitle;
    OpenedFile opened;
    opened.format = subtitle.loadSubtitle(path);
    if (opened.format) {
        qDebug("%s DBG: The subtitle format is : %s", __func__,
               qUtf8Printable(opened.format->name()));
        opened.editorText = subtitle.getTextViewDisplayString();
    }
    return opened;
}

QString exportText(const CueSubtitleFormat& format, const SubtitleLineList& editorLines) {
    GenericExport out(format);
    for (const SubtitleLinePtr& line : editorLines) {
        out.add(*line);
    }
    return out.finish();
}

std::shared_ptr<CueSubtitleFormat> formatNamed(const QString& name) {
    for (const SubtitleFormatPtr& format : allSubtitleFormats()) {
        if (format->name() == name) {
            return std::dynamic_pointer_cast<CueSubtitleFormat>(format);
        }
    }
    return nullptr;
}

} // namespace FormatRegistry
