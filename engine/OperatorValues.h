#pragma once

#include "engine/LoopState.h"

#include <string_view>

namespace kavlon {

// The values the operator steps with the spin arrows.
enum class SpinValue { w, Z, y, Tn, Kr, Tv };

struct SpinRange {
    Real step;
    Real lo;
    Real hi;
    bool tenths; // kept on the grid of tenths (Kr, Tv)
};

constexpr SpinRange RangeOf(SpinValue v)
{
    switch (v) {
    case SpinValue::w: return {25, 0, 800, false};
    case SpinValue::Z: return {10, -200, 200, false};
    case SpinValue::y: return {1, 0, 100, false};
    case SpinValue::Tn: return {1, 0, 200, false};
    case SpinValue::Kr: return {0.1L, 0, 100, true};
    case SpinValue::Tv: return {0.1L, 0, 100, true};
    }
    return {0, 0, 0, false};
}

// One click: value +/- step, Clamp to the range, and for Kr and Tv the nearest
// multiple of 0.1, so n clicks up and n down return exactly to the start and a
// value brought down to zero is exactly 0.
Real SpinStep(Real value, SpinValue which, bool up);

// The speed ladder 1..9 by one, 10..100 by ten: up adds 1 below 10, else 10;
// down subtracts 10 above 10, else 1; the result is limited to 1..100.
int SpeedStep(int speed, bool up);

inline constexpr int MinSpeed = 1;
inline constexpr int MaxSpeed = 100;
inline constexpr int DefaultSpeed = LoopState{}.Speed;

// A stored speed brought into 1..100 (the tick divides by it); values on or off
// the ladder are otherwise kept.
constexpr int SanitiseSpeed(int stored)
{
    return stored < MinSpeed ? MinSpeed : (stored > MaxSpeed ? MaxSpeed : stored);
}

// The option label beside the option switch for the selected plant.
std::string_view OptionLabelOf(const LoopState &s);

// The option switch sets only the flag of the plant's option kind: StrKOn for
// the plant compensation, TotKOn for the dead-time compensation, else nothing.
void ApplyOptionSwitch(LoopState &s, bool on);

} // namespace kavlon
