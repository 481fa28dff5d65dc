#include "editor/views/SubtitleTextView.h"
#include "model/MQTimeUtility.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

// The editor on a 20,000-line text: keystrokes and returns through the real widget (offscreen),
// the full restyle with its order check, and replacing the whole text as an import does.

namespace {

constexpr int kLines = 20000;

QString twentyThousandLines() {
    const MQTimeUtility& tu = MQTimeUtility::sharedInstance();
    QString text;
    for (int i = 0; i < kLines; ++i) {
        if (i % 50 == 7) {
            text += QStringLiteral("an untimed line of the script\n");
            continue;
        }
        // Every hundredth line starts before its predecessor ends.
        const double start = i * 3.0 - (i % 100 == 42 ? 2.0 : 0.0);
        text += tu.timeStringFromTimeInterval(start);
        text += QStringLiteral("Subtitle %1 with a few words⏎and a second row").arg(i);
        text += tu.timeStringFromTimeInterval(start + 2.5);
        text += u'\n';
    }
    text.chop(1);
    return text;
}

SubtitleTextView& loadedView() {
    static SubtitleTextView* view = [] {
        auto* v = new SubtitleTextView;
        v->resize(800, 600);
        v->show();
        v->setString(twentyThousandLines());
        return v;
    }();
    return *view;
}

// Times each key press on its own and reports the median, which is what a typist feels.
void reportMedian(benchmark::State& state, std::vector<double>& micros) {
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p90_us"] = micros[micros.size() * 9 / 10];
}

void KeystrokeInsideALine(benchmark::State& state) {
    SubtitleTextView& view = loadedView();
    view.setSelectedRange({view.model().lineStart(kLines / 2) + 20, 0});
    std::vector<double> micros;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        QTest::keyClick(&view, Qt::Key_A);
        micros.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    reportMedian(state, micros);
}
BENCHMARK(KeystrokeInsideALine)->Unit(benchmark::kMicrosecond)->Iterations(300);

void ReturnInTheMiddleOfALine(benchmark::State& state) {
    SubtitleTextView& view = loadedView();
    qsizetype line = kLines / 3;
    std::vector<double> micros;
    QElapsedTimer timer;
    for (auto _ : state) {
        state.PauseTiming();
        view.setSelectedRange({view.model().lineStart(line) + 20, 0});
        line += 2;
        state.ResumeTiming();
        timer.start();
        QTest::keyClick(&view, Qt::Key_Return);
        micros.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    reportMedian(state, micros);
}
BENCHMARK(ReturnInTheMiddleOfALine)->Unit(benchmark::kMicrosecond)->Iterations(300);

void FullRestyleWithOrderCheck(benchmark::State& state) {
    SubtitleTextView& view = loadedView();
    for (auto _ : state) {
        view.editor().refreshTextViewDisplay();
    }
    state.counters["errors"] = double(view.editor().errorTimeCodes().size());
}
BENCHMARK(FullRestyleWithOrderCheck)->Unit(benchmark::kMillisecond)->Iterations(20);

void ReplaceTheWholeText(benchmark::State& state) {
    SubtitleTextView& view = loadedView();
    const QString text = twentyThousandLines();
    for (auto _ : state) {
        view.setString(text);
    }
    state.counters["lines"] = double(view.model().getAllSubtitles().size());
}
BENCHMARK(ReplaceTheWholeText)->Unit(benchmark::kMillisecond)->Iterations(5);

// The widget-free edit path alone, for comparison.
void ModelKeystroke(benchmark::State& state) {
    SubtitleTextModel model;
    model.setString(twentyThousandLines());
    const qsizetype position = model.lineStart(kLines / 2) + 20;
    for (auto _ : state) {
        model.applyEdit(position, 0, QStringLiteral("a"));
    }
}
BENCHMARK(ModelKeystroke)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
