#pragma once

#include "analysis/RunRecorder.h"
#include "analysis/StepMetrics.h"
#include "engine/LoopTick.h"
#include "engine/OperatorValues.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kavlon {

// One swept operator value, LO:HI:STEP on the value's spin grid (tenths for
// Kr and Tv, whole seconds for Tn). Point i is computed from whole numbers of
// grid steps, (lo + i * step) / grid, never by adding up steps, so it is the
// same long double as the value typed as a number or set with the arrows.
struct SweepAxis {
    std::int64_t loSteps{0};   // LO in grid steps
    std::int64_t stepSteps{1}; // STEP in grid steps, at least 1
    std::int32_t count{1};     // points from LO up to HI
    bool tenths{false};

    Real At(std::int32_t i) const;
    Real Lo() const { return At(0); }
    Real Hi() const { return At(count - 1); }
};

// Reads "LO:HI:STEP" for the value `which`; on failure returns an error text
// (English, for kavlon-sim) and leaves `axis` alone.
std::string ParseSweepAxis(const std::string &text, SpinValue which, SweepAxis &axis);

// What is swept: Kr and Tn always, Tv optionally (otherwise it stays fixed).
struct SweepPlan {
    SweepAxis kr;
    SweepAxis tn;
    std::optional<SweepAxis> tv;
    Real fixedTv{0};

    std::int32_t TvCount() const { return tv ? tv->count : 1; }
    std::int64_t Points() const;
    // Point index = (tv index * Tn count + Tn index) * Kr count + Kr index.
    Real KrOf(std::int64_t point) const;
    Real TnOf(std::int64_t point) const;
    Real TvOf(std::int64_t point) const;
};

// The most points one sweep runs, to keep a mistyped range from running for
// days or filling the memory.
inline constexpr std::int64_t MaxSweepPoints = 4'000'000;

// The metric a map shows.
enum class SweepMetric { IAE, Overshoot, Settling };

// One point's figures: the run's first step segment, empty when no segment
// started (a run in manual mode).
using SweepCell = std::optional<StepSegment>;

// The value of `metric` in a cell; empty where it does not exist.
std::optional<Real> MetricOf(const SweepCell &cell, SweepMetric metric);

// Whether x came to rest in the band: the segment has a settling time. A loop
// that oscillates or creeps never does.
bool CellSettled(const SweepCell &cell);

// The best point of one Tv layer: the smallest value of `metric` among the
// settled cells; on a tie the smaller IAE (many cells overshoot by 0 %), then
// the first in point order; -1 if no cell is settled.
std::int64_t BestPoint(const SweepPlan &plan, const std::vector<SweepCell> &cells,
                       SweepMetric metric, std::int32_t tvIndex);

// Runs one point of the sweep: the scenario with Kr, Tn and Tv set.
using SweepRunner = std::function<SweepCell(Real kr, Real tn, Real tv)>;

// Progress and cancelling, shared with whoever watches the sweep.
struct SweepControl {
    std::atomic<std::int64_t> done{0};
    std::atomic<bool> cancel{false};
};

// Runs every point on `threads` threads (at least one). Each point is run on
// its own and written to its own place, so the result does not depend on the
// number of threads. `progress` (if any) is called on the calling thread about
// ten times a second with the points done. A cancelled sweep returns the
// cells done so far and leaves the others empty.
std::vector<SweepCell> RunSweep(const SweepPlan &plan, const SweepRunner &run, unsigned threads,
                                SweepControl *control = nullptr,
                                const std::function<void(std::int64_t done)> &progress = {});

// What happened between two ticks of a scenario.
enum class BetweenTicks { Nothing, Changed, Restarted };

// The loop run from `start` for `ticks` ticks as kavlon-sim and the window
// tick it, and its first step segment. `between(s, tick, note)` applies the
// operator's changes due after tick `tick` (0: before the first tick) and
// calls note(BetweenTicks) after each change that acted on the loop or
// restarted it from rest. The run stops as soon as the first segment ends.
template <typename Between>
SweepCell FirstSegmentOfRun(LoopState s, std::int32_t ticks, Real bandPercent, Between &&between)
{
    RunRecorder recorder;
    recorder.SetBandPercent(bandPercent);
    recorder.StartFromRest(s);
    auto note = [&](BetweenTicks what) {
        if (what == BetweenTicks::Restarted)
            recorder.StartFromRest(s);
        else if (what == BetweenTicks::Changed)
            recorder.OperatorChanged(s);
    };
    between(s, 0, note);
    for (std::int32_t tick = 0; tick < ticks && recorder.CompletedTotal() == 0;) {
        ++tick;
        LoopTick(s, [&](const LoopState &t) { recorder.Sample(t); });
        between(s, tick, note);
    }
    recorder.Finish();
    if (recorder.Completed().empty())
        return std::nullopt;
    return recorder.Completed().front();
}

// The sweep's CSV: a header "kr,tn,tv,rise,settling,overshoot,emax,
// steady_error,iae" and one row per point in point order, the figures written
// as in the metrics CSV.
std::string SweepCsvHeader();
std::string SweepCsvRow(const SweepPlan &plan, std::int64_t point, const SweepCell &cell);

} // namespace kavlon
