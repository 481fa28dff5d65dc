#include "AppFixture.h"

#include "app/MQPreferenceWindowController.h"
#include "model/MQSetting.h"
#include "platform/NotificationCenter.h"

#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QRadioButton>

using Field = MQPreferenceWindowController::NumericField;

TEST(PreferenceNumbers, RangesOfTheNumericFields) {
    struct Case {
        Field field;
        const char* text;
        std::optional<int> accepted;
    };
    const Case cases[] = {
        {Field::TimecodeAdjustment, "1", 1},     {Field::TimecodeAdjustment, "1000", 1000},
        {Field::TimecodeAdjustment, "1001", {}}, {Field::TimecodeAdjustment, "0", {}},
        {Field::ForwardBackward, "12", 12},      {Field::ForwardBackward, "-1", {}},
        {Field::Mode3Interval, "0", 0},          {Field::Mode3Interval, "30", 30},
        {Field::Mode3Interval, "31", {}},        {Field::AutoSaveInterval, "90", 90},
        {Field::AutoSaveInterval, "abc", {}},    {Field::AutoSaveInterval, "", {}},
        {Field::TimecodeAdjustment, "2.5", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            MQPreferenceWindowController::acceptedNumber(c.field, QString::fromLatin1(c.text)),
            c.accepted)
            << int(c.field) << " " << c.text;
    }
}

TEST_F(AppTest, RefusedNumberRestoresTheStoredValue) {
    MQPreferenceWindowController preferences;
    QLineEdit* nudge = preferences.numericField(Field::TimecodeAdjustment);
    EXPECT_EQ(nudge->text(), QStringLiteral("5"));
    nudge->setText(QStringLiteral("1001"));
    preferences.controlTextDidChange(Field::TimecodeAdjustment);
    EXPECT_EQ(nudge->text(), QStringLiteral("5"));
    nudge->setText(QStringLiteral("12"));
    preferences.controlTextDidChange(Field::TimecodeAdjustment);
    EXPECT_EQ(MQSetting::shareInstance().timecodeAdjustmentPerArrowKey(), 12);
    MQSetting::shareInstance().loadFromUserDefault(); // it was saved
    EXPECT_EQ(MQSetting::shareInstance().timecodeAdjustmentPerArrowKey(), 12);
}

TEST_F(AppTest, ShortcutsRefuseDuplicatesAndPlainKeysOutsideTheModes) {
    MQPreferenceWindowController preferences;
    EXPECT_EQ(preferences.shortcutField(QStringLiteral("Play"))->keySequence(),
              QKeySequence(QStringLiteral("Ctrl+K")));

    EXPECT_FALSE(preferences.recordShortcut(QStringLiteral("Forward"),
                                            QKeySequence(QStringLiteral("Ctrl+K"))));
    ASSERT_EQ(prompts_.asked().size(), 1u);
    EXPECT_EQ(prompts_.asked()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(prompts_.asked()[0].message,
              QStringLiteral("Shortcut Ctrl+K has been used for Play"));
    EXPECT_EQ(preferences.shortcutField(QStringLiteral("Forward"))->keySequence(),
              QKeySequence(QStringLiteral("Ctrl+L")));

    EXPECT_FALSE(preferences.recordShortcut(QStringLiteral("Forward"), QKeySequence(Qt::Key_F)));
    EXPECT_EQ(MQSetting::shareInstance().forwardVideoShortCut(), QStringLiteral("Ctrl+L"));

    EXPECT_TRUE(preferences.recordShortcut(QStringLiteral("Mode 2"), QKeySequence(Qt::Key_3)));
    EXPECT_TRUE(preferences.recordShortcut(QStringLiteral("Forward"),
                                           QKeySequence(QStringLiteral("Ctrl+Shift+F"))));
    EXPECT_EQ(MQSetting::shareInstance().mode2ShourtCut(), QStringLiteral("3"));
    EXPECT_EQ(MQSetting::shareInstance().forwardVideoShortCut(), QStringLiteral("Ctrl+Shift+F"));

    preferences.restoreDefaultShortcuts();
    EXPECT_EQ(MQSetting::shareInstance().mode2ShourtCut(), QStringLiteral("2"));
    EXPECT_EQ(preferences.shortcutField(QStringLiteral("Forward"))->keySequence(),
              QKeySequence(QStringLiteral("Ctrl+L")));
}

TEST_F(AppTest, ToolbarChoiceIsSavedAndAnnounced) {
    int posted = 0;
    ObserverGuard observer(NotificationCenter::defaultCenter().addObserver(
        kToolbarButtonPreferenceChangedNotification, [&](const Notification&) { ++posted; }));
    MQPreferenceWindowController preferences;
    preferences.fcp7ToolBarButton()->setChecked(true);
    EXPECT_EQ(posted, 1);
    MQSetting::shareInstance().loadFromUserDefault();
    EXPECT_TRUE(MQSetting::shareInstance().isFinalCutPro7ToolBar());
}
