#include "charts/ChartFrame.h"
#include "charts/LiveCharts.h"
#include "charts/TraceDrawing.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace kavlon;

namespace {

std::uint32_t Bgr(const QImage &img, int x, int y) { return RgbToBgr(img.pixel(x, y) & 0xFFFFFFu); }

void FrameCharts(LiveCharts &charts, int w, int h, int n, std::uint32_t back = White)
{
    charts.SetImageSize(w, h);
    charts.SetTimeAxisLength(n);
    charts.SetBackColor(back);
    charts.ResetCharts(LoopState{});
}

} // namespace

TEST(ChartFrame, GeometryOfA765x180Image)
{
    LiveCharts charts;
    FrameCharts(charts, 765, 180, 600);
    EXPECT_EQ(charts.PlotLeft(), 42);
    EXPECT_EQ(charts.PlotRight(), 727);
    EXPECT_EQ(charts.PlotTop(), 12);
    EXPECT_EQ(charts.PlotBottom(), 172);
    EXPECT_EQ(charts.PlotHeight(), 160);
    EXPECT_EQ(charts.ZeroLineY(ControllerChart), 108);
    EXPECT_EQ(charts.ZeroLineY(PlantChart), 140);
    EXPECT_EQ(charts.ReglerImage().size(), QSize(765, 180));
    EXPECT_EQ(charts.RegelstreckeImage().size(), QSize(765, 180));
}

TEST(ChartFrame, PxPerSampleFollowsTheTimeAxisAtReset)
{
    const std::pair<int, Real> rows[] = {
        {600, 685.0L / 599}, {300, 685.0L / 299}, {180, 685.0L / 179}};
    for (const auto &[n, px] : rows) {
        LiveCharts charts;
        FrameCharts(charts, 765, 180, n);
        EXPECT_EQ(charts.PxPerSample(), px) << n;
        EXPECT_EQ(charts.TimeAxisLength(), n);
        charts.SetTimeAxisLength(n == 600 ? 180 : 600);
        EXPECT_EQ(charts.PxPerSample(), px) << "changes only at the next reset";
    }
    LiveCharts charts;
    charts.SetTimeAxisLength(1);
    charts.SetTimeAxisLength(-5);
    EXPECT_EQ(charts.TimeAxisLength(), 600);
}

TEST(ChartFrame, GridRowsLabelsAndSolidZeroLine)
{
    for (const std::uint32_t back : {White, Black}) {
        LiveCharts charts;
        FrameCharts(charts, 765, 180, 600, back);
        const std::uint32_t fore = back == White ? Black : White;
        for (const auto &[img, solidRow] :
             {std::pair{&charts.ReglerImage(), 108}, std::pair{&charts.RegelstreckeImage(), 140}}) {
            // Borders at PlotLeft - 1 and PlotRight + 1, rows 12..171.
            for (int y = 12; y < 172; ++y) {
                ASSERT_EQ(Bgr(*img, 41, y), fore) << y;
                ASSERT_EQ(Bgr(*img, 728, y), fore) << y;
            }
            EXPECT_EQ(Bgr(*img, 41, 173), back) << "below the bottom grid line";
            for (const int row : {172, 140, 108, 76, 44, 12}) {
                int on = 0;
                for (int x = 42; x <= 727; ++x)
                    on += Bgr(*img, x, row) == fore;
                if (row == solidRow)
                    EXPECT_EQ(on, 686) << row;
                else
                    EXPECT_NEAR(on, 343, 4) << "dotted row " << row;
            }
            EXPECT_EQ(Bgr(*img, 60, 100), back) << "between grid rows";
            // Labels end just left of x = 27 and start at the label tops.
            for (const int top : {4, 36, 68, 100, 132, 164}) {
                int ink = 0;
                for (int y = top; y < top + 11; ++y)
                    for (int x = 0; x < 27; ++x)
                        ink += Bgr(*img, x, y) == fore;
                EXPECT_GT(ink, 4) << top;
                for (int x = 0; x < 41; ++x)
                    ASSERT_EQ(Bgr(*img, x, top - 1 < 0 ? 0 : top - 1), back)
                        << "above the label " << top;
            }
        }
    }
}

TEST(ChartFrame, TraceColoursMatchTheLegendLetters)
{
    // The colour each trace shows on the chart and the colour of its letter.
    struct Row {
        CurveIndex list;
        int slot;
        std::uint32_t onWhite, onBlack;
        std::uint32_t letterWhite, letterBlack;
    };
    const Row rows[] = {
        {CurveYp, 0, 0xFFFF00, 0xFFFF00, 0xFFFF00, 0xFFFF00},
        {CurveYi, 1, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF},
        {CurveYd, 2, 0x008080, 0x00FFFF, 0x008080, 0x00FFFF},
        {CurveW, 3, 0xFFFF00, 0xFFFF00, 0xFFFF00, 0xFFFF00},
        {CurveX, 4, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF},
        {CurveY, 5, 0x800000, 0xFF0000, 0xFF0000, 0xFF0000},
        {CurveZ, 6, 0x008080, 0x00FFFF, 0x008080, 0x00FFFF},
    };
    for (const std::uint32_t back : {White, Black}) {
        LiveCharts charts;
        FrameCharts(charts, 765, 180, 600, back);
        for (const Row &r : rows) {
            // Each trace alone, drawn as the tick does, on a fresh chart.
            const bool upper = r.list <= CurveYd || r.list == CurveY;
            LoopState s;
            s.Kr = 1;
            s.Tn = 1;
            s.Tv = 1;
            Real *value[] = {&s.yp, &s.yi, &s.yd, &s.w, &s.x, &s.y, &s.Z};
            for (Real *v : value)
                *v = -1000; // far off the image
            *value[r.list] = upper ? 50 : 300;
            charts.ResetCharts(s);
            for (int t = 0; t < 5; ++t) {
                s.TickCount = t;
                charts.Record(s);
            }
            const QImage &img = upper ? charts.ReglerImage() : charts.RegelstreckeImage();
            const int row = upper ? 76 : 92; // 50 on -100..150, 300 on -200..800
            const std::uint32_t seen = back == White ? r.onWhite : r.onBlack;
            EXPECT_EQ(Bgr(img, 724, row), seen) << "trace " << r.list << " back " << back;
            // The letter: any pixel of its colour right of the plot.
            const std::uint32_t letter = back == White ? r.letterWhite : r.letterBlack;
            const int letterTop =
                charts.PlotTop()
                + (upper ? std::array{10, 50, 90, 0, 0, 130}[static_cast<std::size_t>(r.list)]
                         : std::array{0, 0, 0, 30, 75, 0, 120}[static_cast<std::size_t>(r.list)]);
            int ink = 0;
            for (int y = letterTop; y < letterTop + 13; ++y)
                for (int x = 729; x < 765; ++x)
                    ink += Bgr(img, x, y) == letter;
            EXPECT_GT(ink, 3) << "letter of trace " << r.list << " back " << back;
            EXPECT_EQ(charts.TraceColors()[static_cast<std::size_t>(r.slot)],
                      back == White ? seen : (seen ^ 0xFFFFFFu));
        }
    }
}

TEST(ChartFrame, BackgroundSchemes)
{
    LiveCharts charts;
    EXPECT_EQ(charts.BackColor(), White);
    EXPECT_EQ(charts.ForeColor(), Black);
    const TraceColorTable white = charts.TraceColors();
    // A stored colour other than white is kept as the background.
    charts.SetBackColor(0x123456);
    EXPECT_EQ(charts.BackColor(), 0x123456u);
    EXPECT_EQ(charts.ForeColor(), White);
    EXPECT_EQ(charts.TraceColors()[5], 0x00FFFFu) << "y pen is yellow on black";
    charts.SetBackColor(White);
    EXPECT_EQ(charts.TraceColors(), white);
    EXPECT_EQ(white[5], 0x800000u) << "y pen is navy on white";
}

TEST(ChartFrame, LabelAndLegendBoxesSitWhereTheyBelong)
{
    // A text background unlike the bitmap makes every text box visible: the
    // value labels end just left of PlotLeft - 15 with their tops at d + 4,
    // the legend letters end just left of PlotRight + 25 at their own tops.
    static constexpr std::uint32_t Box = 0x00FF00;
    struct Label {
        const char *text;
        int top;
    };
    struct Row {
        int chart, lo, hi;
        std::array<Label, 6> labels;
        std::vector<Label> legend;
    };
    const Row rows[] = {
        {ControllerChart,
         -100,
         150,
         {{{"150", 4}, {"100", 36}, {"50", 68}, {"0", 100}, {"-50", 132}, {"-100", 164}}},
         {{"yp", 22}, {"yi", 62}, {"yd", 102}, {"y", 142}}},
        {PlantChart,
         -200,
         800,
         {{{"800", 4}, {"600", 36}, {"400", 68}, {"200", 100}, {"0", 132}, {"-200", 164}}},
         {{"w", 42}, {"x", 87}, {"Z", 132}}},
    };
    // The box of `text` drawn right-aligned at x: columns x - width .. x - 1.
    const auto expectBox = [](const ChartCanvas &c, const Label &l, int right) {
        const QSize extent = c.TextExtent(QString::fromLatin1(l.text));
        const QRect box(right - extent.width(), l.top, extent.width(), extent.height());
        for (int y = box.top() - 1; y <= box.bottom() + 1; ++y)
            for (int x = box.left() - 1; x <= box.right() + 1; ++x) {
                if (box.contains(x, y)) {
                    const std::uint32_t p = Bgr(c.Image(), x, y);
                    ASSERT_NE(p, White) << l.text << " inside at " << x << "," << y;
                } else if (x < 41 || x > 728) {
                    ASSERT_NE(Bgr(c.Image(), x, y), Box)
                        << l.text << " outside at " << x << "," << y;
                }
            }
        EXPECT_EQ(Bgr(c.Image(), box.left(), box.top()), Box) << l.text;
        EXPECT_EQ(Bgr(c.Image(), box.right(), box.bottom()), Box) << l.text;
    };
    for (const Row &r : rows) {
        ChartCanvas canvas;
        ChartGeometry g;
        NewChartBitmap(canvas, 765, 180, White);
        DrawChartFrame(canvas, g, r.chart, Black, Box, r.lo, r.hi, 600);
        EXPECT_EQ(canvas.GetTextAlign(), TextAlign::Right);
        for (const Label &l : r.labels)
            expectBox(canvas, l, 42 - 15);
        DrawLegend(canvas, g, r.chart, TraceColorsFor(White));
        EXPECT_TRUE(canvas.FontBold());
        for (const Label &l : r.legend)
            expectBox(canvas, l, 727 + 25);
    }
}
