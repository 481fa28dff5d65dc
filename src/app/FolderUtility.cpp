#include "app/FolderUtility.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString firstLocation(QStandardPaths::StandardLocation location) {
    const QStringList paths = QStandardPaths::standardLocations(location);
    return paths.isEmpty() ? QString() : paths.first();
}

QString applicationName() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Marquee") : name;
}
} // namespace

FolderUtility& FolderUtility::sharedInstance() {
    static FolderUtility utility;
    return utility;
}

QString FolderUtility::applicationDocumentsDirectory() const {
    if (!documentsOverride_.isEmpty()) {
        return documentsOverride_;
    }
    const QByteArray fromEnv = qgetenv("MARQUEE_DOCUMENTS_DIR");
    if (!fromEnv.isEmpty()) {
        return QString::fromLocal8Bit(fromEnv);
    }
    return firstLocation(QStandardPaths::DocumentsLocation);
}

QString FolderUtility::applicationCachesDirectory() const {
    return firstLocation(QStandardPaths::CacheLocation);
}

QString FolderUtility::userMovieDirectory() const {
    return firstLocation(QStandardPaths::MoviesLocation);
}

void FolderUtility::setDocumentsDirectory(const QString& path) {
    documentsOverride_ = path;
}

void FolderUtility::createFolder(const QString& path) {
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(path);
    }
}

QString FolderUtility::getProjectAutoSaveFolder() const {
    const QString folder = applicationDocumentsDirectory() + u'/' + applicationName();
    if (!QFileInfo(folder).isDir()) {
        createFolder(folder);
    }
    return folder;
}

QString FolderUtility::getFilePathWithName(const QString& name, const QString& file) {
    const qsizetype slash = file.lastIndexOf(u'/');
    const QString folder = slash >= 0 ? file.left(slash) : QString();
    return folder.isEmpty() ? name : folder + u'/' + name;
}

QString FolderUtility::addStringToFilePath(const QString& path, const QString& addition) {
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    if (suffix.isEmpty()) {
        return path + addition;
    }
    return path.chopped(suffix.size() + 1) + addition + u'.' + suffix;
}
