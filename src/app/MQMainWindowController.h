#pragma once

#include <QMainWindow>

// The one main window: movie, editor and waveform panes.
class MQMainWindowController : public QMainWindow {
    Q_OBJECT
public:
    explicit MQMainWindowController(QWidget* parent = nullptr);

    // A project named on the command line or handed over by the desktop.
    void openProjectFromCommandLine(const QString& path);
};
