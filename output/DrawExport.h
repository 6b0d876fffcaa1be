#pragma once

#include "charts/ChartCanvas.h"
#include "charts/ChartFrame.h"
#include "charts/LiveCharts.h"
#include "output/ExportCanvas.h"
#include "output/ExportInputs.h"

#include <QString>

class QPainter;

namespace kavlon {

// The four numbers by which the targets of an export differ, in target pixels
// (the font size in points at the target's resolution).
struct ExportParams {
    int Width;    // W: width of the target
    int FontSize; // F: size of all text, bold
    int Spacing;  // s: distance between lines and blocks
    int Margin;   // m: left and right margin of the chart rectangles
};

// The fixed texts of the document.
QString ExportHeaderText();             // "- Kavlon 2 -"
QString PlantTitleText(int plantIndex); // as the plant title panel shows it; empty outside 0..6
QString ControllerLegendText(bool printInColor); // the wording matches the trace styles
QString PlantLegendText(bool printInColor);
QString SettingsLineText(const ExportInputs &in);
QString OptionLineText(const ExportInputs &in);

// One title line at y, "centred" with a fixed estimate of 8 target pixels per
// character whatever the font: x = (W - 2m - 8L) div 2 for a text of L
// characters. With m = 0 the estimated centre lies at W/2; with a margin it
// lies m pixels left of it.
void CentredTextOut(ExportCanvas &canvas, const QString &text, int W, int m, int y);

// The traces of one chart (ControllerChart or PlantChart) on a freshly framed
// off-screen chart, in copy mode so every colour shows unchanged: solid width-2
// pens in their colours, or black line styles when printInColor is false.
void DrawExportTraces(ChartCanvas &canvas, const ChartGeometry &geometry, const LiveCharts &charts,
                      int chart, bool printInColor);

// Renders one chart black on white onto `canvas` at the live image's size:
// frame, grid and value labels, traces, running time scale. The geometry goes
// into `geometry`; the live charts are only read. With no charts the canvas
// gets an empty image and `geometry` the values of one.
void RenderExportChart(ChartCanvas &canvas, ChartGeometry &geometry, const LiveCharts *charts,
                       int chart, bool printInColor);

// The whole document: header, controller title, controller chart, plant title,
// plant chart, two legends, the settings line (not in manual mode), the
// option line (only while the option is enabled) and the evaluation's figures
// line (only while it has one). The charts are drawn at the live images' pixel
// size on a private image, with the evaluation's overlays over them, and
// scaled into rectangles of W - 2m by W div 4; only the text is drawn at the
// target's resolution. Live charts drawn at a display's device resolution are
// drawn from their UnscaledCopy, so the document never depends on the screen.
void DrawExport(ExportCanvas &canvas, const ExportParams &p, const ExportInputs &in);
void DrawExport(QPainter &painter, const ExportParams &p, const ExportInputs &in);

} // namespace kavlon
