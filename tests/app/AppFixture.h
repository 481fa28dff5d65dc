#pragma once

#include "app/FolderUtility.h"
#include "app/MQMainWindowController.h"

#include "TestSupport.h"
#include "model/MQTimeUtility.h"
#include "platform/PromptService.h"
#include "platform/Workspace.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
