#pragma once

#include "engine/LoopState.h"

#include <charconv>

namespace kavlon {

// Room for the longest text WriteRealText makes of a long double.
inline constexpr int RealTextCapacity = 48;

// The machine-readable text of a real, as kavlon-sim's files write it: the
// shortest text that reads back to the same value, with a decimal point
// whatever the locale, and zero without a sign (-0 arises from -c*0 and means
// 0). Writes into [first, first + RealTextCapacity) and returns the end.
inline char *WriteRealText(char *first, Real v)
{
    const Real shown = v == 0 ? Real{0} : v;
    return std::to_chars(first, first + RealTextCapacity, shown).ptr;
}

} // namespace kavlon
