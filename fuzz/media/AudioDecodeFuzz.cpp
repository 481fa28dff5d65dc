#include "media/EnvelopeExtraction.h"
#include "media/MovieProbe.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <unistd.h>

// Arbitrary bytes as a movie file: probing and extracting every audio track (in one pass and
// in segments) must end without a crash, whatever the demuxer and decoder make of them.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path =
        QStringLiteral("/tmp/mq-fuzz-audio-%1.bin").arg(static_cast<qint64>(getpid()));
    FILE* file = std::fopen(path.toUtf8().constData(), "wb");
    if (!file) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    const MovieInfo info = probeMovie(path);
    for (unsigned track = 0; track < info.audioTracks.size() && track < 2; ++track) {
        AudioStreamDescription source = info.audioTracks[track].description;
        if (source.channelCount > 16) {
            continue;
        }
        AudioStreamDescription target = source;
        target.sampleRate = WaveformAudioDataStore::kEnvelopeRate;
        // Bounded so that a claimed huge duration cannot exhaust memory.
        const double seconds = std::min(info.duration, 600.0);
        for (int segments : {1, 2}) {
            WaveformAudioDataStore store(source, target, seconds);
            ExtractionControl control;
            extractTrackEnvelope(path, track, store, control, segments);
        }
    }
    return 0;
}
