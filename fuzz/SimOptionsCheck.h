#pragma once

// What every outcome of ParseArguments promises the run: either one line of
// error and nothing else to go on, or options the run can take as they are.
#include "cli/SimOptions.h"
#include "engine/OperatorValues.h"
#include "engine/PlantTable.h"
#include "fuzz/FuzzScratch.h"

#include <cmath>

namespace kavlon::fuzz {

inline bool InRange(SpinValue which, Real v)
{
    const SpinRange r = RangeOf(which);
    return std::isfinite(v) && v >= r.lo && v <= r.hi;
}

// `quotedNewline`: an argument holds a line break, which an error quoting
// that argument repeats.
inline void CheckParseResult(const sim::ParseResult &result, bool quotedNewline = false)
{
    using sim::SimEvent;
    if (!result.ok()) {
        if (!quotedNewline && result.error.find('\n') != std::string::npos)
            Broken("a parse error runs over more than one line");
        return;
    }
    const sim::SimOptions &o = result.options;
    if (o.help || o.version)
        return;
    if (o.plant < 0 || o.plant >= PlantCount)
        Broken("the plant is outside the table");
    if (o.ticks < 0)
        Broken("a negative number of ticks");
    if (!InRange(SpinValue::w, o.w) || !InRange(SpinValue::Z, o.z) || !InRange(SpinValue::Kr, o.kr)
        || !InRange(SpinValue::Tn, o.tn) || !InRange(SpinValue::Tv, o.tv)
        || !InRange(SpinValue::y, o.y))
        Broken("a start value outside the operator's range");
    if (o.timeAxis != 180 && o.timeAxis != 300 && o.timeAxis != 600)
        Broken("a time axis the charts do not offer");
    if (o.chartWidth < 81 || o.chartHeight < 21 || o.chartWidth > 8000 || o.chartHeight > 8000)
        Broken("a chart size the chart arithmetic cannot take");
    if (!(o.bandPercent > 0 && o.bandPercent <= 100))
        Broken("a tolerance band outside 0..100 per cent");
    bool hand = o.hand;
    int lastTick = 0;
    for (const SimEvent &e : o.events) {
        if (e.tick < lastTick)
            Broken("the events are not in tick order");
        lastTick = e.tick;
        if (e.tick < 0 || e.tick > o.ticks)
            Broken("an event outside the run");
        switch (e.kind) {
        case SimEvent::Kind::w:
            if (!InRange(SpinValue::w, e.value))
                Broken("w out of range");
            break;
        case SimEvent::Kind::z:
            if (!InRange(SpinValue::Z, e.value))
                Broken("z out of range");
            break;
        case SimEvent::Kind::kr:
            if (!InRange(SpinValue::Kr, e.value))
                Broken("kr out of range");
            break;
        case SimEvent::Kind::tn:
            if (!InRange(SpinValue::Tn, e.value))
                Broken("tn out of range");
            break;
        case SimEvent::Kind::tv:
            if (!InRange(SpinValue::Tv, e.value))
                Broken("tv out of range");
            break;
        case SimEvent::Kind::y:
            if (!InRange(SpinValue::y, e.value))
                Broken("y out of range");
            if (!hand)
                Broken("a y change while the controller sets y");
            break;
        case SimEvent::Kind::mode: hand = e.on; break;
        default: break;
        }
    }
    if (o.identify && !InRange(SpinValue::y, *o.identify))
        Broken("a step test to an output outside 0..100");
    if (o.identify && o.sweep)
        Broken("a step test and a sweep at once");
    if (o.threads < 0 || o.threads > 256)
        Broken("a thread count the sweep cannot take");
    if (o.sweep) {
        const SweepPlan &sw = *o.sweep;
        if (sw.Points() < 1 || sw.Points() > MaxSweepPoints)
            Broken("a sweep with no points or too many");
        if (o.sweepCsv.empty() && o.sweepPng.empty())
            Broken("a sweep that writes nothing");
        const auto axisInRange = [](const SweepAxis &a, SpinValue which) {
            return a.count >= 1 && a.stepSteps >= 1 && InRange(which, a.Lo())
                   && InRange(which, a.Hi());
        };
        if (!axisInRange(sw.kr, SpinValue::Kr) || !axisInRange(sw.tn, SpinValue::Tn)
            || (sw.tv && !axisInRange(*sw.tv, SpinValue::Tv)))
            Broken("a swept value outside the operator's range");
    }
}

} // namespace kavlon::fuzz
