#pragma once

#include <QDialog>

#include <map>
#include <optional>

class QCheckBox;
class QKeySequenceEdit;
class QLabel;
class QLineEdit;
class QRadioButton;

// The preferences: autosave, frame counts, toolbar flavour, automatic media assembly, and the
// keyboard shortcuts, kept free of duplicates. Every accepted change is saved at once.
class MQPreferenceWindowController : public QDialog {
    Q_OBJECT
public:
    enum class NumericField {
        AutoSaveInterval,
        TimecodeAdjustment,
        ForwardBackward,
        Mode3Interval
    };

    explicit MQPreferenceWindowController(QWidget* parent = nullptr);

    // The whole number the field accepts for the text, or nothing.
    static std::optional<int> acceptedNumber(NumericField field, const QString& text);

    void loadFields();
    // Stores the edited number, or writes the stored value back when the text is refused.
    void controlTextDidChange(NumericField field);
    // Stores the key for the action unless it is refused; the field then shows the stored key.
    bool recordShortcut(const QString& action, const QKeySequence& key);
    void restoreDefaultShortcuts();
    void setFinalCutPro7ToolBar(bool on);
    void setAutoAssemble(bool on);

    QLineEdit* numericField(NumericField field) const { return numberFields_.at(field); }
    QKeySequenceEdit* shortcutField(const QString& action) const {
        return shortcutFields_.at(action);
    }
    QRadioButton* fcp7ToolBarButton() const { return fcp7Button_; }

private:
    QWidget* buildGeneralTab();
    QWidget* buildShortcutsTab();
    QLineEdit* addNumberField(NumericField field);
    QKeySequenceEdit* addShortcutField(const QString& action);
    int storedNumber(NumericField field) const;
    QString storedShortcut(const QString& action) const;

    std::map<NumericField, QLineEdit*> numberFields_;
    std::map<QString, QKeySequenceEdit*> shortcutFields_;
    QLabel* directoryLabel_ = nullptr;
    QRadioButton* fcpxButton_ = nullptr;
    QRadioButton* fcp7Button_ = nullptr;
    QCheckBox* autoAssemble_ = nullptr;
};
