#include "TestSupport.h"

#include "model/MQSetting.h"
#include "platform/DefaultsStore.h"

#include <QFile>

#include <gtest/gtest.h>

using testsupport::ScopedSettingsFile;

namespace {

MQSetting& settings() {
    return MQSetting::shareInstance();
}

void store(const QString& key, const QVariant& value) {
    DefaultsStore::settings().setValue(key, value);
    DefaultsStore::settings().sync();
    settings().loadFromUserDefault();
}

} // namespace

TEST(Setting, FreshStoreGivesDefaults) {
    ScopedSettingsFile file;
    EXPECT_EQ(settings().mode1ShourtCut(), QStringLiteral("Space"));
    EXPECT_EQ(settings().mode2ShourtCut(), QStringLiteral("2"));
    EXPECT_EQ(settings().mode3ShourtCut(), QStringLiteral("Return"));
    EXPECT_EQ(settings().playVideoShortCut(), QStringLiteral("Ctrl+K"));
    EXPECT_EQ(settings().deleteTimecodeShortCut(), QStringLiteral("Ctrl+Backspace"));
    EXPECT_EQ(settings().timecodeAdjustmentPerArrowKey(), 5);
    EXPECT_EQ(settings().autoSaveTimeInteval(), 5);
    EXPECT_EQ(settings().frameIntervalInSpaceMode3(), 0);
    EXPECT_EQ(settings().forwardBackwardPerKey(), 5);
    EXPECT_EQ(settings().waveFormZoomRate(), 0.5f);
    EXPECT_TRUE(settings().isFirstLaunch());
    EXPECT_FALSE(settings().isFinalCutPro7ToolBar());
    EXPECT_EQ(settings().dragPlayRate(), 1);
    EXPECT_EQ(settings().autoSaveDirectory(), QStringLiteral("~/Documents/Marquee/"));
    EXPECT_EQ(settings().lastTitleTemplateDirectory(), QStringLiteral("~/Desktop/"));
    EXPECT_EQ(settings().subtitleSetting().ssaFontName, QStringLiteral("Arial"));
    EXPECT_EQ(settings().getShortCutTables().size(), 10u);
    EXPECT_EQ(settings().getShortCutTables().front(),
              std::make_pair(QStringLiteral("Mode 1"), QStringLiteral("Space")));
}

TEST(Setting, WrongTypesFallBackToDefaults) {
    ScopedSettingsFile file;
    store(QStringLiteral("SkipFrame"), QStringLiteral("ten"));
    EXPECT_EQ(settings().timecodeAdjustmentPerArrowKey(), 5);
    store(QStringLiteral("SkipFrame"), 12);
    EXPECT_EQ(settings().timecodeAdjustmentPerArrowKey(), 12);
    store(QStringLiteral("mode1ShourtCut"), 7);
    EXPECT_EQ(settings().mode1ShourtCut(), QStringLiteral("Space"));
    store(QStringLiteral("AutosaveDirectory"), QVariantMap{{"a", 1}});
    EXPECT_EQ(settings().autoSaveDirectory(), QStringLiteral("~/Documents/Marquee/"));
}

TEST(Setting, ZoomRateOutsideTheUnitIntervalBecomesHalf) {
    ScopedSettingsFile file;
    const std::pair<QVariant, float> cases[] = {{1.5, 0.5f},   {1.0, 1.0f},
                                                {0.25, 0.25f}, {0.0, 0.5f},
                                                {-2.0, 0.5f},  {QStringLiteral("x"), 0.5f}};
    for (const auto& [stored, loaded] : cases) {
        store(QStringLiteral("waveFormZoomRate"), stored);
        EXPECT_EQ(settings().waveFormZoomRate(), loaded) << stored.toString().toStdString();
    }
}

TEST(Setting, FirstLaunchReading) {
    ScopedSettingsFile file;
    const std::pair<QVariant, bool> cases[] = {{QStringLiteral("YES"), true},
                                               {QStringLiteral(""), true},
                                               {QStringLiteral("NO"), false},
                                               {QStringLiteral("whatever"), false}};
    for (const auto& [stored, first] : cases) {
        store(QStringLiteral("firstLaunch"), stored);
        EXPECT_EQ(settings().isFirstLaunch(), first) << stored.toString().toStdString();
    }
    settings().setIsFirstLaunch(false);
    settings().save();
    EXPECT_EQ(DefaultsStore::settings().value(QStringLiteral("firstLaunch")).toString(),
              QStringLiteral("NO"));
}

TEST(Setting, SaveKeepsTypesAcrossReload) {
    ScopedSettingsFile file;
    settings().setTimecodeAdjustmentPerArrowKey(9);
    settings().setIsFinalCutPro7ToolBar(true);
    settings().setWaveFormZoomRate(0.75f);
    settings().setDragPlayRate(2);
    settings().subtitleSetting().ssaOutline = 4;
    settings().save();

    DefaultsStore::useFile(file.path()); // a new store object reads the file afresh
    settings().loadFromUserDefault();
    EXPECT_EQ(settings().timecodeAdjustmentPerArrowKey(), 9);
    EXPECT_TRUE(settings().isFinalCutPro7ToolBar());
    EXPECT_EQ(settings().waveFormZoomRate(), 0.75f);
    EXPECT_EQ(settings().dragPlayRate(), 2);
    EXPECT_EQ(settings().subtitleSetting().ssaOutline, 4);
    EXPECT_EQ(DefaultsStore::settings().value(QStringLiteral("SkipFrame")).typeId() ==
                  QMetaType::QString,
              false);
}

TEST(Setting, ShortcutConflictsAreRefused) {
    ScopedSettingsFile file;
    auto conflict = settings().recordShortcut(QStringLiteral("Forward"), QStringLiteral("Ctrl+K"));
    ASSERT_TRUE(conflict.has_value());
    EXPECT_EQ(conflict->domain, QStringLiteral("Marquee"));
    EXPECT_EQ(conflict->code, 1);
    EXPECT_EQ(conflict->description, QStringLiteral("Shortcut Ctrl+K has been used for Play"));
    EXPECT_EQ(settings().forwardVideoShortCut(), QStringLiteral("Ctrl+L"));

    // The action's own key counts too.
    EXPECT_TRUE(settings().recordShortcut(QStringLiteral("Play"), QStringLiteral("Ctrl+K")));

    EXPECT_FALSE(
        settings().recordShortcut(QStringLiteral("Forward"), QStringLiteral("Ctrl+Right")));
    EXPECT_EQ(settings().forwardVideoShortCut(), QStringLiteral("Ctrl+Right"));
    EXPECT_EQ(settings().getShortCutTables()[4].second, QStringLiteral("Ctrl+Right"));
    EXPECT_EQ(DefaultsStore::settings().value(QStringLiteral("forwardVideoShortCut")).toString(),
              QStringLiteral("Ctrl+Right"));
}

TEST(Setting, RestoreDefaultShortcuts) {
    ScopedSettingsFile file;
    settings().setMode1ShourtCut(QStringLiteral("X"));
    settings().setPlayVideoShortCut(QStringLiteral("Ctrl+P"));
    settings().save();
    settings().setDefaultShortCut();
    EXPECT_EQ(settings().mode1ShourtCut(), QStringLiteral("Space"));
    EXPECT_EQ(settings().playVideoShortCut(), QStringLiteral("Ctrl+K"));
    EXPECT_EQ(DefaultsStore::settings().value(QStringLiteral("mode1ShourtCut")).toString(),
              QStringLiteral("Space"));
}

TEST(Setting, AutosaveIntervalChangeIsAnnounced) {
    ScopedSettingsFile file;
    int announced = -1;
    auto connection = QObject::connect(&settings(), &MQSetting::autoSaveTimeIntevalChanged,
                                       [&](int minutes) { announced = minutes; });
    settings().setAutoSaveTimeInteval(7);
    QObject::disconnect(connection);
    EXPECT_EQ(announced, 7);
}

TEST(SubtitleSetting, PartialDictionaryKeepsOtherDefaults) {
    MQSubtitleSetting s;
    s.updateWithDictionary({{QStringLiteral("ssa_font_name"), QStringLiteral("Helvetica")}});
    EXPECT_EQ(s.ssaFontName, QStringLiteral("Helvetica"));
    EXPECT_EQ(s.ssaFontSize, 20);
    EXPECT_EQ(s.ssaFontColorArgb, 0xFFFFFF);
    EXPECT_EQ(s.ssaOutline, 2);
    EXPECT_EQ(s.ssaShadow, 1);
    EXPECT_FALSE(s.ssaOpaqueBox);

    s.updateWithDictionary(
        {{QStringLiteral("ssa_font_name"), 12}, {QStringLiteral("ssa_shadow"), QVariant()}});
    EXPECT_EQ(s.ssaFontName, QStringLiteral("Helvetica")); // not a string: kept
    EXPECT_EQ(s.ssaShadow, 1);
    const QVariantMap d = s.toDictioinary();
    EXPECT_EQ(d.size(), 6);
    EXPECT_EQ(d.value(QStringLiteral("ssa_font_size")).toLongLong(), 20);
}
