#include "app/ProjectAutoSave.h"

#include "app/MQProjectFile.h"
#include "platform/DefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
const QString kSessionRunning = QStringLiteral("SessionRunning");
const QString kSessionStart = QStringLiteral("SessionStartTime");
const QString kLastSave = QStringLiteral("LastProjectSaveTime");

QDateTime storedTime(const QString& key) {
    return QDateTime::fromString(DefaultsStore::settings().value(key).toString(),
                                 Qt::ISODateWithMs);
}
} // namespace

namespace ProjectAutoSave {

bool isAutoSaveName(const QString& path) {
    return QFileInfo(path).fileName().startsWith(QStringLiteral("AutoSave"));
}

QString fileNameForTime(const QDateTime& time) {
    return kPrefix + time.toString(QStringLiteral("yyyyMMddHHmmss")) + u'.' +
           MQProjectFile::kExtension;
}

QStringList autoSaveNames(const QString& folder) {
    QStringList names =
        QDir(folder).entryList({kPrefix + u'*'}, QDir::AllEntries | QDir::Hidden | QDir::System);
    std::sort(names.begin(), names.end());
    return names;
}

void prune(const QString& folder, int keep) {
    const QStringList names = autoSaveNames(folder);
    const QDir dir(folder);
    for (qsizetype i = 0; i + keep < names.size(); ++i) {
        QFile::remove(dir.filePath(names[i]));
    }
}

void markSessionStarted(const QDateTime& now) {
    QSettings& store = DefaultsStore::settings();
    store.setValue(kSessionRunning, true);
    store.setValue(kSessionStart, now.toString(Qt::ISODateWithMs));
    store.sync();
}

void markSessionEnded() {
    QSettings& store = DefaultsStore::settings();
    store.setValue(kSessionRunning, false);
    store.sync();
}

void recordProjectSaved(const QDateTime& now) {
    QSettings& store = DefaultsStore::settings();
    store.setValue(kLastSave, now.toString(Qt::ISODateWithMs));
    store.sync();
}

QString recoverableAutoSave(const QString& folder) {
    if (!DefaultsStore::settings().value(kSessionRunning).toBool()) {
        return {};
    }
    QDateTime after = storedTime(kSessionStart);
    const QDateTime lastSave = storedTime(kLastSave);
    if (lastSave.isValid() && (!after.isValid() || lastSave > after)) {
        after = lastSave;
    }
    const QStringList names = autoSaveNames(folder);
    if (names.isEmpty()) {
        return {};
    }
    const QString newest = QDir(folder).filePath(names.last());
    const QFileInfo info(newest);
    if (!info.isFile() || (after.isValid() && info.lastModified() <= after)) {
        return {};
    }
    return newest;
}

} // namespace ProjectAutoSave
