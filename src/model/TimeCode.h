#pragma once

#include <QString>

#include <cstdint>

// A millisecond time value. The total is authoritative; the components follow it, except when
// the value is built from components, which are then kept exactly as given (75 minutes stays 75).
class TimeCode {
public:
    TimeCode() { setTotalMilliseconds(0); }
    static TimeCode withTotalMilliseconds(double milliseconds);
    static TimeCode withComponents(int64_t hours, int64_t minutes, int64_t seconds,
                                   int64_t milliseconds);
    static TimeCode fromSeconds(double seconds) { return withTotalMilliseconds(seconds * 1000.0); }
    // The total is parseToMilliseconds() of the string (-1 when malformed).
    static TimeCode timeCodeFromString(const QString& text);
    // "h:m:s:f" with any of ":", "," or "." between the four fields; the last field counts
    // milliseconds as written ("00:00:01,5" is 1005 ms). -1 unless there are exactly four fields.
    static double parseToMilliseconds(const QString& text);

    double totalMilliseconds() const { return total_; }
    double totalSeconds() const { return total_ / 1000.0; }
    int64_t hours() const { return hours_; }
    int64_t minutes() const { return minutes_; }
    int64_t seconds() const { return seconds_; }
    int64_t milliseconds() const { return milliseconds_; }

    void setTotalMilliseconds(double milliseconds);
    void setTotalSeconds(double seconds) { setTotalMilliseconds(seconds * 1000.0); }
    void addTimeMilliseconds(int64_t milliseconds) {
        setTotalMilliseconds(total_ + double(milliseconds));
    }

    // "%2ld:%2ld:%2ld,%3ld", space padded.
    QString description() const;

    friend bool operator==(const TimeCode& a, const TimeCode& b) { return a.total_ == b.total_; }

private:
    double total_ = 0;
    int64_t hours_ = 0;
    int64_t minutes_ = 0;
    int64_t seconds_ = 0;
    int64_t milliseconds_ = 0;
};

// A time in seconds split into whole seconds and milliseconds, for printing.
class ITTime {
public:
    explicit ITTime(double seconds);
    int32_t data() const { return data_; }
    int32_t ms() const { return ms_; }
    int32_t getHours() const { return data_ / 3600; }
    int32_t getMinutes() const { return (data_ % 3600) / 60; }
    int32_t getSeconds() const { return (data_ % 3600) % 60; }
    int32_t getMilliSeconds() const { return ms_; }

private:
    int32_t data_;
    int32_t ms_;
};
