#include "model/MQTimeUtility.h"
#include "model/TimeCode.h"

#include <benchmark/benchmark.h>

#include <vector>

// Editor timecode conversions, both ways, over an hour of times at 29.97 fps.

static std::vector<double> sampleTimes() {
    std::vector<double> times;
    for (int i = 0; i < 1000; ++i) {
        times.push_back(i * 3.6037);
    }
    return times;
}

static void SecondsToTimecode(benchmark::State& state) {
    MQTimeUtility::sharedInstance().setFPS(29.97);
    const auto times = sampleTimes();
    for (auto _ : state) {
        for (double t : times) {
            benchmark::DoNotOptimize(MQTimeUtility::sharedInstance().timeStringFromTimeInterval(t));
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(times.size()));
}
BENCHMARK(SecondsToTimecode);

static void TimecodeToSeconds(benchmark::State& state) {
    MQTimeUtility::sharedInstance().setFPS(29.97);
    std::vector<QString> codes;
    for (double t : sampleTimes()) {
        codes.push_back(MQTimeUtility::sharedInstance().timeStringFromTimeInterval(t));
    }
    for (auto _ : state) {
        for (const QString& code : codes) {
            benchmark::DoNotOptimize(MQTimeUtility::sharedInstance().timeIntervalFromString(code));
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(codes.size()));
}
BENCHMARK(TimecodeToSeconds);

static void TimecodeToFcpxNumerator(benchmark::State& state) {
    std::vector<QString> codes;
    for (double t : sampleTimes()) {
        codes.push_back(MQTimeUtility::sharedInstance().timeStringFromTimeInterval(t));
    }
    for (auto _ : state) {
        for (const QString& code : codes) {
            benchmark::DoNotOptimize(
                MQTimeUtility::numeratorFromMarqueeTimecode(code, 1001, 30000));
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(codes.size()));
}
BENCHMARK(TimecodeToFcpxNumerator);

static void SrtTimeToMilliseconds(benchmark::State& state) {
    const QString text = QStringLiteral("01:23:45,678");
    for (auto _ : state) {
        benchmark::DoNotOptimize(TimeCode::parseToMilliseconds(text));
    }
}
BENCHMARK(SrtTimeToMilliseconds);

BENCHMARK_MAIN();
