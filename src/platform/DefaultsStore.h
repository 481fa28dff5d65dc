#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// The per-user defaults store. Values keep their types (numbers, booleans, strings,
// dictionaries) across a save and a reload: the store is a JSON file in the user's config
// folder. MARQUEE_SETTINGS_FILE, or useFile(), points it elsewhere (tests, scripted runs).
class DefaultsStore {
public:
    static QSettings& settings();

    // Switches the store to the given file; an empty path returns to the default location.
    static void useFile(const QString& path);
    static QString filePath();

private:
    static std::unique_ptr<QSettings>& instance();
};
