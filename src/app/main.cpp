#include "app/MQMainWindowController.h"
#include "app/cli/CommandRegistry.h"

#include "platform/widgets/DialogPromptService.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QTimer>

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
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/marquee/icons/marquee.svg")));
    DialogPromptService dialogs(&window);
    PromptService::install(&dialogs);
    DesktopWorkspace desktop;
    Workspace::install(&desktop);
    window.show();
    const QString project = argc >= 2 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTimer::singleShot(0, &window, [&window, project] {
        window.windowDidLoad();
        if (!project.isEmpty()) {
            window.openMarqueeDocAtFile(project);
        }
    });
    const int status = app.exec();
    PromptService::install(nullptr);
    Workspace::install(nullptr);
    return status;
}
