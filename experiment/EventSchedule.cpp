#include "experiment/EventSchedule.h"

#include <algorithm>
#include <cmath>

namespace kavlon {

void SortSchedule(EventSchedule &events)
{
    std::stable_sort(
        events.begin(), events.end(),
        [](const ScheduledEvent &a, const ScheduledEvent &b) { return a.tick < b.tick; });
}

bool InOperatorRange(SpinValue which, Real v)
{
    const SpinRange r = RangeOf(which);
    return std::isfinite(v) && v >= r.lo && v <= r.hi;
}

bool ApplyEvent(LoopState &s, SwitchPositions &switches, const ScheduledEvent &e)
{
    using K = ScheduledEvent::Kind;
    switch (e.kind) {
    case K::w: s.w = e.value; break;
    case K::z: s.Z = e.value; break;
    case K::kr: s.Kr = e.value; break;
    case K::tn: s.Tn = e.value; break;
    case K::tv: s.Tv = e.value; break;
    case K::y: s.y = e.value; break;
    case K::arwu:
        if (switches.arwu != e.on)
            s.ARWUOn = switches.arwu = e.on;
        break;
    case K::option:
        if (switches.option != e.on) {
            switches.option = e.on;
            ApplyOptionSwitch(s, e.on);
        }
        break;
    case K::mode:
        if (switches.hand != e.on)
            s.HandMode = switches.hand = e.on;
        break;
    case K::reset: ResetLoopState(s, switches.arwu, switches.option, switches.hand); return true;
    case K::stop: break;
    }
    return false;
}

const ScheduledEvent *FirstYOutsideHandMode(const EventSchedule &events, bool hand)
{
    for (const ScheduledEvent &e : events) {
        if (e.kind == ScheduledEvent::Kind::mode)
            hand = e.on;
        if (e.kind == ScheduledEvent::Kind::y && !hand)
            return &e;
    }
    return nullptr;
}

} // namespace kavlon
