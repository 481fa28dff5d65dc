// marquee tool: the text tools that need no timing, applied to a whole editor text.
#include "app/cli/CommandRegistry.h"
#include "app/cli/EditorCli.h"
#include "editor/TextTools.h"

#include <functional>
#include <map>

namespace {

int runTool(const QStringList& args) {
    const QString name = QStringLiteral("tool");
    const auto arguments = EditorCli::parse(
        args, {QStringLiteral("with"), QStringLiteral("cut"), QStringLiteral("fps")}, {});
    if (!arguments.error.isEmpty()) {
        return cliFail(name, arguments.error);
    }
    if (arguments.positional.size() != 3) {
        return cliFail(name, QStringLiteral("expected a tool name, an input and an output file"));
    }
    const QString tool = arguments.positional[0];
    const bool needsWith = tool == QLatin1String("replace-text") ||
                           tool == QLatin1String("consolidate") ||
                           tool == QLatin1String("paste-timecodes");
    const bool isCut = tool == QLatin1String("cut-odd") || tool == QLatin1String("cut-even");
    static const std::map<QString, QString (*)(const QString&)> simpleTools = {
        {QStringLiteral("bilingual"), TextTools::convertToBilingual},
        {QStringLiteral("punctuation"), TextTools::convertPunctuationToReturn},
        {QStringLiteral("remove-empty"), TextTools::removeEmptyLinesFromString},
        {QStringLiteral("timecodes"), TextTools::convertTimeCodeFormat},
    };
    if (!needsWith && !isCut && !simpleTools.count(tool)) {
        return cliFail(name, QStringLiteral("unknown tool %1 (bilingual, cut-odd, cut-even, "
                                            "punctuation, remove-empty, timecodes, replace-text, "
                                            "consolidate, paste-timecodes)")
                                 .arg(tool));
    }
    if (needsWith != arguments.options.contains(QStringLiteral("with"))) {
        return cliFail(name, needsWith ? QStringLiteral("%1 needs --with FILE").arg(tool)
                                       : QStringLiteral("%1 takes no --with").arg(tool));
    }
    if (!isCut && arguments.options.contains(QStringLiteral("cut"))) {
        return cliFail(name, QStringLiteral("--cut goes with cut-odd and cut-even only"));
    }
    QString error;
    if (!EditorCli::applyFrameRate(arguments, error)) {
        return cliFail(name, error);
    }
    const auto text = EditorCli::readText(arguments.positional[1], error);
    if (!text) {
        return cliFail(name, error);
    }
    QString with;
    if (needsWith) {
        const auto read =
            EditorCli::readText(arguments.options.value(QStringLiteral("with")), error);
        if (!read) {
            return cliFail(name, error);
        }
        with = *read;
    }

    QString result;
    QString cut;
    if (const auto simple = simpleTools.find(tool); simple != simpleTools.end()) {
        result = simple->second(*text);
    } else if (isCut) {
        auto split = TextTools::cutLines(*text, tool == QLatin1String("cut-odd"));
        result = std::move(split.kept);
        cut = std::move(split.cut);
    } else if (tool == QLatin1String("paste-timecodes")) {
        result = TextTools::pasteTimeCodeOnly(*text, with);
    } else {
        if (const auto mismatch = TextTools::lineQuantityMismatch(*text, with)) {
            return cliFail(name, *mismatch);
        }
        result = tool == QLatin1String("replace-text")
                     ? TextTools::pasteTextOnly(*text, TextTools::getReplaceText(with))
                     : TextTools::getConsolidateText(*text, with);
    }
    std::vector<EditorCli::OutputFile> outputs = {{arguments.positional[2], result}};
    if (arguments.options.contains(QStringLiteral("cut"))) {
        outputs.push_back({arguments.options.value(QStringLiteral("cut")), cut});
    }
    if (!EditorCli::writeTexts(outputs, error)) {
        return cliFail(name, error);
    }
    return kExitOk;
}

const CliCommand command(
    {QStringLiteral("tool"),
     QStringLiteral("tool NAME IN OUT [--with FILE] [--cut FILE] [--fps RATE]"),
     QStringLiteral("apply a text tool: bilingual, cut-odd, cut-even, punctuation, remove-empty, "
                    "timecodes, replace-text, consolidate, paste-timecodes"),
     runTool});

} // namespace
