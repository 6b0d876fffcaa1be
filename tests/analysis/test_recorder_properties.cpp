// A real loop on all plants with random operator changes between ticks,
// recorded as the window records it. Every segment must match a segmentation
// worked out afterwards from the values in force at each tick, and its
// figures must be bit for bit those of the reference evaluation over the
// recorded samples (both sum the IAE in tick order).
#include "analysis/RunRecorder.h"
#include "analysis/StepMetrics.h"
#include "engine/LoopTick.h"
#include "engine/OperatorValues.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <span>
#include <vector>

using kavlon::LoopState;
using kavlon::Real;
using kavlon::StepKind;
using kavlon::StepSegment;

namespace {

struct Switches {
    bool arwu = false, option = false, hand = false;
};

// The values of one tick that decide steps.
struct InForce {
    Real w, Z;
    bool hand;
};

// One run from rest: what each tick ran with, its x, and the moments at which
// an operator change acted on the loop.
struct RunLog {
    std::vector<InForce> values; // [k - 1]: during tick k
    std::vector<Real> x;         // [k - 1]: x after tick k
    std::set<std::int32_t> changes{0};
};

// The segments of a finished run, from the definitions: each change moment m
// with a tick after it starts a set-point step if w of tick m+1 differs from
// that of tick m (or m is the start from rest: from 0), else a disturbance
// step if Z differs, else none, and none in manual mode. A segment runs to the
// next change moment or the run's last tick.
void ExpectedSegments(const RunLog &run, Real percent, std::vector<StepSegment> &out)
{
    const auto last = static_cast<std::int32_t>(run.x.size());
    // A change of w, Z or the mode between two ticks is a change moment even
    // when nobody announced it.
    std::set<std::int32_t> changes = run.changes;
    for (std::size_t k = 1; k < run.values.size(); ++k) {
        const InForce &a = run.values[k - 1], &b = run.values[k];
        if (a.w != b.w || a.Z != b.Z || a.hand != b.hand)
            changes.insert(static_cast<std::int32_t>(k));
    }
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        const std::int32_t m = *it;
        if (m >= last)
            continue; // the run ended in this moment
        const InForce &next = run.values[static_cast<std::size_t>(m)];
        if (next.hand)
            continue;
        StepSegment head;
        head.Start = m;
        head.Target = next.w;
        const Real w0 = m == 0 ? 0 : run.values[static_cast<std::size_t>(m - 1)].w;
        const Real z0 = m == 0 ? next.Z : run.values[static_cast<std::size_t>(m - 1)].Z;
        if (next.w != w0 || m == 0) {
            head.Kind = StepKind::SetPoint;
            head.Delta = next.w - w0;
        } else if (next.Z != z0) {
            head.Kind = StepKind::Disturbance;
            head.Delta = next.Z - z0;
        } else {
            continue;
        }
        head.Band = kavlon::BandHalfWidth(percent, head.Delta);
        const auto following = std::next(it);
        const std::int32_t end = following == changes.end() ? last : *following;
        out.push_back(kavlon::EvaluateSegment(
            head, std::span<const Real>(run.x).subspan(static_cast<std::size_t>(m),
                                                       static_cast<std::size_t>(end - m))));
    }
}

void ExpectSame(const StepSegment &got, const StepSegment &want)
{
    EXPECT_EQ(got.Start, want.Start);
    EXPECT_EQ(got.End, want.End);
    EXPECT_EQ(got.Kind, want.Kind);
    EXPECT_EQ(got.Target, want.Target);
    EXPECT_EQ(got.Delta, want.Delta);
    EXPECT_EQ(got.Band, want.Band);
    EXPECT_EQ(got.Rise, want.Rise);
    EXPECT_EQ(got.Settling, want.Settling);
    EXPECT_EQ(got.Overshoot, want.Overshoot);
    EXPECT_EQ(got.MaxError, want.MaxError);
    EXPECT_EQ(got.SteadyError, want.SteadyError);
    EXPECT_EQ(got.IAE, want.IAE);
}

// SetPointOrLoad: only w or Z changed, which the tick notices even unannounced.
enum class Acted { Nothing, SetPointOrLoad, OnLoop, Restart };

// One random operator action as the window allows it.
Acted RandomAction(std::mt19937_64 &rng, LoopState &s, Switches &sw)
{
    const bool up = (rng() & 1) != 0;
    switch (rng() % 13) {
    case 0: s.w = kavlon::SpinStep(s.w, kavlon::SpinValue::w, up); return Acted::SetPointOrLoad;
    case 1: s.Z = kavlon::SpinStep(s.Z, kavlon::SpinValue::Z, up); return Acted::SetPointOrLoad;
    case 2: s.Kr = kavlon::SpinStep(s.Kr, kavlon::SpinValue::Kr, up); return Acted::OnLoop;
    case 3: s.Tn = kavlon::SpinStep(s.Tn, kavlon::SpinValue::Tn, up); return Acted::OnLoop;
    case 4: s.Tv = kavlon::SpinStep(s.Tv, kavlon::SpinValue::Tv, up); return Acted::OnLoop;
    case 5:
        if (!sw.hand)
            return Acted::Nothing;
        s.y = kavlon::SpinStep(s.y, kavlon::SpinValue::y, up);
        return Acted::OnLoop;
    case 6: // manual mode now and then, and never for long
        s.HandMode = sw.hand = (rng() % 4 == 0) ? !sw.hand : false;
        return Acted::OnLoop;
    case 7: s.ARWUOn = sw.arwu = !sw.arwu; return Acted::OnLoop;
    case 8:
        sw.option = !sw.option;
        kavlon::ApplyOptionSwitch(s, sw.option);
        return Acted::OnLoop;
    case 9: kavlon::ResetLoopState(s, sw.arwu, sw.option, sw.hand); return Acted::Restart;
    case 10:
        s.PlantIndex = static_cast<std::uint8_t>(rng() % 7);
        kavlon::ResetLoopState(s, sw.arwu, sw.option, sw.hand);
        return Acted::Restart;
    case 11:
        s.w = static_cast<Real>(rng() % 33) * 25;
        s.Kr = static_cast<Real>(rng() % 101) / 10;
        s.Tn = static_cast<Real>(rng() % 201);
        return Acted::OnLoop;
    default:
        s.Z = static_cast<Real>(static_cast<int>(rng() % 41) - 20) * 10;
        return Acted::SetPointOrLoad;
    }
}

TEST(RecorderProperties, RandomRunsMatchTheSegmentsAndTheReferenceFigures)
{
    std::mt19937_64 rng(20240611);
    LoopState s;
    Switches sw;
    kavlon::ResetLoopState(s, false, false, false);
    kavlon::RunRecorder recorder;
    const Real percents[] = {1, 2, 5};
    recorder.SetBandPercent(5);
    recorder.StartFromRest(s);

    std::vector<StepSegment> got, want;
    RunLog run;
    auto collect = [&] {
        for (StepSegment &seg : recorder.TakeCompleted())
            got.push_back(seg);
    };
    std::int64_t provisionalChecks = 0;

    for (int t = 0; t < 800000; ++t) {
        // Mostly the loop runs untouched; sometimes several changes make one moment.
        if (rng() % 200 == 0) {
            const int actions = 1 + static_cast<int>(rng() % 3);
            for (int a = 0; a < actions; ++a) {
                const Acted acted = RandomAction(rng, s, sw);
                if (acted == Acted::Restart) {
                    ExpectedSegments(run, recorder.BandPercent(), want);
                    run = RunLog{};
                    // The band setting is a preference: changed only where it
                    // cannot touch a running segment's figures.
                    recorder.SetBandPercent(percents[rng() % 3]);
                    recorder.StartFromRest(s);
                } else if (acted == Acted::OnLoop
                           || (acted == Acted::SetPointOrLoad && rng() % 10 != 0)) {
                    // One w or Z change in ten goes unannounced: the tick must see it.
                    run.changes.insert(s.TickCount);
                    recorder.OperatorChanged(s);
                }
                collect();
            }
        }
        kavlon::LoopTick(s, [&](const LoopState &v) {
            recorder.Sample(v);
            run.values.push_back({v.w, v.Z, v.HandMode});
            run.x.push_back(v.x);
        });
        collect();
        if (t % 97 == 0) {
            // The open segment's figures so far against the reference.
            const auto cur = recorder.Current();
            if (cur) {
                StepSegment head = *cur;
                const auto from = static_cast<std::size_t>(head.Start);
                const StepSegment ref = kavlon::EvaluateSegment(
                    head, std::span<const Real>(run.x).subspan(from, run.x.size() - from));
                ExpectSame(*cur, ref);
                ++provisionalChecks;
            }
        }
        if (HasFailure())
            FAIL() << "at tick " << t;
    }
    recorder.Finish();
    collect();
    ExpectedSegments(run, recorder.BandPercent(), want);

    ASSERT_EQ(got.size(), want.size());
    int setPoint = 0, disturbance = 0, settled = 0, neverIn = 0, zeroStep = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
        ExpectSame(got[i], want[i]);
        if (HasFailure())
            FAIL() << "segment " << i << " starting at " << want[i].Start;
        (got[i].Kind == StepKind::SetPoint ? setPoint : disturbance)++;
        settled += got[i].Settling.has_value();
        neverIn += !got[i].Rise.has_value();
        zeroStep += got[i].Delta == 0;
    }
    // The run covered the cases worth comparing.
    EXPECT_GT(setPoint, 1000);
    EXPECT_GT(disturbance, 300);
    EXPECT_GT(settled, 200);
    EXPECT_GT(neverIn, 500);
    EXPECT_GT(zeroStep, 0);
    EXPECT_GT(provisionalChecks, 3000);
}

} // namespace
