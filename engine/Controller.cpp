#include "engine/Controller.h"

namespace kavlon {

void ControllerStep(LoopState &s)
{
    Real e = (s.w - s.x) / 8;
    if (s.TotKOn)
        e = Clamp(e - s.CompSignal, -100, 100);

    const Real c = s.Kr > 0 ? s.Kr : Real{1};
    s.yp = s.Kr * e;
    if (s.Tn > 0)
        s.yi = s.yi + (c / s.Tn) * (e + s.PrevError) / 2;
    else
        s.yi = 0;
    s.yd = -c * s.Tv * (s.x - s.PrevX) / 8;

    s.yp = Clamp(s.yp, -100, 200);
    s.yi = Clamp(s.yi, 0, 100);
    s.yd = Clamp(s.yd, -100, 100);

    if (s.ARWUOn && s.Tn > 0) {
        if ((s.yp + s.yi) + s.yd > 100)
            s.yi = 100 - (s.yp + s.yd);
        if ((s.yp + s.yi) + s.yd < 0)
            s.yi = -(s.yp + s.yd);
    }

    if (!s.HandMode)
        s.y = (s.yp + s.yi) + s.yd;
    s.y = Clamp(s.y, 0, 100);

    s.PrevError = e;
    s.PrevX = s.x;
    s.PlantSignal = s.y;
}

} // namespace kavlon
