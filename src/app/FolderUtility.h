#pragma once

#include <QString>

// The standard folders and the files that live next to a project.
class FolderUtility {
public:
    static FolderUtility& sharedInstance();

    // The user's documents folder; MARQUEE_DOCUMENTS_DIR or setDocumentsDirectory() replace it
    // (tests and scripted runs never touch the real one).
    QString applicationDocumentsDirectory() const;
    QString applicationCachesDirectory() const;
    QString userMovieDirectory() const;
    void setDocumentsDirectory(const QString& path); // empty restores the standard folder

    // Creates the folder and its missing parents when nothing exists at the path.
    static void createFolder(const QString& path);
    // The documents folder with the application name, created when missing.
    QString getProjectAutoSaveFolder() const;

    // The folder of `file` followed by `name`.
    static QString getFilePathWithName(const QString& name, const QString& file);
    // b.fcpxml with "_new" becomes b_new.fcpxml in the same folder.
    static QString addStringToFilePath(const QString& path, const QString& addition);

private:
    FolderUtility() = default;
    QString documentsOverride_;
};
