#include "app/FolderUtility.h"
#include "app/ProjectAutoSave.h"
#include "app/RecentProjects.h"

#include "TestSupport.h"
#include "platform/DefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
void touch(const QString& path, const QDateTime& modified = {}) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("x");
    file.flush();
    if (modified.isValid()) {
        file.setFileTime(modified, QFileDevice::FileModificationTime);
    }
}
} // namespace

TEST(AutoSave, NamesCarrySortableTimestamps) {
    const QDateTime time(QDate(2024, 1, 2), QTime(3, 4, 5));
    EXPECT_EQ(ProjectAutoSave::fileNameForTime(time),
              QStringLiteral("AutoSave_20240102030405.mqp"));
    EXPECT_TRUE(ProjectAutoSave::isAutoSaveName(QStringLiteral("/x/AutoSave_1.mqp")));
    EXPECT_TRUE(ProjectAutoSave::isAutoSaveName(QStringLiteral("AutoSaveOld.mqp")));
    EXPECT_FALSE(ProjectAutoSave::isAutoSaveName(QStringLiteral("/AutoSave_/p.mqp")));
}

TEST(AutoSave, PruningKeepsTheNewestAndLeavesOtherFiles) {
    QTemporaryDir dir;
    const QDateTime start(QDate(2024, 5, 1), QTime(12, 0, 0));
    for (int run = 0; run < 30; ++run) {
        ProjectAutoSave::prune(dir.path());
        touch(dir.filePath(ProjectAutoSave::fileNameForTime(start.addSecs(run * 60))));
    }
    touch(dir.filePath(QStringLiteral("My Project.mqp")));
    const QStringList names = ProjectAutoSave::autoSaveNames(dir.path());
    ASSERT_EQ(names.size(), 25);
    EXPECT_EQ(names.first(), ProjectAutoSave::fileNameForTime(start.addSecs(5 * 60)));
    EXPECT_EQ(names.last(), ProjectAutoSave::fileNameForTime(start.addSecs(29 * 60)));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("My Project.mqp"))));
}

TEST(FolderUtilityTest, AutoSaveFolderIsCreatedUnderTheDocumentsFolder) {
    QTemporaryDir dir;
    FolderUtility& folders = FolderUtility::sharedInstance();
    folders.setDocumentsDirectory(dir.path());
    const QString folder = folders.getProjectAutoSaveFolder();
    folders.setDocumentsDirectory({});
    EXPECT_TRUE(folder.startsWith(dir.path() + u'/'));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(FolderUtilityTest, PathsNextToAFile) {
    EXPECT_EQ(
        FolderUtility::getFilePathWithName(QStringLiteral("m.mov"), QStringLiteral("/a/b/p.mqp")),
        QStringLiteral("/a/b/m.mov"));
    EXPECT_EQ(FolderUtility::getFilePathWithName(QStringLiteral("m.mov"), QStringLiteral("p.mqp")),
              QStringLiteral("m.mov"));
    EXPECT_EQ(
        FolderUtility::addStringToFilePath(QStringLiteral("/x/b.fcpxml"), QStringLiteral("_new")),
        QStringLiteral("/x/b_new.fcpxml"));
    EXPECT_EQ(FolderUtility::addStringToFilePath(QStringLiteral("/x.d/b"), QStringLiteral("_new")),
              QStringLiteral("/x.d/b_new"));
}

TEST(RecentProjectsTest, NewestOnTopWithoutDuplicatesAndAtMostEight) {
    testsupport::ScopedSettingsFile settings;
    RecentProjects recent;
    for (int i = 1; i <= 9; ++i) {
        recent.add(QStringLiteral("/p/%1.mqp").arg(i));
    }
    ASSERT_EQ(recent.files().size(), 8);
    EXPECT_EQ(recent.files().first(), QStringLiteral("/p/2.mqp"));
    recent.add(QStringLiteral("/p/4.mqp"));
    EXPECT_EQ(recent.files().size(), 8);
    EXPECT_EQ(recent.newestFirst().first(), QStringLiteral("/p/4.mqp"));
    EXPECT_EQ(recent.files().count(QStringLiteral("/p/4.mqp")), 1);

    RecentProjects reloaded;
    reloaded.load();
    EXPECT_EQ(reloaded.files(), recent.files());
    reloaded.clear();
    RecentProjects empty;
    empty.load();
    EXPECT_TRUE(empty.files().isEmpty());
}

TEST(RecentProjectsTest, StoredListOfOtherTypesIsIgnored) {
    testsupport::ScopedSettingsFile settings;
    DefaultsStore::settings().setValue(QStringLiteral("RecentFiles"),
                                       QStringLiteral("/not/a/list"));
    RecentProjects recent;
    recent.load();
    EXPECT_TRUE(recent.files().isEmpty());
}

TEST(StartupRecovery, OffersOnlyAnAutosaveFromAnUncleanSessionNewerThanItsLastSave) {
    const QDateTime now = QDateTime::currentDateTime();
    struct Case {
        const char* name;
        bool cleanExit;
        int autosaveSecondsAgo; // < 0: no autosave
        int sessionStartSecondsAgo;
        int lastSaveSecondsAgo; // < 0: never saved
        bool offered;
    };
    const Case cases[] = {
        {"crash after an autosave", false, 60, 600, -1, true},
        {"crash, saved after the autosave", false, 120, 600, 60, false},
        {"crash, saved before the autosave", false, 60, 600, 300, true},
        {"clean quit", true, 60, 600, -1, false},
        {"crash before any autosave of the session", false, 900, 600, -1, false},
        {"crash, no autosave at all", false, -1, 600, -1, false},
    };
    for (const Case& c : cases) {
        testsupport::ScopedSettingsFile settings;
        QTemporaryDir dir;
        ProjectAutoSave::markSessionStarted(now.addSecs(-c.sessionStartSecondsAgo));
        if (c.lastSaveSecondsAgo >= 0) {
            ProjectAutoSave::recordProjectSaved(now.addSecs(-c.lastSaveSecondsAgo));
        }
        QString autosave;
        if (c.autosaveSecondsAgo >= 0) {
            const QDateTime written = now.addSecs(-c.autosaveSecondsAgo);
            touch(dir.filePath(QStringLiteral("AutoSave_00000000000000.mqp")), now.addSecs(-5000));
            autosave = dir.filePath(ProjectAutoSave::fileNameForTime(written));
            touch(autosave, written);
        }
        if (c.cleanExit) {
            ProjectAutoSave::markSessionEnded();
        }
        EXPECT_EQ(ProjectAutoSave::recoverableAutoSave(dir.path()),
                  c.offered ? autosave : QString())
            << c.name;
    }
}
