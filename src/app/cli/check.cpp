// marquee check: report the timecodes that run backwards, optionally writing the repaired text.
#include "app/cli/CommandRegistry.h"
#include "app/cli/EditorCli.h"
#include "editor/EditorTextBuffer.h"
#include "editor/TimecodeCheck.h"

#include <cstdio>

namespace {

int runCheck(const QStringList& args) {
    const QString name = QStringLiteral("check");
    const auto arguments =
        EditorCli::parse(args, {QStringLiteral("fix"), QStringLiteral("fps")}, {});
    if (!arguments.error.isEmpty()) {
        return cliFail(name, arguments.error);
    }
    if (arguments.positional.size() != 1) {
        return cliFail(name, QStringLiteral("expected one input file"));
    }
    QString error;
    if (!EditorCli::applyFrameRate(arguments, error)) {
        return cliFail(name, error);
    }
    const auto text = EditorCli::readText(arguments.positional[0], error);
    if (!text) {
        return cliFail(name, error);
    }
    SubtitleTextModel model;
    model.setString(*text);
    const TimecodeOrderCheck check = checkTimecodeOrder(model.text());
    if (arguments.options.contains(QStringLiteral("fix")) &&
        !EditorCli::writeText(arguments.options.value(QStringLiteral("fix")),
                              autoCorrectedText(model.generateSubtitleLines()), error)) {
        return cliFail(name, error);
    }
    for (qsizetype i = 0; i < check.errorTimeCodes.size(); ++i) {
        const qsizetype position = check.errorTimeCodeRanges[i].location;
        const qsizetype line = model.lineIndexAtPosition(position);
        std::printf("%lld:%lld %s\n", qlonglong(line + 1),
                    qlonglong(position - model.lineStart(line) + 1),
                    qUtf8Printable(check.errorTimeCodes[i]));
    }
    return check.error ? kExitFindings : kExitOk;
}

const CliCommand command({QStringLiteral("check"),
                          QStringLiteral("check IN [--fix OUT] [--fps RATE]"),
                          QStringLiteral("list timecodes that run backwards (exit 1 when any); "
                                         "--fix writes the auto-corrected text"),
                          runCheck});

} // namespace
