#include "engine/Plants.h"

#include "engine/Controller.h"

#include <cmath>

namespace kavlon {

Real LagStep(Real input, Real T, Real &state)
{
    const Real out = (input + T * state) / (T + 1);
    state = out;
    return out;
}

void PT3Chain(LoopState &s)
{
    Real r = LagStep(s.PlantSignal, 7, s.LagState1);
    r = LagStep(r, 9, s.LagState2);
    r = LagStep(r, 12, s.LagState3);
    s.PlantSignal = Clamp(r, 0, 100);
}

void PT2Chain(LoopState &s)
{
    Real r = LagStep(s.PlantSignal, 5, s.LagState1);
    r = LagStep(r, 10, s.LagState2);
    s.PlantSignal = Clamp(r, 0, 100);
}

void DisturbanceInput(LoopState &s) { s.PlantSignal = Clamp(s.PlantSignal + s.Z / 8, 0, 100); }

void Measure(LoopState &s)
{
    s.PlantOutput = s.PlantSignal;
    s.x = Clamp(8 * s.PlantOutput, 0, 800);
}

Real DelayLineStep(RealLine &line, int n, Real value)
{
    line[1] = value;
    for (int i = n; i >= 2; --i)
        line[i] = line[i - 1];
    return line[n];
}

void CompensationModelStep(LoopState &s, Real T1, Real T2, Real N)
{
    const int n = static_cast<int>(std::lrint(N));
    Real m = LagStep(s.PlantSignal, T1, s.LagState1);
    m = LagStep(m, T2, s.LagState2);
    m = Clamp(m, 0, 100);
    const Real d = DelayLineStep(s.ModelDelayLine, n, m);
    s.CompSignal = m - d;
}

void PlantAStep(LoopState &s)
{
    DisturbanceInput(s);
    PT3Chain(s);
    Measure(s);
}

void PlantBStep(LoopState &s)
{
    DisturbanceInput(s);
    PT3Chain(s);
    s.PlantSignal = DelayLineStep(s.DelayLine, 30, s.PlantSignal);
    Measure(s);
}

void PlantCStep(LoopState &s)
{
    const Real v = Clamp(s.PlantSignal + s.Z / 8, 0, 100);

    for (int i = 20; i >= 2; --i)
        s.SetPointHistory[i] = s.SetPointHistory[i - 1];
    s.SetPointHistory[1] = s.w;
    s.SetPointMean = s.SetPointMean + (s.SetPointHistory[1] - s.SetPointHistory[20]) / 19;

    if (s.StrKOn) {
        s.PlantSignal = v;
    } else if (s.HandMode) {
        // The plant's static characteristic, evaluated left to right.
        s.PlantSignal = 4.6718L * v + 1.5535L - 0.10675L * v * v + 0.0011608L * v * v * v
                        - 4.6227e-6L * v * v * v * v;
        s.PlantSignal = Clamp(s.PlantSignal, 0, 100);
    } else {
        const Real g = Clamp(6 - 0.00625L * (s.SetPointMean / 0.75L), 1, 6);
        s.PlantSignal = Clamp(g * v, 0, 100);
    }

    PT3Chain(s);
    Measure(s);
}

void PlantDStep(LoopState &s)
{
    DisturbanceInput(s);
    PT2Chain(s);
    Measure(s);
}

void PlantEStep(LoopState &s)
{
    const Real v = s.PlantSignal + s.Z / 8; // deliberately not limited
    s.IntegratorState = Clamp(s.IntegratorState + 0.1L * (s.PrevIntegratorInput + v) / 2, 0, 100);
    s.PrevIntegratorInput = v;
    s.PlantSignal = s.IntegratorState;
    PT2Chain(s);
    Measure(s);
}

void PlantFGStep(LoopState &s)
{
    DisturbanceInput(s);
    if (s.PlantIndex == 5)
        CompensationModelStep(s, 5, 10, 20);
    else
        CompensationModelStep(s, 4, 11, 16);
    PT2Chain(s);
    s.PlantSignal = DelayLineStep(s.DelayLine, 20, s.PlantSignal);
    Measure(s);
}

void PlantStep(LoopState &s)
{
    switch (s.PlantIndex) {
    case 0: PlantAStep(s); break;
    case 1: PlantBStep(s); break;
    case 2: PlantCStep(s); break;
    case 3: PlantDStep(s); break;
    case 4: PlantEStep(s); break;
    case 5:
    case 6: PlantFGStep(s); break;
    default: break; // no plant selected: nothing runs
    }
}

void SimulationStep(LoopState &s)
{
    ControllerStep(s);
    PlantStep(s);
}

} // namespace kavlon
