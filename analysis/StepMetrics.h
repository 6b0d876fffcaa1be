#pragma once

#include "engine/LoopState.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kavlon {

// What started a segment: a step of the set point w (Führungssprung) or, with
// w unchanged at that moment, a step of the disturbance Z (Störsprung).
enum class StepKind { SetPoint, Disturbance };

// The tolerance band the window offers (1 %, 2 %, 5 %); any positive value works.
inline constexpr Real DefaultBandPercent = 2;

// One step segment and its figures. One tick is one second; times are the
// elapsed seconds k - Start of sample k. The samples are x after ticks
// Start+1 .. End; a figure that does not exist is empty, and with no sample
// yet (End == Start) none does.
struct StepSegment {
    std::int32_t Start{0}; // t0: TickCount when the step was made
    std::int32_t End{0};   // t1: tick number of the last sample
    StepKind Kind{StepKind::SetPoint};
    Real Target{0};                  // w1, the set point in force during the segment
    Real Delta{0};                   // w1 - w0 for a set-point step, Z1 - Z0 for a disturbance step
    Real Band{0};                    // half-width b of the tolerance band around Target
    std::optional<Real> Rise;        // Anregelzeit: first k - t0 with |w1 - x_k| <= b
    std::optional<Real> Settling;    // Ausregelzeit: first k - t0 from which all samples stay in
    std::optional<Real> Overshoot;   // Überschwingweite in per cent of |Delta|, set-point steps
    std::optional<Real> MaxError;    // e_max = max |w1 - x_k|
    std::optional<Real> SteadyError; // bleibende Regelabweichung w1 - x at the last sample
    std::optional<Real> IAE;         // sum of |w1 - x_k| * 1 s, summed in tick order
};

// b = p * |delta| / 100. Multiplying before dividing keeps the usual figures
// exact (2 % of 500 is exactly 10).
Real BandHalfWidth(Real bandPercent, Real delta);

// Overshoot in per cent from the largest excess beyond the target in the
// direction of the step, max(0, max_k (x_k - w1) * sign delta):
// excess * 100 / |delta|. Empty for delta == 0, where no direction exists.
std::optional<Real> OvershootPercent(Real excess, Real delta);

// The figures straight from their definitions, over all samples at once: the
// independent evaluation the recorder's incremental figures are checked
// against. `head` gives Start, Kind, Target, Delta and Band; the result is head
// with End = Start + samples.size() and every figure set from the samples
// (x after ticks Start+1 .. End). Disturbance steps get no overshoot.
StepSegment EvaluateSegment(StepSegment head, std::span<const Real> samples);

// The metrics CSV of kavlon-sim --metrics: the header line and one line per
// segment, each ending in '\n'. Kind is w or Z; a figure that does not exist is
// an empty field; times are whole seconds; other numbers are the shortest
// text that reads back to the same long double, zero without a sign.
std::string MetricsCsvHeader();
std::string MetricsCsvRow(const StepSegment &segment);

// The six figures of a row, "rise,settling,overshoot,emax,steady_error,iae",
// written as MetricsCsvRow writes them, without a line end.
std::string MetricsCsvFigures(const StepSegment &segment);

} // namespace kavlon
