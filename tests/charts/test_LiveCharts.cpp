#include "charts/LiveCharts.h"
#include "charts/TraceDrawing.h"

#include <gtest/gtest.h>

#include <random>

using namespace kavlon;

namespace {

std::uint32_t Bgr(const QImage &img, int x, int y) { return RgbToBgr(img.pixel(x, y) & 0xFFFFFFu); }

// Random operator changes between ticks, including every mode flag.
void RandomOperator(std::mt19937 &rng, LoopState &s)
{
    switch (rng() % 12) {
    case 0: s.w = static_cast<Real>(rng() % 801); break;
    case 1: s.Z = static_cast<Real>(static_cast<int>(rng() % 401) - 200); break;
    case 2: s.Kr = static_cast<Real>(rng() % 60) / 10; break;
    case 3: s.Tn = static_cast<Real>(rng() % 80); break;
    case 4: s.Tv = static_cast<Real>(rng() % 30) / 10; break;
    case 5: s.HandMode = !s.HandMode; break;
    case 6: s.ARWUOn = !s.ARWUOn; break;
    case 7: s.TotKOn = !s.TotKOn; break;
    case 8: s.StrKOn = !s.StrKOn; break;
    case 9: s.y = static_cast<Real>(rng() % 101); break;
    default: break;
    }
}

} // namespace

TEST(LiveCharts, DrawAllCurvesTwiceRestoresTheCharts)
{
    for (const std::uint32_t back : {White, Black}) {
        std::mt19937 rng(back + 11);
        LiveCharts charts;
        charts.SetImageSize(765, 180);
        charts.SetTimeAxisLength(180);
        charts.SetBackColor(back);
        LoopState s;
        s.PlantIndex = 4;
        ResetLoopState(s, false, false, false);
        charts.ResetCharts(s);
        for (int t = 0; t < 400; ++t) {
            if (rng() % 4 == 0)
                RandomOperator(rng, s);
            ChartTick(s, charts);
            if (t % 37 == 1 || t == 399) {
                const QImage regler = charts.ReglerImage().copy();
                const QImage strecke = charts.RegelstreckeImage().copy();
                charts.DrawAllCurves();
                EXPECT_NE(charts.ReglerImage(), regler) << "the traces are on the chart";
                charts.DrawAllCurves();
                ASSERT_EQ(charts.ReglerImage(), regler) << "tick " << t;
                ASSERT_EQ(charts.RegelstreckeImage(), strecke) << "tick " << t;
            }
        }
    }
}

TEST(LiveCharts, MarksOfTheNextTickGoOnBothScalesAndEraseCleanly)
{
    LiveCharts charts;
    charts.SetImageSize(600, 180);
    charts.SetTimeAxisLength(180);
    LoopState s;
    ResetLoopState(s, false, false, false);
    charts.ResetCharts(s);
    const QImage regler = charts.ReglerImage().copy();
    for (int t = 0; t < 40; ++t) {
        if (t == 10) {
            charts.MarkNextTick("w=300");
            charts.MarkNextTick("Kr=2");
            charts.MarkNextTick(""); // nothing to show: no mark
        }
        ChartTick(s, charts);
    }
    for (const TRunningScale *scale : {&charts.ControllerScale(), &charts.PlantScale()}) {
        EXPECT_EQ((*scale)[10].ModeText, "w=300 Kr=2");
        EXPECT_FALSE((*scale)[10].Hidden);
        EXPECT_EQ((*scale)[11].ModeText, "");
    }
    EXPECT_NE(charts.ReglerImage(), regler);
    charts.DrawAllCurves();
    charts.DrawScales(true);
    EXPECT_EQ(charts.ReglerImage(), regler);

    // A reset drops a mark not yet shown.
    charts.MarkNextTick("Stop");
    charts.ResetCharts(s);
    ChartTick(s, charts);
    EXPECT_EQ(charts.ControllerScale()[0].ModeText, "");
}

TEST(LiveCharts, ErasingEverythingLeavesTheFreshFrame)
{
    // Traces crossing the label row (Z near -150, y parts negative) must not
    // leave debris: after erasing the traces and the scales the charts are
    // exactly the freshly framed ones. A background colour kept from the
    // settings store (neither white nor black) must erase as cleanly.
    for (const std::uint32_t back : {White, Black, 0x804020u}) {
        std::mt19937 rng(back + 3);
        LiveCharts charts;
        charts.SetImageSize(600, 180);
        charts.SetTimeAxisLength(300);
        charts.SetBackColor(back);
        LoopState s;
        ResetLoopState(s, false, false, false);
        charts.ResetCharts(s);
        const QImage regler = charts.ReglerImage().copy();
        const QImage strecke = charts.RegelstreckeImage().copy();
        for (int t = 0; t < 700; ++t) {
            if (rng() % 3 == 0)
                RandomOperator(rng, s);
            if (t % 50 == 0)
                s.Z = -150 - static_cast<Real>(rng() % 40);
            ChartTick(s, charts);
        }
        charts.DrawAllCurves();
        charts.DrawScales(true);
        EXPECT_EQ(charts.ReglerImage(), regler);
        EXPECT_EQ(charts.RegelstreckeImage(), strecke);
    }
}

TEST(LiveCharts, ErasedLabelsGiveBackTheGridLinesUnderThem)
{
    // On a low chart the label row lies across a grid line; erasing a label
    // used to paint its box in the background colour and cut the line.
    struct Case {
        int width, height, axis;
    };
    for (const Case c : {Case{353, 76, 60}, Case{420, 50, 60}, Case{500, 100, 120}}) {
        for (const std::uint32_t back : {White, Black}) {
            LiveCharts charts;
            charts.SetImageSize(c.width, c.height);
            charts.SetTimeAxisLength(c.axis);
            charts.SetBackColor(back);
            LoopState s;
            ResetLoopState(s, false, false, false);
            charts.ResetCharts(s);
            const QImage regler = charts.ReglerImage().copy();
            const QImage strecke = charts.RegelstreckeImage().copy();
            for (int t = 0; t < 3 * c.axis; ++t) {
                if (t % 45 == 7)
                    s.HandMode = !s.HandMode;
                ChartTick(s, charts);
            }
            charts.DrawAllCurves();
            charts.DrawScales(true);
            EXPECT_EQ(charts.ReglerImage(), regler) << c.width << " x " << c.height;
            EXPECT_EQ(charts.RegelstreckeImage(), strecke) << c.width << " x " << c.height;
        }
    }
}

TEST(LiveCharts, FirstAndSecondTick)
{
    LiveCharts charts;
    charts.SetImageSize(765, 180);
    charts.SetBackColor(White);
    LoopState s;
    s.w = 300;
    ResetLoopState(s, false, false, false);
    charts.ResetCharts(s);
    const QImage fresh = charts.RegelstreckeImage().copy();
    const Real px = charts.PxPerSample();

    ChartTick(s, charts);
    EXPECT_EQ(charts.Curve(CurveW).Count(), 1);
    EXPECT_EQ(charts.PlantScale().Count(), 1);
    // No trace segment yet; the long mark for 0 s stands at PlotRight.
    const QImage &img = charts.RegelstreckeImage();
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 765; ++x)
            if (img.pixel(x, y) != fresh.pixel(x, y)) {
                ASSERT_EQ(x, 727) << "only the mark changed, at " << x << "," << y;
                ASSERT_GE(y, 124);
                ASSERT_LT(y, 156);
            }
    EXPECT_EQ(Bgr(img, 727, 130), Black);
    EXPECT_EQ(charts.PlantScale()[0].SecondsLabel, "0");

    ChartTick(s, charts);
    // The w trace (300 -> row 92) joins x = PlotLeft + [598 px] to that + [px].
    const int x0 = 42 + RoundPixel(598 * px);
    const int x1 = x0 + RoundPixel(px);
    EXPECT_EQ(x1 - x0, 1);
    EXPECT_EQ(Bgr(img, x0, 92), 0xFFFF00u);
    EXPECT_EQ(Bgr(img, x0 + 1, 92), 0xFFFF00u) << "pen width 2";
    EXPECT_EQ(Bgr(img, x0 - 1, 92), White);
    EXPECT_EQ(Bgr(img, x0, 94), White);
    EXPECT_EQ(Bgr(img, x0, 93), 0xFFFF00u);
}

TEST(LiveCharts, SecondsLabelAppearsOnceInsideThePlot)
{
    LiveCharts charts;
    charts.SetImageSize(765, 180);
    LoopState s;
    ResetLoopState(s, false, false, false);
    charts.ResetCharts(s);
    ChartCanvas probe;
    probe.NewImage(10, 10, White);
    probe.SetFontBold(true);
    const int half = probe.TextWidth(QStringLiteral("0")) / 2;
    const int labelRow = 182 - 16 - 11 + 5;
    int appeared = -1;
    for (int t = 0; t < 40 && appeared < 0; ++t) {
        ChartTick(s, charts);
        for (int x = 600; x < 727 && appeared < 0; ++x)
            if (Bgr(charts.ReglerImage(), x, labelRow) == Black)
                appeared = t;
    }
    ASSERT_GE(appeared, 0);
    // At that tick the mark of 0 s lies at least half + 1 pixels left of PlotRight.
    const Real px = charts.PxPerSample();
    const auto markX = [&](int count) { return 42 + RoundPixel((600 - count) * px); };
    EXPECT_LE(markX(appeared + 1) + half, 726);
    EXPECT_GT(markX(appeared) + half, 726);
}

TEST(LiveCharts, ManualModeHidesThePartsAndMarksBothScales)
{
    LiveCharts charts;
    charts.SetImageSize(765, 180);
    LoopState s;
    s.Tv = 2;
    ResetLoopState(s, false, false, false);
    charts.ResetCharts(s);
    for (int t = 0; t < 20; ++t)
        ChartTick(s, charts);
    s.HandMode = true;
    ChartTick(s, charts);
    for (const CurveIndex c : {CurveYp, CurveYi, CurveYd}) {
        const TCurve &curve = charts.Curve(c);
        EXPECT_FALSE(curve[19].Hidden);
        EXPECT_TRUE(curve[20].Hidden);
    }
    EXPECT_FALSE(charts.Curve(CurveY)[20].Hidden);
    for (const TRunningScale *scale : {&charts.ControllerScale(), &charts.PlantScale()}) {
        EXPECT_EQ((*scale)[20].ModeText, "Hand");
        EXPECT_TRUE(scale->LastHandMode);
    }
    EXPECT_EQ(charts.ControllerScale()[20].MarkTop, 108 - 24);
    EXPECT_EQ(charts.PlantScale()[20].MarkTop, 140 - 24);
}

TEST(LiveCharts, ResetReplacesListsAndPicture)
{
    LiveCharts charts;
    charts.SetImageSize(400, 120);
    LoopState s;
    ResetLoopState(s, false, false, false);
    charts.ResetCharts(s);
    const QImage fresh = charts.ReglerImage().copy();
    for (int t = 0; t < 50; ++t)
        ChartTick(s, charts);
    EXPECT_NE(charts.ReglerImage(), fresh);
    s.ARWUOn = true;
    ResetLoopState(s, true, false, false);
    charts.ResetCharts(s);
    EXPECT_EQ(charts.ReglerImage(), fresh);
    EXPECT_EQ(charts.Curve(CurveYp).Count(), 0);
    EXPECT_EQ(charts.PlantScale().Count(), 0);
    EXPECT_TRUE(charts.PlantScale().LastARWUOn);
    ChartTick(s, charts);
    EXPECT_EQ(charts.PlantScale()[0].ModeText, "") << "new scales start in step";
    // Background switched twice: the white picture again.
    charts.SetBackColor(Black);
    charts.ResetCharts(s);
    charts.SetBackColor(White);
    charts.ResetCharts(s);
    EXPECT_EQ(charts.ReglerImage(), fresh);
}

TEST(LiveCharts, TinyImagesAreDrawnClipped)
{
    const std::pair<int, int> sizes[] = {{0, 0}, {1, 1}, {30, 10}, {80, 20}, {81, 21}, {2000, 5}};
    for (const auto &[w, h] : sizes) {
        std::mt19937 rng(static_cast<unsigned>(w * 31 + h));
        LiveCharts charts;
        charts.SetImageSize(w, h);
        charts.SetTimeAxisLength(180);
        LoopState s;
        ResetLoopState(s, false, false, false);
        charts.ResetCharts(s);
        for (int t = 0; t < 250; ++t) {
            RandomOperator(rng, s);
            ChartTick(s, charts);
        }
        EXPECT_EQ(charts.ReglerImage().size(), QSize(w, h));
        EXPECT_EQ(charts.Curve(CurveZ).Count(), 180);
    }
    LiveCharts charts;
    charts.SetImageSize(-3, -4);
    charts.ResetCharts(LoopState{});
    EXPECT_TRUE(charts.ReglerImage().isNull());
}

// Each trace is sampled over the values of the chart it is drawn on: its top
// value on the top grid line, 0 on the zero line, its bottom value on the
// bottom line.
TEST(LiveCharts, EachTraceSpansItsChartsGrid)
{
    struct Row {
        CurveIndex curve;
        int chart;
        Real LoopState::*value;
    };
    const Row rows[] = {
        {CurveYp, ControllerChart, &LoopState::yp}, {CurveYi, ControllerChart, &LoopState::yi},
        {CurveYd, ControllerChart, &LoopState::yd}, {CurveY, ControllerChart, &LoopState::y},
        {CurveW, PlantChart, &LoopState::w},        {CurveX, PlantChart, &LoopState::x},
        {CurveZ, PlantChart, &LoopState::Z},
    };
    LiveCharts charts;
    charts.SetImageSize(765, 180);
    LoopState s;
    s.Kr = s.Tn = s.Tv = 1;
    charts.ResetCharts(s);
    for (const Row &r : rows) {
        const ChartValueSpan range = ChartValueRange(r.chart);
        const std::pair<int, int> points[] = {{range.hi, charts.PlotTop()},
                                              {0, charts.ZeroLineY(r.chart)},
                                              {range.lo, charts.PlotBottom()}};
        for (const auto &[value, row] : points) {
            s.*r.value = value;
            charts.Record(s);
            const TCurve &curve = charts.Curve(r.curve);
            EXPECT_EQ(curve[curve.Count() - 1].PixelY, row)
                << "trace " << r.curve << " at " << value;
        }
    }
}
