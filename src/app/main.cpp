#include "app/MQMainWindowController.h"
#include "app/cli/CommandRegistry.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>

namespace {

int runCommand(int argc, char** argv, const CliCommandInfo& command) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.remove(0, 2); // program and subcommand
    return command.run(args);
}

} // namespace

int main(int argc, char** argv) {
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

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marquee"));
    QApplication::setApplicationVersion(QStringLiteral(MARQUEE_VERSION));
    MQMainWindowController window;
    window.show();
    if (argc >= 2) {
        window.openProjectFromCommandLine(QString::fromLocal8Bit(argv[1]));
    }
    return app.exec();
}
