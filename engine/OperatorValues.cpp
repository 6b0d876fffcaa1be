#include "engine/OperatorValues.h"

#include "engine/PlantTable.h"

#include <cmath>

namespace kavlon {

Real SpinStep(Real value, SpinValue which, bool up)
{
    const SpinRange r = RangeOf(which);
    value = Clamp(up ? value + r.step : value - r.step, r.lo, r.hi);
    if (r.tenths)
        value = std::nearbyint(value * 10) / 10;
    return value;
}

int SpeedStep(int speed, bool up)
{
    if (up)
        speed += speed < 10 ? 1 : 10;
    else
        speed -= speed > 10 ? 10 : 1;
    return speed < MinSpeed ? MinSpeed : (speed > MaxSpeed ? MaxSpeed : speed);
}

std::string_view OptionLabelOf(const LoopState &s)
{
    return OptionLabel(OptionKindOf(s.PlantIndex));
}

void ApplyOptionSwitch(LoopState &s, bool on)
{
    switch (OptionKindOf(s.PlantIndex)) {
    case OptionKind::PlantCompensation: s.StrKOn = on; break;
    case OptionKind::DeadTimeCompensation: s.TotKOn = on; break;
    case OptionKind::None: break;
    }
}

} // namespace kavlon
