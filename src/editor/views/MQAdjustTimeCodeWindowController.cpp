#include "editor/views/MQAdjustTimeCodeWindowController.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

MQAdjustTimeCodeWindowController::MQAdjustTimeCodeWindowController(QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Adjust Time Code"));
    setModal(true);
    auto* grid = new QGridLayout;
    const char* names[4] = {"Hours", "Minutes", "Seconds", "Frames"};
    for (int i = 0; i < 4; ++i) {
        const auto field = AdjustTimeCodeState::Field(i);
        grid->addWidget(new QLabel(tr(names[i])), 0, i);
        fields_[i] = new QLineEdit(QStringLiteral("0"));
        steppers_[i] = new QSpinBox;
        steppers_[i]->setRange(0, i == 0 ? 10 : 60);
        grid->addWidget(fields_[i], 1, i);
        grid->addWidget(steppers_[i], 2, i);
        connect(fields_[i], &QLineEdit::textEdited, this,
                [this, field] { controlTextDidChange(field); });
        connect(steppers_[i], &QSpinBox::valueChanged, this, [this, field](int value) {
            if (!updating_) {
                state_.setValue(field, value);
                showState();
            }
        });
    }
    backward_ = new QRadioButton(tr("Backward"));
    forward_ = new QRadioButton(tr("Forward"));
    auto* group = new QButtonGroup(this);
    group->addButton(backward_, 0);
    group->addButton(forward_, 1);
    connect(group, &QButtonGroup::idClicked, this, [this](int row) {
        state_.setRow(row);
        showState();
    });
    resultLabel_ = new QLabel;
    okButton_ = new QPushButton(tr("OK"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(tr("Cancel"));
    connect(okButton_, &QPushButton::clicked, this,
            &MQAdjustTimeCodeWindowController::didPressOKButton);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto* directions = new QHBoxLayout;
    directions->addWidget(backward_);
    directions->addWidget(forward_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttons->addWidget(okButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(directions);
    layout->addWidget(resultLabel_);
    layout->addLayout(buttons);
    reset(30);
}

void MQAdjustTimeCodeWindowController::reset(double fps) {
    state_.reset(fps);
    steppers_[AdjustTimeCodeState::Frames]->setRange(0, int(fps));
    backward_->setChecked(true);
    showState();
    fields_[AdjustTimeCodeState::Frames]->setFocus();
}

void MQAdjustTimeCodeWindowController::controlTextDidChange(AdjustTimeCodeState::Field field) {
    if (!state_.acceptText(field, fields_[field]->text())) {
        fields_[field]->setText(QString::asprintf("%d", state_.value(field)));
        return;
    }
    showState();
}

void MQAdjustTimeCodeWindowController::showState() {
    updating_ = true;
    for (int i = 0; i < 4; ++i) {
        const int value = state_.value(AdjustTimeCodeState::Field(i));
        steppers_[i]->setValue(value);
        const QString text = QString::asprintf("%d", value);
        if (fields_[i]->text() != text) {
            fields_[i]->setText(text);
        }
    }
    updating_ = false;
    resultLabel_->setText(state_.summary());
}

void MQAdjustTimeCodeWindowController::didPressOKButton() {
    if (delegate_) {
        delegate_->adjustTimeCodeWithTime(state_.offset(), state_.isForward());
    }
    accept();
}
