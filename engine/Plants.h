#pragma once

#include "engine/LoopState.h"

namespace kavlon {

// One implicit-Euler step of T*d(out)/dt = input - out (unit gain):
//   out = (input + T*state)/(T + 1); state := out. No limit inside.
Real LagStep(Real input, Real T, Real &state);

// Lags 7, 9, 12 (PT3) or 5, 10 (PT2) on PlantSignal; the chain output is
// limited to 0..100, the lag states are not.
void PT3Chain(LoopState &s);
void PT2Chain(LoopState &s);

// PlantSignal := Clamp(PlantSignal + Z/8, 0, 100).
void DisturbanceInput(LoopState &s);

// PlantOutput := PlantSignal; x := Clamp(8*PlantOutput, 0, 800). Ends every plant step.
void Measure(LoopState &s);

// Pushes value into entry 1, shifts entries N..2 one place towards the outlet
// and returns entry N: the value written N - 2 ticks before (0 until then).
Real DelayLineStep(RealLine &line, int n, Real value);

// The compensation model of plants F and G (Smith predictor): lags T1, T2 on
// PlantSignal (advancing the plant's own LagState1/2), limited to 0..100, then
// a delay line of round(N) entries; CompSignal := model output - delayed output.
void CompensationModelStep(LoopState &s, Real T1, Real T2, Real N);

void PlantAStep(LoopState &s);  // PT3
void PlantBStep(LoopState &s);  // PT3, then 30-entry delay line (28 ticks)
void PlantCStep(LoopState &s);  // set-point dependent gain or static curve, then PT3
void PlantDStep(LoopState &s);  // PT2
void PlantEStep(LoopState &s);  // trapezoidal integrator (0.1/tick), then PT2
void PlantFGStep(LoopState &s); // PT2, 20-entry line, compensation model F or G

// One plant step chosen by PlantIndex.
void PlantStep(LoopState &s);

// The engine's tick: ControllerStep, then PlantStep.
void SimulationStep(LoopState &s);

} // namespace kavlon
