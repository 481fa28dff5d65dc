#include "TestSupport.h"

#include "model/MQSetting.h"
#include "model/MQTimeUtility.h"
#include "platform/DefaultsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

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

CommandRun runMarquee(const QStringList& args) {
    QProcess process;
    process.start(marqueeBinary(), args);
    CommandRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace testsupport
