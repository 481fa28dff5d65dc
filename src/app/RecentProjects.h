#pragma once

#include <QString>
#include <QStringList>

// The "Open Recent" list: at most eight project paths, oldest first, kept in the defaults store
// under "RecentFiles". The menu shows them newest first.
class RecentProjects {
public:
    static constexpr int kLimit = 8;

    void load();
    void store() const;

    // Moves an already listed path to the newest place; trims to the limit and stores.
    void add(const QString& path);
    void clear();

    const QStringList& files() const { return files_; }
    QStringList newestFirst() const;

private:
    QStringList files_;
};
