// One live chart tick as the window runs it (ChartTick): the engine step,
// SampleCurves (erase, append, draw the seven traces) and AdvanceScales
// (erase, append, draw both scales) on 1916 x 300 images with the full
// 600-sample window.
#include "charts/LiveCharts.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

void BM_ChartTick(benchmark::State &state)
{
    kavlon::LiveCharts charts;
    charts.SetImageSize(1916, 300);
    charts.SetTimeAxisLength(600);
    charts.SetBackColor(state.range(0) != 0 ? kavlon::Black : kavlon::White);
    kavlon::LoopState s;
    s.Tv = 2;
    kavlon::ResetLoopState(s, true, false, false);
    charts.ResetCharts(s);
    const auto tick = [&] {
        // Steps in w and Z and a manual-mode spell keep every trace and the
        // markers moving.
        if (s.TickCount % 150 == 0)
            s.w = s.w > 400 ? 200 : 600;
        if (s.TickCount % 220 == 0)
            s.Z = s.Z < 0 ? 50 : -150;
        if (s.TickCount % 400 == 0)
            s.HandMode = !s.HandMode;
        kavlon::ChartTick(s, charts);
    };
    for (int i = 0; i < 700; ++i)
        tick();
    for (auto _ : state) {
        tick();
        benchmark::ClobberMemory();
    }
    state.SetLabel(state.range(0) != 0 ? "black" : "white");
}

} // namespace

BENCHMARK(BM_ChartTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
