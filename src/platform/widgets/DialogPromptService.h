#pragma once

#include "platform/PromptService.h"
#include "platform/Workspace.h"

class QWidget;

// Answers prompts with real message boxes and file dialogs, modal to the given window.
class DialogPromptService : public PromptService {
public:
    explicit DialogPromptService(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    int ask(const Prompt& prompt) override;
    QStringList choose(const FilePanel& panel) override;

private:
    QWidget* parent_;
};

class DesktopWorkspace : public Workspace {
public:
    bool openUrl(const QUrl& url) override;
};
