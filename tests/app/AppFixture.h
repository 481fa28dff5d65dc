#pragma once

#include "app/FolderUtility.h"
#include "app/MQMainWindowController.h"
#include "editor/views/SubtitleTextView.h"
#include "media/MovieAudioExtractor.h"

#include "TestSupport.h"
#include "model/MQTimeUtility.h"
#include "platform/PromptService.h"
#include "platform/Workspace.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// A window on scratch settings and a scratch documents folder, with scripted answers.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        QCoreApplication::setApplicationName(QStringLiteral("Marquee"));
        FolderUtility::sharedInstance().setDocumentsDirectory(documents_.path());
        Workspace::install(&workspace_);
        MQTimeUtility::sharedInstance().setFPS(30);
    }
    void TearDown() override {
        window_.reset();
        // Stopped workers end at once; one that had just finished may still be writing the
        // envelope cache, which the next test (or this one's scratch folders) must not see.
        EXPECT_TRUE(MovieAudioExtractor::waitForRunningExtractions(20000));
        Workspace::install(nullptr);
        FolderUtility::sharedInstance().setDocumentsDirectory({});
    }

    MQMainWindowController& window() {
        if (!window_) {
            window_ = std::make_unique<MQMainWindowController>();
        }
        return *window_;
    }
    void reopenWindow() {
        window_.reset();
        window();
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    // Runs the event loop until `done` holds or the deadline passes.
    static bool waitFor(const std::function<bool()>& done, int milliseconds = 3000) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < milliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return done();
    }
    // Acts on the next modal dialog of type Dialog once it shows; `act` must end it. A dialog
    // that never shows is given up after a few seconds.
    template <typename Dialog> static void whenModal(std::function<void(Dialog&)> act) {
        auto* timer = new QTimer;
        auto* waited = new QElapsedTimer;
        waited->start();
        QObject::connect(timer, &QTimer::timeout, [timer, waited, act] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!dialog && waited->elapsed() < 5000) {
                return;
            }
            timer->stop();
            timer->deleteLater();
            delete waited;
            if (dialog) {
                act(*dialog);
            }
        });
        timer->start(10);
    }
    QString autoSaveFolder() const {
        return FolderUtility::sharedInstance().getProjectAutoSaveFolder();
    }

    testsupport::ScopedSettingsFile settings_;
    QTemporaryDir documents_;
    QTemporaryDir dir_;
    ScriptedPromptService prompts_;
    ScopedPromptService scopedPrompts_{prompts_};
    RecordingWorkspace workspace_;
    std::unique_ptr<MQMainWindowController> window_;
};
