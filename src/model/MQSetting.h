#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// Default SSA style values, kept inside the "subtitleSetting" dictionary.
class MQSubtitleSetting {
public:
    MQSubtitleSetting() { updateWithDictionary({}); }

    // Each field from its key; a missing key, a null value or a value of the wrong type keeps
    // the current value.
    void updateWithDictionary(const QVariantMap& dictionary);
    QVariantMap toDictioinary() const;

    QString ssaFontName = QStringLiteral("Arial");
    double ssaFontSize = 20;
    int64_t ssaFontColorArgb = 0xFFFFFF;
    int64_t ssaOutline = 2;
    int64_t ssaShadow = 1;
    bool ssaOpaqueBox = false;
};

// A shortcut refused because another action already holds the key.
struct ShortcutConflict {
    QString domain = QStringLiteral("Marquee");
    int code = 1;
    QString description; // "Shortcut %@ has been used for %@"
};

// Every user preference, loaded once from the defaults store and written back whole on save().
// Shortcuts are stored as Qt's portable key-sequence text ("Ctrl+K", "Return", "Space").
class MQSetting : public QObject {
    Q_OBJECT
public:
    using ShortcutTable = std::vector<std::pair<QString, QString>>; // action name → key text

    static MQSetting& shareInstance();

    void loadFromUserDefault();
    void save();
    void setDefaultShortCut();
    const ShortcutTable& getShortCutTables() const { return shortcutTable_; }

    // Stores the key for the action (one of the table's names) and saves, unless any table entry
    // (the action's own included) already holds it.
    std::optional<ShortcutConflict> recordShortcut(const QString& action, const QString& key);

    float getNumberFromUserDefaultForKey(const QString& key, float defaultValue) const;
    QString getStringFromUserDefaultForKey(const QString& key, const QString& defaultValue) const;

    static QString defaultAutoSaveDirectory();

    int autoSaveTimeInteval() const { return autoSaveTimeInteval_; }
    void setAutoSaveTimeInteval(int minutes);
    int timecodeAdjustmentPerArrowKey() const { return timecodeAdjustmentPerArrowKey_; }
    void setTimecodeAdjustmentPerArrowKey(int frames) { timecodeAdjustmentPerArrowKey_ = frames; }
    int frameIntervalInSpaceMode3() const { return frameIntervalInSpaceMode3_; }
    void setFrameIntervalInSpaceMode3(int frames) { frameIntervalInSpaceMode3_ = frames; }
    bool subtitleEditorIsHandMode() const { return subtitleEditorIsHandMode_; }
    void setSubtitleEditorIsHandMode(bool on) { subtitleEditorIsHandMode_ = on; }
    QString autoSaveDirectory() const { return autoSaveDirectory_; }
    void setAutoSaveDirectory(const QString& path) { autoSaveDirectory_ = path; }
    QString lastTitleTemplateDirectory() const { return lastTitleTemplateDirectory_; }
    void setLastTitleTemplateDirectory(const QString& path) { lastTitleTemplateDirectory_ = path; }

    QString mode1ShourtCut() const { return mode1ShourtCut_; }
    void setMode1ShourtCut(const QString& key) { mode1ShourtCut_ = key; }
    QString mode2ShourtCut() const { return mode2ShourtCut_; }
    void setMode2ShourtCut(const QString& key) { mode2ShourtCut_ = key; }
    QString mode3ShourtCut() const { return mode3ShourtCut_; }
    void setMode3ShourtCut(const QString& key) { mode3ShourtCut_ = key; }
    QString playVideoShortCut() const { return playVideoShortCut_; }
    void setPlayVideoShortCut(const QString& key) { playVideoShortCut_ = key; }
    QString forwardVideoShortCut() const { return forwardVideoShortCut_; }
    void setForwardVideoShortCut(const QString& key) { forwardVideoShortCut_ = key; }
    QString backwardVideoShortCut() const { return backwardVideoShortCut_; }
    void setBackwardVideoShortCut(const QString& key) { backwardVideoShortCut_ = key; }
    QString insertTimecodeShortCut() const { return insertTimecodeShortCut_; }
    void setInsertTimecodeShortCut(const QString& key) { insertTimecodeShortCut_ = key; }
    QString insertInTimecodeShortCut() const { return insertInTimecodeShortCut_; }
    void setInsertInTimecodeShortCut(const QString& key) { insertInTimecodeShortCut_ = key; }
    QString insertOutTimecodeShortCut() const { return insertOutTimecodeShortCut_; }
    void setInsertOutTimecodeShortCut(const QString& key) { insertOutTimecodeShortCut_ = key; }
    QString deleteTimecodeShortCut() const { return deleteTimecodeShortCut_; }
    void setDeleteTimecodeShortCut(const QString& key) { deleteTimecodeShortCut_ = key; }

    int forwardBackwardPerKey() const { return forwardBackwardPerKey_; }
    void setForwardBackwardPerKey(int frames) { forwardBackwardPerKey_ = frames; }
    float waveFormZoomRate() const { return waveFormZoomRate_; }
    void setWaveFormZoomRate(float rate) { waveFormZoomRate_ = rate; }
    bool isFinalCutPro7ToolBar() const { return isFinalCutPro7ToolBar_; }
    void setIsFinalCutPro7ToolBar(bool on) { isFinalCutPro7ToolBar_ = on; }
    bool isAutoAssembleVideoAndAudio() const { return isAutoAssembleVideoAndAudio_; }
    void setIsAutoAssembleVideoAndAudio(bool on) { isAutoAssembleVideoAndAudio_ = on; }
    bool isFirstLaunch() const { return isFirstLaunch_; }
    void setIsFirstLaunch(bool on) { isFirstLaunch_ = on; }
    int dragPlayRate() const { return dragPlayRate_; }
    void setDragPlayRate(int rate) { dragPlayRate_ = rate; }
    MQSubtitleSetting& subtitleSetting() { return subtitleSetting_; }
    const MQSubtitleSetting& subtitleSetting() const { return subtitleSetting_; }

Q_SIGNALS:
    void autoSaveTimeIntevalChanged(int minutes);
    void saved();

private:
    friend struct MQSettingShortcuts;
    MQSetting();
    QString* shortcutField(const QString& action);
    void rebuildShortCutTable();

    int autoSaveTimeInteval_ = 5;
    int timecodeAdjustmentPerArrowKey_ = 5;
    int frameIntervalInSpaceMode3_ = 0;
    bool subtitleEditorIsHandMode_ = false;
    QString autoSaveDirectory_;
    QString lastTitleTemplateDirectory_;
    QString mode1ShourtCut_, mode2ShourtCut_, mode3ShourtCut_;
    QString playVideoShortCut_, forwardVideoShortCut_, backwardVideoShortCut_;
    QString insertTimecodeShortCut_, insertInTimecodeShortCut_, insertOutTimecodeShortCut_;
    QString deleteTimecodeShortCut_;
    int forwardBackwardPerKey_ = 5;
    float waveFormZoomRate_ = 0.5f;
    bool isFinalCutPro7ToolBar_ = false;
    bool isAutoAssembleVideoAndAudio_ = false;
    bool isFirstLaunch_ = true;
    int dragPlayRate_ = 1;
    MQSubtitleSetting subtitleSetting_;
    ShortcutTable shortcutTable_;
};
