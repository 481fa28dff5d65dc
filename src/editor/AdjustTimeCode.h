#pragma once

#include "model/MediaTime.h"

#include <QString>

// The numbers behind the shift dialog: an offset in hours, minutes, seconds and frames at the
// rate the dialog opened with, and a direction (row 0 backward, row 1 forward).
class AdjustTimeCodeState {
public:
    enum Field { Hours, Minutes, Seconds, Frames };

    void reset(double fps);
    double fps() const { return fps_; }

    int value(Field field) const { return values_[field]; }
    // A stepper click: the value as given, then normalised.
    void setValue(Field field, int value);
    // A typed field: accepted (stored and normalised) when it is a whole number in range
    // (hours 1-10, minutes and seconds 0-60, frames 0-fps); false when refused.
    bool acceptText(Field field, const QString& text);
    static bool inRange(Field field, int value, double fps);

    int row() const { return row_; }
    void setRow(int row);
    bool isForward() const { return row_ != 0; }

    // Frames at or past the rate carry into seconds, 60 seconds into minutes, 60 minutes into
    // hours.
    void calculateAdjustTime();
    QString summary() const;
    // The offset as a media time of whole frames at the dialog's rate.
    MediaTime offset() const;

private:
    int values_[4] = {0, 0, 0, 0};
    int row_ = 0;
    double fps_ = 30;
};
