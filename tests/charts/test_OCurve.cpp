#include "charts/OCurve.h"

#include <gtest/gtest.h>

#include <set>

using namespace kavlon;

TEST(AddSample, PixelRowsOfWorkedValues)
{
    struct Row {
        Real value, hi, lo;
        int expected;
    };
    // PlotBottom 172, PlotHeight 160 (a 765 x 180 image).
    const Row rows[] =
        {
            {-100, 150, -100, 172}, {150, 150, -100, 12}, {0, 150, -100, 108},
            {0, 800, -200, 140},    {800, 800, -200, 12}, {-200, 800, -200, 172},
            {250, 150, -100, -52}, // out of range: above the plot, not limited
        };
    for (const Row &r : rows) {
        TCurve c(600);
        AddSample(c, false, 1, r.value, 160, r.hi, r.lo, 172);
        EXPECT_EQ(c[0].PixelY, r.expected) << "value " << static_cast<double>(r.value);
        EXPECT_EQ(c[0].Value, r.value);
        EXPECT_EQ(c.Current, &c[0]);
        EXPECT_FALSE(c[0].Hidden);
    }
}

TEST(AddSample, HalfRowsRoundToEven)
{
    // row = 100 - value: 62.5 -> 62, 63.5 -> 64, 61.5 -> 62
    const std::pair<Real, int> rows[] = {{37.5L, 62}, {36.5L, 64}, {38.5L, 62}};
    for (const auto &[value, expected] : rows) {
        TCurve c(600);
        AddSample(c, false, 1, value, 100, 100, 0, 100);
        EXPECT_EQ(c[0].PixelY, expected);
    }
}

TEST(AddSample, HiddenPoints)
{
    TCurve c(600);
    AddSample(c, true, 4, 55, 160, 150, -100, 172); // manual mode
    AddSample(c, false, 0, 0, 160, 150, -100, 172); // Kr = 0 in automatic mode
    ASSERT_EQ(c.Count(), 2);
    EXPECT_TRUE(c[0].Hidden);
    EXPECT_EQ(c[0].Value, 0);
    EXPECT_EQ(c[0].PixelY, 0);
    EXPECT_TRUE(c[1].Hidden);
    EXPECT_EQ(c[1].PixelY, 108); // computed although hidden
}

TEST(TCurve, SlidingWindowKeepsNewestN)
{
    for (int n : {180, 300, 600}) {
        TCurve c(n);
        for (int i = 0; i <= n; ++i)
            AddSample(c, false, 1, i, 160, 150, -100, 172);
        ASSERT_EQ(c.Count(), n);
        EXPECT_EQ(c[0].Value, 1) << "the first entry is the second one appended";
        EXPECT_EQ(c[n - 1].Value, n);
        EXPECT_NE(c.Current, &c[n - 1]) << "the cursor is on the dropped point";
    }
}

TEST(TCurve, FullWindowReusesItsPoints)
{
    TCurve c(180);
    TRunningScale s(180, LoopState{});
    LoopState st;
    for (int i = 0; i < 181; ++i) {
        AddSample(c, false, 1, i, 160, 150, -100, 172);
        AddScaleMark(s, st, i, 108);
    }
    std::set<const TCurvePoint *> points;
    std::set<const char *> texts;
    for (int i = 0; i < c.Count(); ++i)
        points.insert(&c[i]);
    for (int i = 0; i < s.Count(); ++i)
        texts.insert(s[i].SecondsLabel.data());
    for (int i = 181; i < 2000; ++i) {
        AddSample(c, false, 1, i, 160, 150, -100, 172);
        st.HandMode = i % 7 == 0;
        AddScaleMark(s, st, i, 108);
        // One slot beyond the window is the only other place a point may live.
        EXPECT_LE(points.size(), 181U);
        points.insert(&c[c.Count() - 1]);
        EXPECT_TRUE(s[s.Count() - 1].SecondsLabel.capacity() <= 15)
            << "label left its in-place buffer";
    }
    EXPECT_LE(points.size(), 181U);
    EXPECT_EQ(c[179].Value, 1999);
}

TEST(AddScaleMark, MarksEvery15And60Seconds)
{
    struct Row {
        int seconds;
        bool hidden;
        int top, bottom;
        const char *label;
    };
    const Row rows[] = {{0, false, 92, 124, "0"},  {7, true, 0, 0, ""},
                        {15, false, 100, 116, ""}, {30, false, 100, 116, ""},
                        {45, false, 100, 116, ""}, {60, false, 92, 124, "60"},
                        {61, true, 0, 0, ""},      {3600, false, 92, 124, "3600"}};
    for (const Row &r : rows) {
        TRunningScale scale(600, LoopState{});
        AddScaleMark(scale, LoopState{}, r.seconds, 108);
        const TCurvePoint &e = scale[0];
        EXPECT_EQ(e.Hidden, r.hidden) << r.seconds;
        EXPECT_EQ(e.MarkTop, r.top) << r.seconds;
        EXPECT_EQ(e.MarkBottom, r.bottom) << r.seconds;
        EXPECT_EQ(e.SecondsLabel, r.label) << r.seconds;
        EXPECT_EQ(e.ModeText, "") << r.seconds;
    }
}

TEST(AddScaleMark, ModeChangeMarkers)
{
    LoopState s;
    TRunningScale scale(600, s);
    AddScaleMark(scale, s, 1, 140);
    EXPECT_TRUE(scale[0].Hidden) << "a new scale starts in step with the flags";

    s.HandMode = true;
    AddScaleMark(scale, s, 2, 140);
    EXPECT_FALSE(scale[1].Hidden);
    EXPECT_EQ(scale[1].ModeText, "Hand");
    EXPECT_EQ(scale[1].MarkTop, 116);
    EXPECT_EQ(scale[1].MarkBottom, 164);

    s.HandMode = false;
    AddScaleMark(scale, s, 3, 140);
    EXPECT_EQ(scale[2].ModeText, "Regler");

    // Two flags between the same ticks: one marker, the later flag's text.
    s.ARWUOn = true;
    s.HandMode = true;
    AddScaleMark(scale, s, 4, 140);
    EXPECT_EQ(scale[3].ModeText, "Hand");
    EXPECT_TRUE(scale.LastARWUOn);
    EXPECT_TRUE(scale.LastHandMode);
    AddScaleMark(scale, s, 5, 140);
    EXPECT_TRUE(scale[4].Hidden);
    EXPECT_EQ(scale[4].ModeText, "");

    const std::tuple<bool LoopState::*, const char *, const char *> flags[] = {
        {&LoopState::ARWUOn, "ARWU aus", "ARWU ein"},
        {&LoopState::TotKOn, "TotK ein", "TotK aus"},
        {&LoopState::StrKOn, "StrK ein", "StrK aus"}};
    int t = 6;
    for (const auto &[flag, first, second] : flags) {
        s.*flag = !(s.*flag);
        AddScaleMark(scale, s, t++, 140);
        EXPECT_EQ(scale[scale.Count() - 1].ModeText, first);
        s.*flag = !(s.*flag);
        AddScaleMark(scale, s, t++, 140);
        EXPECT_EQ(scale[scale.Count() - 1].ModeText, second);
    }
}

TEST(AddScaleMark, ModeChangeAtFullMinuteCarriesBothTexts)
{
    LoopState s;
    TRunningScale scale(600, s);
    s.TotKOn = true;
    AddScaleMark(scale, s, 120, 108);
    EXPECT_EQ(scale[0].SecondsLabel, "120");
    EXPECT_EQ(scale[0].ModeText, "TotK ein");
    EXPECT_EQ(scale[0].MarkTop, 84);
    EXPECT_EQ(scale[0].MarkBottom, 132);
}

TEST(AddScaleMark, PendingMarkMakesOneMarkerAndIsUsedOnce)
{
    LoopState s;
    TRunningScale scale(600, s);
    scale.PendingMark = "w=300";
    AddScaleMark(scale, s, 7, 140);
    EXPECT_FALSE(scale[0].Hidden);
    EXPECT_EQ(scale[0].ModeText, "w=300");
    EXPECT_EQ(scale[0].MarkTop, 116);
    EXPECT_EQ(scale[0].MarkBottom, 164);
    EXPECT_TRUE(scale.PendingMark.empty());
    AddScaleMark(scale, s, 8, 140);
    EXPECT_TRUE(scale[1].Hidden);
    EXPECT_EQ(scale[1].ModeText, "");

    // With a mode change on the same entry both texts show, the change's
    // own text after the schedule's; a full minute keeps its label.
    scale.PendingMark = "Kr=2";
    s.HandMode = true;
    AddScaleMark(scale, s, 60, 140);
    EXPECT_EQ(scale[2].ModeText, "Kr=2 Hand");
    EXPECT_EQ(scale[2].SecondsLabel, "60");
    EXPECT_EQ(scale[2].MarkTop, 116);
}

TEST(ChartLists, CreateAndFreeReplaceAllNine)
{
    ChartLists lists;
    LoopState s;
    s.StrKOn = true;
    CreateCurves(lists, 300);
    CreateScales(lists, 300, s);
    for (auto &c : lists.Curves) {
        ASSERT_TRUE(c);
        EXPECT_EQ(c->WindowLength(), 300);
        AddSample(*c, false, 1, 0, 10, 1, 0, 10);
    }
    EXPECT_TRUE(lists.PlantScale->LastStrKOn);
    FreeCurves(lists);
    FreeScales(lists);
    for (auto &c : lists.Curves)
        EXPECT_FALSE(c);
    EXPECT_FALSE(lists.ControllerScale);
    EXPECT_FALSE(lists.PlantScale);
}
