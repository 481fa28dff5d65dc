#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace mediafixtures {

// Runs ffmpeg with the given arguments (after "-y -v error"); true on success.
bool ffmpeg(const QStringList& arguments);

// Files made once per test binary in a scratch folder; an empty string when ffmpeg failed.
// Levels are constant (DC) signals so that envelope values are exact: 0.5 → 100, 0.25 → 50.
struct Fixtures {
    QString monoWav44k;   // 4 s mono 44.1 kHz float: 0.5 for 2 s, then silence
    QString stereoWav48k; // 3 s stereo 48 kHz float: left 0.5, right 0.25
    // 20 s, two stereo AAC 48 kHz tracks (tone; noise), 25 fps video. Encoded without noise
    // substitution: its decoder draws from a random state that runs on from the start of the
    // track, so a chunk decoded on its own cannot repeat it exactly.
    QString twoTrackAac;
    // Long enough for several chunks per decoder: 50 s stereo AAC (tone and noise, without
    // noise substitution) and 40 s mono MP3 (which needs the frames before a chunk).
    QString longAac;
    QString longMp3;
    QString longAc3; // 30 s stereo AC-3 (dithered decoding)
    // Two 6 s MPEG-TS files joined byte for byte: the time stamps restart halfway.
    QString splicedTs;
    QString audioOnlyAac; // 5 s mono AAC 44.1 kHz in .m4a
    QString wav10s;       // exactly 10.0 s
    QString wav10_04s;    // 10.04 s
    QString ntscMovie;    // 2 s video at 30000/1001 with a tone
    QString movie12s;     // 12 s, 25 fps video with a tone
};
const Fixtures& fixtures();

// Spins the event loop until the condition holds or the time runs out.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 20000);

} // namespace mediafixtures
