#include "engine/LoopState.h"

namespace kavlon {

void ResetLoopState(LoopState &s, bool arwuOn, bool optionOn, bool handSelected)
{
    // Start from a fresh state, so that every field (including one added
    // later) comes back to rest, and bring over only what a reset keeps.
    LoopState fresh{};
    fresh.PlantIndex = s.PlantIndex;
    fresh.Speed = s.Speed;
    fresh.w = s.w;
    fresh.Z = s.Z;
    fresh.Kr = s.Kr;
    fresh.Tn = s.Tn;
    fresh.Tv = s.Tv;
    fresh.ARWUOn = arwuOn;
    fresh.TotKOn = optionOn;
    fresh.StrKOn = optionOn;
    fresh.HandMode = handSelected;
    s = fresh;
}

} // namespace kavlon
