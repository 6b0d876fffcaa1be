#include "cli/SimTuning.h"

#include "cli/SimRun.h"
#include "engine/LoopTick.h"
#include "engine/PlantTable.h"

#include <thread>

namespace kavlon::sim {

namespace {

// Applies the options' changes due after `tick`, starting at `next`, and tells
// `note` of each that acted on the loop, as RunSimulation tells its recorder.
template <typename Note> void ApplyDue(const SimOptions &o,
                                       std::vector<SimEvent>::const_iterator &next, LoopState &s,
                                       SwitchPositions &switches, std::int32_t tick, Note &&note)
{
    for (; next != o.events.end() && next->tick == tick; ++next) {
        const LoopState before = s;
        if (ApplyEvent(s, switches, *next))
            note(BetweenTicks::Restarted);
        else if (ActsOnLoop(before, s))
            note(BetweenTicks::Changed);
    }
}

} // namespace

bool RunStepTest(const SimOptions &o, StepIdentification &result, std::string &error)
{
    SwitchPositions switches;
    LoopState s = StartState(o, switches);
    auto next = o.events.cbegin();
    auto ignore = [](BetweenTicks) {};
    ApplyDue(o, next, s, switches, 0, ignore);
    for (std::int32_t tick = 0; tick < o.ticks;) {
        ++tick;
        LoopTick(s);
        ApplyDue(o, next, s, switches, tick, ignore);
    }

    SimEvent manual;
    manual.kind = SimEvent::Kind::mode;
    manual.on = true;
    ApplyEvent(s, switches, manual);
    const Real y0 = s.y;
    const Real y1 = *o.identify;
    if (y1 == y0) {
        error = "--identify: y1 equals y0 (the output before the step), so there is no step";
        return false;
    }
    StepTestRecorder recorder(s.TickCount, s.x, y0, y1,
                              Plants[static_cast<std::size_t>(s.PlantIndex)].selfRegulating);
    s.y = y1;
    bool more = true;
    while (more)
        LoopTick(s, [&](const LoopState &t) { more = recorder.Add(t.x); });
    result = recorder.Evaluate();
    return true;
}

SweepCell RunSweepPoint(const SimOptions &o, Real kr, Real tn, Real tv)
{
    SwitchPositions switches;
    LoopState start = StartState(o, switches);
    start.Kr = kr;
    start.Tn = tn;
    start.Tv = tv;
    auto next = o.events.cbegin();
    return FirstSegmentOfRun(start, o.ticks, o.bandPercent,
                             [&](LoopState &s, std::int32_t tick, auto &&note) {
                                 ApplyDue(o, next, s, switches, tick, note);
                             });
}

std::vector<SweepCell> RunSweepOf(const SimOptions &o, unsigned threads,
                                  const std::function<void(std::int64_t)> &progress)
{
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    return RunSweep(
        *o.sweep, [&o](Real kr, Real tn, Real tv) { return RunSweepPoint(o, kr, tn, tv); }, threads,
        nullptr, progress);
}

std::string SweepCsv(const SweepPlan &plan, const std::vector<SweepCell> &cells)
{
    std::string out = SweepCsvHeader();
    for (std::size_t p = 0; p < cells.size(); ++p)
        out += SweepCsvRow(plan, static_cast<std::int64_t>(p), cells[p]);
    return out;
}

} // namespace kavlon::sim
