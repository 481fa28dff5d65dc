// `marquee convert big.srt big.vtt` against `ffmpeg -i big.srt big.vtt` on the same generated
// 100,000-cue file in the same run. Targets: at most a quarter of ffmpeg's wall time, peak memory
// at most 60 MB.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kCues = 100000;

QString writeBigSrt(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("big.srt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QString();
    }
    QByteArray out;
    char buffer[256];
    for (int i = 0; i < kCues; ++i) {
        const long start = long(i) * 3000;
        const long end = start + 2500;
        const int n = std::snprintf(
            buffer, sizeof buffer,
            "%d\n%02ld:%02ld:%02ld,%03ld --> %02ld:%02ld:%02ld,%03ld\nSubtitle line number %d\n"
            "second line <i>here</i>\n\n",
            i + 1, start / 3600000, start / 60000 % 60, start / 1000 % 60, start % 1000,
            end / 3600000, end / 60000 % 60, end / 1000 % 60, end % 1000, i);
        out.append(buffer, n);
    }
    file.write(out);
    return path;
}

struct ChildRun {
    double seconds = -1;
    long peakKilobytes = -1;
};

// Runs a program to completion; the peak resident size is the child's own.
ChildRun runChild(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr)) {
            _exit(126);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return {};
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    return {elapsed.count(), usage.ru_maxrss};
}

void BM_ConvertSrtToWebVtt(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string in = writeBigSrt(dir).toStdString();
    const std::string ours = dir.filePath(QStringLiteral("big.vtt")).toStdString();
    const std::string theirs = dir.filePath(QStringLiteral("ffmpeg.vtt")).toStdString();
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    double oursSeconds = 0;
    double ffmpegSeconds = 0;
    long oursPeak = 0;
    long ffmpegPeak = 0;
    int runs = 0;
    for (auto _ : state) {
        const ChildRun a = runChild({MQ_MARQUEE_PROGRAM, "convert", in, ours});
        if (a.seconds < 0) {
            state.SkipWithError("marquee convert failed");
            return;
        }
        oursSeconds += a.seconds;
        oursPeak = std::max(oursPeak, a.peakKilobytes);
        if (!ffmpeg.isEmpty()) {
            const ChildRun b =
                runChild({ffmpeg.toStdString(), "-loglevel", "error", "-y", "-i", in, theirs});
            ffmpegSeconds += b.seconds;
            ffmpegPeak = std::max(ffmpegPeak, b.peakKilobytes);
        }
        ++runs;
        state.SetIterationTime(a.seconds);
    }
    state.counters["marquee_s"] = oursSeconds / runs;
    state.counters["marquee_peak_MB"] = double(oursPeak) / 1024.0;
    if (ffmpegSeconds > 0) {
        state.counters["ffmpeg_s"] = ffmpegSeconds / runs;
        state.counters["ffmpeg_peak_MB"] = double(ffmpegPeak) / 1024.0;
        state.counters["time_ratio"] = oursSeconds / ffmpegSeconds; // target: at most 0.25
    }
}

} // namespace

BENCHMARK(BM_ConvertSrtToWebVtt)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
