#pragma once

#include <array>
#include <cstdint>

namespace kavlon {

// Every value of the loop and of the charts is a long double: the 80-bit
// extended real on x86 and x86-64.
using Real = long double;

// A delay line or history of 50 reals addressed 1..50 (entry 1 is the newest).
struct RealLine {
    std::array<Real, 50> entries{};
    Real &operator[](int i) { return entries[static_cast<std::size_t>(i - 1)]; }
    Real operator[](int i) const { return entries[static_cast<std::size_t>(i - 1)]; }
};

// The one record of the simulated loop. Between ticks PlantSignal equals
// PlantOutput and x equals Clamp(8 * PlantOutput, 0, 800).
struct LoopState {
    std::uint8_t PlantIndex{0}; // 0..6 = plants A..G
    std::int32_t Speed{10};     // ticks per 10 s of wall time, 1..100
    std::int32_t TickCount{0};  // ticks since the last reset
    Real w{500};                // set point, 0..800
    Real x{0};                  // process value, 0..800
    Real y{0};                  // controller output, 0..100
    Real Z{0};                  // disturbance, -200..200, enters the plant as Z/8
    Real yp{0};                 // P part, -100..200
    Real yi{0};                 // I part, 0..100 after its limit
    Real yd{0};                 // D part, -100..100
    Real PlantOutput{0};        // plant output before scaling, 0..100
    Real PlantSignal{0};        // value handed along the plant chain within a tick
    Real CompSignal{0};         // dead-time compensation signal of plants F and G
    Real Kr{4};                 // gain; 0 = P part off
    Real Tn{45};                // reset time in ticks; 0 = I part off
    Real Tv{0};                 // derivative time in ticks; 0 = D part off
    Real PrevError{0};          // scaled control error of the previous step
    Real PrevX{0};              // x seen by the previous controller step
    Real LagState1{0};
    Real LagState2{0};
    Real LagState3{0};
    Real SetPointMean{0};        // running mean of w over 19 ticks (plant C)
    Real IntegratorState{0};     // plant E's integrator, 0..100
    Real PrevIntegratorInput{0}; // plant E's integrator input of the previous tick
    RealLine DelayLine{};        // plant B uses 1..30, F and G 1..20
    RealLine ModelDelayLine{};   // model of F uses 1..20, of G 1..16
    RealLine SetPointHistory{};  // the last 20 set points (plant C)
    bool ARWUOn{false};
    bool TotKOn{false};
    bool StrKOn{false};
    bool HandMode{false};
};

// The one limiter: hi when v > hi, otherwise lo when v < lo, otherwise v.
// The upper bound is tested first.
constexpr Real Clamp(Real v, Real lo, Real hi)
{
    if (v > hi)
        return hi;
    if (v < lo)
        return lo;
    return v;
}

// Restarts the loop from rest. The flags come from the operator's three
// switches (TotKOn and StrKOn both from the one option switch); w, Z, Kr, Tn,
// Tv, PlantIndex and Speed are kept.
void ResetLoopState(LoopState &s, bool arwuOn, bool optionOn, bool handSelected);

// Timer period in ms: 10000 div Speed (Speed 1..100).
constexpr int TimerPeriod(int speed) { return 10000 / speed; }

} // namespace kavlon
