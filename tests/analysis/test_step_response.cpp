#include "analysis/StepResponse.h"
#include "engine/LoopTick.h"
#include "engine/PlantTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace kavlon;

namespace {

// x of a first-order lag with dead time L and time constant T after a step of
// size delta at t = 0, sampled once a second: x(t) = x0 + delta (1 - e^{-(t-L)/T})
// for t >= L. Its inflection tangent starts at t = L with slope delta / T, so
// Tu = L and Tg = T, up to what one-second samples can resolve.
std::vector<Real> LagWithDeadTime(Real x0, Real delta, int L, Real T, int seconds)
{
    std::vector<Real> x;
    for (int t = 0; t <= seconds; ++t)
        x.push_back(t <= L ? x0 : x0 + delta * (1 - std::exp(-(t - L) / T)));
    return x;
}

// Feeds samples to a recorder as a run would and evaluates what it kept.
StepIdentification Record(const std::vector<Real> &x, bool selfRegulating, Real y0, Real y1)
{
    StepTestRecorder r(0, x[0], y0, y1, selfRegulating);
    for (std::size_t k = 1; k < x.size() && r.Add(x[k]); ++k) {
    }
    return r.Evaluate();
}

} // namespace

TEST(StepResponse, HandWorkedTangent)
{
    // Slopes (x_{k+1} - x_{k-1}) / 2: 1, 3, 4, 3, 1.5; the steepest is sample 3.
    const std::vector<Real> x{10, 10, 12, 16, 20, 22, 23};
    const StepIdentification id = IdentifyStep(100, 0, 10, x, true);
    ASSERT_TRUE(id.slope);
    EXPECT_EQ(*id.inflection, 103);
    EXPECT_EQ(*id.xInflection, 16);
    EXPECT_EQ(*id.slope, 4);
    EXPECT_EQ(*id.ta, 101.5L);
    EXPECT_EQ(*id.tb, 104.75L);
    EXPECT_EQ(*id.Tu, 1.5L);
    EXPECT_EQ(*id.Tg, 3.25L);
    EXPECT_EQ(*id.Ks, 0.1625L);
    EXPECT_EQ(id.x0, 10);
    EXPECT_EQ(id.xEnd, 23);
    EXPECT_EQ(id.seconds, 6);
    EXPECT_TRUE(RulesApply(id));
    EXPECT_EQ(StepIdentificationNote(id), "");
}

TEST(StepResponse, FirstSteepestSampleWinsATie)
{
    // Slopes 1, 2, 2, 1, 0: samples 2 and 3 tie, the first wins; a step down
    // compares |slope|.
    const std::vector<Real> up{0, 0, 2, 4, 6, 6};
    EXPECT_EQ(*IdentifyStep(0, 0, 1, up, true).inflection, 2);
    const std::vector<Real> down{6, 6, 4, 2, 0, 0};
    const StepIdentification id = IdentifyStep(0, 10, 0, down, true);
    EXPECT_EQ(*id.inflection, 2);
    EXPECT_EQ(*id.slope, -2);
    EXPECT_EQ(*id.Ks, 0.075L); // (-6 / 8) / -10
}

TEST(StepResponse, SettledCompares30SecondsAgainstTheWholeChange)
{
    std::vector<Real> x(31, 0);
    x[30] = 200; // the change over the last 30 s is the whole change
    EXPECT_FALSE(SettledAt(x, 30));
    x.assign(62, 0);
    x[31] = 199;
    x[61] = 200; // 1 <= 0.005 * 200: exactly on the limit counts
    EXPECT_TRUE(SettledAt(x, 61));
    x[61] = 200.5L; // 1.5 > 1.0025
    EXPECT_FALSE(SettledAt(x, 61));
    EXPECT_FALSE(SettledAt(x, 29)) << "needs 30 s of samples";
    EXPECT_FALSE(SettledAt(x, 62)) << "past the samples";
}

TEST(StepResponse, FirstOrderLagWithDeadTime)
{
    struct Case {
        Real x0, delta;
        int L;
        Real T;
    };
    for (const Case c : {Case{0, 400, 0, 20}, Case{100, 300, 10, 40}, Case{600, -350, 25, 15},
                         Case{50, 80, 5, 60}, Case{400, -200, 28, 25}}) {
        SCOPED_TRACE(testing::Message() << "L " << c.L << " T " << static_cast<double>(c.T));
        const std::vector<Real> x = LagWithDeadTime(c.x0, c.delta, c.L, c.T, 1200);
        const StepIdentification id = Record(x, true, 20, 30);
        ASSERT_TRUE(id.settled);
        // The tangent lies on the steepest sample, just after the dead time.
        EXPECT_EQ(*id.inflection, c.L + 1);
        EXPECT_NEAR(static_cast<double>(*id.Tu), c.L, 1.0);
        EXPECT_NEAR(static_cast<double>(*id.Tg), static_cast<double>(c.T),
                    1.0 + 0.01 * static_cast<double>(c.T));
        // x-infinity is the first sample that passes the settling rule.
        EXPECT_EQ(id.xEnd, x[static_cast<std::size_t>(id.seconds)]);
        EXPECT_TRUE(SettledAt(x, static_cast<std::size_t>(id.seconds)));
        EXPECT_FALSE(SettledAt(x, static_cast<std::size_t>(id.seconds - 1)));
        // x-infinity falls short of the final value by about the part r of
        // the step with r (e^{30/T} - 1) = 0.5 %.
        const double shortfall = 0.005 / std::expm1(30 / static_cast<double>(c.T));
        EXPECT_NEAR(static_cast<double>(*id.Ks), static_cast<double>(c.delta / 8 / 10),
                    1.1 * shortfall * std::fabs(static_cast<double>(c.delta / 80)));
    }
}

TEST(StepResponse, UnsettledResponseGivesOnlyTuAndSlope)
{
    // A ramp never settles within the test time: 1200 samples after x0.
    std::vector<Real> ramp;
    for (int t = 0; t <= 1300; ++t)
        ramp.push_back(t < 10 ? 0 : Real(t - 10) * 0.5L);
    const StepIdentification id = Record(ramp, true, 0, 10);
    EXPECT_FALSE(id.settled);
    EXPECT_EQ(id.seconds, StepTestSeconds);
    ASSERT_TRUE(id.slope);
    EXPECT_EQ(*id.slope, 0.5L);
    EXPECT_TRUE(id.Tu);
    EXPECT_FALSE(id.Tg);
    EXPECT_FALSE(id.Ks);
    EXPECT_FALSE(id.tb);
    EXPECT_FALSE(RulesApply(id));
    EXPECT_NE(StepIdentificationNote(id).find("Tg und Ks existieren"), std::string::npos);
}

TEST(StepResponse, StoppedEarlyOrNeverMovingResponses)
{
    StepTestRecorder r(5, 100, 0, 10, true);
    EXPECT_TRUE(r.Add(101));
    r.Stop();
    EXPECT_FALSE(r.Add(102)) << "a stopped test takes no more samples";
    EXPECT_EQ(r.Seconds(), 1);
    EXPECT_FALSE(r.Evaluate().settled);

    // A response that never moves is not settled (it may still be in its
    // dead time): it runs the whole test and has no slope, so no tangent.
    const std::vector<Real> flat(1300, 300);
    const StepIdentification id = Record(flat, true, 0, 10);
    EXPECT_FALSE(id.settled);
    EXPECT_EQ(id.seconds, StepTestSeconds);
    EXPECT_FALSE(id.slope);
    EXPECT_FALSE(id.Tu);
    EXPECT_FALSE(RulesApply(id));
    EXPECT_NE(StepIdentificationNote(id).find("nicht geändert"), std::string::npos);
}

TEST(StepResponse, DeadTimeLongerThanTheSettlingWindow)
{
    // x stands still for 45 s: that is the dead time, not a steady state.
    std::vector<Real> x(31, 0);
    EXPECT_FALSE(SettledAt(x, 30));
    const StepIdentification id = Record(LagWithDeadTime(0, 400, 45, 20, 1200), true, 0, 10);
    ASSERT_TRUE(id.settled);
    EXPECT_NEAR(static_cast<double>(*id.Tu), 45, 1.0);
}

namespace {

// The step test on a plant of the engine, from rest in manual mode.
StepIdentification PlantStepTest(int plant, Real y1)
{
    LoopState s;
    s.PlantIndex = static_cast<std::uint8_t>(plant);
    ResetLoopState(s, false, false, true);
    StepTestRecorder r(s.TickCount, s.x, s.y, y1,
                       Plants[static_cast<std::size_t>(plant)].selfRegulating);
    s.y = y1;
    bool more = true;
    while (more)
        LoopTick(s, [&](const LoopState &t) { more = r.Add(t.x); });
    return r.Evaluate();
}

} // namespace

TEST(StepResponse, PlantsOfTheEngine)
{
    // Figures from an independent evaluation of the same rules on the
    // plants' lag chains (double precision).
    const StepIdentification a = PlantStepTest(0, 50);
    ASSERT_TRUE(a.settled);
    EXPECT_EQ(a.seconds, 122);
    EXPECT_EQ(*a.inflection, 18);
    EXPECT_NEAR(static_cast<double>(*a.Tu), 6.726169523785289, 1e-9);
    EXPECT_NEAR(static_cast<double>(*a.Tg), 36.28020498699259, 1e-9);
    EXPECT_NEAR(static_cast<double>(*a.Ks), 0.9994837184988714, 1e-12);

    const StepIdentification d = PlantStepTest(3, 50);
    ASSERT_TRUE(d.settled);
    EXPECT_EQ(*d.inflection, 7);
    EXPECT_NEAR(static_cast<double>(*d.Tu), 1.5992121553420668, 1e-9);
    EXPECT_NEAR(static_cast<double>(*d.Tg), 21.36075743297866, 1e-9);

    // The dead-time plants are A and D delayed by 28 and 18 s: the same
    // tangent, moved.
    const StepIdentification b = PlantStepTest(1, 50);
    ASSERT_TRUE(b.settled);
    EXPECT_EQ(*b.inflection, *a.inflection + 28);
    EXPECT_NEAR(static_cast<double>(*b.Tu - *a.Tu), 28, 1e-12);
    EXPECT_EQ(*b.Tg, *a.Tg);
    EXPECT_EQ(*b.Ks, *a.Ks);
    // Plant F steps its lags twice a tick (its compensation model shares
    // them), then delays by 18 s.
    const StepIdentification f = PlantStepTest(5, 50);
    ASSERT_TRUE(f.settled);
    EXPECT_EQ(*f.inflection, 22);
    EXPECT_NEAR(static_cast<double>(*f.Tu), 18.75226231295844, 1e-9);
    EXPECT_NEAR(static_cast<double>(*f.Tg), 10.841776945442025, 1e-9);
    EXPECT_NEAR(static_cast<double>(*f.Ks), 0.9999852655964873, 1e-12);
}

TEST(StepResponse, IntegratingPlantHasNoSteadyState)
{
    for (Real y1 : {1.0L, 10.0L, 100.0L}) {
        const StepIdentification e = PlantStepTest(4, y1);
        EXPECT_FALSE(e.settled);
        EXPECT_EQ(e.seconds, StepTestSeconds);
        EXPECT_TRUE(e.Tu);
        EXPECT_TRUE(e.slope);
        EXPECT_FALSE(e.Ks);
        EXPECT_FALSE(e.Tg);
        EXPECT_FALSE(StepIdentificationNote(e).empty());
    }
}
