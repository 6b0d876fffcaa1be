#pragma once

#include "analysis/StepResponse.h"

#include <string>

namespace kavlon {

// The step test as kavlon-sim --identify writes it: first a block
// "quantity,value" with t0, y0, y1, x0, x_end, seconds, settled (1 or 0),
// inflection, slope, ta, tb, tu, tg, ks (empty where a figure does not exist)
// and, when something is missing, a German note; then an empty line and the
// rule table "rule,controller,kr,tn,tv,kr_set,tn_set,tv_set", one row per
// rule, without rows when the rules do not apply. Numbers are the shortest
// text that reads back to the same long double, with a decimal point.
std::string IdentificationCsv(const StepIdentification &id);

} // namespace kavlon
