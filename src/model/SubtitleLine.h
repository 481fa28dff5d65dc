#pragma once

#include "model/TimeCode.h"

#include <QMetaType>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class SubtitleLine;
using SubtitleLinePtr = std::shared_ptr<SubtitleLine>;
using SubtitleLineList = std::vector<SubtitleLinePtr>;

// One subtitle. A line is shared (by the editor's list, a waveform block, the player's overlay),
// so it is always held through SubtitleLinePtr; those holders watch its text and times through
// addObserver(). Times are stored rounded by MQTimeUtility::roundedTimeInteval; -1 means unset.
class SubtitleLine {
public:
    enum class Change { Text, Start, End };
    using Observer = std::function<void(SubtitleLine&, Change)>;
    using ObserverId = uint64_t;

    SubtitleLine();
    SubtitleLine(const SubtitleLine&) = delete;
    SubtitleLine& operator=(const SubtitleLine&) = delete;

    static SubtitleLinePtr create() { return std::make_shared<SubtitleLine>(); }
    // A copy with the same id, times, text, flags and extras; numerators, the duration slot and
    // the description are not copied.
    static SubtitleLinePtr copyOf(const SubtitleLine& source);

    ObserverId addObserver(Observer observer);
    void removeObserver(ObserverId id);

    double startTime() const { return startTime_; }
    double endTime() const { return endTime_; }
    void setStartTime(double seconds);
    void setEndTime(double seconds);
    const TimeCode& startTimeCode() const { return startTimeCode_; }
    const TimeCode& endTimeCode() const { return endTimeCode_; }
    void setStartTimeCode(const TimeCode& timeCode);
    void setEndTimeCode(const TimeCode& timeCode);
    const QString& startTimeString() const { return startTimeString_; }
    const QString& endTimeString() const { return endTimeString_; }
    const QString& getStartTimeString() const { return startTimeString_; }
    const QString& getEndTimeString() const { return endTimeString_; }

    const QString& text() const { return text_; }
    void setText(const QString& text);

    bool isStartTimeValid() const { return startTime_ >= 0; }
    bool isEndTimeValid() const { return endTime_ >= 0; }
    bool isValid() const { return isStartTimeValid() && isEndTimeValid(); }
    // start ≤ t < end for a valid line; t ≥ start when only the start is set.
    bool isTimeInTimeRange(double seconds) const;
    bool isEqualToSubtitle(const SubtitleLine& other) const;
    // End minus start, the start truncated to whole milliseconds.
    TimeCode duration() const;
    // The editor line: start code, text, end code.
    QString getSubtitleLineString() const;
    void calculateTimeCodesFromFrameNumbers(double rate);
    QString description() const;

    // Carried fields.
    bool isForced = false;
    bool isComment = false;
    bool isStartTimeError = false;
    bool isEndTimeError = false;
    int64_t number = 0;
    TimeCode durationSlot;
    int64_t startFrame = 0;
    int64_t endFrame = 0;
    QString extra;
    QString actor;
    QString effect;
    int64_t layer = 0;
    QString subtitleLineId;
    QString language;
    QString style;
    int64_t startNumerator = 0;
    int64_t endNumerator = 0;
    QString mDescription;

private:
    void notify(Change change);

    double startTime_ = -1;
    double endTime_ = -1;
    QString startTimeString_;
    QString endTimeString_;
    QString text_;
    TimeCode startTimeCode_;
    TimeCode endTimeCode_;
    std::vector<std::pair<ObserverId, Observer>> observers_;
    ObserverId nextObserverId_ = 1;
};

Q_DECLARE_METATYPE(SubtitleLinePtr)
