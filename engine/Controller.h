#pragma once

#include "engine/LoopState.h"

namespace kavlon {

// One step of the discrete PID law, working on the x of the previous tick:
//   e  = (w - x)/8, minus CompSignal and limited to -100..100 when TotKOn
//   yp = Kr*e                         limited to -100..200
//   yi = yi + (c/Tn)*(e + PrevError)/2 limited to 0..100 (0 when Tn = 0)
//   yd = -c*Tv*(x - PrevX)/8          limited to -100..100
// with c = Kr, or 1 when Kr = 0. ARWU (when Tn > 0) pulls yi back so that
// yp + yi + yd lies in 0..100, possibly leaving yi outside 0..100 until the next
// step. y = yp + yi + yd unless HandMode keeps the operator's y; then y is
// limited to 0..100 and handed to the plant as PlantSignal.
void ControllerStep(LoopState &s);

} // namespace kavlon
