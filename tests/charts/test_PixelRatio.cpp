// The live charts on a screen with display scaling: drawn at the device
// resolution, erasing exactly, and the same lists at ratio 1 for documents.
#include "charts/LiveCharts.h"
#include "charts/TraceDrawing.h"
#include "tests/charts/EvaluationFixture.h"

#include <gtest/gtest.h>

#include <random>

using namespace kavlon;

namespace {

struct ChartRun {
    LiveCharts charts;
    LoopState s;
};

// Charts of width x height points at `ratio`, after `ticks` ticks with steps
// in w and Z, a manual-mode spell and mode changes, so that every trace,
// mark and label moves; Z dips to the label row now and then.
void RunCharts(ChartRun &run, int width, int height, double ratio, std::uint32_t back, int ticks,
               unsigned seed)
{
    std::mt19937 rng(seed);
    run.charts.SetImageSize(width, height);
    run.charts.SetTimeAxisLength(180);
    run.charts.SetBackColor(back);
    run.charts.SetPixelRatio(ratio);
    run.s = LoopState{};
    run.s.Tv = 2;
    ResetLoopState(run.s, false, false, false);
    run.charts.ResetCharts(run.s);
    for (int t = 0; t < ticks; ++t) {
        switch (rng() % 40) {
        case 0: run.s.w = static_cast<Real>(rng() % 801); break;
        case 1: run.s.Z = -150 - static_cast<Real>(rng() % 50); break;
        case 2: run.s.Z = static_cast<Real>(rng() % 200); break;
        case 3: run.s.HandMode = !run.s.HandMode; break;
        case 4: run.s.ARWUOn = !run.s.ARWUOn; break;
        case 5: run.charts.MarkNextTick("w=300"); break;
        default: break;
        }
        ChartTick(run.s, run.charts);
    }
}

// Whether any two neighbours differ across an odd column (odd = true) or
// across an even one, within `area`. In a 2x nearest-neighbour enlargement of
// a low-resolution picture every change between neighbours falls between
// columns 2k - 1 and 2k, so a sharp picture must show changes at odd columns.
bool ChangesAtColumnParity(const QImage &img, const QRect &area, bool odd)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left() + 1; x <= area.right(); ++x)
            if ((x % 2 == 1) == odd && img.pixel(x, y) != img.pixel(x - 1, y))
                return true;
    return false;
}
bool ChangesAtRowParity(const QImage &img, const QRect &area, bool odd)
{
    for (int y = area.top() + 1; y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((y % 2 == 1) == odd && img.pixel(x, y) != img.pixel(x, y - 1))
                return true;
    return false;
}

} // namespace

TEST(PixelRatio, ImagesCoverTheViewInDevicePixels)
{
    struct Case {
        int points;
        double ratio;
        int pixels;
    };
    for (const Case c : {Case{980, 1, 980}, Case{980, 1.25, 1225}, Case{981, 1.5, 1472},
                         Case{216, 2, 432}, Case{10, 1.1, 11}, Case{0, 2, 0}, Case{7, 1.75, 13}})
        EXPECT_EQ(LiveCharts::PixelsFor(c.points, c.ratio), c.pixels)
            << c.points << " at " << c.ratio;

    LiveCharts charts;
    charts.SetImageSize(981, 217);
    charts.SetPixelRatio(1.5);
    EXPECT_EQ(charts.PixelRatio(), 1) << "takes effect at the next reset";
    charts.ResetCharts(LoopState{});
    EXPECT_EQ(charts.PixelRatio(), 1.5);
    EXPECT_EQ(charts.ReglerImage().size(), QSize(1472, 326));
    EXPECT_EQ(charts.RegelstreckeImage().size(), QSize(1472, 326));
    EXPECT_EQ(charts.ReglerImage().devicePixelRatio(), 1.5) << "a view shows it 1:1";

    // A ratio no screen has draws as an unscaled chart.
    for (const double odd :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        charts.SetPixelRatio(odd);
        charts.ResetCharts(LoopState{});
        EXPECT_EQ(charts.PixelRatio(), 1);
        EXPECT_EQ(charts.ReglerImage().size(), QSize(981, 217));
    }
}

TEST(PixelRatio, ChartsTooLargeToAllocateStayBlank)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer aborts on a failed allocation instead of returning null";
#else
    LiveCharts charts;
    charts.SetImageSize(60000, 60000);
    charts.SetPixelRatio(8);
    charts.ResetCharts(LoopState{});
    EXPECT_TRUE(charts.ReglerImage().isNull());
    LoopState s;
    for (int i = 0; i < 3; ++i)
        ChartTick(s, charts);
    EXPECT_EQ(s.TickCount, 3);
#endif
}

TEST(PixelRatio, MarginsFontsMarksAndPensScaleWithTheRatio)
{
    ChartRun one, two;
    RunCharts(one, 980, 216, 1, White, 200, 5);
    RunCharts(two, 980, 216, 2, White, 200, 5);
    const ChartGeometry &a = one.charts.Geometry();
    const ChartGeometry &b = two.charts.Geometry();
    EXPECT_EQ(a.PlotLeft, 42);
    EXPECT_EQ(b.PlotLeft, 84);
    EXPECT_EQ(b.PlotRight, 2 * a.PlotRight);
    EXPECT_EQ(b.PlotTop, 24);
    EXPECT_EQ(b.PlotBottom, 2 * a.PlotBottom);
    // The zero lines are rounded at the finer resolution: 3 x 78.4 below
    // the top is row 24 + 235, where ratio 1 gives 12 + 118 (from 117.6).
    EXPECT_EQ(a.ZeroLineOf(ControllerChart), 130);
    EXPECT_EQ(b.ZeroLineOf(ControllerChart), 259);
    EXPECT_EQ(b.ZeroLineOf(PlantChart), 2 * a.ZeroLineOf(PlantChart));

    // The minute marks reach 16 points either side of the zero line.
    const TRunningScale &scale = two.charts.PlantScale();
    bool minute = false;
    for (int i = 0; i < scale.Count(); ++i)
        if (!scale[i].SecondsLabel.empty() && scale[i].ModeText.empty()) {
            EXPECT_EQ(scale[i].MarkBottom - scale[i].MarkTop, 64);
            minute = true;
        }
    EXPECT_TRUE(minute);

    // The zero line of the plant chart is solid, the others dotted with
    // 3-point runs: 6 pixels on, 6 off at ratio 2.
    const QImage &img = two.charts.RegelstreckeImage();
    const int gridRow = b.PlotTop;
    int firstOff = -1;
    for (int x = b.PlotLeft; x < b.PlotRight && firstOff < 0; ++x)
        if (img.pixel(x, gridRow) == img.pixel(b.PlotLeft - 10, gridRow) && x > b.PlotLeft)
            firstOff = x;
    EXPECT_EQ(firstOff - (b.PlotLeft - 1), 6) << "a dot is 3 points long";

    // The font is 11 points: the top label ("800") is twice as high in ink.
    const auto inkHeight = [](const QImage &chart, const ChartGeometry &g) {
        int top = -1, bottom = -1;
        for (int y = 0; y < g.PlotTop + g.PlotHeight / 10; ++y)
            for (int x = 0; x < g.PlotLeft - 4; ++x)
                if ((chart.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu) {
                    top = top < 0 ? y : top;
                    bottom = y;
                }
        return bottom - top + 1;
    };
    const int low = inkHeight(one.charts.RegelstreckeImage(), a);
    EXPECT_GE(low, 8);
    EXPECT_NEAR(inkHeight(two.charts.RegelstreckeImage(), b), 2 * low, 2);

    // The traces are 2 points wide: a flat stretch of w covers 4 rows.
    const TCurve &w = two.charts.Curve(CurveW);
    const int row = w[w.Count() - 1].PixelY;
    const int column =
        EntryX(b.PlotLeft, b.PxPerSample, w.WindowLength(), w.Count(), w.Count() - 3);
    int covered = 0;
    for (int y = row - 4; y <= row + 4; ++y)
        covered += (img.pixel(column, y) & 0xFFFFFFu) != 0xFFFFFFu ? 1 : 0;
    EXPECT_EQ(covered, 4);
}

TEST(PixelRatio, NoLineOrGlyphIsADoubledLowResolutionOne)
{
    ChartRun one, two;
    RunCharts(one, 765, 180, 1, White, 260, 9);
    RunCharts(two, 765, 180, 2, White, 260, 9);
    for (const int chart : {ControllerChart, PlantChart}) {
        const QImage &sharp =
            chart == PlantChart ? two.charts.RegelstreckeImage() : two.charts.ReglerImage();
        const QImage &low =
            chart == PlantChart ? one.charts.RegelstreckeImage() : one.charts.ReglerImage();
        const QImage doubled =
            low.scaled(low.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        ASSERT_EQ(sharp.size(), doubled.size());
        EXPECT_NE(sharp, doubled);

        // The probe itself: a doubled picture never changes at odd columns.
        const QRect all = sharp.rect();
        EXPECT_FALSE(ChangesAtColumnParity(doubled, all, true));
        EXPECT_FALSE(ChangesAtRowParity(doubled, all, true));

        // The value labels left of the plot: glyph edges on single pixels.
        const ChartGeometry &g = two.charts.Geometry();
        const QRect labels(0, 0, g.PlotLeft - 4, g.PlotBottom);
        EXPECT_TRUE(ChangesAtColumnParity(sharp, labels, true)) << "chart " << chart;
        EXPECT_TRUE(ChangesAtRowParity(sharp, labels, true)) << "chart " << chart;
        // The traces inside the plot, above the label row.
        const QRect plot(g.PlotLeft + 2, g.PlotTop + 2, g.PlotRight - g.PlotLeft - 4,
                         g.PlotHeight / 2);
        EXPECT_TRUE(ChangesAtColumnParity(sharp, plot, true)) << "chart " << chart;
        EXPECT_TRUE(ChangesAtRowParity(sharp, plot, true)) << "chart " << chart;
    }
}

TEST(PixelRatio, ErasingEverythingLeavesTheFreshFrameAtEveryRatio)
{
    struct Case {
        double ratio;
        int width, height;
    };
    const Case cases[] = {{1.25, 765, 180}, {1.5, 765, 180},  {2, 765, 180},   {1.5, 981, 217},
                          {2, 353, 76},     {1.25, 500, 101}, {1.75, 600, 150}};
    for (const Case &c : cases) {
        for (const std::uint32_t back : {White, Black}) {
            LiveCharts fresh;
            fresh.SetImageSize(c.width, c.height);
            fresh.SetTimeAxisLength(180);
            fresh.SetBackColor(back);
            fresh.SetPixelRatio(c.ratio);
            fresh.ResetCharts(LoopState{});

            ChartRun run;
            RunCharts(run, c.width, c.height, c.ratio, back, 400,
                      static_cast<unsigned>(c.width + back));
            const QImage regler = run.charts.ReglerImage().copy();
            const QImage strecke = run.charts.RegelstreckeImage().copy();
            run.charts.DrawAllCurves();
            run.charts.DrawScales(true);
            EXPECT_EQ(run.charts.ReglerImage(), fresh.ReglerImage())
                << c.ratio << ": " << c.width << " x " << c.height;
            EXPECT_EQ(run.charts.RegelstreckeImage(), fresh.RegelstreckeImage())
                << c.ratio << ": " << c.width << " x " << c.height;
            // And drawn again as a tick draws them, the charts are back.
            run.charts.DrawAllCurves();
            run.charts.DrawScales(false);
            EXPECT_EQ(run.charts.ReglerImage(), regler) << c.ratio;
            EXPECT_EQ(run.charts.RegelstreckeImage(), strecke) << c.ratio;
        }
    }
}

TEST(PixelRatio, TheUnscaledCopyHoldsWhatRatioOneWouldHold)
{
    for (const double ratio : {1.25, 1.5, 2.0}) {
        ChartRun one, scaled;
        RunCharts(one, 765, 181, 1, White, 420, 21);
        RunCharts(scaled, 765, 181, ratio, White, 420, 21);
        const LiveCharts copy = scaled.charts.UnscaledCopy();
        EXPECT_EQ(copy.PixelRatio(), 1);
        EXPECT_EQ(copy.ReglerImage().size(), QSize(765, 181));
        const ChartGeometry &a = one.charts.Geometry();
        const ChartGeometry &b = copy.Geometry();
        EXPECT_EQ(b.PlotLeft, a.PlotLeft);
        EXPECT_EQ(b.PlotBottom, a.PlotBottom);
        EXPECT_EQ(b.PxPerSample, a.PxPerSample);
        EXPECT_EQ(b.ZeroLineY, a.ZeroLineY);
        for (int list = 0; list < CurveCount; ++list) {
            const TCurve &want = one.charts.Curve(static_cast<CurveIndex>(list));
            const TCurve &got = copy.Curve(static_cast<CurveIndex>(list));
            ASSERT_EQ(got.Count(), want.Count());
            ASSERT_EQ(got.WindowLength(), want.WindowLength());
            for (int i = 0; i < want.Count(); ++i) {
                ASSERT_EQ(got[i].PixelY, want[i].PixelY) << ratio << " list " << list << " " << i;
                ASSERT_EQ(got[i].Hidden, want[i].Hidden);
                ASSERT_EQ(got[i].Value, want[i].Value);
            }
        }
        for (const bool plant : {false, true}) {
            const TRunningScale &want =
                plant ? one.charts.PlantScale() : one.charts.ControllerScale();
            const TRunningScale &got = plant ? copy.PlantScale() : copy.ControllerScale();
            ASSERT_EQ(got.Count(), want.Count());
            EXPECT_EQ(got.LastHandMode, want.LastHandMode);
            EXPECT_EQ(got.LastARWUOn, want.LastARWUOn);
            for (int i = 0; i < want.Count(); ++i) {
                ASSERT_EQ(got[i].Hidden, want[i].Hidden) << i;
                ASSERT_EQ(got[i].MarkTop, want[i].MarkTop) << ratio << " entry " << i;
                ASSERT_EQ(got[i].MarkBottom, want[i].MarkBottom) << ratio << " entry " << i;
                ASSERT_EQ(got[i].SecondsLabel, want[i].SecondsLabel);
                ASSERT_EQ(got[i].ModeText, want[i].ModeText);
            }
        }
    }
}

TEST(PixelRatio, OverlaysLineUpWithTheTracesInImagePixels)
{
    for (const double ratio : {1.5, 2.0}) {
        test::EvaluatedLoop loop(980, 216, 600);
        loop.charts.SetPixelRatio(ratio);
        loop.Restart();
        loop.evaluation.CursorEnabled = true;
        loop.Tick(300);
        const std::int32_t tick = loop.evaluation.NewestTick() - 100;
        const std::optional<int> column =
            TickColumn(loop.charts, loop.evaluation.NewestTick(), tick);
        ASSERT_TRUE(column);
        // The sample of x at that tick is drawn at that column.
        const TCurve &x = loop.charts.Curve(CurveX);
        const TCurvePoint &sample = x[x.Count() - 1 - 100];
        const QImage &plant = loop.charts.RegelstreckeImage();
        EXPECT_NE(plant.pixel(*column, sample.PixelY) & 0xFFFFFFu, 0xFFFFFFu) << ratio;
        // Pointing at that column picks that tick.
        loop.evaluation.SetCursorAt(loop.charts, 0, *column);
        ASSERT_EQ(loop.evaluation.CursorTick(loop.charts, 0), tick);

        // Painted as the chart view paints it: one unit per image pixel.
        QImage painted = plant.copy();
        painted.setDevicePixelRatio(1);
        {
            QPainter painter(&painted);
            loop.evaluation.Paint(painter, loop.charts, PlantChart);
        }
        // Low in the plot, where no box is: the cursor line is one point
        // wide and covers the sample's column.
        const ChartGeometry &g = loop.charts.Geometry();
        const int row = g.PlotBottom - 3;
        std::vector<int> changed;
        for (int c = *column - 20; c <= *column + 20; ++c)
            if (painted.pixel(c, row) != plant.pixel(c, row))
                changed.push_back(c);
        ASSERT_EQ(static_cast<int>(changed.size()), PointsToPixels(1, ratio)) << ratio;
        EXPECT_LE(changed.front(), *column);
        EXPECT_GE(changed.back(), *column);
    }
}
