// The clipboard picture with full 600-sample lists, as Ctrl+C renders it.
#include "charts/LiveCharts.h"
#include "output/ExportInputs.h"
#include "output/ExportTargets.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

using namespace kavlon;

struct FullCharts {
    LoopState s;
    LiveCharts charts;

    FullCharts(int width, int height, int plant)
    {
        s.PlantIndex = static_cast<std::uint8_t>(plant);
        s.Tv = 2; // all four controller traces drawn
        charts.SetImageSize(width, height);
        ResetLoopState(s, false, false, false);
        charts.ResetCharts(s);
        for (int t = 0; t < 900; ++t)
            ChartTick(s, charts);
    }
};

void ClipboardPicture(benchmark::State &state, bool inColour)
{
    const FullCharts full(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 6);
    const ExportInputs in = ExportInputsFromState(full.s, full.charts, inColour);
    for (auto _ : state) {
        QImage picture = RenderClipboardPicture(in, 96);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

void BM_ClipboardPictureColour(benchmark::State &state) { ClipboardPicture(state, true); }
void BM_ClipboardPictureBlackWhite(benchmark::State &state) { ClipboardPicture(state, false); }

BENCHMARK(BM_ClipboardPictureColour)
    ->Args({1916, 300})
    ->Args({980, 216})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClipboardPictureBlackWhite)->Args({1916, 300})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
