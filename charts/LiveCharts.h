#pragma once

#include "charts/ChartCanvas.h"
#include "charts/ChartFrame.h"
#include "charts/OCurve.h"
#include "engine/LoopState.h"

#include <QImage>

#include <cstdint>
#include <string>

namespace kavlon {

// The two live strip charts: their images and canvases, the shared geometry,
// the colours and the nine lists. The main window holds one; every change of
// what the charts show goes through ResetCharts, which discards picture and
// lists together. Each tick strokes the traces and marks once more in not-xor
// mode to erase them, appends one entry per list and strokes them again.
class LiveCharts {
public:
    // White background, N = 600, 0x0 images, empty lists.
    LiveCharts();

    // Takes effect at the next ResetCharts. Values below 2 are ignored (the
    // chart arithmetic divides by N - 1); the window offers 180, 300 and 600.
    void SetTimeAxisLength(int n);
    int TimeAxisLength() const { return timeAxisLength_; }

    // 0xFFFFFF is the white scheme (black foreground); any other colour is
    // kept as the background with a white foreground and the black trace scheme. Sets ForeColor and the
    // trace colours. Takes effect on the picture at the next ResetCharts.
    void SetBackColor(std::uint32_t bgr);
    std::uint32_t BackColor() const { return backColor_; }
    std::uint32_t ForeColor() const { return foreColor_; }
    const TraceColorTable &TraceColors() const { return traceColors_; }

    // Both chart images are always the same size, given in chart points (the
    // window's logical pixels). Takes effect at ResetCharts. Negative sizes
    // count as 0; tiny images are drawn clipped.
    void SetImageSize(int width, int height);
    int ImageWidth() const { return imageWidth_; }
    int ImageHeight() const { return imageHeight_; }

    // Device pixels per chart point of the screen the charts are shown on (1
    // without display scaling); takes effect at ResetCharts, which then draws
    // the images at the device resolution: size in points times the ratio,
    // rounded up so that they cover the view, and every margin, font, mark and
    // line scaled with it. The geometry, the lists' rows and whatever maps
    // ticks and values to pixels are then in image pixels.
    void SetPixelRatio(double ratio);
    // The ratio the current images, geometry and lists are drawn at.
    double PixelRatio() const { return regler_.PixelRatio(); }
    // Image pixels covering `points` chart points at `ratio`.
    static int PixelsFor(int points, double ratio);

    // The same charts at ratio 1: images of the size in points with fresh
    // frames and no traces drawn, the same lists with rows and marks placed
    // as at ratio 1, the same colours and window length. Documents (page,
    // picture) draw from it, so they are the same on every screen.
    LiveCharts UnscaledCopy() const;

    // Fresh bitmaps, frames, legends, not-xor pens, bold font, the nine lists
    // replaced by empty ones whose scales copy the mode flags of `s`. The caller
    // runs ResetLoopState first.
    void ResetCharts(const LoopState &s);

    // The charts' part of a tick, within LoopTick: SampleCurves, then
    // AdvanceScales.
    void Record(const LoopState &s);

    // Per tick, after ControllerStep and PlantStep: erase the traces, append
    // this tick's samples, draw them again.
    void SampleCurves(const LoopState &s);
    // Per tick, after SampleCurves and before TickCount goes up: erase the
    // scales, append a mark for s.TickCount seconds, draw them again.
    void AdvanceScales(const LoopState &s);

    // Marks the next tick's place on both time scales with `text`, as a mode
    // change is marked; several marks before one tick are shown together.
    void MarkNextTick(const std::string &text);

    // The seven traces on the live charts (one not-xor stroke each).
    void DrawAllCurves();
    // Both scales on the live charts.
    void DrawScales(bool erase);

    const QImage &ReglerImage() const { return regler_.Image(); }        // controller chart
    const QImage &RegelstreckeImage() const { return strecke_.Image(); } // plant chart

    // Read access for the print and clipboard export.
    const TCurve &Curve(CurveIndex index) const
    {
        return *lists_.Curves[static_cast<std::size_t>(index)];
    }
    const TRunningScale &ControllerScale() const { return *lists_.ControllerScale; }
    const TRunningScale &PlantScale() const { return *lists_.PlantScale; }
    const ChartGeometry &Geometry() const { return geometry_; }
    std::int32_t PlotLeft() const { return geometry_.PlotLeft; }
    std::int32_t PlotRight() const { return geometry_.PlotRight; }
    std::int32_t PlotTop() const { return geometry_.PlotTop; }
    std::int32_t PlotBottom() const { return geometry_.PlotBottom; }
    std::int32_t PlotHeight() const { return geometry_.PlotHeight; }
    Real PxPerSample() const { return geometry_.PxPerSample; }
    std::int32_t ZeroLineY(int chart) const { return geometry_.ZeroLineOf(chart); }

private:
    ChartCanvas regler_;
    ChartCanvas strecke_;
    ChartGeometry geometry_;
    ChartLists lists_;
    TraceColorTable traceColors_{};
    std::uint32_t backColor_{White};
    std::uint32_t foreColor_{Black};
    int timeAxisLength_{DefaultTimeAxisLength};
    int imageWidth_{0};
    int imageHeight_{0};
    double pixelRatio_{1};
    // The size in points the current images were made for.
    int activeWidth_{0};
    int activeHeight_{0};
    // The window length the current lists and geometry were built for.
    int activeLength_{DefaultTimeAxisLength};
    // SampleCurves wipes the scales together with the traces (before anything
    // new is drawn) so that label boxes never cover half-erased traces.
    bool scalesErased_{false};
};

// One tick of the loop with the live charts recording it, as the window's
// timer runs it: LoopTick with LiveCharts::Record.
void ChartTick(LoopState &s, LiveCharts &charts);

} // namespace kavlon
