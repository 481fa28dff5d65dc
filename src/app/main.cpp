#include "app/cli/CommandRegistry.h"
#include "media/EnvelopeExtraction.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int runCommand(int argc, char** argv, const CliCommandInfo& command) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.remove(0, 2); // program and subcommand
    return command.run(args);
}

// The window program: beside this one in a build folder, under libexec once installed.
QByteArray windowProgram() {
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QDir folder = QFileInfo(self).absoluteDir();
    for (const QString& relative : QStringLiteral(MARQUEE_WINDOW_RELATIVE_PATHS).split(u':')) {
        const QFileInfo candidate(folder.filePath(relative));
        if (candidate.isFile() && candidate.isExecutable()) {
            return QFile::encodeName(candidate.absoluteFilePath());
        }
    }
    return {};
}

// Replaces this process with the window, keeping its arguments, so that whoever started
// `marquee` waits for the window and gets its exit status.
int openWindow(char** argv) {
    const QByteArray program = windowProgram();
    if (program.isEmpty()) {
        std::fprintf(stderr, "marquee: the editor window program is missing next to %s\n", argv[0]);
        return kExitError;
    }
    std::vector<char*> args{const_cast<char*>(program.constData())};
    for (char** arg = argv + 1; *arg; ++arg) {
        args.push_back(*arg);
    }
    args.push_back(nullptr);
    execv(program.constData(), args.data());
    std::fprintf(stderr, "marquee: cannot start %s: %s\n", program.constData(),
                 std::strerror(errno));
    return kExitError;
}

} // namespace

int main(int argc, char** argv) {
    tuneAllocatorForDecoding();
    if (argc >= 2) {
        const QString first = QString::fromLocal8Bit(argv[1]);
        if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
            std::fputs(qUtf8Printable(CommandRegistry::helpText()), stdout);
            return 0;
        }
        if (first == QLatin1String("--version")) {
            std::printf("marquee %s\n", MARQUEE_VERSION);
            return 0;
        }
        if (const CliCommandInfo* command = CommandRegistry::find(first)) {
            return runCommand(argc, argv, *command);
        }
        if (first.startsWith(u'-')) {
            std::fprintf(stderr, "marquee: unknown option %s (see marquee --help)\n", argv[1]);
            return kExitError;
        }
        if (!first.endsWith(QLatin1String(".mqp"), Qt::CaseInsensitive)) {
            std::fprintf(stderr, "marquee: unknown command %s (see marquee --help)\n", argv[1]);
            return kExitError;
        }
    }
    return openWindow(argv);
}
