#include "media/EnvelopeExtraction.h"
#include "media/MovieAudioExtractor.h"
#include "media/MovieProbe.h"
#include "media/WaveformEnvelopeCache.h"
#include "media/views/WaveformLayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Envelope extraction of a 90-minute stereo AAC 48 kHz movie next to FFmpeg's own
// single-threaded decode of it, the cache, the window's responsiveness while extracting, and
// redrawing a full-width strip.

namespace {

const QString kDataDir = QStringLiteral(MARQUEE_BENCH_DATA);

// Made once and kept in the build folder: generating 90 minutes of AAC takes a while.
QString ninetyMinuteMovie() {
    static const QString path = [] {
        QDir().mkpath(kDataDir);
        const QString file = kDataDir + QStringLiteral("/ninety-minutes-stereo-48k.m4a");
        if (QFile::exists(file)) {
            return file;
        }
        std::fprintf(stderr, "generating %s (once)...\n", qPrintable(file));
        const QString partial = file + QStringLiteral(".part.m4a");
        const int status =
            QProcess::execute(QStringLiteral("ffmpeg"),
                              {QStringLiteral("-y"),
                               QStringLiteral("-v"),
                               QStringLiteral("error"),
                               QStringLiteral("-f"),
                               QStringLiteral("lavfi"),
                               QStringLiteral("-i"),
                               QStringLiteral("sine=frequency=440:sample_rate=48000:duration=5400"),
                               QStringLiteral("-f"),
                               QStringLiteral("lavfi"),
                               QStringLiteral("-i"),
                               QStringLiteral("sine=frequency=660:sample_rate=48000:duration=5400"),
                               QStringLiteral("-filter_complex"),
                               QStringLiteral("[0:a][1:a]amerge=inputs=2"),
                               QStringLiteral("-c:a"),
                               QStringLiteral("aac"),
                               QStringLiteral("-aac_coder"),
                               QStringLiteral("fast"),
                               QStringLiteral("-b:a"),
                               QStringLiteral("128k"),
                               partial});
        if (status != 0 || !QFile::rename(partial, file)) {
            return QString();
        }
        return file;
    }();
    return path;
}

struct ChildRun {
    double seconds = 0;
    double peakMegabytes = 0;
    bool ok = false;
};

// Runs a program to its end and measures its wall time and peak resident memory.
ChildRun runChild(const std::vector<std::string>& argv) {
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        std::freopen("/dev/null", "w", stdout);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

double ffmpegSeconds = 0;

void FfmpegSingleThreadDecode(benchmark::State& state) {
    const QString movie = ninetyMinuteMovie();
    if (movie.isEmpty()) {
        state.SkipWithError("could not generate the movie");
        return;
    }
    for (auto _ : state) {
        const ChildRun run = runChild({"ffmpeg", "-v", "error", "-threads", "1", "-i",
                                       movie.toStdString(), "-f", "null", "-"});
        if (!run.ok) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
        ffmpegSeconds = run.seconds;
        state.SetIterationTime(run.seconds);
    }
}
BENCHMARK(FfmpegSingleThreadDecode)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The real command end to end (without the cache): target at most 0.6 of FFmpeg's time and
// at most 80 MB resident.
void WaveformCommandNinetyMinutes(benchmark::State& state) {
    const QString movie = ninetyMinuteMovie();
    if (movie.isEmpty()) {
        state.SkipWithError("could not generate the movie");
        return;
    }
    ChildRun run;
    for (auto _ : state) {
        run = runChild({MARQUEE_BINARY, "waveform", movie.toStdString(), "--no-cache"});
        if (!run.ok) {
            state.SkipWithError("marquee waveform failed");
            return;
        }
        state.SetIterationTime(run.seconds);
    }
    state.counters["peak_MB"] = run.peakMegabytes;
    if (ffmpegSeconds > 0) {
        state.counters["of_ffmpeg"] = run.seconds / ffmpegSeconds;
    }
}
BENCHMARK(WaveformCommandNinetyMinutes)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Sleeps in the event loop until the extractor reports its end.
void waitUntilFinished(MovieAudioExtractor& extractor) {
    if (extractor.isFinished()) {
        return;
    }
    QEventLoop loop;
    QObject::connect(&extractor, &MovieAudioExtractor::extractionFinished, &loop,
                     &QEventLoop::quit);
    loop.exec();
}

// Starting an extractor on a movie whose envelope is cached, until it reports completion.
void EnvelopeFromCache(benchmark::State& state) {
    const QString movie = ninetyMinuteMovie();
    const MovieInfo info = probeMovie(movie);
    QTemporaryDir cache;
    WaveformEnvelopeCache::setDirectory(cache.path());
    {
        MovieAudioExtractor first;
        first.DoStartMovieAudioExtraction(movie, info);
        waitUntilFinished(first);
    }
    for (auto _ : state) {
        MovieAudioExtractor extractor;
        extractor.DoStartMovieAudioExtraction(movie, info);
        while (!extractor.isFinished()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        if (!extractor.isLoadedFromCache()) {
            state.SkipWithError("not loaded from the cache");
        }
    }
    WaveformEnvelopeCache::setDirectory({});
}
BENCHMARK(EnvelopeFromCache)->Unit(benchmark::kMillisecond)->Iterations(5);

// A 5 ms timer on the GUI thread records how late it fires while a full extraction runs;
// the target is no stall over 20 ms.
void GuiStallDuringExtraction(benchmark::State& state) {
    const QString movie = ninetyMinuteMovie();
    const MovieInfo info = probeMovie(movie);
    double worstMs = 0;
    for (auto _ : state) {
        MovieAudioExtractor extractor;
        extractor.setUseCache(false);
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            worstMs = std::max(worstMs, (now - last) / 1e6 - 5.0);
            last = now;
        });
        tick.start(5);
        last = clock.nsecsElapsed();
        extractor.DoStartMovieAudioExtraction(movie, info);
        waitUntilFinished(extractor);
    }
    state.counters["worst_late_ms"] = worstMs;
}
BENCHMARK(GuiStallDuringExtraction)->Unit(benchmark::kMillisecond)->Iterations(1);

// One frame of a 1920-column strip of two stereo tracks: target at most 2 ms.
void StripRedraw1920(benchmark::State& state) {
    AudioStreamDescription source{48000, 2, 32};
    AudioStreamDescription target = source;
    target.sampleRate = WaveformAudioDataStore::kEnvelopeRate;
    WaveformLayer layer;
    for (int track = 0; track < 2; ++track) {
        auto store = std::make_shared<WaveformAudioDataStore>(source, target, 600.0);
        std::vector<uint8_t> values(store->mTotalLength());
        for (size_t i = 0; i < values.size(); ++i) {
            values[i] = static_cast<uint8_t>((i * 37 + track * 11) % 180 + 1);
        }
        store->setChannelData(0, values);
        store->setChannelData(1, values);
        layer.addDataStore(store);
    }
    layer.setZoomRate(1.0, false);
    layer.setBoundsSize(1920, 200);
    layer.setNewOriginX(30000);
    layer.setDisplayStyle(0);
    QImage image(1920, 200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        layer.draw(painter);
    }
}
BENCHMARK(StripRedraw1920)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    tuneAllocatorForDecoding();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
