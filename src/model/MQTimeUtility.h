#pragma once

#include "model/MediaTime.h"

#include <QString>

#include <cstdint>

// The process-wide frame rate and every conversion between seconds, frames, media times and
// the editor's bracketed timecodes [HH:MM:SS.FF] (FF counts frames at the current rate).
class MQTimeUtility {
public:
    static MQTimeUtility& sharedInstance();

    void setFPS(double fps) { fps_ = fps == 0.0 ? 30.0 : fps; }
    double getFPS() const { return fps_; }
    // Media times are built at trunc(rate × 1000).
    int32_t timescale() const;

    QString timeStringFromTimeInterval(double seconds) const;    // "" when negative
    QString rawTimeStringFromTimeInterval(double seconds) const; // HH:MM:SS.FF
    QString timeStringFromCMTime(const MediaTime& time) const;
    QString rawTimeStringFromCMTime(const MediaTime& time) const;

    // Seconds of an editor timecode, with or without brackets; -1 when malformed.
    double timeIntervalFromString(const QString& timecode) const;
    // The same with the frame part floored to hundredths of a second.
    double timeIntervalFromStringWithFloor(const QString& timecode) const;
    // The indefinite time when malformed.
    MediaTime cmTimeFromTimeString(const QString& timecode) const;

    MediaTime getCMTimeWithFrame(int64_t frames) const;
    MediaTime getCMTimeWithTimeInteval(double seconds) const;
    // One nudge step is `timecodeAdjustmentPerArrowKey` frames; decreasing never goes below 0.
    MediaTime increasedCMTime(const MediaTime& time) const;
    MediaTime decreasedCMTime(const MediaTime& time) const;

    // Seconds rounded up to a whole millisecond in single precision. Every stored subtitle time
    // passes through here, so equal times compare equal after repeated conversion.
    static double roundedTimeInteval(double seconds);

    // "N/Ds" or "Ns" → N/D; a null string gives zero.
    static MediaTime getCMTimeWithDurationString(const QString& duration);
    // Drops trailing zeros, then a trailing "." ("29.970" → "29.97", "000" → "0").
    static QString changeFloat(const QString& number);

    // The frame-exact FCPX numerator over `denominator` of an editor timecode, counting 29.97 and
    // 59.94 timecodes as drop-frame; -1 when malformed.
    static int32_t numeratorFromMarqueeTimecode(const QString& timecode, int32_t numerator,
                                                int32_t denominator);

private:
    MQTimeUtility() = default;
    MediaTime nudgeStep() const;
    // Writes HH:MM:SS.FF at `out` (at most 47 characters) and returns the end.
    char* writeRawTimeString(double seconds, char* out) const;
    double fps_ = 30.0;
};
