#include "platform/PromptService.h"

#include <cstdio>

namespace {

// Without a window nobody can answer: report on stderr and take the default button.
class ConsolePromptService : public PromptService {
public:
    int ask(const Prompt& prompt) override {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(prompt.title),
                     qUtf8Printable(prompt.message));
        return prompt.defaultButton;
    }
    QStringList choose(const FilePanel&) override { return {}; }
};

PromptService& console() {
    static ConsolePromptService service;
    return service;
}

PromptService*& current() {
    static PromptService* service = &console();
    return service;
}

} // namespace

PromptService& PromptService::instance() {
    return *current();
}

void PromptService::install(PromptService* service) {
    current() = service ? service : &console();
}

void PromptService::warning(const QString& message) {
    instance().ask({QStringLiteral("Warning"), message, {QStringLiteral("Confrim")}, 0});
}

void PromptService::error(const QString& message) {
    instance().ask({QStringLiteral("Error"), message, {QStringLiteral("OK")}, 0});
}

bool PromptService::confirm(const QString& title, const QString& message) {
    return instance().ask(
               {title, message, {QStringLiteral("Cancel"), QStringLiteral("Continue")}, 0}) == 1;
}

QString PromptService::chooseFile(const FilePanel& panel) {
    const QStringList paths = instance().choose(panel);
    return paths.isEmpty() ? QString() : paths.first();
}

int ScriptedPromptService::ask(const Prompt& prompt) {
    asked_.push_back(prompt);
    if (answers_.empty()) {
        return prompt.defaultButton;
    }
    const QString answer = answers_.front();
    answers_.pop_front();
    const int index = int(prompt.buttons.indexOf(answer));
    return index >= 0 ? index : prompt.defaultButton;
}

QStringList ScriptedPromptService::choose(const FilePanel& panel) {
    panels_.push_back(panel);
    if (panelAnswers_.empty()) {
        return {};
    }
    QStringList paths = panelAnswers_.front();
    panelAnswers_.pop_front();
    return paths;
}

void ScriptedPromptService::clear() {
    answers_.clear();
    panelAnswers_.clear();
    asked_.clear();
    panels_.clear();
}
