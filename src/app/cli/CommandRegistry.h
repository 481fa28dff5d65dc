#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The command-line subcommands of `marquee`. Each lives in a file of its own under cli/ and
// registers itself with a static CliCommand.
struct CliCommandInfo {
    QString name;
    QString usage;                                   // e.g. "check IN [--fix OUT] [--fps RATE]"
    QString summary;                                 // one line for --help
    std::function<int(const QStringList& args)> run; // args after the subcommand name
};

namespace CommandRegistry {
void add(CliCommandInfo command);
const std::vector<CliCommandInfo>& all();
const CliCommandInfo* find(const QString& name);
QString helpText();
} // namespace CommandRegistry

struct CliCommand {
    explicit CliCommand(CliCommandInfo info) { CommandRegistry::add(std::move(info)); }
};

// Exit codes shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFindings = 1;
inline constexpr int kExitError = 2;

// Prints "marquee NAME: MESSAGE" on stderr and returns kExitError.
int cliFail(const QString& command, const QString& message);
