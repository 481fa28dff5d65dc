#include "platform/DefaultsStore.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace {

bool readJson(QIODevice& device, QSettings::SettingsMap& map) {
    const QByteArray bytes = device.readAll();
    if (bytes.trimmed().isEmpty()) {
        return true;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        return false;
    }
    const QVariantMap values = doc.object().toVariantMap();
    for (auto it = values.begin(); it != values.end(); ++it) {
        map.insert(it.key(), it.value());
    }
    return true;
}

bool writeJson(QIODevice& device, const QSettings::SettingsMap& map) {
    QVariantMap values;
    for (auto it = map.begin(); it != map.end(); ++it) {
        values.insert(it.key(), it.value());
    }
    const QByteArray bytes =
        QJsonDocument(QJsonObject::fromVariantMap(values)).toJson(QJsonDocument::Indented);
    return device.write(bytes) == bytes.size();
}

QSettings::Format jsonFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat("json", readJson, writeJson, Qt::CaseSensitive);
    return format;
}

QString defaultPath() {
    const QByteArray fromEnv = qgetenv("MARQUEE_SETTINGS_FILE");
    if (!fromEnv.isEmpty()) {
        return QString::fromLocal8Bit(fromEnv);
    }
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(dir).filePath(QStringLiteral("Marquee/settings.json"));
}

} // namespace

std::unique_ptr<QSettings>& DefaultsStore::instance() {
    static std::unique_ptr<QSettings> settings;
    return settings;
}

QSettings& DefaultsStore::settings() {
    auto& settings = instance();
    if (!settings) {
        settings = std::make_unique<QSettings>(defaultPath(), jsonFormat());
    }
    return *settings;
}

void DefaultsStore::useFile(const QString& path) {
    auto& settings = instance();
    if (settings) {
        settings->sync();
    }
    settings = std::make_unique<QSettings>(path.isEmpty() ? defaultPath() : path, jsonFormat());
}

QString DefaultsStore::filePath() {
    return settings().fileName();
}
