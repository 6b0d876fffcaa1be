#pragma once

#include "analysis/ParameterSweep.h"
#include "analysis/StepResponse.h"
#include "cli/SimOptions.h"

#include <functional>
#include <string>
#include <vector>

namespace kavlon::sim {

// The step test of --identify: the run of the options up to tick --ticks
// (with their changes), then the mode switch to manual, as the window's switch
// does it (y stays at the controller's last output, y0), and y1 from the next
// tick on, recorded until x settles or the test time is up. Returns false with
// an error line when y1 equals y0, where there is no step to see.
bool RunStepTest(const SimOptions &o, StepIdentification &result, std::string &error);

// One point of --sweep: the run of the options with Kr, Tn and Tv set, and its
// first step segment with the tolerance band of --band.
SweepCell RunSweepPoint(const SimOptions &o, Real kr, Real tn, Real tv);

// Every point of o.sweep on `threads` threads (0: one per core).
std::vector<SweepCell> RunSweepOf(const SimOptions &o, unsigned threads,
                                  const std::function<void(std::int64_t done)> &progress = {});

// The sweep CSV: header and one row per point.
std::string SweepCsv(const SweepPlan &plan, const std::vector<SweepCell> &cells);

} // namespace kavlon::sim
