#include "charts/ChartFrame.h"
#include "charts/TraceDrawing.h"

#include <gtest/gtest.h>

using namespace kavlon;

namespace {

std::uint32_t Bgr(const QImage &img, int x, int y) { return RgbToBgr(img.pixel(x, y) & 0xFFFFFFu); }

void Fill(TCurve &c, int count, int row)
{
    for (int i = 0; i < count; ++i) {
        TCurvePoint &p = c.Append();
        p.PixelY = row;
        TrimToWindow(c);
    }
}

} // namespace

TEST(TraceDrawing, RoundingIsHalfToEven)
{
    EXPECT_EQ(RoundPixel(62.5L), 62);
    EXPECT_EQ(RoundPixel(63.5L), 64);
    EXPECT_EQ(RoundPixel(-0.5L), 0);
    EXPECT_EQ(RoundPixel(-1.5L), -2);
}

TEST(TraceDrawing, EntryPositions)
{
    const Real px = 685.0L / 599;
    // Full window: entry 0 at left, entry N - 1 at PlotRight.
    EXPECT_EQ(EntryX(42, px, 600, 600, 0), 42);
    EXPECT_EQ(EntryX(42, px, 600, 600, 599), 727);
    // Second tick: entries at left + [598 px] and that + [px].
    EXPECT_EQ(EntryX(42, px, 600, 2, 0), 42 + 684);
    EXPECT_EQ(EntryX(42, px, 600, 2, 1), 42 + 684 + 1);
    // Each term rounded by itself: [2.5] + [2.5] = 4, not [5] = 5.
    EXPECT_EQ(EntryX(0, 2.5L, 3, 2, 1), 4);
}

TEST(DashStep, FlatDottedTraceUsesChordsOf22Entries)
{
    const Real px = 685.0L / 599;
    TCurve c(600);
    Fill(c, 600, 100);
    EXPECT_EQ(DashStep(c, 0, px), 22); // 22 px-steps = 25.16, 21 would give 24.02
    EXPECT_EQ(DashStep(c, 550, px), 22);
    // Never beyond entry count - 2: from there on single steps.
    EXPECT_EQ(DashStep(c, 580, px), 18);
    EXPECT_EQ(DashStep(c, 597, px), 1);
    EXPECT_EQ(DashStep(c, 598, px), 1);
}

TEST(DashStep, SteepTraceStepsOneEntry)
{
    TCurve c(600);
    Fill(c, 10, 0);
    c[1].PixelY = 40;
    EXPECT_EQ(DashStep(c, 0, 1.0L), 1);
    EXPECT_EQ(DashStep(c, 1, 1.0L), 1) << "entry 2 is 40 px above entry 1";
}

TEST(DrawCurve, SolidTraceJoinsNeighboursAndSkipsHidden)
{
    ChartCanvas canvas;
    canvas.NewImage(40, 20, White);
    TCurve c(10);
    Fill(c, 10, 10);
    c[4].Hidden = true;
    DrawCurve(c, canvas, 5, 3.0L, 1, 0x0000FF, PenStyle::Clear);
    // Entries at x = 5, 8, ..., 32; segments 3-4 and 4-5 (x 14..19) missing.
    std::string row;
    for (int x = 4; x < 34; ++x)
        row += Bgr(canvas.Image(), x, 10) == 0x0000FF ? '#' : '.';
    EXPECT_EQ(row, ".#########......############..");
}

TEST(DrawCurve, StyledPenIsBlackAndEmptyCurveLeavesPenAlone)
{
    ChartCanvas canvas;
    canvas.NewImage(100, 20, White);
    canvas.SetPenColor(0x123456);
    canvas.SetPenWidth(3);
    TCurve empty(50);
    DrawCurve(empty, canvas, 0, 2.0L, 1, 0x0000FF, PenStyle::Dot);
    EXPECT_EQ(canvas.PenColor(), 0x123456u);
    EXPECT_EQ(canvas.PenWidth(), 3);

    TCurve c(50);
    Fill(c, 50, 10);
    canvas.SetTextBackColor(0x00FF00);
    DrawCurve(c, canvas, 0, 2.0L, 1, 0x0000FF, PenStyle::Dot);
    EXPECT_EQ(canvas.PenColor(), Black);
    EXPECT_EQ(Bgr(canvas.Image(), 0, 10), Black);
    // First segment x 0..2, then chords of 13 entries from x = 2 on, each
    // restarting the dot pattern (3 on, 3 off).
    EXPECT_EQ(Bgr(canvas.Image(), 4, 10), Black);
    EXPECT_EQ(Bgr(canvas.Image(), 5, 10), 0x00FF00u) << "gap in the text background colour";
}

TEST(DrawScale, LabelIsCentredOnItsMark)
{
    // The box of a label of width w lies from l = x - w div 2 (left-edge
    // reference) or ends at r = x + w div 2 (right-edge reference, the text
    // ending just before r), as the export's right-aligned canvas uses it.
    for (const char *text : {"0", "60", "120", "Hand", "ARWU ein", "Regler", "3600"}) {
        for (const bool right : {false, true}) {
            ChartCanvas canvas;
            canvas.NewImage(400, 100, White);
            canvas.SetFontBold(true);
            canvas.SetTextAlign(right ? TextAlign::Right : TextAlign::Left);
            const int w = canvas.TextWidth(QString::fromLatin1(text));
            canvas.SetTextBackColor(0x00FF00);
            DrawScaleLabel(canvas, text, 200, right);
            int minX = 1000, maxX = -1, minY = 1000;
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 400; ++x)
                    if (Bgr(canvas.Image(), x, y) == 0x00FF00) {
                        minX = std::min(minX, x);
                        maxX = std::max(maxX, x);
                        minY = std::min(minY, y);
                    }
            const int left = right ? 200 + w / 2 - w : 200 - w / 2;
            EXPECT_EQ(minX, left) << text << " right " << right;
            EXPECT_EQ(maxX, left + w - 1) << text << " right " << right;
            EXPECT_EQ(minY, 102 - 16 - 11) << "one character height above the baseline";
            if (w % 2 == 1 && !right) {
                EXPECT_EQ(200 - minX, maxX - 200) << text << " odd widths are centred exactly";
            }
        }
    }
}

TEST(DrawScale, LabelsOnlyStrictlyInsideThePlot)
{
    // Image 400 wide at (2, 2): the plot spans 42..362.
    ChartCanvas canvas;
    canvas.NewImage(400, 100, White);
    canvas.SetTextBackColor(0x00FF00);
    const std::string text = "Regler";
    const int half = canvas.TextWidth(QString::fromLatin1(text.c_str())) / 2;
    struct Row {
        int x;
        bool drawn;
    };
    const Row rows[] = {{42 + half, false}, {43 + half, true}, {362 - half, false},
                        {361 - half, true}, {20, false},       {390, false}};
    for (const Row &r : rows) {
        canvas.FillRect(QRect(0, 0, 400, 100), White);
        DrawScaleLabel(canvas, text, r.x, false);
        bool any = false;
        for (int x = 0; x < 400; ++x)
            any = any || Bgr(canvas.Image(), x, 80) == 0x00FF00;
        EXPECT_EQ(any, r.drawn) << "x " << r.x;
    }
}

TEST(DrawScale, EraseOnBlackDrawsBlackOnBlack)
{
    LoopState s;
    TRunningScale scale(10, s);
    for (int t = 0; t < 10; ++t)
        AddScaleMark(scale, s, t * 30, 50);
    for (const auto &[back, drawn] :
         {std::pair{Black, White}, std::pair{White, Black}, std::pair{0x804020u, White}}) {
        ChartCanvas canvas;
        canvas.NewImage(300, 100, back);
        canvas.SetPenMode(PenMode::NotXor);
        const QImage fresh = canvas.Image().copy();
        DrawScale(scale, canvas, back, 42, 24.0L, false, false);
        EXPECT_EQ(canvas.FontColor(), drawn);
        EXPECT_EQ(Bgr(canvas.Image(), 42 + 48, 50), back ^ 0xFFFFFFu)
            << "the mark of 60 s: the not-xor black pen";
        EXPECT_NE(canvas.Image(), fresh);
        DrawScale(scale, canvas, back, 42, 24.0L, false, true);
        EXPECT_EQ(canvas.FontColor(), back);
        EXPECT_EQ(canvas.Image(), fresh);
    }
}
