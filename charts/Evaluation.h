#pragma once

#include "analysis/RunRecorder.h"
#include "analysis/StepMetrics.h"
#include "charts/LiveCharts.h"
#include "engine/LoopState.h"
#include "engine/LoopTick.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QImage;
class QPainter;

namespace kavlon {

// A frozen copy of the x and y traces, by tick since the run's start, so that
// a later run can be laid over it at the same simulated times.
struct ReferenceRun {
    std::int32_t FirstTick{1}; // tick number of X[0] and Y[0]
    std::vector<Real> X;       // process value after each tick
    std::vector<Real> Y;       // controller output after each tick
    bool Empty() const { return X.empty(); }
};

// Reads a reference from a previous run's CSV as kavlon-sim writes it (header
// t,w,x,y,...): the rows of its last run from rest (t counts up from 1 again
// after a reset). Returns false with a one-line reason on a file that is not
// such a CSV; `run` is then left as it was.
bool ReadReferenceCsv(const std::string &path, ReferenceRun &run, std::string &error);

// The evaluation features over the live charts: the measurement cursors, the
// step segments with their figures and tolerance band, and the reference run.
// It keeps their state and draws them as overlays with QPainter, above the
// chart image and never into it, so the charts' not-xor erasing is untouched.
// The window and kavlon-sim feed it the same events the run recorder takes;
// the export draws it through the same painting code.
//
// Ticks are numbered as the run recorder numbers them: the sample taken in
// the tick that TickCount then counts up to k is "tick k" (1, 2, ...).
class Evaluation {
public:
    // Keeps the newest completed segments only (the figures show the last).
    Evaluation();

    // The recorder's events, forwarded: a restart from rest (after every
    // ResetLoopState), an operator change acting on the loop, and each tick's
    // sample (LoopTick's observer, after the charts recorded it). A restart
    // also removes the cursors (their samples are gone).
    void StartFromRest(const LoopState &s);
    void OperatorChanged(const LoopState &afterChange);
    void Sample(const LoopState &s);

    RunRecorder &Recorder() { return recorder_; }
    const RunRecorder &Recorder() const { return recorder_; }

    // The newest tick on the charts, 0 before the first tick of a run.
    std::int32_t NewestTick() const { return newestTick_; }

    // Switches; all off at first.
    bool CursorEnabled{false};  // "Messcursor"
    bool FiguresEnabled{false}; // "Kennwerte": figures and tolerance band

    // Cursors: 0 the main one (click or drag), 1 the second (Shift+click).
    // Each names a tick; it shows while that tick is in the charts' window.
    // SetCursorAt takes the sample nearest to pixelX (image pixels); with no
    // sample on the charts the cursor is removed. Other values of `which`
    // are ignored.
    void SetCursorAt(const LiveCharts &charts, int which, int pixelX);
    void ClearCursors();
    // The cursor's tick while it is in the charts' window, else empty.
    std::optional<std::int32_t> CursorTick(const LiveCharts &charts, int which) const;

    // The reference: the visible window of x and y as it is now; or none.
    void KeepReference(const LiveCharts &charts);
    void SetReference(ReferenceRun run);
    void ClearReference();
    const ReferenceRun &Reference() const { return reference_; }
    bool HasReference() const { return !reference_.Empty(); }

    // Whether Paint may draw anything on either chart: a reference, figures
    // to show, or a cursor switched on and set (even once its tick has left
    // the window). When false, Paint leaves every pixel alone.
    bool ShowsAnything() const;

    // Draws the overlays of one live chart (ControllerChart or PlantChart)
    // in the chart image's pixel coordinates, over that image as the charts
    // hold it: the reference behind the traces in its pale colours, the
    // tolerance band on the plant chart from the current segment's start,
    // the cursor lines with their read-out boxes, and the figures box.
    // blackAndWhite draws them as on a black-on-white export (for a chart
    // with the white background only).
    void Paint(QPainter &painter, const LiveCharts &charts, int chart,
               bool blackAndWhite = false) const;

    // The same over another picture of the chart at the live image's size
    // and geometry (the export's private chart image), whose background
    // colour is `backColor` (0x00BBGGRR). The reference and the band change
    // only pixels of `under` that show the background, so traces, grid and
    // frame stay as they are wherever they are drawn.
    void PaintOver(QPainter &painter, const LiveCharts &charts, int chart, const QImage &under,
                   std::uint32_t backColor, bool blackAndWhite) const;

    // The German one-line summary of the shown segment's figures for the
    // printed page and the clipboard picture ("Kennwerte (Führungssprung
    // t = 0 s, Δ = 500, Band ±10): Anregelzeit 30 s; ..."); empty when the
    // figures are off or no segment was measured yet.
    QString FiguresLine(const QLocale &locale = QLocale()) const;

    // The lines of the figures box: the segment that runs, else the last
    // completed one; empty when the figures are off or there is none.
    QStringList FiguresBox(const QLocale &locale = QLocale()) const;

    // The cursor read-out lines of one chart, in the locale's number format,
    // hidden parts as "–" (for tests and the window's tool tip); empty when
    // the cursor is off or not in the window.
    QStringList CursorReadout(const LiveCharts &charts, int chart,
                              const QLocale &locale = QLocale()) const;

private:
    // The segment the figures show and whether it still runs.
    std::optional<StepSegment> ShownSegment(bool &open) const;

    RunRecorder recorder_;
    std::int32_t newestTick_{0};
    std::array<std::optional<std::int32_t>, 2> cursors_{};
    ReferenceRun reference_;
};

// One tick of the loop with the live charts and the evaluation watching it:
// LoopTick with LiveCharts::Record, then Evaluation::Sample.
void ChartTick(LoopState &s, LiveCharts &charts, Evaluation &evaluation);

// The same with a further observer that sees the tick after the evaluation
// (the window's recording of every tick).
template <typename Also>
void ChartTick(LoopState &s, LiveCharts &charts, Evaluation &evaluation, Also &&also)
{
    LoopTick(s, [&](const LoopState &t) {
        charts.Record(t);
        evaluation.Sample(t);
        also(t);
    });
}

// The pixel column of tick `tick` on charts whose newest sample is tick
// `newestTick`, exactly where DrawCurve puts that sample (EntryX); empty when
// the tick is not in the window.
std::optional<int> TickColumn(const LiveCharts &charts, std::int32_t newestTick, std::int32_t tick);

// The tick whose sample column is nearest to `pixelX` (clamped to the
// samples shown; the older one on a tie); empty when the charts hold no
// sample.
std::optional<std::int32_t> NearestTick(const LiveCharts &charts, std::int32_t newestTick,
                                        int pixelX);

} // namespace kavlon
