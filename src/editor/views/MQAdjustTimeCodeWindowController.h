#pragma once

// moc does not parse the standard headers these reach.
#ifndef Q_MOC_RUN
#include "editor/AdjustTimeCode.h"
#endif

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class MQAdjustTimeCodeWindowControllerDelegate {
public:
    virtual ~MQAdjustTimeCodeWindowControllerDelegate() = default;
    virtual void adjustTimeCodeWithTime(const MediaTime& offset, bool isForward) = 0;
};

// The shift dialog: an offset in hours, minutes, seconds and frames and a direction. Typed
// values out of range are reverted; the steppers hold the numbers.
class MQAdjustTimeCodeWindowController : public QDialog {
    Q_OBJECT
public:
    explicit MQAdjustTimeCodeWindowController(QWidget* parent = nullptr);

    void setDelegate(MQAdjustTimeCodeWindowControllerDelegate* delegate) { delegate_ = delegate; }
    // Zeros, backward, focus on the frames; `fps` is the rate the offset is counted in.
    void reset(double fps);

    const AdjustTimeCodeState& state() const { return state_; }
    QLineEdit* field(AdjustTimeCodeState::Field field) const { return fields_[field]; }
    QSpinBox* stepper(AdjustTimeCodeState::Field field) const { return steppers_[field]; }
    QRadioButton* forwardButton() const { return forward_; }
    QRadioButton* backwardButton() const { return backward_; }
    QLabel* resultLabel() const { return resultLabel_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

    void controlTextDidChange(AdjustTimeCodeState::Field field);
    void didPressOKButton();

private:
    void showState();

    AdjustTimeCodeState state_;
    QLineEdit* fields_[4] = {};
    QSpinBox* steppers_[4] = {};
    QRadioButton* backward_ = nullptr;
    QRadioButton* forward_ = nullptr;
    QLabel* resultLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    MQAdjustTimeCodeWindowControllerDelegate* delegate_ = nullptr;
    bool updating_ = false;
};
