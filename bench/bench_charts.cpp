// One live chart tick as the window runs it (ChartTick): the engine step,
// SampleCurves (erase, append, draw the seven traces) and AdvanceScales
// (erase, append, draw both scales) on 1916 x 300 images with the full
// 600-sample window. And the evaluation's overlays painted over both charts.
#include "charts/Evaluation.h"
#include "charts/LiveCharts.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// Ticks charts of width x height points drawn at `ratio` device pixels per
// point, timing each tick once the lists are full.
void TimeChartTicks(benchmark::State &state, int width, int height, double ratio, bool black)
{
    kavlon::LiveCharts charts;
    charts.SetImageSize(width, height);
    charts.SetTimeAxisLength(600);
    charts.SetBackColor(black ? kavlon::Black : kavlon::White);
    charts.SetPixelRatio(ratio);
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
    state.SetLabel(black ? "black" : "white");
}

void BM_ChartTick(benchmark::State &state)
{
    TimeChartTicks(state, 1916, 300, 1, state.range(0) != 0);
}

// The same on a screen scaled by 2 (3840 x 2160 device pixels) in a
// maximised 1920 x 1080 window: charts of 1900 x 397 points, drawn at
// 3800 x 794 device pixels each.
void BM_ChartTickRatio2(benchmark::State &state)
{
    TimeChartTicks(state, 1900, 397, 2, state.range(0) != 0);
}

} // namespace

BENCHMARK(BM_ChartTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChartTickRatio2)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Evaluation::Paint of both charts with every overlay on: a reference under
// the full window, the tolerance band and the figures box of a running step,
// two cursors with their read-out boxes. Painted over copies of the chart
// images, as the chart widget paints over its own (in image pixels). The
// second argument is the display's pixel ratio.
void BM_EvaluationPaint(benchmark::State &state)
{
    using namespace kavlon;
    const double ratio = static_cast<double>(state.range(1));
    LiveCharts charts;
    charts.SetImageSize(1916, 300);
    charts.SetPixelRatio(ratio);
    charts.SetTimeAxisLength(600);
    charts.SetBackColor(state.range(0) != 0 ? Black : White);
    Evaluation evaluation;
    evaluation.CursorEnabled = true;
    evaluation.FiguresEnabled = true;
    LoopState s;
    s.Kr = 2;
    ResetLoopState(s, false, false, false);
    charts.ResetCharts(s);
    evaluation.StartFromRest(s);
    for (int i = 0; i < 700; ++i)
        ChartTick(s, charts, evaluation);
    evaluation.KeepReference(charts);
    s.Kr = 4;
    ResetLoopState(s, false, false, false);
    charts.ResetCharts(s);
    evaluation.StartFromRest(s);
    for (int i = 0; i < 650; ++i) {
        if (i == 400) {
            s.w = 300;
            evaluation.OperatorChanged(s);
        }
        ChartTick(s, charts, evaluation);
    }
    evaluation.SetCursorAt(charts, 0, static_cast<int>(900 * ratio));
    evaluation.SetCursorAt(charts, 1, static_cast<int>(1500 * ratio));
    QImage upper = charts.ReglerImage().copy();
    QImage lower = charts.RegelstreckeImage().copy();
    upper.setDevicePixelRatio(1);
    lower.setDevicePixelRatio(1);
    for (auto _ : state) {
        QPainter top(&upper);
        evaluation.Paint(top, charts, ControllerChart);
        top.end();
        QPainter bottom(&lower);
        evaluation.Paint(bottom, charts, PlantChart);
        bottom.end();
        benchmark::ClobberMemory();
    }
    state.SetLabel(state.range(0) != 0 ? "black" : "white");
}

BENCHMARK(BM_EvaluationPaint)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 2})
    ->Unit(benchmark::kMicrosecond);

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
