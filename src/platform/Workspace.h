#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Hands web pages, mail addresses and files to the desktop. The window installs the desktop's
// handler; tests install a RecordingWorkspace.
class Workspace {
public:
    virtual ~Workspace() = default;
    virtual bool openUrl(const QUrl& url) = 0;

    static Workspace& instance();
    static void install(Workspace* workspace); // not owned; nullptr restores the default
};

class RecordingWorkspace : public Workspace {
public:
    bool openUrl(const QUrl& url) override {
        opened.push_back(url);
        return true;
    }
    QList<QUrl> opened;
};
