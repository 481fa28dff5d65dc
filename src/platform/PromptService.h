#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// A modal question, alert or file panel. The window answers through real dialogs; tests
// install a ScriptedPromptService and give the answers in advance.
struct Prompt {
    QString title;
    QString message;
    QStringList buttons; // in display order; the answer is an index into this list
    int defaultButton = 0;
};

struct FilePanel {
    enum class Kind { Open, Save, Directory };
    Kind kind = Kind::Open;
    QString title;
    QString directory;
    QString suggestedName;
    QStringList extensions; // without dots; empty means any file
    bool multiple = false;
};

class PromptService {
public:
    virtual ~PromptService() = default;

    // Returns the index of the chosen button.
    virtual int ask(const Prompt& prompt) = 0;
    // Returns the chosen paths; empty when the panel was cancelled.
    virtual QStringList choose(const FilePanel& panel) = 0;

    static PromptService& instance();
    // Installs a service (not owned); nullptr restores the one that answers on the console.
    static void install(PromptService* service);

    // The window's standard alerts.
    static void warning(const QString& message); // "Warning" with "Confrim"
    static void error(const QString& message);   // "Error" with "OK"
    // A question with "Cancel" (default) and "Continue": true when the user continues.
    static bool confirm(const QString& title, const QString& message);
    static QString chooseFile(const FilePanel& panel);
};

// Answers prompts from a script and records what was asked.
class ScriptedPromptService : public PromptService {
public:
    int ask(const Prompt& prompt) override;
    QStringList choose(const FilePanel& panel) override;

    // Queue the answer to the next prompt, by button text.
    void answer(const QString& button) { answers_.push_back(button); }
    // Queue the paths for the next file panel (empty list cancels).
    void answerPanel(const QStringList& paths) { panelAnswers_.push_back(paths); }

    const std::vector<Prompt>& asked() const { return asked_; }
    const std::vector<FilePanel>& panels() const { return panels_; }
    void clear();

private:
    std::deque<QString> answers_;
    std::deque<QStringList> panelAnswers_;
    std::vector<Prompt> asked_;
    std::vector<FilePanel> panels_;
};

// Installs a service for the lifetime of the scope.
class ScopedPromptService {
public:
    explicit ScopedPromptService(PromptService& service) { PromptService::install(&service); }
    ~ScopedPromptService() { PromptService::install(nullptr); }
    ScopedPromptService(const ScopedPromptService&) = delete;
    ScopedPromptService& operator=(const ScopedPromptService&) = delete;
};
