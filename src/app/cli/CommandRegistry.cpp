#include "app/cli/CommandRegistry.h"

#include <algorithm>
#include <cstdio>

namespace {
std::vector<CliCommandInfo>& registry() {
    static std::vector<CliCommandInfo> commands;
    return commands;
}
} // namespace

namespace CommandRegistry {

void add(CliCommandInfo command) {
    auto& commands = registry();
    commands.push_back(std::move(command));
    std::sort(commands.begin(), commands.end(),
              [](const CliCommandInfo& a, const CliCommandInfo& b) { return a.name < b.name; });
}

const std::vector<CliCommandInfo>& all() {
    return registry();
}

const CliCommandInfo* find(const QString& name) {
    for (const auto& c : registry()) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

QString helpText() {
    QString text =
        QStringLiteral("Usage: marquee [PROJECT.mqp]          open the editor window\n"
                       "       marquee COMMAND [ARGS...]       run a command without a window\n"
                       "\n"
                       "Options:\n"
                       "  --help       show this help\n"
                       "  --version    show the version\n");
    if (!registry().empty()) {
        text += QStringLiteral("\nCommands:\n");
        for (const auto& c : registry()) {
            text += QStringLiteral("  %1\n      %2\n").arg(c.usage, c.summary);
        }
    }
    return text;
}

} // namespace CommandRegistry

int cliFail(const QString& command, const QString& message) {
    std::fprintf(stderr, "marquee %s: %s\n", qUtf8Printable(command), qUtf8Printable(message));
    return kExitError;
}
