// The window's subtitle-file commands: the registry's Import and Export submenus, the SRT import,
// the text and script imports, and the exports that write one file each.
#include "app/MQMainWindowController.h"

#include "editor/views/SubtitleTextView.h"
#include "formats/AvidSubtitleFile.h"
#include "formats/FormatRegistry.h"
#include "formats/MQExporter.h"
#include "formats/RegisteredFormats.h"
#include "formats/SRTFile.h"
#include "formats/ScriptReaders.h"
#include "formats/TextFileReader.h"
#include "formats/TextFileWriter.h"
#include "model/MQTimeUtility.h"
#include "platform/PromptService.h"

#include <QFileInfo>
#include <QMenu>
#include <QTimer>

#include <mutex>

namespace {

// The SRT import looks at the movie and the timecodes once the editor has taken the new text.
constexpr int kImportedSRTCheckDelayMs = 500;

QString fileName(const QString& path) {
    return QFileInfo(path).fileName();
}

// "WebVTT, SubViewer 1.0, SubViewer 2.0 or YouTube sbv"
QString registeredFormatNames() {
    QStringList names;
    for (const SubtitleFormatPtr& format : FormatRegistry::allSubtitleFormats()) {
        names << format->name();
    }
    const QString last = names.isEmpty() ? QString() : names.takeLast();
    return names.isEmpty() ? last
                           : names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

// Without a player the movie's length is unknown; a subtitle left open after the last timecode
// then ends at 0.
constexpr double kMovieDuration = 0;

} // namespace

void MQMainWindowController::initImportAndExportMenuItem() {
    const std::vector<SubtitleFormatPtr>& formats = FormatRegistry::allSubtitleFormats();
    for (int tag = 0; tag < int(formats.size()); ++tag) {
        const SubtitleFormat& format = *formats[size_t(tag)];
        QAction* import = addCommand(
            importMenu_,
            QStringLiteral("Import %1 File (*.%2)").arg(format.name(), format.extension()),
            [this, tag] { didPressImportSubtitleFileMenuItem(tag); });
        import->setData(tag);
        QAction* exportItem = addCommand(
            exportMenu_,
            QStringLiteral("Export %1 File (*.%2)").arg(format.name(), format.extension()),
            [this, tag] { didPressExportSubtitleFileMenuItem(tag); });
        exportItem->setData(tag);
    }
}

// ---------------------------------------------------------------------------------------------
// Imports

void MQMainWindowController::didPressImportSubtitleFileMenuItem(int tag) {
    const std::vector<SubtitleFormatPtr>& formats = FormatRegistry::allSubtitleFormats();
    if (tag < 0 || tag >= int(formats.size())) {
        return;
    }
    const SubtitleFormat& format = *formats[size_t(tag)];
    FilePanel panel;
    panel.title = QStringLiteral("Import %1 File").arg(format.name());
    // The item only filters the panel: the file's format is found from its content.
    panel.extensions = {format.extension()};
    const QString path = PromptService::chooseFile(panel);
    if (!path.isEmpty()) {
        openSubtitleFile(path);
    }
}

void MQMainWindowController::openSubtitleFile(const QString& path) {
    const FormatRegistry::OpenedFile opened = FormatRegistry::openSubtitleFile(path);
    if (!opened.format) {
        // The editor keeps its text: a file dropped or chosen by mistake must not wipe the work.
        PromptService::warning(
            QStringLiteral("Can not read the subtitle file : %1.\nIt is not a %2 file.")
                .arg(fileName(path), registeredFormatNames()));
        return;
    }
    replaceTextInTextView(opened.editorText);
}

void MQMainWindowController::loadSRTFile() {
    if (!checkContent() || !checkXML()) {
        return;
    }
    FilePanel panel;
    panel.title = QStringLiteral("Import SRT File");
    panel.extensions = {QStringLiteral("srt"), QStringLiteral("title")};
    const QString path = PromptService::chooseFile(panel);
    if (!path.isEmpty()) {
        loadSRTFileFromURL(path);
    }
}

void MQMainWindowController::loadSRTFileFromURL(const QString& path) {
    const SRTFile file(path);
    if (file.text.isEmpty()) {
        PromptService::warning(SRTFile::cannotReadMessage(fileName(path)));
        return;
    }
    const QString text =
        SRTFile::convertToText(file.text, float(MQTimeUtility::sharedInstance().getFPS()));
    if (text.isEmpty()) {
        PromptService::warning(SRTFile::cannotTranslateMessage(fileName(path)));
        return;
    }
    replaceTextInTextView(text);
    QTimer::singleShot(kImportedSRTCheckDelayMs, this, &MQMainWindowController::checkImportedSRT);
}

void MQMainWindowController::checkImportedSRT() {
    // With a movie the lines go to the waveform, which draws them once it exists.
    if (movieFilePath_.isEmpty()) {
        PromptService::warning(
            QStringLiteral("No movie imported. It's OK to continue. You should choose an "
                           "appropriate frame from the Toolbar dropdown menu."));
    }
    if (editor().error()) {
        PromptService::warning(QStringLiteral(
            "We found there are error time code in your srt file. You can find them by click the "
            "'Find Error TC' button on ToolBar, and you can correct them by click on menu "
            "'Tools-Auto Correct Error Timecode'."));
        textView_->setSelectedRange(editor().errorTimeCodeRanges().front());
        editor().findFirstErrorTimeCode();
    }
}

void MQMainWindowController::dragTextFile(const QString& path) {
    const QString text = TextFileReader::getContentFromURL(path);
    if (text.isNull()) {
        PromptService::warning(
            QStringLiteral("Can not read the text file : %1.").arg(fileName(path)));
        return;
    }
    replaceTextInTextView(text);
}

void MQMainWindowController::replaceTextWithScript(const QString& path) {
    const QString text = ScriptReaders::readScriptFile(path);
    if (text.isNull()) {
        // Replacing the editor with nothing would lose the work for a damaged document.
        PromptService::warning(
            QStringLiteral("Can not read the document : %1.\nPlease open it in your word "
                           "processor, save it again as a Word or RTF document and try again.")
                .arg(fileName(path)));
        return;
    }
    replaceTextInTextView(text);
}

void MQMainWindowController::dragDocFile(const QString& path) {
    replaceTextWithScript(path);
}

void MQMainWindowController::dragRtfFile(const QString& path) {
    replaceTextWithScript(path);
}

// ---------------------------------------------------------------------------------------------
// Exports

void MQMainWindowController::exportFile(
    const QString& title, const QString& suggestedName, const QString& extension,
    const std::function<bool(const QString& path, QString* error)>& write) {
    FilePanel panel;
    panel.kind = FilePanel::Kind::Save;
    panel.title = title;
    panel.suggestedName = suggestedName;
    panel.extensions = {extension};
    QString path = PromptService::chooseFile(panel);
    if (path.isEmpty()) {
        return;
    }
    const QString dotted = u'.' + extension;
    if (!path.endsWith(dotted, Qt::CaseInsensitive)) {
        path += dotted;
    }
    QString error;
    if (!write(path, &error)) {
        PromptService::error(error);
    }
}

void MQMainWindowController::didPressExportSubtitleFileMenuItem(int tag) {
    const std::vector<SubtitleFormatPtr>& formats = FormatRegistry::allSubtitleFormats();
    if (tag < 0 || tag >= int(formats.size())) {
        return;
    }
    const auto format = std::dynamic_pointer_cast<CueSubtitleFormat>(formats[size_t(tag)]);
    if (!format) {
        return;
    }
    exportFile(QStringLiteral("Export %1 File").arg(format->name()),
               QStringLiteral("output.%1").arg(format->extension()), format->extension(),
               [this, format](const QString& path, QString* error) {
                   const std::lock_guard lock(subtitleTextModel().listMutex());
                   return writeTextFileAtomically(
                       path,
                       FormatRegistry::exportText(*format, subtitleTextModel().getAllSubtitles()),
                       error);
               });
}

void MQMainWindowController::saveSRTFile() {
    exportFile(QStringLiteral("Export SRT File"), QStringLiteral("output.srt"),
               QStringLiteral("srt"), [this](const QString& path, QString* error) {
                   return MQExporter(subtitleTextModel(), kMovieDuration).saveSrtFile(path, error);
               });
}

void MQMainWindowController::saveSTLFile() {
    exportFile(QStringLiteral("Export STL File"), QStringLiteral("output.stl"),
               QStringLiteral("stl"), [this](const QString& path, QString* error) {
                   return MQExporter(subtitleTextModel(), kMovieDuration).saveStlFile(path, error);
               });
}

void MQMainWindowController::saveTextScriptFile() {
    exportFile(
        QStringLiteral("Export Adobe Encore File"), QStringLiteral("output.txt"),
        QStringLiteral("txt"), [this](const QString& path, QString* error) {
            return MQExporter(subtitleTextModel(), kMovieDuration).saveTextScriptFile(path, error);
        });
}

void MQMainWindowController::exportAvidFile() {
    exportFile(QStringLiteral("Export Avid File"), QStringLiteral("AvidOutput.txt"),
               QStringLiteral("txt"), [this](const QString& path, QString* error) {
                   const std::lock_guard lock(subtitleTextModel().listMutex());
                   return AvidSubtitleFile(path).writeSubtitleToFile(
                       subtitleTextModel().getAllSubtitles(), error);
               });
}

void MQMainWindowController::didPressExportPlainTextMenuItem() {
    exportFile(QStringLiteral("Export Plain Text File"), QStringLiteral("output.txt"),
               QStringLiteral("txt"), [this](const QString& path, QString* error) {
                   return writeTextFileAtomically(path, textView_->toPlainText(), error);
               });
}
