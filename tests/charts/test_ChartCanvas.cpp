#include "charts/ChartCanvas.h"

#include <gtest/gtest.h>

#include <random>

using namespace kavlon;

namespace {

std::uint32_t Bgr(const ChartCanvas &c, int x, int y)
{
    return RgbToBgr(c.Image().pixel(x, y) & 0xFFFFFFu);
}

int CountNot(const ChartCanvas &c, std::uint32_t bgr)
{
    int n = 0;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            n += Bgr(c, x, y) != bgr;
    return n;
}

} // namespace

TEST(ChartCanvas, ColoursAreBgr)
{
    ChartCanvas c;
    c.NewImage(4, 1, 0xFF0000); // blue
    EXPECT_EQ(c.Image().pixel(0, 0), 0xFF0000FFu);
    c.SetPenColor(0x0000FF); // red
    c.MoveTo(0, 0);
    c.LineTo(2, 0);
    EXPECT_EQ(c.Image().pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(c.Image().pixel(1, 0), 0xFFFF0000u);
    EXPECT_EQ(c.Image().pixel(2, 0), 0xFF0000FFu) << "the end pixel stays";
}

TEST(ChartCanvas, LineToLeavesOutTheEndPixel)
{
    struct Row {
        int x0, y0, x1, y1, pixels;
    };
    const Row rows[] = {{2, 2, 12, 2, 10}, {2, 2, 2, 12, 10}, {2, 2, 12, 12, 10},
                        {12, 7, 3, 4, 9},  {5, 5, 5, 5, 0},   {1, 18, 4, 1, 17}};
    for (const Row &r : rows) {
        ChartCanvas c;
        c.NewImage(20, 20, 0xFFFFFF);
        c.MoveTo(r.x0, r.y0);
        c.LineTo(r.x1, r.y1);
        EXPECT_EQ(CountNot(c, 0xFFFFFF), r.pixels);
        EXPECT_EQ(Bgr(c, r.x1, r.y1), 0xFFFFFFu);
        if (r.pixels > 0) {
            EXPECT_EQ(Bgr(c, r.x0, r.y0), 0u);
        }
        EXPECT_EQ(c.PenX(), r.x1);
        EXPECT_EQ(c.PenY(), r.y1);
    }
}

TEST(ChartCanvas, NotXorShowsPenOnWhiteAndComplementOnBlack)
{
    for (const auto &[back, seen] : {std::pair{0xFFFFFFu, 0x800000u}, std::pair{0u, 0x7FFFFFu}}) {
        ChartCanvas c;
        c.NewImage(10, 3, back);
        c.SetPenMode(PenMode::NotXor);
        c.SetPenColor(0x800000);
        c.MoveTo(0, 1);
        c.LineTo(9, 1);
        EXPECT_EQ(Bgr(c, 4, 1), seen);
        c.MoveTo(0, 1);
        c.LineTo(9, 1);
        EXPECT_EQ(Bgr(c, 4, 1), back);
    }
}

TEST(ChartCanvas, StrokesTwiceRestoreBitForBit)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-20, 120);
    for (int round = 0; round < 40; ++round) {
        ChartCanvas c;
        c.NewImage(100, 80, round % 2 ? 0 : 0xFFFFFF);
        c.SetTextBackColor(0x123456);
        for (int k = 0; k < 30; ++k) {
            c.SetPenColor(static_cast<std::uint32_t>(rng()) & 0xFFFFFF);
            c.MoveTo(coord(rng), coord(rng));
            c.LineTo(coord(rng), coord(rng));
        }
        const QImage before = c.Image().copy();
        c.SetPenMode(PenMode::NotXor);
        c.SetPenWidth(1 + round % 4);
        c.SetPenStyle(static_cast<PenStyle>(round % 6));
        std::vector<std::pair<int, int>> points;
        for (int k = 0; k < 12; ++k)
            points.emplace_back(coord(rng), coord(rng));
        for (int pass = 0; pass < 2; ++pass) {
            c.BeginStroke();
            c.MoveTo(points[0].first, points[0].second);
            for (const auto &[x, y] : points)
                c.LineTo(x, y);
            c.EndStroke();
            if (pass == 0) {
                EXPECT_NE(c.Image(), before);
            }
        }
        EXPECT_EQ(c.Image(), before) << "round " << round;
    }
}

TEST(ChartCanvas, WideStrokeHasNoHolesAtJoints)
{
    // A zig-zag in one not-xor stroke must cover exactly the pixels that the
    // same segments cover in copy mode: a pixel xored twice would be a hole.
    const std::vector<std::pair<int, int>> points{{5, 30}, {6, 5},   {8, 50},  {9, 50},
                                                  {30, 6}, {31, 40}, {32, 39}, {60, 39}};
    for (int width : {1, 2, 3}) {
        ChartCanvas copy;
        ChartCanvas xored;
        for (ChartCanvas *c : {&copy, &xored}) {
            c->NewImage(70, 60, 0xFFFFFF);
            c->SetPenWidth(width);
            c->SetPenColor(0x0000FF);
            c->SetPenMode(c == &copy ? PenMode::Copy : PenMode::NotXor);
            c->BeginStroke();
            c->MoveTo(points[0].first, points[0].second);
            for (std::size_t i = 1; i < points.size(); ++i)
                c->LineTo(points[i].first, points[i].second);
            c->EndStroke();
        }
        EXPECT_EQ(xored.Image(), copy.Image()) << "width " << width;
    }
}

TEST(ChartCanvas, DottedLineHasOpaqueGaps)
{
    ChartCanvas c;
    c.NewImage(30, 3, 0xFFFFFF);
    c.SetTextBackColor(0x00FF00);
    c.SetPenStyle(PenStyle::Dot);
    c.MoveTo(0, 1);
    c.LineTo(30, 1);
    std::string pattern;
    for (int x = 0; x < 12; ++x)
        pattern += Bgr(c, x, 1) == 0 ? '#' : (Bgr(c, x, 1) == 0x00FF00 ? '.' : '?');
    EXPECT_EQ(pattern, "###...###...");
}

TEST(ChartCanvas, PixelsOutsideTheImageAreClipped)
{
    for (const auto &[w, h] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{3, 2}}) {
        ChartCanvas c;
        c.NewImage(w, h, 0xFFFFFF);
        c.SetPenWidth(3);
        c.SetPenMode(PenMode::NotXor);
        c.MoveTo(-50, -40);
        c.LineTo(60, 70);
        c.MoveTo(2, -1000000);
        c.LineTo(2, 1000000);
        c.TextOut(-5, -3, QStringLiteral("Hand"));
        c.FillRect(QRect(-10, -10, 100, 100), 0);
        EXPECT_EQ(c.Width(), w);
    }
}

TEST(ChartCanvas, TextBoxByAlignment)
{
    for (const TextAlign align : {TextAlign::Left, TextAlign::Right}) {
        ChartCanvas c;
        c.NewImage(120, 30, 0xFFFFFF);
        c.SetTextBackColor(0x00FF00);
        c.SetFontColor(0x0000FF);
        c.SetFontBold(true);
        c.SetTextAlign(align);
        const QString text = QStringLiteral("ARWU ein");
        const QSize extent = c.TextExtent(text);
        ASSERT_GT(extent.width(), 20);
        EXPECT_EQ(c.FontHeight(), -11);
        c.TextOut(60, 5, text);
        const int left = align == TextAlign::Left ? 60 : 60 - extent.width();
        int minX = 1000;
        int maxX = -1;
        int minY = 1000;
        bool glyphs = false;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 120; ++x)
                if (Bgr(c, x, y) != 0xFFFFFF) {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                    minY = std::min(minY, y);
                    glyphs = glyphs || Bgr(c, x, y) == 0x0000FF;
                }
        EXPECT_EQ(minX, left);
        EXPECT_EQ(maxX, left + extent.width() - 1);
        EXPECT_EQ(minY, 5);
        EXPECT_TRUE(glyphs);
        // No antialiasing: only the two colours appear.
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 120; ++x) {
                const std::uint32_t p = Bgr(c, x, y);
                EXPECT_TRUE(p == 0xFFFFFF || p == 0x00FF00 || p == 0x0000FF) << x << "," << y;
            }
    }
}

TEST(ChartCanvas, StretchDrawScalesIntoTarget)
{
    ChartCanvas source;
    source.NewImage(2, 2, 0x0000FF);
    ChartCanvas c;
    c.NewImage(10, 10, 0xFFFFFF);
    c.StretchDraw(QRect(2, 2, 6, 4), source.Image());
    EXPECT_EQ(Bgr(c, 2, 2), 0x0000FFu);
    EXPECT_EQ(Bgr(c, 7, 5), 0x0000FFu);
    EXPECT_EQ(Bgr(c, 8, 5), 0xFFFFFFu);
    EXPECT_EQ(Bgr(c, 7, 6), 0xFFFFFFu);
    EXPECT_EQ(CountNot(c, 0xFFFFFF), 24);
}
