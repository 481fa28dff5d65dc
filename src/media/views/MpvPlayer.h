#pragma once

#include <QObject>
#include <QString>

struct mpv_handle;

// One libmpv core. mpv's wakeup callback only queues a drain of its events to this object's
// thread (the GUI thread); every property read here comes from those events.
class MpvPlayer : public QObject {
    Q_OBJECT
public:
    // `videoOutput` "libmpv" renders into an MpvVideoWidget; "null" (tests) renders nothing.
    explicit MpvPlayer(const QString& videoOutput = QStringLiteral("libmpv"),
                       const QString& audioOutput = QString(), QObject* parent = nullptr);
    ~MpvPlayer() override;

    mpv_handle* handle() const { return mpv_; }
    bool isValid() const { return mpv_ != nullptr; }

    void loadFile(const QString& path);
    void stop();
    void setPaused(bool paused);
    bool isPaused() const { return paused_; }
    // Speeds below zero play backwards at their magnitude.
    void setRate(double rate);
    // `exact` decodes to the very frame; otherwise mpv may land on a nearby key frame.
    void seek(double seconds, bool exact);
    void setVolume(double volume);
    double volume() const { return volume_; }

    // Last known state; the position also follows the seeks asked for here at once.
    double timePosition() const { return timePosition_; }
    double duration() const { return duration_; }
    bool isFileLoaded() const { return fileLoaded_; }
    bool hasVideo() const { return hasVideo_; }

Q_SIGNALS:
    // Emitted first thing in the destructor, while the core still exists.
    void aboutToDestroy();
    void fileLoaded();
    void loadFailed();
    void pausedChanged(bool paused);
    void timePositionChanged(double seconds);
    void seekFinished();

private:
    void drainEvents();

    mpv_handle* mpv_ = nullptr;
    bool drainQueued_ = false;
    bool paused_ = true;
    bool fileLoaded_ = false;
    bool hasVideo_ = false;
    double timePosition_ = 0;
    double duration_ = 0;
    double volume_ = 100;
};
