#include "editor/views/MQPasteInWindowController.h"

#include "editor/TextTools.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

MQPasteInWindowController::MQPasteInWindowController(const QString& title, const QString& doneTitle,
                                                     QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    textArea_ = new QPlainTextEdit;
    warningLabel_ = new QLabel;
    warningLabel_->setStyleSheet(QStringLiteral("color: red"));
    doneButton_ = new QPushButton(doneTitle);
    doneButton_->setEnabled(false);
    cancelButton_ = new QPushButton(tr("Cancel"));
    connect(textArea_, &QPlainTextEdit::textChanged, this,
            &MQPasteInWindowController::compareReplaceTextWithOrigin);
    connect(doneButton_, &QPushButton::clicked, this, [this] { done(1); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { done(-1); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(warningLabel_, 1);
    buttons->addWidget(cancelButton_);
    buttons->addWidget(doneButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(textArea_, 1);
    layout->addLayout(buttons);
    resize(520, 420);
}

void MQPasteInWindowController::setOriginalText(const QString& text) {
    originalText_ = text;
    textArea_->clear();
    compareReplaceTextWithOrigin();
}

QString MQPasteInWindowController::pastedText() const {
    return textArea_->toPlainText();
}

bool MQPasteInWindowController::compareReplaceTextWithOrigin() {
    const auto mismatch = TextTools::lineQuantityMismatch(originalText_, pastedText());
    warningLabel_->setText(mismatch.value_or(QString()));
    doneButton_->setEnabled(!mismatch);
    return !mismatch;
}

MQReplaceTextWindowController::MQReplaceTextWindowController(QWidget* parent)
    : MQPasteInWindowController(tr("Replace Text"), tr("Replace"), parent) {}

QString MQReplaceTextWindowController::getReplaceText() const {
    return TextTools::getReplaceText(pastedText());
}

MQConsolidateTextWindowController::MQConsolidateTextWindowController(QWidget* parent)
    : MQPasteInWindowController(tr("Consolidate Text"), tr("Consolidate"), parent) {}

QString MQConsolidateTextWindowController::getConsolidateText() const {
    return TextTools::getConsolidateText(originalText(), pastedText());
}
