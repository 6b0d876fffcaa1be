#pragma once

#include "engine/LoopState.h"
#include "engine/OperatorValues.h"

#include <string>
#include <vector>

namespace kavlon {

// One operator change due after tick `tick` (before tick + 1), as the window's
// controls would apply it between two ticks. kavlon-sim's --at and --events
// and the [Ablauf] section of an experiment file all become these.
struct ScheduledEvent {
    enum class Kind { w, z, kr, tn, tv, y, arwu, option, mode, reset, stop };
    int tick = 0;
    Kind kind = Kind::w;
    Real value = 0;   // w, z, kr, tn, tv, y
    bool on = false;  // arwu, option; for mode: true = hand
    std::string text; // the event as the user wrote it, for messages
};

// The changes of a run in the order they act: by tick, and in the order they
// were written within one tick.
using EventSchedule = std::vector<ScheduledEvent>;

// Sorts by tick and keeps the written order within a tick.
void SortSchedule(EventSchedule &events);

// Whether the change sets one of the operator's values (w, z, kr, tn, tv, y).
constexpr bool CarriesValue(ScheduledEvent::Kind k)
{
    using K = ScheduledEvent::Kind;
    return k == K::w || k == K::z || k == K::kr || k == K::tn || k == K::tv || k == K::y;
}

// The operator value a change sets; its range is the one the window's spin
// arrows obey. Only meaningful where CarriesValue holds.
constexpr SpinValue SpinValueOf(ScheduledEvent::Kind k)
{
    using K = ScheduledEvent::Kind;
    switch (k) {
    case K::z: return SpinValue::Z;
    case K::kr: return SpinValue::Kr;
    case K::tn: return SpinValue::Tn;
    case K::tv: return SpinValue::Tv;
    case K::y: return SpinValue::y;
    case K::w:
    default: return SpinValue::w; // the switches, reset and stop carry no value
    }
}

// Whether `v` lies in the operator's range for `which` (a value outside it is
// refused, never clamped, so that the author learns of the mistake).
bool InOperatorRange(SpinValue which, Real v);

// The operator's three switches as the window's radio pairs hold them; every
// reset reloads the loop's flags from them.
struct SwitchPositions {
    bool arwu = false;
    bool option = false;
    bool hand = false;
};

// Applies one change between ticks to the loop, as the window's handlers do:
// a radio pair acts only when its position changes; manual mode keeps y at
// the controller's last output; a stop pauses the timer and changes nothing
// of the loop. Returns true when the change was a reset.
bool ApplyEvent(LoopState &s, SwitchPositions &switches, const ScheduledEvent &e);

// The first change that sets y while the mode switch stands on "Regler",
// walking the schedule from the start position `hand`; null when there is
// none. The controller sets y itself in its own mode.
const ScheduledEvent *FirstYOutsideHandMode(const EventSchedule &events, bool hand);

} // namespace kavlon
