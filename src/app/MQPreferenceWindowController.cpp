#include "app/MQPreferenceWindowController.h"

#include "app/FolderUtility.h"
#include "app/MQMainWindowController.h"
#include "model/MQSetting.h"
#include "platform/NotificationCenter.h"
#include "platform/PromptService.h"
#include "platform/Workspace.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The three timing modes accept a plain key; every other action needs a modifier.
bool isModeAction(const QString& action) {
    return action.startsWith(QStringLiteral("Mode "));
}

QString portableText(const QKeySequence& key) {
    return key.isEmpty() ? QString() : QKeySequence(key[0]).toString(QKeySequence::PortableText);
}

} // namespace

MQPreferenceWindowController::MQPreferenceWindowController(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MQPreferenceWindowController"));
    setWindowTitle(QStringLiteral("Preferences"));
    auto* tabs = new QTabWidget(this);
    tabs->addTab(buildGeneralTab(), QStringLiteral("General"));
    tabs->addTab(buildShortcutsTab(), QStringLiteral("Shortcuts"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);

    MQSetting& settings = MQSetting::shareInstance();
    settings.setAutoSaveDirectory(FolderUtility::sharedInstance().getProjectAutoSaveFolder());
    settings.save();
    loadFields();
}

QWidget* MQPreferenceWindowController::buildGeneralTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);

    auto* autoSave = new QGroupBox(QStringLiteral("Auto Save"), tab);
    auto* autoSaveForm = new QFormLayout(autoSave);
    auto* directoryRow = new QHBoxLayout;
    directoryLabel_ = new QLabel(autoSave);
    directoryLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* change = new QPushButton(QStringLiteral("Change Directory"), autoSave);
    connect(change, &QPushButton::clicked, this, [this] {
        FilePanel panel;
        panel.kind = FilePanel::Kind::Directory;
        panel.title = QStringLiteral("Change Directory");
        panel.directory = MQSetting::shareInstance().autoSaveDirectory();
        const QString chosen = PromptService::chooseFile(panel);
        if (!chosen.isEmpty()) {
            MQSetting::shareInstance().setAutoSaveDirectory(chosen);
            MQSetting::shareInstance().save();
            directoryLabel_->setText(chosen);
        }
    });
    auto* show = new QPushButton(QStringLiteral("Open Folder"), autoSave);
    connect(show, &QPushButton::clicked, this, [] {
        Workspace::instance().openUrl(
            QUrl::fromLocalFile(FolderUtility::sharedInstance().getProjectAutoSaveFolder()));
    });
    directoryRow->addWidget(directoryLabel_, 1);
    directoryRow->addWidget(change);
    directoryRow->addWidget(show);
    autoSaveForm->addRow(QStringLiteral("Directory"), directoryRow);
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(addNumberField(NumericField::AutoSaveInterval));
    intervalRow->addWidget(new QLabel(QStringLiteral("Minutes"), autoSave));
    autoSaveForm->addRow(QStringLiteral("Interval"), intervalRow);
    layout->addWidget(autoSave);

    auto* play = new QGroupBox(QStringLiteral("Play Control"), tab);
    auto* playForm = new QFormLayout(play);
    auto* nudgeRow = new QHBoxLayout;
    nudgeRow->addWidget(addNumberField(NumericField::TimecodeAdjustment));
    nudgeRow->addWidget(new QLabel(QStringLiteral("Frames (Max 1000 Frames)"), play));
    playForm->addRow(QStringLiteral("Timecode adjustment per Arrow Key"), nudgeRow);
    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(addNumberField(NumericField::ForwardBackward));
    stepRow->addWidget(new QLabel(QStringLiteral("Frames"), play));
    playForm->addRow(QStringLiteral("Forward/Backward per key"), stepRow);
    layout->addWidget(play);

    auto* toolbar = new QGroupBox(QStringLiteral("Toolbar Buttons for"), tab);
    auto* toolbarRow = new QHBoxLayout(toolbar);
    fcpxButton_ = new QRadioButton(QStringLiteral("Final Cut Pro X"), toolbar);
    fcp7Button_ = new QRadioButton(QStringLiteral("Final Cut Pro 7"), toolbar);
    auto* group = new QButtonGroup(toolbar);
    group->addButton(fcpxButton_);
    group->addButton(fcp7Button_);
    toolbarRow->addWidget(fcpxButton_);
    toolbarRow->addWidget(fcp7Button_);
    connect(fcp7Button_, &QRadioButton::toggled, this,
            &MQPreferenceWindowController::setFinalCutPro7ToolBar);
    layout->addWidget(toolbar);

    autoAssemble_ =
        new QCheckBox(QStringLiteral("Auto assemble audio and video from XML file"), tab);
    connect(autoAssemble_, &QCheckBox::toggled, this,
            &MQPreferenceWindowController::setAutoAssemble);
    layout->addWidget(autoAssemble_);
    layout->addStretch(1);
    return tab;
}

QWidget* MQPreferenceWindowController::buildShortcutsTab() {
    auto* tab = new QWidget(this);
    auto* form = new QFormLayout(tab);
    const std::pair<const char*, const char*> modes[] = {
        {"Mode 1", "Hit once, get In timecode, hit again, get Out timecode"},
        {"Mode 2", "Hit and hold, then release, get In and Out timecodes"},
        {"Mode 3", "Hit to get In timecode. Out timecode is generated automatically"},
    };
    for (const auto& [action, description] : modes) {
        auto* row = new QHBoxLayout;
        row->addWidget(addShortcutField(QString::fromLatin1(action)));
        row->addWidget(new QLabel(QString::fromLatin1(description), tab), 1);
        form->addRow(QString::fromLatin1(action), row);
    }
    form->addRow(QStringLiteral("Frame interval between In and previous Out:(0-30)"),
                 addNumberField(NumericField::Mode3Interval));
    const std::pair<const char*, const char*> actions[] = {
        {"Play", "Play/Pause Video"},
        {"Forward", "Forward Video"},
        {"Backward", "Backward Video"},
        {"Insert Time Code", "Insert Timecode"},
        {"Insert In Time Code", "Insert In Timecode"},
        {"Insert Out Time Code", "Insert Out Timecode"},
        {"Delete Time Code", "Delete Timecode Only"},
    };
    for (const auto& [action, title] : actions) {
        form->addRow(QString::fromLatin1(title), addShortcutField(QString::fromLatin1(action)));
    }
    auto* restore = new QPushButton(QStringLiteral("Restore Default"), tab);
    connect(restore, &QPushButton::clicked, this,
            &MQPreferenceWindowController::restoreDefaultShortcuts);
    form->addRow(QString(), restore);
    return tab;
}

QLineEdit* MQPreferenceWindowController::addNumberField(NumericField field) {
    auto* edit = new QLineEdit(this);
    edit->setMaximumWidth(80);
    numberFields_[field] = edit;
    connect(edit, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
    return edit;
}

QKeySequenceEdit* MQPreferenceWindowController::addShortcutField(const QString& action) {
    auto* edit = new QKeySequenceEdit(this);
    edit->setObjectName(action);
    shortcutFields_[action] = edit;
    connect(edit, &QKeySequenceEdit::editingFinished, this,
            [this, action, edit] { recordShortcut(action, edit->keySequence()); });
    return edit;
}

std::optional<int> MQPreferenceWindowController::acceptedNumber(NumericField field,
                                                                const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    switch (field) {
    case NumericField::AutoSaveInterval:
        return value;
    case NumericField::TimecodeAdjustment:
    case NumericField::ForwardBackward:
        return value >= 1 && value <= 1000 ? std::optional<int>(value) : std::nullopt;
    case NumericField::Mode3Interval:
        return value >= 0 && value <= 30 ? std::optional<int>(value) : std::nullopt;
    }
    return std::nullopt;
}

int MQPreferenceWindowController::storedNumber(NumericField field) const {
    const MQSetting& settings = MQSetting::shareInstance();
    switch (field) {
    case NumericField::AutoSaveInterval:
        return settings.autoSaveTimeInteval();
    case NumericField::TimecodeAdjustment:
        return settings.timecodeAdjustmentPerArrowKey();
    case NumericField::ForwardBackward:
        return settings.forwardBackwardPerKey();
    case NumericField::Mode3Interval:
        return settings.frameIntervalInSpaceMode3();
    }
    return 0;
}

QString MQPreferenceWindowController::storedShortcut(const QString& action) const {
    for (const auto& [name, key] : MQSetting::shareInstance().getShortCutTables()) {
        if (name == action) {
            return key;
        }
    }
    return {};
}

void MQPreferenceWindowController::loadFields() {
    const MQSetting& settings = MQSetting::shareInstance();
    directoryLabel_->setText(settings.autoSaveDirectory());
    for (const auto& [field, edit] : numberFields_) {
        edit->setText(QString::number(storedNumber(field)));
    }
    for (const auto& [action, edit] : shortcutFields_) {
        edit->setKeySequence(
            QKeySequence::fromString(storedShortcut(action), QKeySequence::PortableText));
    }
    const QSignalBlocker blockFcp7(fcp7Button_);
    const QSignalBlocker blockFcpx(fcpxButton_);
    const QSignalBlocker blockAssemble(autoAssemble_);
    (settings.isFinalCutPro7ToolBar() ? fcp7Button_ : fcpxButton_)->setChecked(true);
    autoAssemble_->setChecked(settings.isAutoAssembleVideoAndAudio());
}

void MQPreferenceWindowController::controlTextDidChange(NumericField field) {
    QLineEdit* edit = numberFields_.at(field);
    const std::optional<int> value = acceptedNumber(field, edit->text());
    if (!value) {
        edit->setText(QString::number(storedNumber(field)));
        return;
    }
    MQSetting& settings = MQSetting::shareInstance();
    switch (field) {
    case NumericField::AutoSaveInterval:
        settings.setAutoSaveTimeInteval(*value);
        break;
    case NumericField::TimecodeAdjustment:
        settings.setTimecodeAdjustmentPerArrowKey(*value);
        break;
    case NumericField::ForwardBackward:
        settings.setForwardBackwardPerKey(*value);
        break;
    case NumericField::Mode3Interval:
        settings.setFrameIntervalInSpaceMode3(*value);
        break;
    }
    settings.save();
}

bool MQPreferenceWindowController::recordShortcut(const QString& action, const QKeySequence& key) {
    QKeySequenceEdit* edit = shortcutFields_.at(action);
    const QString text = portableText(key);
    const auto showStored = [&] {
        const QSignalBlocker block(edit);
        edit->setKeySequence(
            QKeySequence::fromString(storedShortcut(action), QKeySequence::PortableText));
    };
    if (text.isEmpty()) {
        showStored();
        return false;
    }
    const bool hasModifier = (key[0].keyboardModifiers() &
                              (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    if (!isModeAction(action) && !hasModifier) {
        PromptService::warning(
            QStringLiteral("Shortcut %1 needs a modifier key (Ctrl, Alt or Meta).").arg(text));
        showStored();
        return false;
    }
    if (const auto conflict = MQSetting::shareInstance().recordShortcut(action, text)) {
        PromptService::error(conflict->description);
        showStored();
        return false;
    }
    showStored();
    return true;
}

void MQPreferenceWindowController::restoreDefaultShortcuts() {
    MQSetting::shareInstance().setDefaultShortCut();
    loadFields();
}

void MQPreferenceWindowController::setFinalCutPro7ToolBar(bool on) {
    MQSetting& settings = MQSetting::shareInstance();
    settings.setIsFinalCutPro7ToolBar(on);
    settings.save();
    NotificationCenter::defaultCenter().post(kToolbarButtonPreferenceChangedNotification);
}

void MQPreferenceWindowController::setAutoAssemble(bool on) {
    MQSetting& settings = MQSetting::shareInstance();
    settings.setIsAutoAssembleVideoAndAudio(on);
    settings.save();
}
