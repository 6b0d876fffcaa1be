#include "analysis/ParameterSweep.h"

#include <gtest/gtest.h>

#include <string>

using namespace kavlon;

TEST(ParameterSweep, AxesOnTheSpinGrid)
{
    struct Good {
        const char *text;
        SpinValue which;
        std::int32_t count;
        Real lo, hi;
    };
    for (const Good g : {
             Good{"0.5:10:0.5", SpinValue::Kr, 20, 0.5L, 10},
             Good{"0.1:0.3:0.1", SpinValue::Kr, 3, 1.0L / 10, 3.0L / 10},
             Good{"0:100:0.1", SpinValue::Kr, 1001, 0, 100},
             Good{"10:200:10", SpinValue::Tn, 20, 10, 200},
             Good{"5:12:3", SpinValue::Tn, 3, 5, 11}, // HI off the steps: up to the last below
             Good{"2:2:1", SpinValue::Tv, 1, 2, 2},
         }) {
        SweepAxis a;
        EXPECT_EQ(ParseSweepAxis(g.text, g.which, a), "") << g.text;
        EXPECT_EQ(a.count, g.count) << g.text;
        EXPECT_EQ(a.Lo(), g.lo) << g.text;
        EXPECT_EQ(a.Hi(), g.hi) << g.text;
    }
    // Point i is the value typed as a number, not a sum of steps.
    SweepAxis kr;
    ASSERT_EQ(ParseSweepAxis("0.1:10:0.1", SpinValue::Kr, kr), "");
    for (std::int32_t i = 0; i < kr.count; ++i)
        ASSERT_EQ(kr.At(i), static_cast<Real>(i + 1) / 10) << i;
    EXPECT_EQ(kr.At(2), std::stold("0.3"));

    for (const auto &[text, which] : std::initializer_list<std::pair<const char *, SpinValue>>{
             {"1:2", SpinValue::Kr},
             {"1:2:3:4", SpinValue::Kr},
             {"a:2:1", SpinValue::Kr},
             {"0.05:1:0.1", SpinValue::Kr}, // off the tenths
             {"1.5:3:1", SpinValue::Tn},    // Tn is whole
             {"0:250:10", SpinValue::Tn},   // beyond 200
             {"-1:5:1", SpinValue::Tv},
             {"5:1:1", SpinValue::Kr},
             {"1:5:0", SpinValue::Kr},
             {"1:5:-1", SpinValue::Kr},
             {"1e1:20:1", SpinValue::Tn},
             {"::", SpinValue::Kr},
         }) {
        SweepAxis a;
        a.count = 77;
        EXPECT_NE(ParseSweepAxis(text, which, a), "") << text;
        EXPECT_EQ(a.count, 77) << "a refused axis is left alone";
    }
}

TEST(ParameterSweep, PointOrder)
{
    SweepPlan plan;
    ASSERT_EQ(ParseSweepAxis("1:3:1", SpinValue::Kr, plan.kr), "");
    ASSERT_EQ(ParseSweepAxis("10:20:10", SpinValue::Tn, plan.tn), "");
    plan.tv.emplace();
    ASSERT_EQ(ParseSweepAxis("0:0.2:0.1", SpinValue::Tv, *plan.tv), "");
    EXPECT_EQ(plan.Points(), 18);
    // Kr runs fastest, then Tn, then Tv.
    EXPECT_EQ(plan.KrOf(4), 2);
    EXPECT_EQ(plan.TnOf(4), 20);
    EXPECT_EQ(plan.TvOf(4), 0);
    EXPECT_EQ(plan.TvOf(7), 1.0L / 10);
    EXPECT_EQ(plan.TvOf(17), 2.0L / 10);
    plan.tv.reset();
    plan.fixedTv = 3.5L;
    EXPECT_EQ(plan.Points(), 6);
    EXPECT_EQ(plan.TvOf(5), 3.5L);
}

namespace {

SweepPlan SmallPlan()
{
    SweepPlan plan;
    ParseSweepAxis("0.5:6:0.5", SpinValue::Kr, plan.kr);
    ParseSweepAxis("5:95:10", SpinValue::Tn, plan.tn);
    return plan;
}

// Plant B from rest with the default set point, 600 ticks.
SweepCell PlantBPoint(Real kr, Real tn, Real tv)
{
    LoopState s;
    s.PlantIndex = 1;
    s.Kr = kr;
    s.Tn = tn;
    s.Tv = tv;
    return FirstSegmentOfRun(s, 600, DefaultBandPercent, [](LoopState &, std::int32_t, auto &&) {});
}

std::string Csv(const SweepPlan &plan, const std::vector<SweepCell> &cells)
{
    std::string out = SweepCsvHeader();
    for (std::size_t p = 0; p < cells.size(); ++p)
        out += SweepCsvRow(plan, static_cast<std::int64_t>(p), cells[p]);
    return out;
}

} // namespace

TEST(ParameterSweep, SameFiguresWhateverTheThreads)
{
    const SweepPlan plan = SmallPlan();
    const std::vector<SweepCell> one = RunSweep(plan, PlantBPoint, 1);
    const std::vector<SweepCell> three = RunSweep(plan, PlantBPoint, 3);
    ASSERT_EQ(one.size(), 120u);
    EXPECT_EQ(Csv(plan, one), Csv(plan, three));
    // Each cell is the run of its own point.
    for (std::int64_t p : {0, 37, 119}) {
        const SweepCell direct = PlantBPoint(plan.KrOf(p), plan.TnOf(p), 0);
        EXPECT_EQ(SweepCsvRow(plan, p, direct), SweepCsvRow(plan, p, one[std::size_t(p)]));
    }
}

TEST(ParameterSweep, FirstSegmentEndsTheRun)
{
    // A change of w after tick 100 ends the run-from-rest segment there.
    LoopState s;
    int ticksSeen = 0;
    const SweepCell cell =
        FirstSegmentOfRun(s, 600, 2, [&](LoopState &st, std::int32_t tick, auto &&note) {
            ticksSeen = tick;
            if (tick == 100) {
                st.w = 300;
                note(BetweenTicks::Changed);
            }
        });
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->Start, 0);
    EXPECT_EQ(cell->End, 100);
    EXPECT_EQ(cell->Delta, 500);
    EXPECT_EQ(ticksSeen, 100) << "nothing runs after the first segment";

    // In manual mode no segment starts.
    LoopState hand;
    hand.HandMode = true;
    EXPECT_FALSE(FirstSegmentOfRun(hand, 50, 2, [](LoopState &, std::int32_t, auto &&) {}));
}

TEST(ParameterSweep, CsvRowsAndBestCell)
{
    SweepPlan plan;
    ParseSweepAxis("1:2:1", SpinValue::Kr, plan.kr);
    ParseSweepAxis("10:10:1", SpinValue::Tn, plan.tn);
    plan.fixedTv = 0.5L;
    StepSegment settled;
    settled.Rise = 20;
    settled.Settling = 40;
    settled.Overshoot = 12.5L;
    settled.MaxError = 500;
    settled.SteadyError = -0.25L;
    settled.IAE = 9000;
    StepSegment creeping = settled;
    creeping.Settling.reset();
    creeping.IAE = 10; // smaller, but never settled
    const std::vector<SweepCell> cells{creeping, settled};
    EXPECT_EQ(SweepCsvRow(plan, 1, cells[1]), "2,10,0.5,20,40,12.5,500,-0.25,9000\n");
    EXPECT_EQ(SweepCsvRow(plan, 0, std::nullopt), "1,10,0.5,,,,,,\n");
    EXPECT_EQ(BestPoint(plan, cells, SweepMetric::IAE, 0), 1);
    EXPECT_FALSE(CellSettled(cells[0]));
    EXPECT_EQ(BestPoint(plan, {creeping, creeping}, SweepMetric::IAE, 0), -1);
    // Ties go to the smaller IAE, then to the first point.
    EXPECT_EQ(BestPoint(plan, {settled, settled}, SweepMetric::Settling, 0), 0);
    StepSegment smallerIae = settled;
    smallerIae.IAE = 8000;
    EXPECT_EQ(BestPoint(plan, {settled, smallerIae}, SweepMetric::Settling, 0), 1);
    smallerIae.Settling = 41;
    EXPECT_EQ(BestPoint(plan, {settled, smallerIae}, SweepMetric::Settling, 0), 0);
}

TEST(ParameterSweep, CancelLeavesTheRestEmpty)
{
    const SweepPlan plan = SmallPlan();
    SweepControl control;
    control.cancel = true;
    const std::vector<SweepCell> cells = RunSweep(plan, PlantBPoint, 2, &control);
    EXPECT_EQ(cells.size(), 120u);
    EXPECT_EQ(control.done.load(), 0);
    for (const SweepCell &c : cells)
        EXPECT_FALSE(c);

    // Progress is reported on the calling thread and reaches the total.
    std::int64_t last = -1;
    RunSweep(plan, PlantBPoint, 2, nullptr, [&](std::int64_t done) { last = done; });
    EXPECT_EQ(last, 120);
}
