#include "TestSupport.h"

#include "model/MQSetting.h"
#include "model/MQTimeUtility.h"
#include "platform/DefaultsStore.h"

#include <QDir>
#include <QFileInfo>

namespace testsupport {

QString sourceDir() {
    const QByteArray env = qgetenv("MARQUEE_SOURCE_DIR");
    return env.isEmpty() ? QStringLiteral(MARQUEE_SOURCE_DIR_DEFAULT) : QString::fromLocal8Bit(env);
}

QString buildDir() {
    const QByteArray env = qgetenv("MARQUEE_BUILD_DIR");
    return env.isEmpty() ? QStringLiteral(MARQUEE_BUILD_DIR_DEFAULT) : QString::fromLocal8Bit(env);
}

QString marqueeBinary() {
    return buildDir() + QStringLiteral("/bin/marquee");
}

QString sharedDir() {
    const QString dir = QDir(sourceDir()).absoluteFilePath(QStringLiteral("../shared"));
    return QFileInfo(dir + QStringLiteral("/corpus")).isDir() ? QDir::cleanPath(dir) : QString();
}

QString corpusPath(const QString& relative) {
    return sharedDir() + QStringLiteral("/corpus/") + relative;
}

ScopedSettingsFile::ScopedSettingsFile() : previous_(DefaultsStore::filePath()) {
    DefaultsStore::useFile(path());
    MQSetting::shareInstance().loadFromUserDefault();
}

ScopedSettingsFile::~ScopedSettingsFile() {
    DefaultsStore::useFile(previous_);
    MQSetting::shareInstance().loadFromUserDefault();
}

QString ScopedSettingsFile::path() const {
    return dir_.filePath(QStringLiteral("settings.json"));
}

ScopedFrameRate::ScopedFrameRate(double fps) : previous_(MQTimeUtility::sharedInstance().getFPS()) {
    MQTimeUtility::sharedInstance().setFPS(fps);
}

ScopedFrameRate::~ScopedFrameRate() {
    MQTimeUtility::sharedInstance().setFPS(previous_);
}

} // namespace testsupport
