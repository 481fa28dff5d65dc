#include "model/MQTimeUtility.h"
#include "model/TimeCode.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

// Editor timecodes and millisecond times from arbitrary text: every reading must return a value
// or its failure marker, and a printed timecode must read back to a time that prints the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    static const double rates[] = {23.976, 24, 25, 29.97, 30, 50, 59.94, 60};
    MQTimeUtility& tu = MQTimeUtility::sharedInstance();
    tu.setFPS(rates[data[0] % 8]);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), int(size - 1));

    const double seconds = tu.timeIntervalFromString(text);
    (void)tu.timeIntervalFromStringWithFloor(text);
    (void)tu.cmTimeFromTimeString(text);
    (void)MQTimeUtility::numeratorFromMarqueeTimecode(text, 1001, 30000);
    (void)MQTimeUtility::numeratorFromMarqueeTimecode(text, 1, 25);
    (void)MQTimeUtility::getCMTimeWithDurationString(text);
    (void)MQTimeUtility::changeFloat(text);
    const TimeCode tc = TimeCode::timeCodeFromString(text);
    (void)tc.description();

    // Stored times are single precision in milliseconds, exact to the millisecond up to 2^24 ms
    // (about 4.6 hours); beyond that a re-read may land on a neighbouring frame.
    if (seconds >= 0 && seconds < 4 * 3600) {
        const double stored = MQTimeUtility::roundedTimeInteval(seconds);
        const QString printed = tu.timeStringFromTimeInterval(stored);
        const double reread = MQTimeUtility::roundedTimeInteval(tu.timeIntervalFromString(printed));
        if (tu.timeStringFromTimeInterval(reread) != printed) {
            std::abort();
        }
    }
    return 0;
}
