#pragma once

#include "cli/SimOptions.h"
#include "engine/LoopState.h"

#include <cstdio>

namespace kavlon::sim {

// The switches and the change between ticks are the schedule's own.
using kavlon::ApplyEvent;
using kavlon::SwitchPositions;

// The loop at the start of a run: at rest with the switches and start values applied.
LoopState StartState(const SimOptions &o, SwitchPositions &switches);

// Sees the run as the window's charts do: once at the start, after every
// reset, and within every tick after the engine steps and before TickCount
// goes up.
class TickObserver {
public:
    virtual ~TickObserver() = default;
    virtual void Reset(const LoopState &s) = 0;
    virtual void Tick(const LoopState &s) = 0;
    // Once at the end, after the changes due after the last tick.
    virtual void Finished(const LoopState &) {}
};

// Whether a change between ticks acted on the loop: a value or a flag the
// engine reads differs. A switch put where it already stood, or the option
// switch of a plant that has none, changes nothing and ends no step segment.
bool ActsOnLoop(const LoopState &before, const LoopState &after);

// The German form's text block for a run that starts from `start`, dated now.
CsvTitle RunTitle(const LoopState &start);

// Runs the whole simulation and writes the CSV to out and, when `metrics` is
// given, the step segments with their figures to it. Returns false when
// writing failed.
bool RunSimulation(const SimOptions &o, std::FILE *out, TickObserver *observer = nullptr,
                   std::FILE *metrics = nullptr);

} // namespace kavlon::sim
