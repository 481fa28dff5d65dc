#include "MediaFixtures.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <cstdio>

namespace mediafixtures {

bool ffmpeg(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("ffmpeg"),
                  QStringList{QStringLiteral("-y"), QStringLiteral("-v"), QStringLiteral("error")} +
                      arguments);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

namespace {

// The muxer for a file name: the partial file's name does not end in the extension.
QString formatOf(const QString& name) {
    const QString extension = QFileInfo(name).suffix();
    if (extension == QLatin1String("m4a")) {
        return QStringLiteral("ipod");
    }
    if (extension == QLatin1String("ts")) {
        return QStringLiteral("mpegts");
    }
    return extension;
}

// Fixtures are kept in the build folder, named after what made them, so that the many test
// processes make each one once; a new file appears under its name only when complete.
QString make(const QDir& dir, const QString& name, const QStringList& arguments) {
    const QByteArray recipe = arguments.join(u'\n').toUtf8();
    const QString key = QString::fromLatin1(
        QCryptographicHash::hash(recipe, QCryptographicHash::Sha1).toHex().left(12));
    const QString path = dir.filePath(key + u'-' + name);
    if (QFileInfo::exists(path)) {
        return path;
    }
    const QString partial = dir.filePath(
        QStringLiteral("partial-%1-%2-%3").arg(QCoreApplication::applicationPid()).arg(key, name));
    if (!ffmpeg(arguments + QStringList{QStringLiteral("-f"), formatOf(name), partial})) {
        QFile::remove(partial);
        return {};
    }
    return std::rename(QFile::encodeName(partial).constData(),
                       QFile::encodeName(path).constData()) == 0
               ? path
               : QString();
}

// The files' bytes one after the other; empty when a part is missing.
QString splice(const QDir& dir, const QString& name, const QStringList& parts) {
    if (parts.contains(QString())) {
        return {};
    }
    QStringList keys;
    for (const QString& part : parts) {
        keys << QFileInfo(part).fileName().section(u'-', 0, 0);
    }
    const QString path = dir.filePath(keys.join(u'+') + u'-' + name);
    if (QFileInfo::exists(path)) {
        return path;
    }
    QFile out(dir.filePath(
        QStringLiteral("partial-%1-%2").arg(QCoreApplication::applicationPid()).arg(name)));
    if (!out.open(QIODevice::WriteOnly)) {
        return {};
    }
    for (const QString& part : parts) {
        QFile in(part);
        if (!in.open(QIODevice::ReadOnly) || out.write(in.readAll()) < 0) {
            out.remove();
            return {};
        }
    }
    out.close();
    return std::rename(QFile::encodeName(out.fileName()).constData(),
                       QFile::encodeName(path).constData()) == 0
               ? path
               : QString();
}

QStringList lavfi(const QString& graph) {
    return {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), graph};
}

Fixtures build(const QDir& dir) {
    Fixtures f;
    const QStringList floatWav{QStringLiteral("-c:a"), QStringLiteral("pcm_f32le")};
    f.monoWav44k =
        make(dir, QStringLiteral("mono44k.wav"),
             lavfi(QStringLiteral("aevalsrc=if(lt(t\\,2)\\,0.5\\,0):s=44100:d=4")) + floatWav);
    f.stereoWav48k = make(dir, QStringLiteral("stereo48k.wav"),
                          lavfi(QStringLiteral("aevalsrc=0.5|0.25:s=48000:d=3")) + floatWav);
    f.twoTrackAac = make(
        dir, QStringLiteral("twotracks.mp4"),
        lavfi(QStringLiteral("testsrc=size=160x120:rate=25:duration=20")) +
            lavfi(QStringLiteral("sine=frequency=440:sample_rate=48000:duration=20,"
                                 "aformat=channel_layouts=stereo")) +
            lavfi(QStringLiteral("anoisesrc=color=pink:sample_rate=48000:amplitude=0.3:"
                                 "duration=20,aformat=channel_layouts=stereo")) +
            QStringList{QStringLiteral("-map"), QStringLiteral("0:v"), QStringLiteral("-map"),
                        QStringLiteral("1:a"), QStringLiteral("-map"), QStringLiteral("2:a"),
                        QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-c:a"),
                        QStringLiteral("aac"), QStringLiteral("-b:a"), QStringLiteral("96k"),
                        QStringLiteral("-aac_pns"), QStringLiteral("0")});
    f.longAac = make(dir, QStringLiteral("long.m4a"),
                     lavfi(QStringLiteral("anoisesrc=color=brown:sample_rate=48000:amplitude=0.5:"
                                          "duration=50,aformat=channel_layouts=stereo")) +
                         QStringList{QStringLiteral("-c:a"), QStringLiteral("aac"),
                                     QStringLiteral("-aac_pns"), QStringLiteral("0")});
    f.longMp3 = make(dir, QStringLiteral("long.mp3"),
                     lavfi(QStringLiteral("anoisesrc=color=pink:sample_rate=44100:amplitude=0.4:"
                                          "duration=40")) +
                         QStringList{QStringLiteral("-c:a"), QStringLiteral("libmp3lame")});
    f.longAc3 = make(dir, QStringLiteral("long.ac3"),
                     lavfi(QStringLiteral("anoisesrc=color=brown:sample_rate=48000:amplitude=0.5:"
                                          "duration=30,aformat=channel_layouts=stereo")) +
                         QStringList{QStringLiteral("-c:a"), QStringLiteral("ac3")});
    f.splicedTs = splice(dir, QStringLiteral("spliced.ts"),
                         {make(dir, QStringLiteral("first.ts"),
                               lavfi(QStringLiteral("sine=frequency=440:sample_rate=48000:"
                                                    "duration=6")) +
                                   QStringList{QStringLiteral("-c:a"), QStringLiteral("aac"),
                                               QStringLiteral("-aac_pns"), QStringLiteral("0")}),
                          make(dir, QStringLiteral("second.ts"),
                               lavfi(QStringLiteral("anoisesrc=sample_rate=48000:amplitude=0.2:"
                                                    "duration=6")) +
                                   QStringList{QStringLiteral("-c:a"), QStringLiteral("aac"),
                                               QStringLiteral("-aac_pns"), QStringLiteral("0")})});
    f.audioOnlyAac =
        make(dir, QStringLiteral("audioonly.m4a"),
             lavfi(QStringLiteral("sine=frequency=1000:sample_rate=44100:duration=5")) +
                 QStringList{QStringLiteral("-c:a"), QStringLiteral("aac")});
    f.wav10s = make(dir, QStringLiteral("ten.wav"),
                    lavfi(QStringLiteral("aevalsrc=0.1:s=48000:d=10")) + floatWav);
    f.wav10_04s = make(dir, QStringLiteral("tenplus.wav"),
                       lavfi(QStringLiteral("aevalsrc=0.1:s=48000:d=10.04")) + floatWav);
    f.ntscMovie =
        make(dir, QStringLiteral("ntsc.mp4"),
             lavfi(QStringLiteral("testsrc=size=160x120:rate=30000/1001:duration=2")) +
                 lavfi(QStringLiteral("sine=frequency=440:sample_rate=48000:duration=2")) +
                 QStringList{QStringLiteral("-c:v"), QStringLiteral("mpeg4"),
                             QStringLiteral("-c:a"), QStringLiteral("aac")});
    f.movie12s =
        make(dir, QStringLiteral("movie12.mp4"),
             lavfi(QStringLiteral("testsrc=size=160x120:rate=25:duration=12")) +
                 lavfi(QStringLiteral("sine=frequency=440:sample_rate=48000:duration=12")) +
                 QStringList{QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-g"),
                             QStringLiteral("25"), QStringLiteral("-c:a"), QStringLiteral("aac")});
    return f;
}

} // namespace

const Fixtures& fixtures() {
    static const Fixtures made = [] {
        QDir dir(testsupport::buildDir() + QStringLiteral("/test-fixtures/media"));
        dir.mkpath(QStringLiteral("."));
        return build(dir);
    }();
    return made;
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

} // namespace mediafixtures
