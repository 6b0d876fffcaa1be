#pragma once

#include "engine/LoopState.h"

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <system_error>

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

// Reads what a file or a command line gives as a real: a finite number with
// a decimal point whatever the locale, an optional leading '+', nothing around
// it. Returns false and leaves `out` alone otherwise.
//
// The standard library's reader of long doubles runs strlen over its input,
// past the end it is given: the text is copied so that it ends in a NUL
// where the number ends, wherever the caller's view lies.
inline bool ReadRealText(std::string_view view, Real &out)
{
    if (view.empty())
        return false;
    const std::string text(view);
    const char *first = text.c_str();
    const char *last = first + text.size();
    if (*first == '+')
        ++first;
    Real v = 0;
    auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ec != std::errc() || ptr != last || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

} // namespace kavlon
