#include "charts/TraceDrawing.h"
#include "output/ExportTargets.h"
#include "tests/output/ExportFixture.h"

#include <QColor>

#include <gtest/gtest.h>

namespace kavlon {
namespace {

using test::LiveLoop;

constexpr QRgb WhitePixel = 0xFFFFFFFFu;

bool RowsWhite(const QImage &img, int top, int bottom) // bottom exclusive
{
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != WhitePixel)
                return false;
    return true;
}

// Bounding box of the non-white pixels within `area`.
QRect InkBox(const QImage &img, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixel(x, y) != WhitePixel)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

TEST(ClipboardPicture, InkLiesWhereTheItemsAre)
{
    LiveLoop loop(980, 216, 0xFFFFFF, 2);
    loop.Tick(200);
    const QImage img = RenderClipboardPicture(loop.Inputs(), 96);
    ASSERT_EQ(img.size(), QSize(950, 1425));
    EXPECT_EQ(img.format(), QImage::Format_RGB32);

    // The header starts at (427, 30): 12 pt bold at 96 dpi is 16 px high.
    const QRect header = InkBox(img, QRect(0, 0, 950, 60));
    EXPECT_GE(header.left(), 427);
    EXPECT_LE(header.left(), 430);
    EXPECT_GE(header.top(), 30);
    EXPECT_LE(header.top(), 36);
    EXPECT_LE(header.bottom(), 30 + 16);
    // Nothing above the header; white gaps around the chart rectangles.
    EXPECT_TRUE(RowsWhite(img, 0, 30));
    EXPECT_TRUE(RowsWhite(img, 47, 90));
    EXPECT_TRUE(RowsWhite(img, 107, 120));
    EXPECT_TRUE(RowsWhite(img, 357, 387));
    EXPECT_TRUE(RowsWhite(img, 404, 417));
    EXPECT_TRUE(RowsWhite(img, 654, 684));
    // Each chart fills its rectangle: ink near its top and bottom rows.
    for (const QRect chart : {QRect(0, 120, 950, 237), QRect(0, 417, 950, 237)}) {
        const QRect ink = InkBox(img, chart);
        EXPECT_LE(ink.top(), chart.top() + 10);
        EXPECT_GE(ink.bottom(), chart.bottom() - 10);
        EXPECT_LE(ink.left(), 30);
        EXPECT_NEAR(ink.right(), (980 - 37) * 950 / 980, 2); // the right border
    }
    // The text lines below, starting at x 42; the last one is the option line at 774.
    for (int top : {684, 714, 744, 774}) {
        const QRect line = InkBox(img, QRect(0, top, 950, 22));
        EXPECT_GE(line.left(), 42) << top;
        EXPECT_LE(line.left(), 45) << top;
        EXPECT_LE(line.top(), top + 6) << top;
    }
    // White down to the bottom of the picture.
    EXPECT_TRUE(RowsWhite(img, 774 + 21, 1425));
}

// Counts chart pixels by kind: pure grey levels versus clearly coloured ones.
struct ColourCount {
    int coloured = 0;
    int navy = 0;
    int red = 0;
};
ColourCount CountColours(const QImage &img)
{
    ColourCount n;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c(img.pixel(x, y));
            if (c.red() != c.green() || c.green() != c.blue())
                ++n.coloured;
            if (c.rgb() == 0xFF000080u)
                ++n.navy;
            if (c.rgb() == 0xFFFF0000u)
                ++n.red;
        }
    return n;
}

TEST(ExportChart, ColourOrBlackAndWhiteTraces)
{
    LiveLoop loop(765, 180);
    loop.s.Tv = 2; // all four controller traces visible
    loop.Tick(300);
    ChartCanvas canvas;
    ChartGeometry g;
    RenderExportChart(canvas, g, &loop.charts, ControllerChart, true);
    const ColourCount colour = CountColours(canvas.Image());
    EXPECT_GT(colour.navy, 300); // y, solid and 2 wide
    EXPECT_GT(colour.red, 50);   // yi

    RenderExportChart(canvas, g, &loop.charts, ControllerChart, false);
    EXPECT_EQ(CountColours(canvas.Image()).coloured, 0);
    RenderExportChart(canvas, g, &loop.charts, PlantChart, false);
    EXPECT_EQ(CountColours(canvas.Image()).coloured, 0);

    // The whole picture in black and white has no colour at all.
    EXPECT_EQ(CountColours(RenderClipboardPicture(loop.Inputs(false), 96)).coloured, 0);
    EXPECT_GT(CountColours(RenderClipboardPicture(loop.Inputs(true), 96)).coloured, 500);
}

// Trace by trace in the export's order, pens and widths, drawn in copy mode
// whatever mode the chart image was left in: later traces cover earlier ones
// where they cross.
TEST(ExportChart, TraceStylesAndDrawingOrder)
{
    struct Pen {
        CurveIndex list;
        std::uint32_t colour; // in colour: solid, width 2
        PenStyle style;       // black and white: black pen of this style and width
        int width;
    };
    const std::vector<Pen> controller{{CurveYp, 0xFFFF00, PenStyle::Solid, 1},
                                      {CurveYi, 0x0000FF, PenStyle::Dot, 1},
                                      {CurveYd, 0x008080, PenStyle::Dash, 1},
                                      {CurveY, 0x800000, PenStyle::Solid, 2}};
    const std::vector<Pen> plant{{CurveW, 0xFF0000, PenStyle::Solid, 1},
                                 {CurveX, 0x0000FF, PenStyle::Solid, 2},
                                 {CurveZ, 0x008080, PenStyle::Dot, 1}};
    LiveLoop loop(765, 180);
    loop.s.Tv = 2;
    loop.s.Kr = 8; // an oscillating loop: the traces cross each other
    loop.s.Z = 40;
    loop.Tick(450);
    for (const bool inColour : {true, false}) {
        for (const int chart : {ControllerChart, PlantChart}) {
            const bool upper = chart == ControllerChart;
            ChartCanvas expected;
            ChartCanvas actual;
            ChartGeometry g;
            for (ChartCanvas *c : {&expected, &actual}) {
                NewChartBitmap(*c, 765, 180, White);
                DrawChartFrame(*c, g, chart, 0x000000, 0xFFFFFF, upper ? -100 : -200,
                               upper ? 150 : 800, 600);
            }
            for (const Pen &p : upper ? controller : plant) {
                if (inColour)
                    DrawCurve(loop.charts.Curve(p.list), expected, g.PlotLeft, g.PxPerSample, 2,
                              p.colour, PenStyle::Clear);
                else
                    DrawCurve(loop.charts.Curve(p.list), expected, g.PlotLeft, g.PxPerSample,
                              p.width, 0x000000, p.style);
            }
            actual.SetPenMode(PenMode::NotXor);
            DrawExportTraces(actual, g, loop.charts, chart, inColour);
            EXPECT_TRUE(actual.Image() == expected.Image())
                << "chart " << chart << " colour " << inColour;
        }
    }
}

// A black live background is still exported black on white, in the
// export's colours rather than the live pens' complements.
TEST(ExportChart, BlackLiveChartsExportBlackOnWhite)
{
    LiveLoop dark(765, 180, 0x000000);
    LiveLoop light(765, 180, 0xFFFFFF);
    dark.Tick(250);
    light.Tick(250);
    ASSERT_EQ(dark.charts.ReglerImage().pixel(0, 0), 0xFF000000u);
    for (int chart : {ControllerChart, PlantChart}) {
        for (bool inColour : {true, false}) {
            ChartCanvas a, b;
            ChartGeometry ga, gb;
            RenderExportChart(a, ga, &dark.charts, chart, inColour);
            RenderExportChart(b, gb, &light.charts, chart, inColour);
            EXPECT_EQ(a.Image().pixel(0, 0), WhitePixel);
            EXPECT_TRUE(a.Image() == b.Image()) << chart << inColour;
        }
    }
}

TEST(ExportChart, RightAfterAResetOnlyTheFrame)
{
    LiveLoop loop(765, 180);
    loop.Tick(100);
    loop.Reset();
    for (int chart : {ControllerChart, PlantChart}) {
        ChartCanvas exported, frame;
        ChartGeometry ge, gf;
        RenderExportChart(exported, ge, &loop.charts, chart, true);
        NewChartBitmap(frame, 765, 180, White);
        DrawChartFrame(frame, gf, chart, Black, White, chart == ControllerChart ? -100 : -200,
                       chart == ControllerChart ? 150 : 800, 600);
        EXPECT_TRUE(exported.Image() == frame.Image()) << chart;
        EXPECT_EQ(ge.PlotLeft, 42);
    }
    const QImage picture = RenderClipboardPicture(loop.Inputs(), 96);
    EXPECT_FALSE(RowsWhite(picture, 120, 357));
}

// The running scale's labels stay centred on their marks on the export, where
// the canvas takes x as the right edge of a text.
TEST(ExportChart, ScaleLabelsCentredOnTheirMarks)
{
    LiveLoop loop(765, 180);
    loop.Tick(300);
    ChartCanvas canvas;
    ChartGeometry g;
    RenderExportChart(canvas, g, &loop.charts, PlantChart, true);
    const TRunningScale &scale = loop.charts.PlantScale();
    const int top = ScaleLabelTop(canvas);
    int checked = 0;
    for (int i = 0; i < scale.Count(); ++i) {
        if (scale[i].SecondsLabel.empty())
            continue;
        const int x = EntryX(g.PlotLeft, g.PxPerSample, 600, scale.Count(), i);
        if (x + 12 >= g.PlotRight)
            continue; // clipped at the right edge of the plot
        const QRect ink = InkBox(canvas.Image(), QRect(x - 14, top, 29, 11));
        ASSERT_FALSE(ink.isNull()) << scale[i].SecondsLabel;
        EXPECT_NEAR((ink.left() + ink.right()) / 2.0, x, 1.5) << scale[i].SecondsLabel;
        ++checked;
    }
    EXPECT_GE(checked, 4); // 0, 60, 120, 180, 240
}

// An export leaves the live pictures, the geometry and the lists as they
// were: the animation after an export is the one without it.
TEST(ClipboardPicture, LiveChartsUntouched)
{
    LiveLoop exported(980, 216, 0x000000, 5);
    LiveLoop plain(980, 216, 0x000000, 5);
    exported.Tick(400);
    plain.Tick(400);
    const QImage regler = exported.charts.ReglerImage().copy();
    const QImage strecke = exported.charts.RegelstreckeImage().copy();
    const ChartGeometry before = exported.charts.Geometry();

    for (bool inColour : {true, false})
        (void)RenderClipboardPicture(exported.Inputs(inColour), 96);

    EXPECT_TRUE(exported.charts.ReglerImage() == regler);
    EXPECT_TRUE(exported.charts.RegelstreckeImage() == strecke);
    const ChartGeometry after = exported.charts.Geometry();
    EXPECT_EQ(after.PlotLeft, before.PlotLeft);
    EXPECT_EQ(after.PlotRight, before.PlotRight);
    EXPECT_EQ(after.PxPerSample, before.PxPerSample);
    EXPECT_EQ(after.ZeroLineY, before.ZeroLineY);
    EXPECT_EQ(exported.charts.Curve(CurveX).Count(), 400);

    exported.Tick(250);
    plain.Tick(250);
    EXPECT_TRUE(exported.charts.ReglerImage() == plain.charts.ReglerImage());
    EXPECT_TRUE(exported.charts.RegelstreckeImage() == plain.charts.RegelstreckeImage());
}

// A short time axis: the export takes the window length from the lists.
TEST(ExportChart, FollowsTheTimeAxisOfTheLists)
{
    LiveLoop loop(765, 180, 0xFFFFFF, 0, 180);
    loop.Tick(200);
    ChartCanvas canvas;
    ChartGeometry g;
    RenderExportChart(canvas, g, &loop.charts, PlantChart, true);
    EXPECT_EQ(g.PxPerSample, loop.charts.PxPerSample());
    // The newest x sample sits at PlotRight in the export as on the live chart.
    const TCurve &x = loop.charts.Curve(CurveX);
    const int row = x[x.Count() - 1].PixelY;
    bool red = false;
    for (int y = row - 1; y <= row + 1; ++y)
        red = red || canvas.Image().pixel(g.PlotRight - 1, y) == 0xFFFF0000u;
    EXPECT_TRUE(red);
}

TEST(ClipboardPicture, TinyOrMissingChartsDoNotBreakIt)
{
    for (QSize size : {QSize(0, 0), QSize(1, 1), QSize(50, 10)}) {
        LiveLoop loop(size.width(), size.height());
        loop.Tick(20);
        const QImage img = RenderClipboardPicture(loop.Inputs(), 96);
        EXPECT_EQ(img.size(), QSize(950, 1425));
        EXPECT_FALSE(RowsWhite(img, 30, 50));
    }
    ExportInputs none;
    EXPECT_EQ(RenderClipboardPicture(none, 96).size(), QSize(950, 1425));
}

} // namespace
} // namespace kavlon
