#pragma once

#include "model/MediaTime.h"
#include "model/SubtitleLine.h"

// What hand timing needs of the movie player. The real player implements it; tests use a
// scripted fake that can be advanced in time.
class MoviePlayerControl {
public:
    virtual ~MoviePlayerControl() = default;

    virtual bool isPlaying() const = 0;
    virtual void play() = 0;
    // Stops playback, also ending a repeat-play loop.
    virtual void stopRepeatPlaySubtitle() = 0;
    // Step by `forwardBackwardPerKey` frames.
    virtual void fastForward() = 0;
    virtual void rewind() = 0;
    virtual void speedForward() = 0;
    virtual void speedBackward() = 0;
    virtual void setCurrentTime(double seconds) = 0;
    // The line being repeat-played, if any.
    virtual SubtitleLinePtr repeatSubtitle() const = 0;
    // Zero when no movie is loaded.
    virtual MediaTime currentTime() const = 0;
    virtual MediaTime duration() const = 0;
    virtual bool hasMovie() const = 0;
};
