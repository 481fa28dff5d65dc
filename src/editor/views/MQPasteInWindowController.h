#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// A window to paste a text that is poured over the editor's lines; it can only be confirmed
// while its non-empty line count equals that of the editor text it opened with. "Cancel"
// ends it with -1, the done button with 1.
class MQPasteInWindowController : public QDialog {
    Q_OBJECT
public:
    void setOriginalText(const QString& text);
    const QString& originalText() const { return originalText_; }
    // Checks the line counts, showing the warning and enabling the done button.
    bool compareReplaceTextWithOrigin();

    QPlainTextEdit* textArea() const { return textArea_; }
    QLabel* warningLabel() const { return warningLabel_; }
    QPushButton* doneButton() const { return doneButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

protected:
    MQPasteInWindowController(const QString& title, const QString& doneTitle, QWidget* parent);
    QString pastedText() const;

private:
    QString originalText_;
    QPlainTextEdit* textArea_ = nullptr;
    QLabel* warningLabel_ = nullptr;
    QPushButton* doneButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

class MQReplaceTextWindowController : public MQPasteInWindowController {
    Q_OBJECT
public:
    explicit MQReplaceTextWindowController(QWidget* parent = nullptr);
    // The pasted lines joined with "\n".
    QString getReplaceText() const;
};

class MQConsolidateTextWindowController : public MQPasteInWindowController {
    Q_OBJECT
public:
    explicit MQConsolidateTextWindowController(QWidget* parent = nullptr);
    // Each line of the original text followed by its pasted counterpart.
    QString getConsolidateText() const;
};
