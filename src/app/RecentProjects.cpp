#include "app/RecentProjects.h"

#include "platform/DefaultsStore.h"

#include <algorithm>

namespace {
const QString kRecentFiles = QStringLiteral("RecentFiles");
}

void RecentProjects::load() {
    files_.clear();
    const QVariant stored = DefaultsStore::settings().value(kRecentFiles);
    for (const QVariant& entry : stored.toList()) {
        if (entry.typeId() == QMetaType::QString && !entry.toString().isEmpty()) {
            files_.push_back(entry.toString());
        }
    }
    while (files_.size() > kLimit) {
        files_.removeFirst();
    }
}

void RecentProjects::store() const {
    QSettings& store = DefaultsStore::settings();
    store.setValue(kRecentFiles, QVariant(files_));
    store.sync();
}

void RecentProjects::add(const QString& path) {
    files_.removeAll(path);
    files_.push_back(path);
    while (files_.size() > kLimit) {
        files_.removeFirst();
    }
    store();
}

void RecentProjects::clear() {
    files_.clear();
    store();
}

QStringList RecentProjects::newestFirst() const {
    QStringList list = files_;
    std::reverse(list.begin(), list.end());
    return list;
}
