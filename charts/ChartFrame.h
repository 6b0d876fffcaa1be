#pragma once

#include "charts/ChartCanvas.h"
#include "engine/LoopState.h"

#include <array>
#include <cstdint>

namespace kavlon {

inline constexpr std::uint32_t White = 0xFFFFFF;
inline constexpr std::uint32_t Black = 0x000000;
inline constexpr std::uint32_t Red = 0x0000FF;
inline constexpr std::uint32_t Blue = 0xFF0000;

// The two charts by number.
inline constexpr int ControllerChart = 1; // ReglerImage: y, yp, yi, yd
inline constexpr int PlantChart = 2;      // RegelstreckeImage: w, x, Z

// The values a chart spans from its bottom to its top grid line. The live
// charts, their samples and the export all read them here.
struct ChartValueSpan {
    int lo;
    int hi;
};
constexpr ChartValueSpan ChartValueRange(int chart)
{
    return chart == PlantChart ? ChartValueSpan{-200, 800} : ChartValueSpan{-100, 150};
}

// Each chart image sits this many pixels inside its panel; the plot rectangle
// is derived from the image's bounds within the panel.
inline constexpr int ImageInset = 2;

// The image's bounds within its panel (R): left, top, right, bottom. On a
// scaled canvas the inset is ImageInset chart points in pixels.
struct ChartBounds {
    int left{0};
    int top{0};
    int right{0};
    int bottom{0};
};
constexpr ChartBounds BoundsInPanel(int width, int height, int inset = ImageInset)
{
    return {inset, inset, inset + width, inset + height};
}
// The same for a canvas's image, in its pixels.
ChartBounds BoundsOnCanvas(const ChartCanvas &canvas);

// Shared geometry of both charts (they always have the same size), in the
// image's own pixel coordinates.
struct ChartGeometry {
    std::int32_t PlotLeft{0};
    std::int32_t PlotRight{0};
    std::int32_t PlotTop{0};
    std::int32_t PlotBottom{0};
    std::int32_t PlotHeight{0};
    Real PxPerSample{0};
    // Row of each chart's zero grid line: [0] controller chart, [1] plant chart.
    std::array<std::int32_t, 2> ZeroLineY{};

    std::int32_t ZeroLineOf(int chart) const { return ZeroLineY[chart == PlantChart ? 1 : 0]; }
};

// Trace colour slots: 0..6 the pens of yp, yi, yd, w, x, y, Z; 7..10 the
// legend letters "yp", "yd", "w", "Z".
using TraceColorTable = std::array<std::uint32_t, 11>;

// The white scheme for a white background, the black scheme for any other.
// In not-xor mode a pen shows as itself on white and as its complement on
// black, so the black column holds the complements of the colours seen.
TraceColorTable TraceColorsFor(std::uint32_t backColor);

// White background goes with black foreground; any other background (black,
// or a colour someone stored) with white foreground.
constexpr std::uint32_t ForeColorFor(std::uint32_t backColor)
{
    return backColor == White ? Black : White;
}
// Only the 24 colour bits count.
constexpr std::uint32_t NormalisedBackColor(std::uint32_t backColor)
{
    return backColor & 0xFFFFFFu;
}

// A fresh image of width x height filled with colour, with default drawing state.
void NewChartBitmap(ChartCanvas &canvas, int width, int height, std::uint32_t colour);

// Works out the geometry (into `geometry`, including ZeroLineY of `chart`) for
// the canvas's image placed ImageInset inside its panel and N samples, and
// draws both borders, the six grid lines (solid where the value is 0, dotted
// otherwise) and the value labels right-aligned at PlotLeft - 15. Margins and
// offsets are in chart points, so the geometry is in the canvas's pixels. Leaves the
// canvas with right text alignment, foreColour text on backColour.
void DrawChartFrame(ChartCanvas &canvas, ChartGeometry &geometry, int chart,
                    std::uint32_t foreColour, std::uint32_t backColour, int lo, int hi,
                    int timeAxisLength);

// The legend letters of one chart in bold, right-aligned at PlotRight + 25.
void DrawLegend(ChartCanvas &canvas, const ChartGeometry &geometry, int chart,
                const TraceColorTable &colors);

} // namespace kavlon
