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
    return s.PlantIndex < PlantCount ? Plants[s.PlantIndex].optionLabel : NoOptionLabel;
}

void ApplyOptionSwitch(LoopState &s, bool on)
{
    const std::string_view label = OptionLabelOf(s);
    if (label == PlantCompensationLabel)
        s.StrKOn = on;
    if (label == DeadTimeCompensationLabel)
        s.TotKOn = on;
}

} // namespace kavlon
