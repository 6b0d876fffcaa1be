#include "output/DrawExport.h"

#include "charts/Evaluation.h"
#include "charts/TraceDrawing.h"
#include "engine/PlantTable.h"

#include <QPainter>

#include <array>
#include <optional>

namespace kavlon {

namespace {

// Colours of the exported traces (0x00BBGGRR).
constexpr std::uint32_t Aqua = 0xFFFF00;
constexpr std::uint32_t Olive = 0x008080;
constexpr std::uint32_t Navy = 0x800000;

struct ExportTrace {
    CurveIndex list;
    std::uint32_t colour; // in colour: solid pen of width 2
    PenStyle style;       // in black and white: black pen of this style and width
    int width;
};

// Drawing order: later traces over earlier ones, the main trace of each chart
// (y, x) on top of its parts.
constexpr std::array<ExportTrace, 4> ControllerTraces{{
    {CurveYp, Aqua, PenStyle::Solid, 1},
    {CurveYi, Red, PenStyle::Dot, 1},
    {CurveYd, Olive, PenStyle::Dash, 1},
    {CurveY, Navy, PenStyle::Solid, 2},
}};
constexpr std::array<ExportTrace, 3> PlantTraces{{
    {CurveW, Blue, PenStyle::Solid, 1},
    {CurveX, Red, PenStyle::Solid, 2},
    {CurveZ, Olive, PenStyle::Dot, 1},
}};

QString OnOff(bool on) { return on ? QStringLiteral("ein") : QStringLiteral("aus"); }

// Draws the private chart image into its rectangle, with the evaluation's
// overlays painted over a copy of it first when any are shown, so that the
// page and the picture show what the window shows. Without overlays the
// image goes out untouched.
void StretchDrawChart(ExportCanvas &canvas, const QRect &target, const ChartCanvas &chart,
                      const ExportInputs &in, int which)
{
    if (!in.Charts || !in.Evaluated || !in.Evaluated->ShowsAnything()) {
        canvas.StretchDraw(target, chart.Image());
        return;
    }
    QImage picture = chart.Image().copy();
    QPainter painter(&picture);
    in.Evaluated->PaintOver(painter, *in.Charts, which, chart.Image(), White, !in.PrintInColor);
    painter.end();
    canvas.StretchDraw(target, picture);
}

} // namespace

QString ExportHeaderText() { return QStringLiteral("- Kavlon 2 -"); }

QString PlantTitleText(int plantIndex)
{
    if (plantIndex < 0 || plantIndex >= PlantCount)
        return QString();
    const std::string_view title = Plants[static_cast<std::size_t>(plantIndex)].title;
    return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
}

QString ControllerLegendText(bool printInColor)
{
    return printInColor
               ? QStringLiteral("Legende für Regler: y: Blau; yp: Türkis; yi: Rot; yd: Olive")
               : QStringLiteral(
                   "Legende für Regler: y: dicker Strich; yp: dünner Strich; yi: .....; yd: - - -");
}

QString PlantLegendText(bool printInColor)
{
    return printInColor
               ? QStringLiteral("Legende für Regelstrecke: x: Rot; w: Blau; Z: Olive")
               : QStringLiteral(
                   "Legende für Regelstrecke: x: dicker Strich; w: dünner Strich; Z: .....");
}

QString SettingsLineText(const ExportInputs &in)
{
    return QStringLiteral("Aktuelle Regler-Einstellungen:  Vorhaltezeit Tv: ") + in.TvText
           + QStringLiteral(";  Nachstellzeit Tn: ") + in.TnText
           + QStringLiteral(";  Verstärkung Kr: ") + in.KrText + QStringLiteral(";  ARWU: ")
           + OnOff(in.ARWUOn);
}

QString OptionLineText(const ExportInputs &in)
{
    QString state;
    const auto names = [&](OptionKind kind) {
        const std::string_view label = OptionLabel(kind);
        return in.OptionCaption
               == QLatin1String(label.data(), static_cast<qsizetype>(label.size()));
    };
    if (names(OptionKind::PlantCompensation))
        state = OnOff(in.StrKOn);
    else if (names(OptionKind::DeadTimeCompensation))
        state = OnOff(in.TotKOn);
    return QStringLiteral("Aktuelle Regelstrecken-Einstellung: ") + in.OptionCaption
           + QStringLiteral(": ") + state;
}

void CentredTextOut(ExportCanvas &canvas, const QString &text, int W, int m, int y)
{
    const auto length = static_cast<int>(text.size());
    canvas.TextOut((W - 2 * m - 8 * length) / 2, y, text);
}

void DrawExportTraces(ChartCanvas &canvas, const ChartGeometry &geometry, const LiveCharts &charts,
                      int chart, bool printInColor)
{
    canvas.SetPenMode(PenMode::Copy);
    const auto draw = [&](const ExportTrace &t) {
        if (printInColor)
            DrawCurve(charts.Curve(t.list), canvas, geometry.PlotLeft, geometry.PxPerSample, 2,
                      t.colour, PenStyle::Clear);
        else
            DrawCurve(charts.Curve(t.list), canvas, geometry.PlotLeft, geometry.PxPerSample,
                      t.width, Black, t.style);
    };
    if (chart == ControllerChart) {
        for (const ExportTrace &t : ControllerTraces)
            draw(t);
    } else {
        for (const ExportTrace &t : PlantTraces)
            draw(t);
    }
}

void RenderExportChart(ChartCanvas &canvas, ChartGeometry &geometry, const LiveCharts *charts,
                       int chart, bool printInColor)
{
    const bool controller = chart == ControllerChart;
    QSize size(0, 0);
    int n = DefaultTimeAxisLength;
    if (charts) {
        size = (controller ? charts->ReglerImage() : charts->RegelstreckeImage()).size();
        // The lists carry the window length the live geometry was built for.
        n = charts->Curve(CurveYp).WindowLength();
    }
    NewChartBitmap(canvas, size.width(), size.height(), White);
    const ChartValueSpan range = ChartValueRange(chart);
    DrawChartFrame(canvas, geometry, chart, Black, White, range.lo, range.hi, n);
    if (!charts)
        return;
    DrawExportTraces(canvas, geometry, *charts, chart, printInColor);
    // DrawChartFrame left the right-edge text alignment in force.
    DrawScale(controller ? charts->ControllerScale() : charts->PlantScale(), canvas, White,
              geometry.PlotLeft, geometry.PxPerSample, true, false);
}

void DrawExport(ExportCanvas &canvas, const ExportParams &p, const ExportInputs &given)
{
    // A document is the same whatever screen the window is on: charts drawn
    // at the device resolution of a scaled screen are drawn from their copy
    // at ratio 1.
    ExportInputs in = given;
    std::optional<LiveCharts> unscaled;
    if (in.Charts && in.Charts->PixelRatio() != 1) {
        unscaled.emplace(in.Charts->UnscaledCopy());
        in.Charts = &*unscaled;
    }
    const int W = p.Width;
    const int s = p.Spacing;
    const int m = p.Margin;
    const int chartHeight = W / 4;

    canvas.SetFont(p.FontSize, true);
    CentredTextOut(canvas, ExportHeaderText(), W, m, s);
    CentredTextOut(canvas, in.ControllerTitle, W, m, 3 * s);

    // One private chart image and geometry for both charts: the live charts,
    // their geometry and lists stay exactly as they are.
    ChartCanvas offscreen;
    ChartGeometry geometry;

    const int b1 = 4 * s + chartHeight;
    RenderExportChart(offscreen, geometry, in.Charts, ControllerChart, in.PrintInColor);
    StretchDrawChart(canvas, QRect(m, 4 * s, W - 2 * m, chartHeight), offscreen, in,
                     ControllerChart);

    CentredTextOut(canvas, PlantTitleText(in.PlantIndex), W, m, b1 + s);
    const int b2 = b1 + 2 * s + chartHeight;
    RenderExportChart(offscreen, geometry, in.Charts, PlantChart, in.PrintInColor);
    StretchDrawChart(canvas, QRect(m, b1 + 2 * s, W - 2 * m, chartHeight), offscreen, in,
                     PlantChart);

    // The text block starts where the plot does, in chart-image pixels.
    const int x = m + geometry.PlotLeft;
    canvas.TextOut(x, b2 + s, ControllerLegendText(in.PrintInColor));
    int y = b2 + 2 * s;
    canvas.TextOut(x, y, PlantLegendText(in.PrintInColor));
    if (!in.HandMode) {
        y += s;
        canvas.TextOut(x, y, SettingsLineText(in));
    }
    if (in.OptionEnabled) {
        y += s;
        canvas.TextOut(x, y, OptionLineText(in));
    }
    if (in.Evaluated) {
        if (const QString figures = in.Evaluated->FiguresLine(); !figures.isEmpty()) {
            y += s;
            canvas.TextOut(x, y, figures);
        }
    }
}

void DrawExport(QPainter &painter, const ExportParams &p, const ExportInputs &in)
{
    PainterExportCanvas canvas(painter);
    DrawExport(canvas, p, in);
}

} // namespace kavlon
