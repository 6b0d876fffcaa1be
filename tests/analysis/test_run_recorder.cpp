// How the recorder cuts a run into segments: which tick a sample belongs to,
// which moments start a segment, which only end one, and what it keeps.
#include "analysis/RunRecorder.h"
#include "engine/LoopTick.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

using kavlon::LoopState;
using kavlon::Real;
using kavlon::RunRecorder;
using kavlon::StepKind;
using kavlon::StepSegment;

namespace {

// A loop whose x the test chooses: each tick samples it and counts up, as
// LoopTick does after the engine step.
struct ChosenLoop {
    LoopState s;
    RunRecorder recorder;

    ChosenLoop(Real w, Real z = 0, bool hand = false)
    {
        s.w = w;
        s.Z = z;
        s.HandMode = hand;
        recorder.StartFromRest(s);
    }
    void Tick(Real x)
    {
        s.x = x;
        recorder.Sample(s);
        ++s.TickCount;
    }
    void Ticks(int n, Real x)
    {
        for (int i = 0; i < n; ++i)
            Tick(x);
    }
    void Change(const std::function<void(LoopState &)> &change)
    {
        change(s);
        recorder.OperatorChanged(s);
    }
};

bool NoFigures(const StepSegment &s)
{
    return !s.Rise && !s.Settling && !s.Overshoot && !s.MaxError && !s.SteadyError && !s.IAE;
}

TEST(RunRecorder, StartFromRestIsASetPointStepFromZero)
{
    ChosenLoop loop(500, 30);
    const auto cur = loop.recorder.Current();
    ASSERT_TRUE(cur);
    EXPECT_EQ(cur->Start, 0);
    EXPECT_EQ(cur->End, 0);
    EXPECT_EQ(cur->Kind, StepKind::SetPoint);
    EXPECT_EQ(cur->Target, 500);
    EXPECT_EQ(cur->Delta, 500);
    EXPECT_EQ(cur->Band, 10);
    EXPECT_TRUE(NoFigures(*cur)); // exists before its first sample, figures do not
    EXPECT_TRUE(loop.recorder.Completed().empty());
}

// Sample k is x after tick k, k = TickCount after the tick: the first tick of
// a run is sample 1, and a step after tick 3 starts at 3 with sample 4 first.
TEST(RunRecorder, SamplesAreNumberedByTheTickTheyFollow)
{
    LoopState s;
    kavlon::ResetLoopState(s, false, false, false);
    RunRecorder recorder;
    recorder.StartFromRest(s);
    std::vector<Real> x;
    for (int k = 1; k <= 3; ++k) {
        kavlon::LoopTick(s, [&recorder](const LoopState &v) { recorder.Sample(v); });
        x.push_back(s.x);
        const auto cur = recorder.Current();
        ASSERT_TRUE(cur);
        EXPECT_EQ(cur->End, k);
        EXPECT_EQ(cur->End, s.TickCount);
        EXPECT_EQ(cur->SteadyError, 500 - s.x);
    }
    ASSERT_NE(x[0], x[2]); // plant A moves, so the numbering shows
    EXPECT_EQ(recorder.Current()->IAE, (500 - x[0]) + (500 - x[1]) + (500 - x[2]));

    s.w = 600;
    recorder.OperatorChanged(s);
    kavlon::LoopTick(s, [&recorder](const LoopState &v) { recorder.Sample(v); });
    ASSERT_EQ(recorder.Completed().size(), 1u);
    EXPECT_EQ(recorder.Completed()[0].Start, 0);
    EXPECT_EQ(recorder.Completed()[0].End, 3);
    EXPECT_EQ(recorder.Completed()[0].SteadyError, 500 - x[2]);
    const auto cur = recorder.Current();
    ASSERT_TRUE(cur);
    EXPECT_EQ(cur->Start, 3);
    EXPECT_EQ(cur->End, 4);
    EXPECT_EQ(cur->Delta, 100);
    EXPECT_EQ(cur->SteadyError, 600 - s.x);
    EXPECT_EQ(cur->IAE, 600 - s.x);
}

TEST(RunRecorder, AChangeCutsTheSegmentShort)
{
    ChosenLoop loop(100);
    loop.Tick(40);
    loop.Tick(99);
    loop.Tick(101);
    loop.Change([](LoopState &s) { s.Kr = 5; });
    EXPECT_FALSE(loop.recorder.Current()); // Kr is no step
    loop.Ticks(20, 100);
    EXPECT_FALSE(loop.recorder.Current());
    ASSERT_EQ(loop.recorder.Completed().size(), 1u);
    const StepSegment &s = loop.recorder.Completed()[0];
    // w 0 -> 100, b = 2; w1 - x = 60 1 -1: rise 2, settling 2, overshoot 1 %,
    // e_max 60, steady -1, IAE 62; the ticks after the change are not in it.
    EXPECT_EQ(s.Start, 0);
    EXPECT_EQ(s.End, 3);
    EXPECT_EQ(s.Rise, 2);
    EXPECT_EQ(s.Settling, 2);
    EXPECT_EQ(s.Overshoot, 1);
    EXPECT_EQ(s.MaxError, 60);
    EXPECT_EQ(s.SteadyError, -1);
    EXPECT_EQ(s.IAE, 62);
    EXPECT_EQ(loop.recorder.CompletedTotal(), 1u);
}

// All changes between two ticks make one moment; w0, Z0 are the values of the
// last tick, w1, Z1 those of the next.
TEST(RunRecorder, ChangesOfOneMomentCountAsOne)
{
    using Change = std::function<void(LoopState &)>;
    struct Row {
        const char *name;
        std::vector<Change> changes;
        bool starts;
        StepKind kind;
        Real delta;
        Real target;
    };
    const auto w = [](Real v) { return Change([v](LoopState &s) { s.w = v; }); };
    const auto z = [](Real v) { return Change([v](LoopState &s) { s.Z = v; }); };
    const Change kr = [](LoopState &s) { s.Kr = 7; };
    const Change hand = [](LoopState &s) { s.HandMode = true; };
    const Change arwu = [](LoopState &s) { s.ARWUOn = true; };
    const std::vector<Row> rows{
        {"w and Z: the set-point step wins", {w(500), z(30)}, true, StepKind::SetPoint, 100, 500},
        {"Z then w", {z(30), w(350)}, true, StepKind::SetPoint, -50, 350},
        {"Z alone", {z(30)}, true, StepKind::Disturbance, 30, 400},
        {"two clicks of w", {w(425), w(450)}, true, StepKind::SetPoint, 50, 450},
        {"two clicks of Z", {z(-10), z(-20)}, true, StepKind::Disturbance, -20, 400},
        {"w up and back", {w(425), w(400)}, false, StepKind::SetPoint, 0, 0},
        {"w up and back, and Z", {w(425), w(400), z(-20)}, true, StepKind::Disturbance, -20, 400},
        {"Z up and back", {z(10), z(0)}, false, StepKind::SetPoint, 0, 0},
        {"Kr alone", {kr}, false, StepKind::SetPoint, 0, 0},
        {"a switch alone", {arwu}, false, StepKind::SetPoint, 0, 0},
        {"w into manual mode", {w(500), hand}, false, StepKind::SetPoint, 0, 0},
        {"Kr and w", {kr, w(475)}, true, StepKind::SetPoint, 75, 475},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        ChosenLoop loop(400);
        loop.Ticks(8, 390);
        for (const Change &c : r.changes)
            loop.Change(c);
        // The segment from rest ended at this moment, whatever the moment starts.
        ASSERT_EQ(loop.recorder.Completed().size(), 1u);
        EXPECT_EQ(loop.recorder.Completed()[0].End, 8);
        EXPECT_EQ(loop.recorder.Completed()[0].Delta, 400);
        loop.Tick(395);
        ASSERT_EQ(loop.recorder.Completed().size(), 1u);
        const auto cur = loop.recorder.Current();
        ASSERT_EQ(cur.has_value(), r.starts);
        if (!cur)
            continue;
        EXPECT_EQ(cur->Start, 8);
        EXPECT_EQ(cur->End, 9);
        EXPECT_EQ(cur->Kind, r.kind);
        EXPECT_EQ(cur->Delta, r.delta);
        EXPECT_EQ(cur->Target, r.target);
        EXPECT_EQ(cur->SteadyError, r.target - 395);
    }
}

TEST(RunRecorder, ManualModeStartsNoSegment)
{
    ChosenLoop loop(500, 0, true);
    EXPECT_FALSE(loop.recorder.Current());
    loop.Ticks(5, 0);
    loop.Change([](LoopState &s) { s.w = 600; });
    loop.Change([](LoopState &s) { s.Z = 50; });
    loop.Ticks(5, 0);
    EXPECT_FALSE(loop.recorder.Current());
    // Back to automatic with w and Z as they were during the last tick: no step.
    loop.Change([](LoopState &s) { s.HandMode = false; });
    loop.Ticks(5, 0);
    EXPECT_FALSE(loop.recorder.Current());
    EXPECT_TRUE(loop.recorder.Completed().empty());
    // w0 is the set point of the last tick, manual or not.
    loop.Change([](LoopState &s) { s.w = 625; });
    loop.Ticks(2, 600);
    ASSERT_TRUE(loop.recorder.Current());
    EXPECT_EQ(loop.recorder.Current()->Delta, 25);
    EXPECT_EQ(loop.recorder.Current()->Start, 15);
    // Into manual mode ends the segment.
    loop.Change([](LoopState &s) { s.HandMode = true; });
    EXPECT_FALSE(loop.recorder.Current());
    ASSERT_EQ(loop.recorder.Completed().size(), 1u);
    EXPECT_EQ(loop.recorder.Completed()[0].End, 17);
}

// The tick uses the values in force when it comes; a change no event
// announced is still seen at the tick.
TEST(RunRecorder, TheTickDecidesWithTheValuesInForce)
{
    ChosenLoop loop(400);
    loop.Ticks(4, 380);
    loop.Change([](LoopState &s) { s.w = 500; });
    ASSERT_TRUE(loop.recorder.Current());
    EXPECT_EQ(loop.recorder.Current()->Delta, 100);
    loop.s.w = 550; // unannounced, same moment
    loop.Tick(390);
    ASSERT_TRUE(loop.recorder.Current());
    EXPECT_EQ(loop.recorder.Current()->Delta, 150);
    EXPECT_EQ(loop.recorder.Current()->Target, 550);
    EXPECT_EQ(loop.recorder.Current()->Start, 4);
    ASSERT_EQ(loop.recorder.Completed().size(), 1u);

    loop.Ticks(3, 540);
    loop.s.Z = -60; // unannounced, a moment of its own
    loop.Tick(530);
    ASSERT_EQ(loop.recorder.Completed().size(), 2u);
    EXPECT_EQ(loop.recorder.Completed()[1].End, 8);
    ASSERT_TRUE(loop.recorder.Current());
    EXPECT_EQ(loop.recorder.Current()->Kind, StepKind::Disturbance);
    EXPECT_EQ(loop.recorder.Current()->Delta, -60);
    EXPECT_EQ(loop.recorder.Current()->Start, 8);
    EXPECT_EQ(loop.recorder.Current()->End, 9);
}

TEST(RunRecorder, ARestartEndsTheRunAndStartsFromZero)
{
    ChosenLoop loop(400);
    loop.Ticks(6, 200);
    loop.s.w = 300;
    loop.s.TickCount = 0; // what ResetLoopState does
    loop.recorder.StartFromRest(loop.s);
    ASSERT_EQ(loop.recorder.Completed().size(), 1u);
    EXPECT_EQ(loop.recorder.Completed()[0].End, 6);
    ASSERT_TRUE(loop.recorder.Current());
    EXPECT_EQ(loop.recorder.Current()->Start, 0);
    EXPECT_EQ(loop.recorder.Current()->Delta, 300); // from 0, not from 400
    loop.Tick(10);
    EXPECT_EQ(loop.recorder.Current()->End, 1);
}

// A step and a restart in one moment are one moment: the step never ran.
TEST(RunRecorder, ARestartInTheSameMomentDropsTheStepThatNeverRan)
{
    ChosenLoop loop(400);
    loop.Ticks(6, 200);
    loop.Change([](LoopState &s) { s.w = 500; });
    loop.s.TickCount = 0;
    loop.recorder.StartFromRest(loop.s);
    loop.s.TickCount = 0;
    loop.recorder.StartFromRest(loop.s); // a second restart before any tick
    ASSERT_EQ(loop.recorder.Completed().size(), 1u);
    EXPECT_EQ(loop.recorder.Completed()[0].Delta, 400);
    EXPECT_EQ(loop.recorder.Completed()[0].End, 6);
    ASSERT_TRUE(loop.recorder.Current());
    EXPECT_EQ(loop.recorder.Current()->Delta, 500);
}

TEST(RunRecorder, FinishKeepsASegmentWithoutSamples)
{
    ChosenLoop loop(400);
    loop.Ticks(3, 200);
    loop.Change([](LoopState &s) { s.w = 450; });
    loop.recorder.Finish();
    EXPECT_FALSE(loop.recorder.Current());
    ASSERT_EQ(loop.recorder.Completed().size(), 2u);
    const StepSegment &last = loop.recorder.Completed()[1];
    EXPECT_EQ(last.Start, 3);
    EXPECT_EQ(last.End, 3);
    EXPECT_EQ(last.Delta, 50);
    EXPECT_TRUE(NoFigures(last));
}

// A tick count that does not follow on (a restart nobody announced) ends the
// segment; with the values of that tick known again, steps count again.
TEST(RunRecorder, AnUnannouncedRestartEndsTheSegment)
{
    ChosenLoop loop(400);
    loop.Ticks(5, 200);
    loop.s.TickCount = 0;
    loop.s.w = 500;
    loop.Tick(0);
    EXPECT_FALSE(loop.recorder.Current());
    ASSERT_EQ(loop.recorder.Completed().size(), 1u);
    EXPECT_EQ(loop.recorder.Completed()[0].End, 5);
    EXPECT_EQ(loop.recorder.Completed()[0].Target, 400);
    loop.Ticks(2, 50);
    EXPECT_FALSE(loop.recorder.Current());
    loop.Change([](LoopState &s) { s.Z = 20; });
    ASSERT_TRUE(loop.recorder.Current());
    EXPECT_EQ(loop.recorder.Current()->Start, 3);
    EXPECT_EQ(loop.recorder.Current()->Delta, 20);
}

TEST(RunRecorder, NoStepIsMeasuredBeforeTheRunIsKnown)
{
    RunRecorder recorder;
    LoopState s;
    s.w = 600;
    recorder.OperatorChanged(s);
    EXPECT_FALSE(recorder.Current());
    recorder.Sample(s);
    EXPECT_FALSE(recorder.Current());
    ++s.TickCount;
    s.w = 650;
    recorder.OperatorChanged(s); // now the last tick's w is known
    ASSERT_TRUE(recorder.Current());
    EXPECT_EQ(recorder.Current()->Delta, 50);
}

TEST(RunRecorder, TheBandIsFixedWhenASegmentStarts)
{
    ChosenLoop loop(400);
    EXPECT_EQ(loop.recorder.BandPercent(), 2);
    EXPECT_TRUE(loop.recorder.SetBandPercent(5));
    EXPECT_EQ(loop.recorder.BandPercent(), 5);
    EXPECT_EQ(loop.recorder.Current()->Band, 8); // 2 % of 400, set before the change
    loop.Ticks(2, 395);
    loop.Change([](LoopState &s) { s.w = 300; });
    EXPECT_EQ(loop.recorder.Current()->Band, 5); // 5 % of 100
    EXPECT_TRUE(loop.recorder.SetBandPercent(1));
    loop.Change([](LoopState &s) { s.w = 200; }); // same moment: decided anew
    EXPECT_EQ(loop.recorder.Current()->Band, 2);  // 1 % of 200
    EXPECT_TRUE(loop.recorder.SetBandPercent(12.5L));
    EXPECT_EQ(loop.recorder.BandPercent(), 12.5L);
    for (Real bad : {Real{0}, Real{-2}, std::numeric_limits<Real>::quiet_NaN(),
                     std::numeric_limits<Real>::infinity()}) {
        EXPECT_FALSE(loop.recorder.SetBandPercent(bad)) << bad;
        EXPECT_EQ(loop.recorder.BandPercent(), 12.5L);
    }
}

TEST(RunRecorder, HistoryKeepsTheNewestAndStreamsAll)
{
    ChosenLoop loop(100);
    loop.recorder.SetHistoryLimit(5);
    for (int i = 1; i <= 8; ++i) {
        loop.Ticks(2, 50);
        loop.Change([i](LoopState &s) { s.w = 100 + 25 * i; });
    }
    EXPECT_EQ(loop.recorder.CompletedTotal(), 8u);
    ASSERT_EQ(loop.recorder.Completed().size(), 5u);
    EXPECT_EQ(loop.recorder.Completed().front().Start, 6); // segments 4..8, 2 ticks each
    EXPECT_EQ(loop.recorder.Completed().back().Start, 14);
    loop.recorder.SetHistoryLimit(2);
    ASSERT_EQ(loop.recorder.Completed().size(), 2u);
    EXPECT_EQ(loop.recorder.Completed().front().Start, 12);
    const auto taken = loop.recorder.TakeCompleted();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[1].Start, 14);
    EXPECT_TRUE(loop.recorder.Completed().empty());

    loop.recorder.SetHistoryLimit(0); // keep all
    for (int i = 0; i < 40; ++i) {
        loop.Ticks(1, 50);
        loop.Change([i](LoopState &s) { s.Z = i % 2 == 0 ? 10 : 0; });
    }
    EXPECT_EQ(loop.recorder.Completed().size(), 40u);
    EXPECT_EQ(loop.recorder.CompletedTotal(), 48u);
}

} // namespace
