// marquee convert IN OUT [--fps RATE] [--to FORMAT] [--movie PATH]: the window's import and
// export paths run on an editor text, so that a conversion gives what the window would give.
#include "app/MQProjectFile.h"
#include "app/cli/CommandRegistry.h"

#include "editor/SubtitleTextModel.h"
#include "formats/AvidSubtitleFile.h"
#include "formats/FormatRegistry.h"
#include "formats/MQExporter.h"
#include "formats/RegisteredFormats.h"
#include "formats/SRTFile.h"
#include "formats/ScriptReaders.h"
#include "formats/TextFileReader.h"
#include "formats/TextFileWriter.h"
#include "model/MQStringUtility.h"
#include "model/MQTimeUtility.h"

#include <QFileInfo>
#include <QLoggingCategory>

#include <functional>
#include <optional>

namespace {

const QString kName = QStringLiteral("convert");

// The first line of a message meant for an alert.
QString firstLine(const QString& message) {
    return message.section(u'\n', 0, 0);
}

// The editor text of IN, chosen by its extension; an error message when it cannot be imported.
std::optional<QString> importEditorText(const QString& path, QString& error) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QString fileName = QFileInfo(path).fileName();
    if (suffix == QLatin1String("srt")) {
        const SRTFile file(path);
        if (file.text.isEmpty()) {
            error = firstLine(SRTFile::cannotReadMessage(fileName));
            return std::nullopt;
        }
        QString text =
            SRTFile::convertToText(file.text, float(MQTimeUtility::sharedInstance().getFPS()));
        if (text.isEmpty()) {
            error = firstLine(SRTFile::cannotTranslateMessage(fileName));
            return std::nullopt;
        }
        return text;
    }
    if (suffix == MQProjectFile::kExtension) {
        QString reason;
        std::optional<MQProjectFile> project = MQProjectFile::read(path, &reason);
        if (!project) {
            error = QStringLiteral("Can not read the project %1: %2").arg(fileName, reason);
            return std::nullopt;
        }
        return std::move(project->subtitleText);
    }
    if (suffix == QLatin1String("txt")) {
        const QString text = TextFileReader::getContentFromURL(path);
        if (text.isNull()) {
            error = QStringLiteral("Can not read %1").arg(fileName);
            return std::nullopt;
        }
        return text;
    }
    if (suffix == QLatin1String("rtf") || suffix == QLatin1String("doc") ||
        suffix == QLatin1String("docx")) {
        const QString text = ScriptReaders::readScriptFile(path);
        if (text.isNull()) {
            error = QStringLiteral("Can not read the document %1").arg(fileName);
            return std::nullopt;
        }
        return text;
    }
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("Can not read %1").arg(fileName);
        return std::nullopt;
    }
    FormatRegistry::OpenedFile opened = FormatRegistry::openSubtitleFile(path);
    if (!opened.format) {
        error = QStringLiteral("No subtitle format recognises %1").arg(fileName);
        return std::nullopt;
    }
    return opened.editorText;
}

// The registered format written for a target name, if it is one.
std::shared_ptr<CueSubtitleFormat> registryFormat(const QString& target) {
    if (target == QLatin1String("vtt") || target == QLatin1String("webvtt")) {
        return FormatRegistry::formatNamed(QStringLiteral("WebVTT"));
    }
    if (target == QLatin1String("subviewer1")) {
        return FormatRegistry::formatNamed(QStringLiteral("SubViewer 1.0"));
    }
    if (target == QLatin1String("sub") || target == QLatin1String("subviewer2")) {
        return FormatRegistry::formatNamed(QStringLiteral("SubViewer 2.0"));
    }
    if (target == QLatin1String("sbv")) {
        return FormatRegistry::formatNamed(QStringLiteral("YouTube sbv"));
    }
    return nullptr;
}

bool isKnownTarget(const QString& target) {
    static const QStringList kTargets = {
        QStringLiteral("srt"),    QStringLiteral("vtt"),        QStringLiteral("webvtt"),
        QStringLiteral("sub"),    QStringLiteral("subviewer1"), QStringLiteral("subviewer2"),
        QStringLiteral("sbv"),    QStringLiteral("stl"),        QStringLiteral("encore"),
        QStringLiteral("avid"),   QStringLiteral("txt"),        QStringLiteral("text"),
        MQProjectFile::kExtension};
    return kTargets.contains(target);
}

// Calls `visit` with each line of the editor text parsed as the editor parses it, one at a time,
// so that a long document is never held as a whole list of lines.
void forEachEditorLine(const QString& editorText,
                       const std::function<void(const SubtitleLine&)>& visit) {
    const SubtitleTextModel parser;
    QString text; // one buffer for every line
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = editorText.indexOf(u'\n', start);
        text.truncate(0);
        text += QStringView(editorText).mid(start, end < 0 ? -1 : end - start);
        const SubtitleLinePtr line = parser.parseText(text);
        visit(*line);
        if (end < 0) {
            break;
        }
        start = end + 1;
    }
}

QString exportText(const QString& target, const QString& editorText) {
    if (const std::shared_ptr<CueSubtitleFormat> format = registryFormat(target)) {
        GenericExport out(*format);
        forEachEditorLine(editorText, [&](const SubtitleLine& line) { out.add(line); });
        return out.finish();
    }
    if (target == QLatin1String("avid")) {
        QString out = AvidSubtitleFile::head();
        forEachEditorLine(
            editorText, [&](const SubtitleLine& line) { AvidSubtitleFile::appendLine(out, line); });
        AvidSubtitleFile::finish(out);
        return out;
    }
    const MQExporter exporter(editorText, 0, 0, 0);
    if (target == QLatin1String("srt")) {
        return exporter.getSRTFileContent();
    }
    if (target == QLatin1String("stl")) {
        return exporter.getSTLFileContent();
    }
    if (target == QLatin1String("encore")) {
        return exporter.getTextScriptFileContent();
    }
    return editorText; // txt, text: the editor text as it stands
}

// A new project holding the editor text, every other field at its default but the movie.
bool writeProject(const QString& path, QString editorText, const QString& moviePath,
                  QString& error) {
    MQProjectFile project;
    project.subtitleText = std::move(editorText);
    project.moviePath = moviePath;
    QString reason;
    if (!project.writeToUrl(path, &reason)) {
        error = QStringLiteral("Can not write %1: %2").arg(path, reason);
        return false;
    }
    return true;
}

const QString kUsage = QStringLiteral("convert IN OUT [--fps RATE] [--to FORMAT] [--movie PATH]");

int runConvert(const QStringList& args) {
    // Diagnostics stay out of the command's output; failures are reported on their own.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QStringList paths;
    QString target;
    QString moviePath;
    double fps = 30;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--fps") || arg == QLatin1String("--to") ||
            arg == QLatin1String("--movie")) {
            if (i + 1 >= args.size()) {
                return cliFail(kName, QStringLiteral("%1 needs a value").arg(arg));
            }
            const QString value = args[++i];
            if (arg == QLatin1String("--to")) {
                target = value.toLower();
                continue;
            }
            if (arg == QLatin1String("--movie")) {
                // Stored absolute, so that the project opens the movie from any folder.
                moviePath = QFileInfo(value).absoluteFilePath();
                continue;
            }
            bool ok = false;
            fps = value.toDouble(&ok);
            if (!ok || !(fps > 0) || fps > 1000) {
                return cliFail(kName, QStringLiteral("invalid frame rate %1").arg(value));
            }
        } else if (arg.startsWith(QLatin1String("--"))) {
            return cliFail(kName, QStringLiteral("unknown option %1").arg(arg));
        } else {
            paths.append(arg);
        }
    }
    if (paths.size() != 2) {
        return cliFail(kName, QStringLiteral("usage: marquee %1").arg(kUsage));
    }
    const QString& in = paths[0];
    const QString& out = paths[1];
    if (target.isEmpty()) {
        target = QFileInfo(out).suffix().toLower();
    }
    if (!isKnownTarget(target)) {
        return cliFail(
            kName,
            QStringLiteral("unknown output format \"%1\" (see marquee formats)").arg(target));
    }
    const bool toProject = target == MQProjectFile::kExtension;
    if (!moviePath.isEmpty() && !toProject) {
        return cliFail(kName, QStringLiteral("--movie is recorded only in a .mqp project"));
    }

    MQTimeUtility::sharedInstance().setFPS(fps);
    QString error;
    std::optional<QString> imported = importEditorText(in, error);
    if (!imported) {
        return cliFail(kName, error);
    }
    // The editor's normalisation; its lines are parsed one at a time by the export.
    QString editorText = MQStringUtility::normalizeEditorText(std::move(*imported));
    imported.reset();
    if (toProject) {
        return writeProject(out, std::move(editorText), moviePath, error) ? kExitOk
                                                                          : cliFail(kName, error);
    }

    const QString content = exportText(target, editorText);
    editorText.clear();
    if (!writeTextFileAtomically(out, content, &error)) {
        return cliFail(kName, error);
    }
    return kExitOk;
}

const CliCommand kConvert{{
    kName,
    kUsage,
    QStringLiteral("convert a subtitle, script or project file through the editor text (default "
                   "30 fps; --movie names the movie of a new .mqp project)"),
    runConvert,
}};

} // namespace
