#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace testsupport {

// The shared corpus folder beside the checkout, or an empty string when it is absent
// (tests that need it skip then).
QString sharedDir();
QString corpusPath(const QString& relative);

// Root of the source tree and of the build tree (MARQUEE_SOURCE_DIR / MARQUEE_BUILD_DIR override).
QString sourceDir();
QString buildDir();
// The built `marquee` program, for tests that run the command line.
QString marqueeBinary();

// One run of the built program; exit code -1 when it did not finish within a minute.
struct CommandRun {
    int exitCode = -1;
    QString out;
    QString err;
};
CommandRun runMarquee(const QStringList& args);

// Points the defaults store at a fresh file for the lifetime of the object and reloads the
// settings from it, so tests never read or write the user's real settings.
class ScopedSettingsFile {
public:
    ScopedSettingsFile();
    ~ScopedSettingsFile();
    QString path() const;

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Sets the frame rate for the lifetime of the object.
class ScopedFrameRate {
public:
    explicit ScopedFrameRate(double fps);
    ~ScopedFrameRate();

private:
    double previous_;
};

} // namespace testsupport

#define MQ_SKIP_WITHOUT_SHARED()                                                                   \
    do {                                                                                           \
        if (testsupport::sharedDir().isEmpty())                                                    \
            GTEST_SKIP() << "../shared is not present";                                            \
    } while (0)
