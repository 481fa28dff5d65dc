#include "app/cli/EditorCli.h"

#include "model/MQStringUtility.h"
#include "model/MQTimeUtility.h"

#include <QFile>
#include <QMap>
#include <QSaveFile>
#include <QStringDecoder>

#include <memory>

namespace EditorCli {

Arguments parse(const QStringList& args, const QStringList& valueOptions,
                const QStringList& flags) {
    Arguments result;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QLatin1String("--"))) {
            result.positional.append(arg);
            continue;
        }
        const QString name = arg.mid(2);
        if (flags.contains(name)) {
            result.options.insert(name, QString());
        } else if (valueOptions.contains(name)) {
            if (i + 1 >= args.size()) {
                result.error = QStringLiteral("option %1 needs a value").arg(arg);
                return result;
            }
            result.options.insert(name, args[++i]);
        } else {
            result.error = QStringLiteral("unknown option %1").arg(arg);
            return result;
        }
    }
    return result;
}

bool applyFrameRate(const Arguments& arguments, QString& error) {
    double fps = 30;
    if (arguments.options.contains(QStringLiteral("fps"))) {
        bool ok = false;
        fps = arguments.options.value(QStringLiteral("fps")).toDouble(&ok);
        if (!ok || !(fps > 0) || fps > 1000) {
            error = QStringLiteral("--fps needs a positive frame rate, not \"%1\"")
                        .arg(arguments.options.value(QStringLiteral("fps")));
            return false;
        }
    }
    MQTimeUtility::sharedInstance().setFPS(fps);
    return true;
}

std::optional<QString> readText(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(file.readAll());
    if (decoder.hasError()) {
        error = QStringLiteral("%1 is not UTF-8 text").arg(path);
        return std::nullopt;
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    return MQStringUtility::normalizeEditorText(text);
}

bool writeText(const QString& path, const QString& text, QString& error) {
    return writeTexts({{path, text}}, error);
}

bool writeTexts(const std::vector<OutputFile>& files, QString& error) {
    std::vector<std::unique_ptr<QSaveFile>> prepared;
    for (const OutputFile& output : files) {
        auto file = std::make_unique<QSaveFile>(output.path);
        if (!file->open(QIODevice::WriteOnly) || file->write(output.text.toUtf8()) < 0) {
            error = QStringLiteral("cannot write %1: %2").arg(output.path, file->errorString());
            return false; // the prepared files are discarded unwritten
        }
        prepared.push_back(std::move(file));
    }
    for (size_t i = 0; i < prepared.size(); ++i) {
        if (!prepared[i]->commit()) {
            error = QStringLiteral("cannot write %1: %2")
                        .arg(files[i].path, prepared[i]->errorString());
            return false;
        }
    }
    return true;
}

} // namespace EditorCli
