// Segments worked by hand, each evaluated three ways: the reference over all
// samples at once, the accumulator sample by sample, and the recorder fed
// tick by tick with the step made between ticks.
#include "analysis/RunRecorder.h"
#include "analysis/SegmentAccumulator.h"
#include "analysis/StepMetrics.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

using kavlon::Real;
using kavlon::StepKind;
using kavlon::StepSegment;

namespace {

constexpr std::optional<Real> None = std::nullopt;

struct Worked {
    const char *name;
    StepKind kind;
    Real before; // w0 or Z0
    Real after;  // w1 or Z1
    Real w;      // the set point of a disturbance step
    Real percent;
    std::vector<Real> x; // x after ticks t0+1 ..
    Real band;
    std::optional<Real> rise, settling, overshoot, emax, steady, iae;
};

// Row "2 %": w 400 -> 500, delta 100, b = 2 * 100 / 100 = 2.
//   x      420  470  498.5  506  503  497  502  499.5
//   w1-x    80   30    1.5   -6   -3    3   -2    0.5
//   in?      .    .    yes    .    .    .  yes    yes   (|e| <= 2, 2 itself counts)
//   rise 3; the last sample outside is the 6th, settling 7;
//   largest x - w1 is 6: overshoot 6 * 100 / 100 = 6 %; e_max 80; steady 0.5;
//   IAE 80 + 30 + 1.5 + 6 + 3 + 3 + 2 + 0.5 = 126.
// The same samples with b = 1: only the 8th is in (1.5 and 2 are out): rise 8,
// settling 8; with b = 5: the 3rd is in, the 4th (6) out, the rest in: rise 3,
// settling 5; with b = 10: in from the 3rd on: rise 3, settling 3.
const std::vector<Real> Overshooting{420, 470, 498.5L, 506, 503, 497, 502, 499.5L};

const std::vector<Worked> Rows{
    {"band2", StepKind::SetPoint, 400, 500, 0, 2, Overshooting, 2, 3, 7, 6, 80, 0.5L, 126},
    {"band1", StepKind::SetPoint, 400, 500, 0, 1, Overshooting, 1, 8, 8, 6, 80, 0.5L, 126},
    {"band5", StepKind::SetPoint, 400, 500, 0, 5, Overshooting, 5, 3, 5, 6, 80, 0.5L, 126},
    {"band10", StepKind::SetPoint, 400, 500, 0, 10, Overshooting, 10, 3, 3, 6, 80, 0.5L, 126},
    // w 500 -> 300, delta -200, b = 4. w1 - x = -150 -50 4 10 -3 -1: the 3rd
    // is on the edge and counts, the 4th is out: rise 3, settling 5. Above the
    // target is on the far side of a downward step; the overshoot is the
    // largest w1 - x = 10, 10 * 100 / 200 = 5 %. e_max 150, steady -1,
    // IAE 150 + 50 + 4 + 10 + 3 + 1 = 218.
    {"downward",
     StepKind::SetPoint,
     500,
     300,
     0,
     2,
     {450, 350, 296, 290, 303, 301},
     4,
     3,
     5,
     5,
     150,
     -1,
     218},
    // w 0 -> 100, b = 2, never reaches the band: no rise, no settling; x never
    // passes the target: overshoot 0 %. e_max 90, steady 10, IAE 90+70+40+10.
    {"never_in_band",
     StepKind::SetPoint,
     0,
     100,
     0,
     2,
     {10, 30, 60, 90},
     2,
     None,
     None,
     0,
     90,
     10,
     210},
    // w 400 -> 500, b = 2; |w1 - x| = 20 1 0 3: in at the 2nd, out again at the
    // end: rise 2, no settling. x reaches 500 but not beyond: overshoot 0 %.
    {"leaves_band_at_end",
     StepKind::SetPoint,
     400,
     500,
     0,
     2,
     {480, 499, 500, 497},
     2,
     2,
     None,
     0,
     20,
     3,
     24},
    // One sample: w 0 -> 800, b = 16, x = 8: e = 792 everywhere.
    {"single_sample", StepKind::SetPoint, 0, 800, 0, 2, {8}, 16, None, None, 0, 792, 792, 792},
    // Z 0 -> 50 at w = 500, b = 1. The loop sat on the target, so the first
    // sample is in the band (rise 1); w1 - x = 0 -30 -15 -1 0.5: the 4th is on
    // the edge, the 3rd the last out: settling 4. No overshoot for Z steps.
    // e_max 30, steady 0.5, IAE 0 + 30 + 15 + 1 + 0.5 = 46.5.
    {"disturbance_up",
     StepKind::Disturbance,
     0,
     50,
     500,
     2,
     {500, 530, 515, 501, 499.5L},
     1,
     1,
     4,
     None,
     30,
     0.5L,
     46.5L},
    // Z 40 -> 0 at w = 300, delta -40, b = 0.8: w1 - x = 0 12 4 0.5: rise 1,
    // settling 4, e_max 12, steady 0.5, IAE 16.5.
    {"disturbance_down",
     StepKind::Disturbance,
     40,
     0,
     300,
     2,
     {300, 288, 296, 299.5L},
     0.8L,
     1,
     4,
     None,
     12,
     0.5L,
     16.5L},
};

// Test names and failure messages show the row's name, not its bytes.
void PrintTo(const Worked &r, std::ostream *os) { *os << r.name; }

StepSegment HeadOf(const Worked &r)
{
    StepSegment head;
    head.Start = 10;
    head.Kind = r.kind;
    head.Target = r.kind == StepKind::SetPoint ? r.after : r.w;
    head.Delta = r.after - r.before;
    head.Band = kavlon::BandHalfWidth(r.percent, head.Delta);
    return head;
}

void ExpectWorked(const StepSegment &s, const Worked &r)
{
    EXPECT_EQ(s.Start, 10);
    EXPECT_EQ(s.End, 10 + static_cast<int>(r.x.size()));
    EXPECT_EQ(s.Kind, r.kind);
    EXPECT_EQ(s.Target, r.kind == StepKind::SetPoint ? r.after : r.w);
    EXPECT_EQ(s.Delta, r.after - r.before);
    EXPECT_EQ(s.Band, r.band);
    EXPECT_EQ(s.Rise, r.rise);
    EXPECT_EQ(s.Settling, r.settling);
    EXPECT_EQ(s.Overshoot, r.overshoot);
    EXPECT_EQ(s.MaxError, r.emax);
    EXPECT_EQ(s.SteadyError, r.steady);
    EXPECT_EQ(s.IAE, r.iae);
}

// Ten ticks at the old values from rest, the step between ticks 10 and 11,
// then the row's samples; the run ends after the last one.
StepSegment Recorded(const Worked &r)
{
    kavlon::RunRecorder recorder;
    EXPECT_TRUE(recorder.SetBandPercent(r.percent));
    kavlon::LoopState s;
    s.HandMode = true; // no segment of its own before the step
    s.w = r.kind == StepKind::SetPoint ? r.before : r.w;
    s.Z = r.kind == StepKind::SetPoint ? 0 : r.before;
    recorder.StartFromRest(s);
    auto tick = [&](Real x) {
        s.x = x;
        recorder.Sample(s);
        ++s.TickCount;
    };
    for (int k = 0; k < 10; ++k)
        tick(123);
    s.HandMode = false;
    recorder.OperatorChanged(s);
    (r.kind == StepKind::SetPoint ? s.w : s.Z) = r.after;
    recorder.OperatorChanged(s);
    for (Real x : r.x)
        tick(x);
    recorder.Finish();
    const auto done = recorder.TakeCompleted();
    EXPECT_EQ(done.size(), 1u);
    return done.empty() ? StepSegment{} : done.back();
}

class WorkedSegments : public testing::TestWithParam<Worked> {};

TEST_P(WorkedSegments, ReferenceEvaluation)
{
    ExpectWorked(kavlon::EvaluateSegment(HeadOf(GetParam()), GetParam().x), GetParam());
}

TEST_P(WorkedSegments, AccumulatedSampleBySample)
{
    kavlon::SegmentAccumulator acc(HeadOf(GetParam()));
    for (Real x : GetParam().x)
        acc.Add(x);
    ExpectWorked(acc.Result(), GetParam());
}

TEST_P(WorkedSegments, RecordedTickByTick) { ExpectWorked(Recorded(GetParam()), GetParam()); }

INSTANTIATE_TEST_SUITE_P(HandWorked, WorkedSegments, testing::ValuesIn(Rows),
                         [](const auto &row) { return std::string(row.param.name); });

TEST(StepMetrics, BandIsPercentOfTheStepSize)
{
    struct Row {
        Real percent, delta, band;
    };
    for (const Row &r : {Row{2, 500, 10}, Row{2, -500, 10}, Row{1, 25, 0.25L}, Row{5, 40, 2},
                         Row{5, -30, 1.5L}, Row{2, 0, 0}, Row{0.5L, 800, 4}}) {
        EXPECT_EQ(kavlon::BandHalfWidth(r.percent, r.delta), r.band)
            << r.percent << " % of " << r.delta;
    }
}

TEST(StepMetrics, OvershootIsExcessOverStepSizeInPercent)
{
    EXPECT_EQ(kavlon::OvershootPercent(20, 500), 4);
    EXPECT_EQ(kavlon::OvershootPercent(10, -200), 5);
    EXPECT_EQ(kavlon::OvershootPercent(0, 25), 0);
    EXPECT_EQ(kavlon::OvershootPercent(-3, 100), 0); // never crossed: no negative overshoot
    EXPECT_EQ(kavlon::OvershootPercent(5, 0), None); // no step, no direction
}

TEST(StepMetrics, NoSamplesNoFigures)
{
    StepSegment head;
    head.Start = 7;
    head.Target = 500;
    head.Delta = 100;
    head.Band = 2;
    head.IAE = 99; // whatever came in is replaced
    const StepSegment s = kavlon::EvaluateSegment(head, {});
    EXPECT_EQ(s.End, 7);
    EXPECT_FALSE(s.Rise || s.Settling || s.Overshoot || s.MaxError || s.SteadyError || s.IAE);
    const StepSegment a = kavlon::SegmentAccumulator(head).Result();
    EXPECT_EQ(a.End, 7);
    EXPECT_FALSE(a.Rise || a.Settling || a.Overshoot || a.MaxError || a.SteadyError || a.IAE);
}

// A run from rest with w = 0 has delta 0 and a band of width 0: only an exact
// hit counts as in the band, and no overshoot exists. Z = 30 pushes x off:
// x = 0 0 3 0: rise 1, the 3rd the last out, settling 4; e_max 3, IAE 3.
TEST(StepMetrics, ZeroStepHasZeroBandAndNoOvershoot)
{
    StepSegment head;
    head.Target = 0;
    head.Delta = 0;
    head.Band = kavlon::BandHalfWidth(2, 0);
    const std::vector<Real> x{0, 0, 3, 0};
    const StepSegment s = kavlon::EvaluateSegment(head, x);
    EXPECT_EQ(s.Band, 0);
    EXPECT_EQ(s.Rise, 1);
    EXPECT_EQ(s.Settling, 4);
    EXPECT_EQ(s.Overshoot, None);
    EXPECT_EQ(s.MaxError, 3);
    EXPECT_EQ(s.SteadyError, 0);
    EXPECT_EQ(s.IAE, 3);
}

} // namespace
