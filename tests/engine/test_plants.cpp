#include "engine/Controller.h"
#include "engine/LoopState.h"
#include "engine/LoopTick.h"
#include "engine/Plants.h"

#include <gtest/gtest.h>

#include <cmath>

using kavlon::LoopState;
using kavlon::Real;

namespace {

// The loop at rest in manual mode with the operator's output y on plant p.
LoopState Manual(int plant, Real y, Real z = 0)
{
    LoopState s;
    s.PlantIndex = static_cast<std::uint8_t>(plant);
    kavlon::ResetLoopState(s, false, false, true);
    s.y = y;
    s.Z = z;
    return s;
}

double D(Real v) { return static_cast<double>(v); }

} // namespace

TEST(LagStep, ImplicitEulerWithUnitGain)
{
    Real state = 0;
    EXPECT_EQ(kavlon::LagStep(100, 7, state), 12.5L);
    EXPECT_EQ(state, 12.5L);
    EXPECT_EQ(kavlon::LagStep(100, 7, state), (100 + 7 * 12.5L) / 8);
}

TEST(Plants, FirstTickFiguresFromRest)
{
    LoopState a = Manual(0, 100);
    kavlon::LoopTick(a);
    EXPECT_EQ(a.LagState1, 12.5L);
    EXPECT_EQ(a.LagState2, 1.25L);
    EXPECT_NEAR(D(a.LagState3), 0.0961538461538462, 1e-15);
    EXPECT_NEAR(D(a.x), 0.769230769230769, 1e-14);

    LoopState d = Manual(3, 100);
    kavlon::LoopTick(d);
    EXPECT_NEAR(D(d.LagState1), 16.6666666666667, 1e-12);
    EXPECT_NEAR(D(d.LagState2), 1.51515151515152, 1e-13);
    EXPECT_NEAR(D(d.x), 12.1212121212121, 1e-12);
}

// Every chain has gain 1: a constant input u settles at x = 8u.
TEST(Plants, ChainsHaveUnitGain)
{
    struct Row {
        int plant;
        bool strk;
    } rows[] = {{0, false}, {2, true}, {3, false}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.plant);
        LoopState s = Manual(r.plant, 40);
        s.StrKOn = r.strk;
        for (int i = 0; i < 2000; ++i)
            kavlon::LoopTick(s);
        EXPECT_NEAR(D(s.x), 320, 1e-9);
    }
}

TEST(Plants, PlantCWithCompensationEqualsPlantA)
{
    LoopState a;
    LoopState c;
    c.PlantIndex = 2;
    kavlon::ResetLoopState(a, false, true, false);
    kavlon::ResetLoopState(c, false, true, false);
    for (int i = 0; i < 500; ++i) {
        if (i == 200)
            a.w = c.w = 250;
        if (i == 300)
            a.Z = c.Z = -60;
        kavlon::LoopTick(a);
        kavlon::LoopTick(c);
        ASSERT_EQ(a.x, c.x) << "tick " << i;
    }
}

TEST(Plants, PlantCStaticCurveInManualMode)
{
    LoopState s = Manual(2, 0);
    for (int i = 0; i < 2000; ++i)
        kavlon::LoopTick(s);
    EXPECT_NEAR(D(s.x), 8 * 1.5535, 1e-9);

    // Points of the characteristic (plant input after the curve, before the chain).
    const struct {
        Real v, expect;
    } points[] = {{10, 38.71L}, {20, 60.84L}, {30, 73.23L}, {50, 84.48L}, {100, 99.76L}};
    for (const auto &p : points) {
        LoopState t = Manual(2, p.v);
        kavlon::ControllerStep(t);
        kavlon::PlantCStep(t);
        EXPECT_NEAR(D(t.LagState1 * 8), D(p.expect), 0.01) << "v=" << D(p.v);
    }
}

TEST(Plants, PlantCGainFollowsMeanSetPoint)
{
    // Controller mode right after a reset: the mean rises from 0, and the
    // first tick already counts the current set point (mean 500/19).
    LoopState s;
    s.PlantIndex = 2;
    s.Kr = 0.1L; // y small, so the gain is visible and not limited
    s.Tn = 0;
    kavlon::ResetLoopState(s, false, false, false);
    kavlon::LoopTick(s);
    const Real v = s.y;
    const Real g1 = 6 - 0.00625L * ((500.0L / 19) / 0.75L);
    EXPECT_EQ(s.LagState1, (g1 * v) / 8);
    for (int i = 0; i < 19; ++i)
        kavlon::LoopTick(s);
    EXPECT_NEAR(D(s.SetPointMean), 500, 1e-12);
    const Real g = kavlon::Clamp(6 - 0.00625L * (s.SetPointMean / 0.75L), 1, 6);
    EXPECT_NEAR(D(g), 1.83333333333333, 1e-12);

    LoopState high;
    high.PlantIndex = 2;
    high.w = 700;
    kavlon::ResetLoopState(high, false, false, false);
    for (int i = 0; i < 19; ++i)
        kavlon::LoopTick(high);
    EXPECT_EQ(kavlon::Clamp(6 - 0.00625L * (high.SetPointMean / 0.75L), 1, 6), 1);
}

TEST(Plants, PlantEIntegrator)
{
    LoopState s = Manual(4, 10);
    kavlon::LoopTick(s);
    EXPECT_EQ(s.IntegratorState, 0.5L);
    for (int i = 2; i <= 20; ++i) {
        kavlon::LoopTick(s);
        EXPECT_NEAR(D(s.IntegratorState), 0.5 + (i - 1), 1e-15);
    }
    for (int i = 0; i < 200; ++i)
        kavlon::LoopTick(s);
    EXPECT_EQ(s.IntegratorState, 100);

    // Falling with a negative disturbance: v = -10 per tick, stops at 0.
    LoopState f = Manual(4, 0, -80);
    f.IntegratorState = 50;
    f.PrevIntegratorInput = -10;
    kavlon::LoopTick(f);
    EXPECT_NEAR(D(f.IntegratorState), 49, 1e-15);
    for (int i = 0; i < 60; ++i)
        kavlon::LoopTick(f);
    EXPECT_EQ(f.IntegratorState, 0);

    LoopState rest = Manual(4, 0);
    for (int i = 0; i < 10; ++i)
        kavlon::LoopTick(rest);
    EXPECT_EQ(rest.IntegratorState, 0);
}

TEST(Plants, DisturbanceIsLimitedExceptForPlantE)
{
    LoopState a = Manual(0, 100, 200);
    kavlon::LoopTick(a);
    EXPECT_EQ(a.LagState1, 12.5L); // input limited to 100

    LoopState e = Manual(4, 100, 200);
    kavlon::LoopTick(e);
    EXPECT_EQ(e.PrevIntegratorInput, 125);
    EXPECT_EQ(e.IntegratorState, 0.1L * 125 / 2);
}

TEST(DelayLineStep, OutletReturnsValueOfNMinusTwoTicksBefore)
{
    kavlon::RealLine line;
    for (int t = 1; t <= 40; ++t) {
        const Real out = kavlon::DelayLineStep(line, 30, t);
        EXPECT_EQ(out, t <= 28 ? 0 : t - 28) << t;
    }
    for (int i = 31; i <= 50; ++i)
        EXPECT_EQ(line[i], 0);
}

// Dead times from rest in manual mode with y = 100: x stays 0, then shows the
// value the undelayed chain had on its first tick.
TEST(Plants, DeadTimes)
{
    struct Row {
        int plant;
        int deadTicks;
    } rows[] = {{1, 28}, {5, 18}, {6, 18}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.plant);
        LoopState s = Manual(r.plant, 100);
        for (int t = 1; t <= r.deadTicks; ++t) {
            kavlon::LoopTick(s);
            ASSERT_EQ(s.x, 0) << "tick " << t;
        }
        kavlon::LoopTick(s);
        EXPECT_GT(s.x, 0);
    }
    LoopState b = Manual(1, 100);
    for (int t = 0; t < 29; ++t)
        kavlon::LoopTick(b);
    EXPECT_NEAR(D(b.x), 0.769230769230769, 1e-14);
}

TEST(Plants, CompensationSignalOnFirstTick)
{
    LoopState f = Manual(5, 100);
    kavlon::LoopTick(f);
    EXPECT_NEAR(D(f.CompSignal), 1.51515151515152, 1e-13);
    EXPECT_NEAR(D(f.LagState1), 30.5555555555556, 1e-12);
    EXPECT_NEAR(D(f.LagState2), 4.15519, 1e-5);
    EXPECT_EQ(f.DelayLine[1], f.LagState2);

    LoopState g = Manual(6, 100);
    kavlon::LoopTick(g);
    EXPECT_NEAR(D(g.CompSignal), 1.66666666666667, 1e-13);
}

TEST(Plants, MatchedModelSettlesWithZeroCompensation)
{
    LoopState f = Manual(5, 50);
    for (int i = 0; i < 3000; ++i)
        kavlon::LoopTick(f);
    EXPECT_NEAR(D(f.x), 400, 1e-9);
    EXPECT_NEAR(D(f.CompSignal), 0, 1e-12);
}

// The teaching point of plants F and G: with Kr 1, Tn 10 the loop oscillates
// without the dead-time compensation and settles with it.
TEST(Plants, CompensationTurnsOscillationIntoSettling)
{
    for (int plant : {5, 6}) {
        for (bool totk : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "plant " << plant << " TotK " << totk);
            LoopState s;
            s.PlantIndex = static_cast<std::uint8_t>(plant);
            s.Kr = 1;
            s.Tn = 10;
            kavlon::ResetLoopState(s, false, totk, false);
            Real lo = 800, hi = 0;
            for (int t = 1; t <= 1500; ++t) {
                kavlon::LoopTick(s);
                if (t > 1000) {
                    lo = std::min(lo, s.x);
                    hi = std::max(hi, s.x);
                }
            }
            if (totk) {
                EXPECT_NEAR(D(lo), 500, 1e-6);
                EXPECT_NEAR(D(hi), 500, 1e-6);
            } else {
                EXPECT_LT(lo, 150);
                EXPECT_GT(hi, 750);
            }
        }
    }
}

TEST(Plants, CompensationFlagDoesNotChangeThePlantStep)
{
    LoopState a = Manual(6, 60);
    LoopState b = Manual(6, 60);
    b.TotKOn = true;
    for (int i = 0; i < 100; ++i) {
        kavlon::PlantStep(a);
        kavlon::PlantStep(b);
        a.PlantSignal = b.PlantSignal = 60;
    }
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.CompSignal, b.CompSignal);
}
