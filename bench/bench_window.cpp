// The main window's tick (ActionOnTimer) in a 1920 x 1080 window with full
// 600-sample lists, with and without the repaint that follows it, and with
// every evaluation overlay on (cursors, band, figures, reference); the time
// from creating the window to its first painted showing; and the resident
// memory after an hour of simulated ticks. Runs on the offscreen platform with
// a throw-away settings folder, so the user's preferences are never touched.
#include "app/ChartView.h"
#include "app/MainForm.h"
#include "charts/Evaluation.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>

namespace {

using kavlon::TKavlonMain;

std::unique_ptr<TKavlonMain> MaximisedWindow()
{
    auto w = std::make_unique<TKavlonMain>();
    w->show();
    // The offscreen screen is small; the window is given the full-HD size.
    for (int i = 0; i < 3 && w->size() != QSize(1920, 1080); ++i) {
        w->resize(1920, 1080);
        QCoreApplication::processEvents();
    }
    return w;
}

// Keeps the loop moving over its whole range: a set-point step every 200 ticks.
void Tick(TKavlonMain &w, std::int64_t &n)
{
    if (n++ % 200 == 0)
        w.Loop().w = w.Loop().w > 400 ? 200 : 700;
    w.ActionOnTimer();
}

void BM_ActionOnTimer(benchmark::State &state)
{
    auto w = MaximisedWindow();
    std::int64_t n = 0;
    for (int i = 0; i < 650; ++i)
        Tick(*w, n);
    for (auto _ : state)
        Tick(*w, n);
    state.counters["image_w"] = w->Charts().ImageWidth();
    state.counters["image_h"] = w->Charts().ImageHeight();
}
BENCHMARK(BM_ActionOnTimer)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ActionOnTimerAndPaint(benchmark::State &state)
{
    auto w = MaximisedWindow();
    std::int64_t n = 0;
    for (int i = 0; i < 650; ++i)
        Tick(*w, n);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        Tick(*w, n);
        w->repaint();
    }
}
BENCHMARK(BM_ActionOnTimerAndPaint)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void Trigger(TKavlonMain &w, const char *item)
{
    w.findChild<QAction *>(QString::fromLatin1(item))->trigger();
}

// The switches are stored: a window may start with one already on.
void SwitchOn(TKavlonMain &w, const char *item)
{
    if (!w.findChild<QAction *>(QString::fromLatin1(item))->isChecked())
        Trigger(w, item);
}

// A left click (with Shift: the second cursor) at the column of `tick`.
void ClickAtTick(TKavlonMain &w, std::int32_t tick, Qt::KeyboardModifiers modifiers)
{
    auto *view = w.findChild<kavlon::ChartView *>(QStringLiteral("RegelstreckeImage"));
    const std::optional<int> x =
        kavlon::TickColumn(w.Charts(), w.ChartEvaluation().NewestTick(), tick);
    if (!view || !x)
        return;
    const QPointF at(*x, 50);
    QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(view, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, view->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(view, &release);
}

// Cursors, figures with the 5 % band and a reference, kept in view: the cursor
// names a tick and the reference a run's ticks, so both are placed afresh
// every 50 ticks (a copy of 600 samples and a search, a few microseconds).
void KeepOverlaysInView(TKavlonMain &w, std::int64_t n)
{
    if (n % 50 != 0)
        return;
    const std::int32_t newest = w.ChartEvaluation().NewestTick();
    ClickAtTick(w, newest - 300, Qt::NoModifier);
    ClickAtTick(w, newest - 100, Qt::ShiftModifier);
    Trigger(w, "KurveMerken");
}

void EvaluationTicks(benchmark::State &state, bool withTable)
{
    auto w = MaximisedWindow();
    SwitchOn(*w, "Messcursor");
    SwitchOn(*w, "Kennwerte");
    Trigger(*w, "Toleranzband5");
    if (withTable)
        Trigger(*w, "KennwerteTabelle");
    std::int64_t n = 0;
    for (int i = 0; i < 650; ++i)
        Tick(*w, n);
    KeepOverlaysInView(*w, 0);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        KeepOverlaysInView(*w, n);
        Tick(*w, n);
        w->repaint();
    }
    state.counters["shows"] = w->ChartEvaluation().ShowsAnything() ? 1 : 0;
}

void BM_ActionOnTimerAndPaintEvaluating(benchmark::State &state) { EvaluationTicks(state, false); }
BENCHMARK(BM_ActionOnTimerAndPaintEvaluating)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ActionOnTimerAndPaintEvaluatingWithTable(benchmark::State &state)
{
    EvaluationTicks(state, true);
}
BENCHMARK(BM_ActionOnTimerAndPaintEvaluatingWithTable)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_StartUpToWindowShown(benchmark::State &state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto w = std::make_unique<TKavlonMain>();
        w->showMaximized();
        w->repaint();
        QCoreApplication::processEvents();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        w.reset();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_StartUpToWindowShown)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

void BM_HourOfTicksResidentMemory(benchmark::State &state)
{
    auto w = MaximisedWindow();
    std::int64_t n = 0;
    for (auto _ : state) {
        for (int i = 0; i < 3600; ++i)
            Tick(*w, n);
        QCoreApplication::processEvents();
    }
    state.counters["rss_MiB"] = static_cast<double>(ResidentKiB()) / 1024.0;
}
BENCHMARK(BM_HourOfTicksResidentMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsFolder;
    if (!settingsFolder.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsFolder.path()));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
