// The editor window. `marquee` starts it for `marquee [PROJECT.mqp]`.
#include "app/MQMainWindowController.h"
#include "media/EnvelopeExtraction.h"

#include "platform/widgets/DialogPromptService.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

int main(int argc, char** argv) {
    tuneAllocatorForDecoding();
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
