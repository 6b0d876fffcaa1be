#include "engine/LoopState.h"

namespace kavlon {

void ResetLoopState(LoopState &s, bool arwuOn, bool optionOn, bool handSelected)
{
    s.ARWUOn = arwuOn;
    s.TotKOn = optionOn;
    s.StrKOn = optionOn;
    s.HandMode = handSelected;

    s.x = s.y = s.yp = s.yi = s.yd = 0;
    s.CompSignal = s.PlantOutput = s.PlantSignal = 0;
    s.PrevError = s.PrevX = 0;
    s.LagState1 = s.LagState2 = s.LagState3 = 0;
    s.DelayLine = {};
    s.ModelDelayLine = {};
    s.SetPointHistory = {};
    s.SetPointMean = s.IntegratorState = s.PrevIntegratorInput = 0;
    s.TickCount = 0;
}

} // namespace kavlon
