#include "platform/widgets/DialogPromptService.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

int DialogPromptService::ask(const Prompt& prompt) {
    QMessageBox box(parent_);
    box.setWindowTitle(prompt.title);
    box.setText(prompt.title);
    box.setInformativeText(prompt.message);
    QList<QAbstractButton*> buttons;
    for (int i = 0; i < prompt.buttons.size(); ++i) {
        QPushButton* button = box.addButton(prompt.buttons[i], QMessageBox::ActionRole);
        buttons.push_back(button);
        if (i == prompt.defaultButton) {
            box.setDefaultButton(button);
        }
    }
    box.exec();
    const int index = int(buttons.indexOf(box.clickedButton()));
    return index >= 0 ? index : prompt.defaultButton;
}

QStringList DialogPromptService::choose(const FilePanel& panel) {
    QString filter;
    if (!panel.extensions.isEmpty()) {
        QStringList patterns;
        for (const QString& ext : panel.extensions) {
            patterns << QStringLiteral("*.") + ext;
        }
        filter = patterns.join(' ');
    }
    switch (panel.kind) {
    case FilePanel::Kind::Open:
        if (panel.multiple) {
            return QFileDialog::getOpenFileNames(parent_, panel.title, panel.directory, filter);
        } else {
            const QString path =
                QFileDialog::getOpenFileName(parent_, panel.title, panel.directory, filter);
            return path.isEmpty() ? QStringList() : QStringList{path};
        }
    case FilePanel::Kind::Save: {
        const QString start = panel.suggestedName.isEmpty()
                                  ? panel.directory
                                  : panel.directory + '/' + panel.suggestedName;
        const QString path = QFileDialog::getSaveFileName(parent_, panel.title, start, filter);
        return path.isEmpty() ? QStringList() : QStringList{path};
    }
    case FilePanel::Kind::Directory: {
        const QString path =
            QFileDialog::getExistingDirectory(parent_, panel.title, panel.directory);
        return path.isEmpty() ? QStringList() : QStringList{path};
    }
    }
    return {};
}

bool DesktopWorkspace::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}
