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

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// A test program still running long after any test should have ended is stuck: print where
// every thread is, so that the report shows the hang instead of only a killed process, then
// end it. Runs through the program's exit too, where a hang is hardest to see.
void startHangWatchdog() {
    const QByteArray configured = qgetenv("MARQUEE_TEST_HANG_SECONDS");
    const int seconds = configured.isEmpty() ? 240 : configured.toInt();
    if (seconds <= 0) {
        return;
    }
    std::thread([seconds] {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        std::fprintf(stderr, "test program still running after %d s; its threads:\n", seconds);
        std::fflush(stderr);
        const std::string command = "gdb -p " + std::to_string(getpid()) +
                                    " -batch -nx -ex 'thread apply all bt' 1>&2 </dev/null";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "(gdb could not show them)\n");
        }
        std::_Exit(3);
    }).detach();
}

} // namespace

// Every test binary starts with settings in a scratch file, never the user's own. Widget tests
// get a QApplication (on the offscreen platform), the others a QCoreApplication.
int main(int argc, char** argv) {
    startHangWatchdog();
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
