#include "engine/Controller.h"
#include "engine/LoopState.h"
#include "engine/LoopTick.h"
#include "engine/Plants.h"

#include <gtest/gtest.h>

using kavlon::LoopState;
using kavlon::Real;

namespace {

LoopState AtRest()
{
    LoopState s;
    kavlon::ResetLoopState(s, false, false, false);
    return s;
}

} // namespace

TEST(ControllerStep, FirstTickFromStartValues)
{
    LoopState s = AtRest();
    kavlon::SimulationStep(s);
    EXPECT_EQ(s.yp, 200); // limited from 250
    EXPECT_EQ(s.yi, 4.0L / 45 * 31.25L);
    EXPECT_EQ(s.yd, 0);
    EXPECT_EQ(s.y, 100); // limited from 202.78
    EXPECT_EQ(s.PrevError, 62.5L);
    EXPECT_NEAR(static_cast<double>(s.x), 0.769230769230769, 1e-14);
    EXPECT_EQ(s.PlantSignal, s.PlantOutput);
}

TEST(ControllerStep, AllPartsOffGiveZero)
{
    LoopState s = AtRest();
    s.Kr = s.Tn = s.Tv = 0;
    s.x = 100;
    s.PrevX = 300;
    kavlon::ControllerStep(s);
    EXPECT_EQ(s.yp, 0);
    EXPECT_EQ(s.yi, 0);
    EXPECT_EQ(s.yd, 0);
    EXPECT_EQ(s.y, 0);
}

TEST(ControllerStep, PureIntegralUsesGainOneAndTrapezoid)
{
    LoopState s = AtRest();
    s.Kr = 0;
    s.Tn = 10;
    s.x = 100; // e = 50
    kavlon::ControllerStep(s);
    EXPECT_EQ(s.yp, 0);
    EXPECT_EQ(s.yi, (50 + 0) / 20.0L);
    kavlon::ControllerStep(s);
    EXPECT_EQ(s.yi, 2.5L + (50 + 50) / 20.0L);
    EXPECT_EQ(s.y, s.yi);
}

TEST(ControllerStep, DerivativeActsOnMeasurementOnly)
{
    LoopState s = AtRest();
    s.Kr = 2;
    s.Tn = 0;
    s.Tv = 3;
    s.x = 400;
    s.PrevX = 380;
    s.w = 800; // a set-point step gives no derivative kick
    kavlon::ControllerStep(s);
    EXPECT_EQ(s.yd, -2 * 3 * (400 - 380) / 8.0L);
    EXPECT_EQ(s.PrevX, 400);
}

// yiBefore is chosen so that the integration of step 5 lands on a round figure.
struct ArwuCase {
    const char *name;
    Real w, x, kr, yiBefore;
    bool arwu;
    Real tn;
    Real yiAfter;
};

TEST(ControllerStep, AntiResetWindupCases)
{
    const ArwuCase cases[] = {
        // yp = 200, yi = 3: sum 203 > 100, so yi = -100 and is not limited again.
        {"upper", 800, 0, 4, 3 - (4.0L / 45) * 100, true, 45, -100},
        // yp = -100, yi = 20: sum -80 < 0, so yi = 100.
        {"lower", 0, 800, 1, 20 + (1.0L / 45) * 100, true, 45, 100},
        // switched off: yi only integrates.
        {"off", 800, 0, 4, 3 - (4.0L / 45) * 100, false, 45, 3},
        // Tn = 0: no integral and no correction.
        {"tn0", 800, 0, 4, 3, true, 0, 0},
    };
    for (const ArwuCase &c : cases) {
        SCOPED_TRACE(c.name);
        LoopState s = AtRest();
        s.w = c.w;
        s.x = c.x;
        s.PrevX = c.x;
        s.Kr = c.kr;
        s.Tn = c.tn;
        s.ARWUOn = c.arwu;
        s.PrevError = (c.w - c.x) / 8;
        s.yi = c.yiBefore;
        kavlon::ControllerStep(s);
        EXPECT_NEAR(static_cast<double>(s.yi), static_cast<double>(c.yiAfter), 1e-15);
        EXPECT_GE(s.y, 0);
        EXPECT_LE(s.y, 100);
    }
}

TEST(ControllerStep, IntegratesFromCorrectedValueNextStep)
{
    LoopState s = AtRest();
    s.ARWUOn = true;
    s.w = 800;
    s.yi = 3;
    s.PrevError = 100;
    kavlon::ControllerStep(s);
    EXPECT_EQ(s.yi, -100);
    kavlon::ControllerStep(s);
    // -100 + 8.9 is limited to 0 first, then corrected to -100 again.
    EXPECT_EQ(s.yi, -100);
    EXPECT_EQ(s.y, 100);
}

TEST(ControllerStep, ManualModeKeepsOperatorOutputAndRunsParts)
{
    LoopState s = AtRest();
    s.HandMode = true;
    s.y = 37;
    for (int i = 0; i < 50; ++i) {
        kavlon::ControllerStep(s);
        EXPECT_EQ(s.y, 37);
    }
    EXPECT_EQ(s.yp, 200);
    EXPECT_GT(s.yi, 0); // the integrator keeps running
    // Back to the controller: y jumps to the sum of the parts.
    s.HandMode = false;
    kavlon::ControllerStep(s);
    EXPECT_EQ(s.y, kavlon::Clamp((s.yp + s.yi) + s.yd, 0, 100));
}

TEST(ControllerStep, CompensationOnlyChangesErrorWhenSignalPresent)
{
    LoopState a = AtRest();
    LoopState b = AtRest();
    b.TotKOn = true;
    kavlon::ControllerStep(a);
    kavlon::ControllerStep(b);
    EXPECT_EQ(a.yp, b.yp);
    EXPECT_EQ(a.yi, b.yi);

    LoopState c = AtRest();
    c.TotKOn = true;
    c.w = 800;
    c.CompSignal = -50; // e = 100 + 50, limited to 100
    kavlon::ControllerStep(c);
    EXPECT_EQ(c.PrevError, 100);
}

TEST(ResetLoopState, KeepsOperatorValuesAndLoadsSwitches)
{
    LoopState s;
    s.w = 300;
    s.Z = -40;
    s.Kr = 2.5L;
    s.Tn = 12;
    s.Tv = 1.5L;
    s.PlantIndex = 5;
    s.Speed = 70;
    s.HandMode = true;
    for (int i = 0; i < 40; ++i)
        kavlon::LoopTick(s);
    s.y = 37.5L;
    kavlon::ResetLoopState(s, true, true, true);
    EXPECT_EQ(s.w, 300);
    EXPECT_EQ(s.Z, -40);
    EXPECT_EQ(s.Kr, 2.5L);
    EXPECT_EQ(s.Tn, 12);
    EXPECT_EQ(s.Tv, 1.5L);
    EXPECT_EQ(s.PlantIndex, 5);
    EXPECT_EQ(s.Speed, 70);
    EXPECT_EQ(s.y, 0); // also in manual mode
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(s.TickCount, 0);
    EXPECT_EQ(s.CompSignal, 0);
    for (int i = 1; i <= 50; ++i) {
        EXPECT_EQ(s.DelayLine[i], 0);
        EXPECT_EQ(s.ModelDelayLine[i], 0);
        EXPECT_EQ(s.SetPointHistory[i], 0);
    }
    EXPECT_TRUE(s.ARWUOn && s.TotKOn && s.StrKOn && s.HandMode);
}
