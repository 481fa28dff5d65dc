#include "app/MQMainWindowController.h"

#include "model/MQSetting.h"
#include "platform/PromptService.h"

#include <QLabel>
#include <QSplitter>

MQMainWindowController::MQMainWindowController(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Marquee"));
    MQSetting::shareInstance().setSubtitleEditorIsHandMode(false);
    auto* vertical = new QSplitter(Qt::Vertical, this);
    auto* top = new QSplitter(Qt::Horizontal, vertical);
    auto* movie = new QLabel(QStringLiteral("Movie"), top);
    auto* editor = new QLabel(QStringLiteral("Editor"), top);
    auto* waveform = new QLabel(QStringLiteral("Waveform"), vertical);
    for (QLabel* pane : {movie, editor, waveform}) {
        pane->setAlignment(Qt::AlignCenter);
        pane->setObjectName(pane->text().toLower() + QStringLiteral("Pane"));
    }
    setCentralWidget(vertical);
    resize(1280, 800);
}

void MQMainWindowController::openProjectFromCommandLine(const QString& path) {
    PromptService::warning(
        QStringLiteral("Opening projects arrives with the project file: %1").arg(path));
}
