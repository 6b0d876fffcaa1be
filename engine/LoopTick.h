#pragma once

#include "engine/LoopState.h"
#include "engine/Plants.h"

namespace kavlon {

// One tick of the loop, the only place its order is written down: the engine
// step (ControllerStep, then PlantStep); then `observe` sees the new values
// while TickCount still counts the ticks before this one (the charts sample
// here and mark the scale with that count); then TickCount goes up. The
// window, kavlon-sim, the tests and the benchmarks all tick through here.
template <typename Observer> void LoopTick(LoopState &s, Observer &&observe)
{
    SimulationStep(s);
    observe(static_cast<const LoopState &>(s));
    ++s.TickCount;
}

// A tick that nothing watches.
inline void LoopTick(LoopState &s)
{
    LoopTick(s, [](const LoopState &) {});
}

} // namespace kavlon
