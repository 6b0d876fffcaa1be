#pragma once

#include "charts/ChartCanvas.h"
#include "charts/OCurve.h"

#include <cstdint>
#include <string>

namespace kavlon {

// Rounds half to even under the default rounding mode; every real that
// becomes a whole pixel goes through here.
std::int32_t RoundPixel(Real v);

// x of entry `index` of a list holding `count` entries of a window of `n`:
// left + [(n - count)*px] + [index*px], each term rounded by itself. The one
// column mapping of the charts: the traces, the scales and whatever points at
// a sample (a cursor, a reference run) all place entry `index` here, so the
// lists fill from the right with the newest entry at left + [(n - 1)*px].
std::int32_t EntryX(int left, Real px, int n, int count, int index);

// Draws one trace with pen width `width`. Style Clear is a solid pen in
// `colour`; any other style is a black pen of that style, and then the trace is
// drawn as chords between entries at least 25 pixels apart (see DashStep).
// Segments with a hidden end are left out. An empty curve leaves the pen alone.
// The whole trace is one stroke of the canvas.
void DrawCurve(const TCurve &curve, ChartCanvas &canvas, int left, Real px, int width,
               std::uint32_t colour, PenStyle style);

// From entry i: steps to the first entry at least 25 pixels away (rounded
// Euclidean distance with horizontal extent (j - i)*px), but never past entry
// count - 2; returns the number of entries stepped.
int DashStep(const TCurve &curve, int i, Real px);

// Draws (or with `erase` wipes) one running time scale: every visible entry's
// mark line with the canvas's pen mode, then its labels as opaque text on
// backColour along the bottom of the plot. The labels are drawn after all mark
// lines so that erasing (lines again, then the label boxes given back from the
// canvas's backdrop, or painted in backColour without one) restores everything
// outside the boxes exactly, and with a backdrop inside them too.
void DrawScale(const TRunningScale &scale, ChartCanvas &canvas, std::uint32_t backColour, int left,
               Real px, bool rightAligned, bool erase);

// One label centred on x at the label row, drawn (or with `erase` taken back
// from the canvas's backdrop) only when it lies strictly inside the plot's
// horizontal extent. rightAligned tells how the canvas's text alignment takes x.
void DrawScaleLabel(ChartCanvas &canvas, const std::string &text, int x, bool rightAligned,
                    bool erase = false);

// The top row of the scale labels on a canvas: 16 px above the bottom of the
// image bounds, then one character height up.
int ScaleLabelTop(const ChartCanvas &canvas);

} // namespace kavlon
