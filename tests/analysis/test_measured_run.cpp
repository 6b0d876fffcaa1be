// The recording of every tick: what it gives back is exactly what the loop
// held, across chunks and changes, with the events on the tick they acted
// before; its cap, its restarts and its memory.
#include "analysis/MeasuredRun.h"
#include "engine/LoopTick.h"
#include "engine/OperatorValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using kavlon::ChangeText;
using kavlon::LoopState;
using kavlon::LoopTick;
using kavlon::MeasuredRow;
using kavlon::MeasuredRun;
using kavlon::Real;

namespace {

// A row with its own copy of the event text.
struct Expected {
    MeasuredRow row;
    std::string event;
};

// Runs plant `plant` for `ticks` ticks with an operator change every so often
// (w, Z, the mode, the switches), noting each change as the window does, and
// returns what the loop held at every tick.
std::vector<Expected> RecordRun(MeasuredRun &run, int plant, int ticks)
{
    LoopState s;
    ResetLoopState(s, false, false, false);
    s.PlantIndex = static_cast<std::uint8_t>(plant);
    run.StartFromRest(s);
    std::vector<Expected> seen;
    std::string pending;
    for (int k = 0; k < ticks; ++k) {
        const LoopState before = s;
        switch (k % 700) {
        case 100: s.w = 300; break;
        case 250: s.Z = -50; break;
        case 300: s.ARWUOn = !s.ARWUOn; break;
        case 400: kavlon::ApplyOptionSwitch(s, !(s.TotKOn || s.StrKOn)); break;
        case 500:
            s.HandMode = true;
            s.y = 37.5L;
            break;
        case 600: s.HandMode = false; break;
        default: break;
        }
        const std::string note = ChangeText(before, s);
        run.Note(note);
        pending = note;
        LoopTick(s, [&](const LoopState &t) {
            run.Sample(t);
            seen.push_back({MeasuredRow::Of(t), pending});
        });
    }
    return seen;
}

bool Same(Real a, Real b)
{
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

} // namespace

TEST(MeasuredRun, GivesBackEveryTickExactlyOnEveryPlant)
{
    for (int plant = 0; plant < 7; ++plant) {
        MeasuredRun run;
        // More than two chunks, so rows on both sides of a chunk's end count.
        const std::vector<Expected> seen = RecordRun(run, plant, 9000);
        ASSERT_EQ(run.Size(), seen.size()) << "plant " << plant;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const MeasuredRow &e = seen[i].row;
            const MeasuredRow r = run.Row(i);
            ASSERT_EQ(r.t, static_cast<std::int32_t>(i + 1));
            const Real got[] = {r.w, r.x, r.y, r.yp, r.yi, r.yd, r.Z, r.CompSignal};
            const Real want[] = {e.w, e.x, e.y, e.yp, e.yi, e.yd, e.Z, e.CompSignal};
            for (std::size_t v = 0; v < 8; ++v)
                ASSERT_TRUE(Same(got[v], want[v]))
                    << "plant " << plant << " row " << i << " value " << v;
            ASSERT_EQ(r.Hand, e.Hand) << i;
            ASSERT_EQ(r.ARWU, e.ARWU) << i;
            ASSERT_EQ(r.TotK, e.TotK) << i;
            ASSERT_EQ(r.StrK, e.StrK) << i;
            ASSERT_EQ(r.Event, seen[i].event) << "plant " << plant << " row " << i;
        }
    }
}

TEST(MeasuredRun, KeepsTheBitsOfUnusualValues)
{
    const Real values[] = {-0.0L,
                           std::numeric_limits<Real>::denorm_min(),
                           std::numeric_limits<Real>::max(),
                           -std::numeric_limits<Real>::infinity(),
                           std::nextafter(Real{500}, Real{0}),
                           std::numeric_limits<Real>::quiet_NaN()};
    MeasuredRun run;
    LoopState s;
    run.StartFromRest(s);
    for (Real v : values) {
        s.x = s.y = s.yp = s.yi = s.yd = s.CompSignal = s.w = s.Z = v;
        run.Sample(s);
        ++s.TickCount;
    }
    ASSERT_EQ(run.Size(), std::size(values));
    for (std::size_t i = 0; i < std::size(values); ++i) {
        const MeasuredRow r = run.Row(i);
        for (Real got : {r.x, r.y, r.yp, r.yi, r.yd, r.CompSignal, r.w, r.Z})
            EXPECT_TRUE(Same(got, values[i])) << "row " << i;
    }
}

TEST(MeasuredRun, EventsGoToTheTickTheyActedBefore)
{
    MeasuredRun run;
    LoopState s;
    run.Note("vor dem Start"); // forgotten by the start
    run.StartFromRest(s);
    run.Note("w=300");
    run.Note("");
    run.Note("Kr=2");
    run.Sample(s); // tick 1
    ++s.TickCount;
    run.Sample(s); // tick 2
    ++s.TickCount;
    run.Note("Hand");
    run.Sample(s); // tick 3
    ASSERT_EQ(run.Size(), 3U);
    EXPECT_EQ(run.Row(0).Event, "w=300, Kr=2");
    EXPECT_EQ(run.Row(1).Event, "");
    EXPECT_EQ(run.Row(2).Event, "Hand");
}

TEST(MeasuredRun, StopsAtItsCapAndSaysSoOnce)
{
    MeasuredRun run;
    run.SetCapacityForTest(100);
    LoopState s;
    run.StartFromRest(s);
    for (int k = 0; k < 99; ++k) {
        s.x = k;
        run.Sample(s);
        ++s.TickCount;
    }
    EXPECT_FALSE(run.Full());
    EXPECT_FALSE(run.TakeFullNotice());
    for (int k = 99; k < 250; ++k) {
        s.x = k;
        run.Note("w=1");
        run.Sample(s);
        ++s.TickCount;
    }
    EXPECT_EQ(run.Size(), 100U);
    EXPECT_TRUE(run.Full());
    EXPECT_TRUE(run.TakeFullNotice());
    EXPECT_FALSE(run.TakeFullNotice());
    // The kept ticks are the first ones, untouched by what came after.
    EXPECT_EQ(run.Row(99).x, 99);
    EXPECT_EQ(run.Row(99).t, 100);
    EXPECT_EQ(run.Row(99).Event, "w=1");

    // A restart records afresh and can fill up again.
    ResetLoopState(s, false, false, false);
    run.StartFromRest(s);
    EXPECT_EQ(run.Size(), 0U);
    EXPECT_FALSE(run.Full());
    for (int k = 0; k < 100; ++k) {
        run.Sample(s);
        ++s.TickCount;
    }
    EXPECT_TRUE(run.TakeFullNotice());
}

TEST(MeasuredRun, AnUnannouncedRestartStartsAfresh)
{
    MeasuredRun run;
    LoopState s;
    run.StartFromRest(s);
    for (int k = 0; k < 5; ++k) {
        run.Sample(s);
        ++s.TickCount;
    }
    s.TickCount = 0; // reset without telling
    s.x = 42;
    run.Note("w=25");
    run.Sample(s);
    ASSERT_EQ(run.Size(), 1U);
    EXPECT_EQ(run.Row(0).t, 1);
    EXPECT_EQ(run.Row(0).x, 42);
    EXPECT_EQ(run.Row(0).Event, "w=25");

    // A skipped tick is a restart as well: the rows stay consecutive.
    s.TickCount = 7;
    run.Sample(s);
    ASSERT_EQ(run.Size(), 1U);
    EXPECT_EQ(run.Row(0).t, 8);
}

TEST(MeasuredRun, KeepsTheStartForTheHeader)
{
    MeasuredRun run;
    LoopState s;
    s.PlantIndex = 5;
    s.Kr = 1.5L;
    run.StartFromRest(s);
    s.Kr = 3;
    run.Sample(s);
    EXPECT_EQ(run.Start().PlantIndex, 5);
    EXPECT_EQ(run.Start().Kr, 1.5L);
}

TEST(MeasuredRun, AFullDayTakesAboutSixtyBytesATick)
{
    if (MeasuredRun::RealBytes != 10)
        GTEST_SKIP() << "the figure assumes the 80-bit long double of x86";
    MeasuredRun run;
    const std::vector<Expected> seen = RecordRun(run, 0, 86'400);
    ASSERT_EQ(run.Size(), 86'400U);
    const double perTick = static_cast<double>(run.MemoryBytes()) / 86'400.0;
    EXPECT_LT(perTick, 64.0);
    EXPECT_GT(perTick, 59.0); // the figure in README is honest only if measured
}

TEST(ChangeText, NamesWhatChanged)
{
    struct Case {
        const char *what;
        void (*change)(LoopState &);
        const char *text;
    };
    const Case cases[] = {
        {"nothing", [](LoopState &) {}, ""},
        {"w", [](LoopState &s) { s.w = 300; }, "w=300"},
        {"Z below zero", [](LoopState &s) { s.Z = -10; }, "Z=-10"},
        {"Kr tenths", [](LoopState &s) { s.Kr = 2.5L; }, "Kr=2.5"},
        {"Tn", [](LoopState &s) { s.Tn = 0; }, "Tn=0"},
        {"Tv", [](LoopState &s) { s.Tv = 0.1L; }, "Tv=0.1"},
        {"y", [](LoopState &s) { s.y = 40; }, "y=40"},
        {"hand", [](LoopState &s) { s.HandMode = true; }, "Hand"},
        {"ARWU", [](LoopState &s) { s.ARWUOn = true; }, "ARWU Ein"},
        {"TotK", [](LoopState &s) { s.TotKOn = true; }, "TotK Ein"},
        {"StrK", [](LoopState &s) { s.StrKOn = true; }, "StrK Ein"},
        {"several in order",
         [](LoopState &s) {
             s.Z = 100;
             s.w = 0;
             s.ARWUOn = true;
         },
         "w=0, Z=100, ARWU Ein"},
        {"x alone is no event", [](LoopState &s) { s.x = 17; }, ""},
    };
    for (const Case &c : cases) {
        LoopState before;
        LoopState after = before;
        c.change(after);
        EXPECT_EQ(ChangeText(before, after), c.text) << c.what;
    }
    LoopState hand;
    hand.HandMode = hand.TotKOn = true;
    EXPECT_EQ(ChangeText(hand, LoopState{}), "Regler, TotK Aus");
}
