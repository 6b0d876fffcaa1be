#include "charts/ChartFrame.h"

#include "charts/TraceDrawing.h"

#include <QString>

namespace kavlon {

TraceColorTable TraceColorsFor(std::uint32_t backColor)
{
    // Slots: pens of yp, yi, yd, w, x, y, Z; legend letters yp, yd, w, Z.
    constexpr TraceColorTable onWhite{0xFFFF00, 0x0000FF, 0x008080, 0xFFFF00, 0x0000FF, 0x800000,
                                      0x008080, 0xFFFF00, 0x008080, 0xFFFF00, 0x008080};
    constexpr TraceColorTable onBlack{0x0000FF, 0xFFFF00, 0xFF0000, 0x0000FF, 0xFFFF00, 0x00FFFF,
                                      0xFF0000, 0xFFFF00, 0x00FFFF, 0xFFFF00, 0x00FFFF};
    return backColor == White ? onWhite : onBlack;
}

ChartBounds BoundsOnCanvas(const ChartCanvas &canvas)
{
    return BoundsInPanel(canvas.Width(), canvas.Height(), canvas.Px(ImageInset));
}

void NewChartBitmap(ChartCanvas &canvas, int width, int height, std::uint32_t colour)
{
    canvas.NewImage(width, height, colour);
}

void DrawChartFrame(ChartCanvas &canvas, ChartGeometry &geometry, int chart,
                    std::uint32_t foreColour, std::uint32_t backColour, int lo, int hi,
                    int timeAxisLength)
{
    canvas.SetPenColor(foreColour);
    canvas.SetTextBackColor(backColour);
    canvas.SetFontColor(foreColour);
    canvas.SetTextAlign(TextAlign::Right);

    const ChartBounds r = BoundsOnCanvas(canvas);
    const int n = timeAxisLength < MinTimeAxisLength ? MinTimeAxisLength : timeAxisLength;
    geometry.PlotLeft = r.left + canvas.Px(40);
    geometry.PlotRight = r.right - canvas.Px(40);
    geometry.PxPerSample =
        static_cast<Real>(geometry.PlotRight - geometry.PlotLeft) / static_cast<Real>(n - 1);
    geometry.PlotTop = r.top + canvas.Px(10);
    geometry.PlotBottom = r.bottom - canvas.Px(10);
    geometry.PlotHeight = geometry.PlotBottom - geometry.PlotTop;
    const ChartGeometry &g = geometry;

    canvas.MoveTo(g.PlotLeft - 1, g.PlotTop);
    canvas.LineTo(g.PlotLeft - 1, g.PlotBottom);
    canvas.MoveTo(g.PlotRight + 1, g.PlotTop);
    canvas.LineTo(g.PlotRight + 1, g.PlotBottom);

    const Real stepPx = static_cast<Real>(g.PlotHeight) / 5;
    const Real stepVal = static_cast<Real>(hi - lo) / 5;
    for (int i = 0; i <= 5; ++i) {
        const int d = RoundPixel(stepPx * i);
        const bool zero = static_cast<Real>(lo) + i * stepVal == 0;
        canvas.SetPenStyle(zero ? PenStyle::Solid : PenStyle::Dot);
        canvas.MoveTo(g.PlotLeft - 1, g.PlotBottom - d);
        canvas.LineTo(g.PlotRight + 1, g.PlotBottom - d);
    }

    for (int i = 0; i <= 5; ++i) {
        const int d = RoundPixel(stepPx * i);
        const int v = RoundPixel(static_cast<Real>(lo) + (5 - i) * stepVal);
        if (v == 0)
            geometry.ZeroLineY[chart == PlantChart ? 1 : 0] = d + g.PlotTop;
        canvas.TextOut(g.PlotLeft - canvas.Px(15), d + canvas.Px(4), QString::number(v));
    }
}

void DrawLegend(ChartCanvas &canvas, const ChartGeometry &geometry, int chart,
                const TraceColorTable &colors)
{
    struct Letter {
        const char *text;
        std::uint32_t colour;
        int below; // chart points below the plot's top
    };
    canvas.SetFontBold(true);
    const int x = geometry.PlotRight + canvas.Px(25);
    const int top = geometry.PlotTop;
    const auto draw = [&](const Letter &letter) {
        canvas.SetFontColor(letter.colour);
        canvas.TextOut(x, top + canvas.Px(letter.below), QString::fromLatin1(letter.text));
    };
    if (chart == ControllerChart) {
        for (const Letter &l : {Letter{"yp", colors[7], 10}, Letter{"yi", Red, 50},
                                Letter{"yd", colors[8], 90}, Letter{"y", Blue, 130}})
            draw(l);
    } else {
        for (const Letter &l :
             {Letter{"w", colors[9], 30}, Letter{"x", Red, 75}, Letter{"Z", colors[10], 120}})
            draw(l);
    }
}

} // namespace kavlon
