#include "platform/DefaultsStore.h"

#ifdef MARQUEE_WIDGET_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Every test binary starts with settings in a scratch file, never the user's own. Widget tests
// get a QApplication (on the offscreen platform), the others a QCoreApplication.
int main(int argc, char** argv) {
#ifdef MARQUEE_WIDGET_TESTS
    // Also during test discovery, which runs without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    QTemporaryDir settingsDir;
    DefaultsStore::useFile(settingsDir.filePath(QStringLiteral("settings.json")));
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
