#include "model/MQSetting.h"

#include "platform/DefaultsStore.h"

#include <QMetaType>

namespace {

const QString kAutoSave = QStringLiteral("AutoSave");
const QString kSkipFrame = QStringLiteral("SkipFrame");
const QString kAutoSkipFrame = QStringLiteral("AutoSkipFrame");
const QString kEditMode = QStringLiteral("EditMode");
const QString kAutosaveDirectory = QStringLiteral("AutosaveDirectory");
const QString kLastTitleTemplateDirectory = QStringLiteral("lastTitleTemplateDirectory");
const QString kForwardBackwardPerKey = QStringLiteral("forwardBackwardPerKey");
const QString kWaveFormZoomRate = QStringLiteral("waveFormZoomRate");
const QString kIsFinalCutPro7ToolBar = QStringLiteral("isFinalCutPro7ToolBar");
const QString kIsAutoAssemble = QStringLiteral("isAutoAssembleVideoAndAudio");
const QString kFirstLaunch = QStringLiteral("firstLaunch");
const QString kDragPlayRate = QStringLiteral("dragPlayRate");
const QString kSubtitleSetting = QStringLiteral("subtitleSetting");

struct ShortcutKey {
    const char* action;
    const char* key;
    const char* defaultValue;
    QString MQSetting::*field;
};

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool readBool(const QVariant& v, bool defaultValue) {
    if (isNumber(v)) {
        return v.toDouble() != 0.0;
    }
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if (s.isEmpty()) {
            return false;
        }
        const QChar c = s.front();
        return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
    }
    return defaultValue;
}

} // namespace

// The ten shortcuts in table order. Defaults are the Linux renderings of the classic keys.
struct MQSettingShortcuts {
    static const std::vector<ShortcutKey>& all() {
        static const std::vector<ShortcutKey> keys = {
            {"Mode 1", "mode1ShourtCut", "Space", &MQSetting::mode1ShourtCut_},
            {"Mode 2", "mode2ShourtCut", "2", &MQSetting::mode2ShourtCut_},
            {"Mode 3", "mode3ShourtCut", "Return", &MQSetting::mode3ShourtCut_},
            {"Play", "playVideoShortCut", "Ctrl+K", &MQSetting::playVideoShortCut_},
            {"Forward", "forwardVideoShortCut", "Ctrl+L", &MQSetting::forwardVideoShortCut_},
            {"Backward", "backwardVideoShortCut", "Ctrl+J", &MQSetting::backwardVideoShortCut_},
            {"Insert Time Code", "insertTimecodeShortCut", "Ctrl+,",
             &MQSetting::insertTimecodeShortCut_},
            {"Insert In Time Code", "insertInTimecodeShortCut", "Ctrl+I",
             &MQSetting::insertInTimecodeShortCut_},
            {"Insert Out Time Code", "insertOutTimecodeShortCut", "Ctrl+O",
             &MQSetting::insertOutTimecodeShortCut_},
            {"Delete Time Code", "deleteTimecodeShortCut", "Ctrl+Backspace",
             &MQSetting::deleteTimecodeShortCut_},
        };
        return keys;
    }
};

void MQSubtitleSetting::updateWithDictionary(const QVariantMap& dictionary) {
    const auto number = [&](const char* key) -> std::optional<QVariant> {
        const QVariant v = dictionary.value(QString::fromLatin1(key));
        if (!isNumber(v)) {
            return std::nullopt;
        }
        return v;
    };
    const QVariant name = dictionary.value(QStringLiteral("ssa_font_name"));
    if (name.typeId() == QMetaType::QString) {
        ssaFontName = name.toString();
    }
    if (auto v = number("ssa_font_size")) {
        ssaFontSize = v->toDouble();
    }
    if (auto v = number("ssa_font_color_argb")) {
        ssaFontColorArgb = v->toLongLong();
    }
    if (auto v = number("ssa_out_line")) {
        ssaOutline = v->toLongLong();
    }
    if (auto v = number("ssa_shadow")) {
        ssaShadow = v->toLongLong();
    }
    if (auto v = number("ssa_opaque_box")) {
        ssaOpaqueBox = v->toBool();
    }
}

QVariantMap MQSubtitleSetting::toDictioinary() const {
    return {
        {QStringLiteral("ssa_font_name"),
         ssaFontName.isNull() ? QStringLiteral("Arial") : ssaFontName},
        {QStringLiteral("ssa_font_size"), qlonglong(ssaFontSize)},
        {QStringLiteral("ssa_font_color_argb"), qlonglong(ssaFontColorArgb)},
        {QStringLiteral("ssa_out_line"), qlonglong(ssaOutline)},
        {QStringLiteral("ssa_shadow"), qlonglong(ssaShadow)},
        {QStringLiteral("ssa_opaque_box"), ssaOpaqueBox},
    };
}

MQSetting& MQSetting::shareInstance() {
    static MQSetting* instance = new MQSetting(); // lives until exit, like the store it mirrors
    return *instance;
}

MQSetting::MQSetting() {
    loadFromUserDefault();
}

QString MQSetting::defaultAutoSaveDirectory() {
    return QStringLiteral("~/Documents/%1/").arg(QStringLiteral("Marquee"));
}

float MQSetting::getNumberFromUserDefaultForKey(const QString& key, float defaultValue) const {
    const QVariant v = DefaultsStore::settings().value(key);
    return isNumber(v) ? v.toFloat() : defaultValue;
}

QString MQSetting::getStringFromUserDefaultForKey(const QString& key,
                                                  const QString& defaultValue) const {
    const QVariant v = DefaultsStore::settings().value(key);
    return v.typeId() == QMetaType::QString ? v.toString() : defaultValue;
}

void MQSetting::loadFromUserDefault() {
    QSettings& store = DefaultsStore::settings();
    store.sync();
    autoSaveTimeInteval_ = int(getNumberFromUserDefaultForKey(kAutoSave, 5));
    timecodeAdjustmentPerArrowKey_ = int(getNumberFromUserDefaultForKey(kSkipFrame, 5));
    frameIntervalInSpaceMode3_ = int(getNumberFromUserDefaultForKey(kAutoSkipFrame, 0));
    subtitleEditorIsHandMode_ = readBool(store.value(kEditMode), false);
    autoSaveDirectory_ =
        getStringFromUserDefaultForKey(kAutosaveDirectory, defaultAutoSaveDirectory());
    lastTitleTemplateDirectory_ =
        getStringFromUserDefaultForKey(kLastTitleTemplateDirectory, QStringLiteral("~/Desktop/"));
    for (const ShortcutKey& s : MQSettingShortcuts::all()) {
        this->*s.field = getStringFromUserDefaultForKey(QString::fromLatin1(s.key),
                                                        QString::fromLatin1(s.defaultValue));
    }
    forwardBackwardPerKey_ = int(getNumberFromUserDefaultForKey(kForwardBackwardPerKey, 5));
    const QVariant zoom = store.value(kWaveFormZoomRate);
    waveFormZoomRate_ = isNumber(zoom) ? zoom.toFloat() : 0.0f;
    if (waveFormZoomRate_ <= 0.0f || waveFormZoomRate_ > 1.0f) {
        waveFormZoomRate_ = 0.5f;
    }
    isFinalCutPro7ToolBar_ = readBool(store.value(kIsFinalCutPro7ToolBar), false);
    isAutoAssembleVideoAndAudio_ = readBool(store.value(kIsAutoAssemble), false);
    const QString firstLaunch = getStringFromUserDefaultForKey(kFirstLaunch, QString());
    isFirstLaunch_ = firstLaunch.isEmpty() || firstLaunch == QStringLiteral("YES");
    dragPlayRate_ = int(getNumberFromUserDefaultForKey(kDragPlayRate, 1));
    subtitleSetting_ = MQSubtitleSetting();
    const QVariant dictionary = store.value(kSubtitleSetting);
    if (dictionary.typeId() == QMetaType::QVariantMap) {
        subtitleSetting_.updateWithDictionary(dictionary.toMap());
    }
    rebuildShortCutTable();
}

void MQSetting::save() {
    QSettings& store = DefaultsStore::settings();
    store.setValue(kAutoSave, autoSaveTimeInteval_);
    store.setValue(kSkipFrame, timecodeAdjustmentPerArrowKey_);
    store.setValue(kAutoSkipFrame, frameIntervalInSpaceMode3_);
    store.setValue(kEditMode, subtitleEditorIsHandMode_);
    store.setValue(kAutosaveDirectory, autoSaveDirectory_);
    store.setValue(kLastTitleTemplateDirectory, lastTitleTemplateDirectory_);
    for (const ShortcutKey& s : MQSettingShortcuts::all()) {
        store.setValue(QString::fromLatin1(s.key), this->*s.field);
    }
    store.setValue(kForwardBackwardPerKey, forwardBackwardPerKey_);
    store.setValue(kWaveFormZoomRate, double(waveFormZoomRate_));
    store.setValue(kIsFinalCutPro7ToolBar, isFinalCutPro7ToolBar_);
    store.setValue(kIsAutoAssemble, isAutoAssembleVideoAndAudio_);
    store.setValue(kFirstLaunch, isFirstLaunch_ ? QStringLiteral("YES") : QStringLiteral("NO"));
    store.setValue(kDragPlayRate, qlonglong(dragPlayRate_));
    store.setValue(kSubtitleSetting, subtitleSetting_.toDictioinary());
    store.sync();
    rebuildShortCutTable();
    Q_EMIT saved();
}

void MQSetting::setDefaultShortCut() {
    for (const ShortcutKey& s : MQSettingShortcuts::all()) {
        this->*s.field = QString::fromLatin1(s.defaultValue);
    }
    save();
}

void MQSetting::setAutoSaveTimeInteval(int minutes) {
    if (minutes == autoSaveTimeInteval_) {
        return;
    }
    autoSaveTimeInteval_ = minutes;
    Q_EMIT autoSaveTimeIntevalChanged(minutes);
}

QString* MQSetting::shortcutField(const QString& action) {
    for (const ShortcutKey& s : MQSettingShortcuts::all()) {
        if (action == QLatin1String(s.action)) {
            return &(this->*s.field);
        }
    }
    return nullptr;
}

std::optional<ShortcutConflict> MQSetting::recordShortcut(const QString& action,
                                                          const QString& key) {
    for (const auto& [holder, held] : shortcutTable_) {
        if (held == key) {
            ShortcutConflict conflict;
            conflict.description =
                QStringLiteral("Shortcut %1 has been used for %2").arg(key, holder);
            return conflict;
        }
    }
    if (QString* field = shortcutField(action)) {
        *field = key;
        save();
    }
    return std::nullopt;
}

void MQSetting::rebuildShortCutTable() {
    shortcutTable_.clear();
    for (const ShortcutKey& s : MQSettingShortcuts::all()) {
        shortcutTable_.emplace_back(QString::fromLatin1(s.action), this->*s.field);
    }
}
