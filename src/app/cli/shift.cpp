// marquee shift: move every timecode of an editor text by one offset.
#include "app/cli/CommandRegistry.h"
#include "app/cli/EditorCli.h"
#include "editor/TextTools.h"
#include "model/MQTimeUtility.h"
#include "model/Regex.h"

#include <cmath>

namespace {

int runShift(const QStringList& args) {
    const QString name = QStringLiteral("shift");
    const auto arguments = EditorCli::parse(args, {QStringLiteral("by"), QStringLiteral("fps")},
                                            {QStringLiteral("backward")});
    if (!arguments.error.isEmpty()) {
        return cliFail(name, arguments.error);
    }
    if (arguments.positional.size() != 2) {
        return cliFail(name, QStringLiteral("expected an input and an output file"));
    }
    if (!arguments.options.contains(QStringLiteral("by"))) {
        return cliFail(name, QStringLiteral("--by HH:MM:SS.FF is required"));
    }
    QString error;
    if (!EditorCli::applyFrameRate(arguments, error)) {
        return cliFail(name, error);
    }
    const MQTimeUtility& tu = MQTimeUtility::sharedInstance();
    static const Regex offsetPattern(
        QStringLiteral("^\\[?([0-9]{1,2}):([0-9]{2}):([0-9]{2})\\.([0-9]{2,3})\\]?$"));
    const QString by = arguments.options.value(QStringLiteral("by"));
    const auto match = offsetPattern.firstMatch(by);
    if (!match) {
        return cliFail(name, QStringLiteral("--by needs HH:MM:SS.FF, not \"%1\"").arg(by));
    }
    const int hours = match->captured(1).toInt();
    const int minutes = match->captured(2).toInt();
    const int seconds = match->captured(3).toInt();
    const int frames = match->captured(4).toInt();
    if (minutes >= 60 || seconds >= 60 || frames >= tu.getFPS()) {
        return cliFail(
            name, QStringLiteral("--by %1 is out of range at %2 fps").arg(by).arg(tu.getFPS()));
    }
    const auto text = EditorCli::readText(arguments.positional[0], error);
    if (!text) {
        return cliFail(name, error);
    }
    const int64_t totalFrames =
        int64_t(std::trunc(frames + (hours * 3600 + minutes * 60 + seconds) * tu.getFPS()));
    const QString shifted =
        TextTools::shiftTimecodes(*text, tu.getCMTimeWithFrame(totalFrames),
                                  !arguments.options.contains(QStringLiteral("backward")));
    if (!EditorCli::writeText(arguments.positional[1], shifted, error)) {
        return cliFail(name, error);
    }
    return kExitOk;
}

const CliCommand
    command({QStringLiteral("shift"),
             QStringLiteral("shift IN OUT --by HH:MM:SS.FF [--backward] [--fps RATE]"),
             QStringLiteral("move every timecode later (or earlier, never below zero)"), runShift});

} // namespace
