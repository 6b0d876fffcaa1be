// What the recording of every tick costs the window: its share of the chart
// tick as the window runs it (engine step, charts, evaluation, 1916 x 300
// images), clocked within that tick, and its sample alone; the time to save
// a full day (86,400 ticks) in either form, through the temporary file and
// its rename as the window saves; and the recording's memory.
#include "analysis/CsvWriter.h"
#include "analysis/MeasuredRun.h"
#include "app/MeasuredDataFile.h"
#include "charts/Evaluation.h"
#include "charts/LiveCharts.h"
#include "engine/LoopTick.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace {

using namespace kavlon;

// Steps in w and Z and a manual-mode spell keep every value moving.
void Operate(LoopState &s)
{
    if (s.TickCount % 150 == 0)
        s.w = s.w > 400 ? 200 : 600;
    if (s.TickCount % 220 == 0)
        s.Z = s.Z < 0 ? 50 : -150;
    if (s.TickCount % 400 == 0)
        s.HandMode = !s.HandMode;
}

// The chart tick as the window runs it, with the recording as its last
// observer; the time spent in the recording is clocked within each tick, so
// its share of the tick is measured on the very same tick (a comparison of
// two separate runs drowns the difference in the noise of a shared machine).
void BM_WindowChartTickRecording(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    LiveCharts charts;
    charts.SetImageSize(1916, 300);
    charts.SetTimeAxisLength(600);
    Evaluation evaluation;
    MeasuredRun run;
    LoopState s;
    s.PlantIndex = 5;
    ResetLoopState(s, true, true, false);
    charts.ResetCharts(s);
    evaluation.StartFromRest(s);
    run.StartFromRest(s);
    Clock::duration inRecording{};
    Clock::duration inTick{};
    std::int64_t n = 0;
    const auto tick = [&] {
        Operate(s);
        const auto t0 = Clock::now();
        ChartTick(s, charts, evaluation, [&](const LoopState &t) {
            const auto r0 = Clock::now();
            run.Sample(t);
            inRecording += Clock::now() - r0;
        });
        inTick += Clock::now() - t0;
    };
    for (int i = 0; i < 700; ++i)
        tick();
    inRecording = inTick = {};
    for (auto _ : state) {
        tick();
        ++n;
        benchmark::ClobberMemory();
    }
    const auto per = [n](Clock::duration d) {
        return std::chrono::duration<double, std::micro>(d).count() / static_cast<double>(n);
    };
    state.counters["tick_us"] = per(inTick);
    state.counters["recording_us"] = per(inRecording);
    state.counters["share_pct"] = 100.0 * per(inRecording) / per(inTick);
}
BENCHMARK(BM_WindowChartTickRecording)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The recording's part of a tick alone, over whole runs of a day (so that
// the allocation of each new chunk is counted), restarting after each.
void BM_RecordSample(benchmark::State &state)
{
    MeasuredRun run;
    LoopState s;
    s.PlantIndex = 5;
    ResetLoopState(s, false, true, false);
    run.StartFromRest(s);
    for (auto _ : state) {
        if (s.TickCount == 86'400) {
            ResetLoopState(s, false, true, false);
            run.StartFromRest(s);
        }
        Operate(s);
        s.x += 0.001L; // a value that changes, without the cost of the engine
        run.Sample(s);
        ++s.TickCount;
    }
}
BENCHMARK(BM_RecordSample)
    ->Unit(benchmark::kNanosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

MeasuredRun DayOfPlantF()
{
    MeasuredRun run;
    LoopState s;
    s.PlantIndex = 5;
    ResetLoopState(s, false, true, false);
    run.StartFromRest(s);
    for (int i = 0; i < 86'400; ++i) {
        const LoopState before = s;
        Operate(s);
        run.Note(ChangeText(before, s));
        LoopTick(s, [&run](const LoopState &t) { run.Sample(t); });
    }
    return run;
}

void SaveDay(benchmark::State &state, CsvForm form)
{
    static const MeasuredRun run = DayOfPlantF();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tag.csv"));
    CsvTitle title;
    title.Program = "bench";
    title.Start = run.Start();
    for (auto _ : state) {
        const QString failure = WriteMeasuredFile(run, title, form, path);
        if (!failure.isEmpty())
            state.SkipWithError(failure.toStdString().c_str());
    }
    state.counters["rows"] = static_cast<double>(run.Size());
    state.counters["MiB_file"] = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
}

void BM_SaveDayGerman(benchmark::State &state) { SaveDay(state, CsvForm::German); }
BENCHMARK(BM_SaveDayGerman)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_SaveDayInternational(benchmark::State &state) { SaveDay(state, CsvForm::International); }
BENCHMARK(BM_SaveDayInternational)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The memory of a day's and of a full (48 h) recording.
void BM_RecordingMemory(benchmark::State &state)
{
    const auto ticks = static_cast<std::size_t>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        MeasuredRun run;
        LoopState s;
        s.PlantIndex = 5;
        ResetLoopState(s, false, true, false);
        run.StartFromRest(s);
        for (std::size_t i = 0; i < ticks; ++i) {
            const LoopState before = s;
            Operate(s);
            run.Note(ChangeText(before, s));
            LoopTick(s, [&run](const LoopState &t) { run.Sample(t); });
        }
        bytes = run.MemoryBytes();
    }
    state.counters["MiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.counters["bytes_per_tick"] = static_cast<double>(bytes) / static_cast<double>(ticks);
}
BENCHMARK(BM_RecordingMemory)
    ->Arg(86'400)
    ->Arg(static_cast<int64_t>(MeasuredRun::MaxTicks))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
