#include "engine/OperatorValues.h"
#include "engine/PlantTable.h"

#include <gtest/gtest.h>

using kavlon::Real;
using kavlon::SpinValue;

TEST(SpinStep, KrFortyClicksDownReachExactZeroAndBack)
{
    Real kr = 4;
    for (int i = 0; i < 40; ++i)
        kr = kavlon::SpinStep(kr, SpinValue::Kr, false);
    EXPECT_EQ(kr, 0);
    kr = kavlon::SpinStep(kr, SpinValue::Kr, false);
    EXPECT_EQ(kr, 0);
    for (int i = 0; i < 40; ++i)
        kr = kavlon::SpinStep(kr, SpinValue::Kr, true);
    EXPECT_EQ(kr, 4);
}

TEST(SpinStep, TenthsGridSurvivesLongWalks)
{
    Real tv = 0;
    for (int i = 0; i < 10; ++i)
        tv = kavlon::SpinStep(tv, SpinValue::Tv, true);
    EXPECT_EQ(tv, 1);
    for (int i = 0; i < 1000; ++i)
        tv = kavlon::SpinStep(tv, SpinValue::Tv, true);
    EXPECT_EQ(tv, 100);
    for (int i = 0; i < 997; ++i)
        tv = kavlon::SpinStep(tv, SpinValue::Tv, false);
    EXPECT_EQ(tv, 3.0L / 10); // on the grid, no drift from 997 subtractions
}

struct SpinRow {
    SpinValue which;
    Real start;
    bool up;
    int clicks;
    Real expect;
};

TEST(SpinStep, StepsAndLimits)
{
    const SpinRow rows[] = {
        {SpinValue::w, 500, true, 1, 525},     {SpinValue::w, 500, true, 20, 800},
        {SpinValue::w, 500, false, 30, 0},     {SpinValue::Z, 0, false, 25, -200},
        {SpinValue::Z, 0, true, 25, 200},      {SpinValue::Tn, 45, false, 50, 0},
        {SpinValue::Tn, 45, true, 500, 200},   {SpinValue::y, 37.6L, true, 1, 38.6L},
        {SpinValue::y, 37.6L, false, 40, 0},   {SpinValue::y, 99.5L, true, 3, 100},
        {SpinValue::Kr, 99.95L, true, 1, 100},
    };
    for (const SpinRow &r : rows) {
        Real v = r.start;
        for (int i = 0; i < r.clicks; ++i)
            v = kavlon::SpinStep(v, r.which, r.up);
        EXPECT_EQ(v, r.expect) << static_cast<int>(r.which) << " from "
                               << static_cast<double>(r.start);
    }
}

TEST(SpeedStep, LadderInBothDirections)
{
    const int upFrom1[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 100};
    int s = 1;
    for (int expect : upFrom1)
        EXPECT_EQ(s = kavlon::SpeedStep(s, true), expect);
    const int downFrom100[] = {90, 80, 70, 60, 50, 40, 30, 20, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 1};
    for (int expect : downFrom100)
        EXPECT_EQ(s = kavlon::SpeedStep(s, false), expect);

    // A stored speed off the ladder moves by the same rule.
    EXPECT_EQ(kavlon::SpeedStep(15, true), 25);
    EXPECT_EQ(kavlon::SpeedStep(95, true), 100);
    EXPECT_EQ(kavlon::SpeedStep(15, false), 5);
}

TEST(Speed, StoredValuesAreBroughtIntoRangeAndPeriodFollows)
{
    EXPECT_EQ(kavlon::SanitiseSpeed(0), 1);
    EXPECT_EQ(kavlon::SanitiseSpeed(-5), 1);
    EXPECT_EQ(kavlon::SanitiseSpeed(15), 15);
    EXPECT_EQ(kavlon::SanitiseSpeed(5000), 100);
    EXPECT_EQ(kavlon::TimerPeriod(1), 10000);
    EXPECT_EQ(kavlon::TimerPeriod(3), 3333);
    EXPECT_EQ(kavlon::TimerPeriod(10), 1000);
    EXPECT_EQ(kavlon::TimerPeriod(100), 100);
}

TEST(OptionSwitch, SetsOnlyTheFlagNamedByThePlantsLabel)
{
    const struct {
        int plant;
        bool strk, totk;
    } rows[] = {{0, false, false}, {1, false, false}, {2, true, false}, {3, false, false},
                {4, false, false}, {5, false, true},  {6, false, true}};
    for (const auto &r : rows) {
        kavlon::LoopState s;
        s.PlantIndex = static_cast<std::uint8_t>(r.plant);
        kavlon::ApplyOptionSwitch(s, true);
        EXPECT_EQ(s.StrKOn, r.strk) << r.plant;
        EXPECT_EQ(s.TotKOn, r.totk) << r.plant;
        kavlon::ApplyOptionSwitch(s, false);
        EXPECT_FALSE(s.StrKOn || s.TotKOn);
    }
}

TEST(PlantTable, LettersMapToIndices)
{
    EXPECT_EQ(kavlon::PlantIndexOfLetter('A'), 0);
    EXPECT_EQ(kavlon::PlantIndexOfLetter('g'), 6);
    EXPECT_EQ(kavlon::PlantIndexOfLetter('H'), -1);
    EXPECT_EQ(kavlon::Plants[6].title, "PT2 - Regelstrecke mit Totzeit und 80% Kompensation");
    EXPECT_EQ(kavlon::OptionLabel(kavlon::Plants[2].option), "StrK");
}

TEST(OptionEnabledFor, FollowsPlantAndMode)
{
    // Plants A..G in controller mode, then in manual mode.
    const bool controller[] = {false, false, true, false, false, true, true};
    const bool manual[] = {false, false, true, false, false, false, false};
    for (int p = 0; p < 7; ++p) {
        EXPECT_EQ(kavlon::OptionEnabledFor(p, false), controller[p]) << p;
        EXPECT_EQ(kavlon::OptionEnabledFor(p, true), manual[p]) << p;
    }
    EXPECT_FALSE(kavlon::OptionEnabledFor(-1, false));
    EXPECT_FALSE(kavlon::OptionEnabledFor(7, false));
}
