#include "charts/LiveCharts.h"

#include "charts/TraceDrawing.h"
#include "engine/LoopTick.h"

#include <algorithm>
#include <cmath>

namespace kavlon {

namespace {

// The chart each trace is drawn on, by CurveIndex.
constexpr std::array<int, CurveCount> TraceChart{ControllerChart, ControllerChart, ControllerChart,
                                                 PlantChart,      PlantChart,      ControllerChart,
                                                 PlantChart};

constexpr int ChartOf(CurveIndex curve) { return TraceChart[static_cast<std::size_t>(curve)]; }

} // namespace

LiveCharts::LiveCharts() : traceColors_(TraceColorsFor(White))
{
    CreateCurves(lists_, activeLength_);
    CreateScales(lists_, activeLength_, LoopState{});
    NewChartBitmap(regler_, 0, 0, backColor_);
    NewChartBitmap(strecke_, 0, 0, backColor_);
}

void LiveCharts::SetTimeAxisLength(int n)
{
    if (n >= MinTimeAxisLength && n <= MaxTimeAxisLength)
        timeAxisLength_ = n;
}

void LiveCharts::SetBackColor(std::uint32_t bgr)
{
    backColor_ = NormalisedBackColor(bgr);
    foreColor_ = ForeColorFor(backColor_);
    traceColors_ = TraceColorsFor(backColor_);
}

void LiveCharts::SetImageSize(int width, int height)
{
    imageWidth_ = width < 0 ? 0 : width;
    imageHeight_ = height < 0 ? 0 : height;
}

void LiveCharts::SetPixelRatio(double ratio) { pixelRatio_ = ratio; }

int LiveCharts::PixelsFor(int points, double ratio)
{
    // Up, so that a view of `points` is covered whole; the slack keeps a
    // product such as 11.000000000000002 from gaining a pixel.
    const double pixels = std::ceil(static_cast<double>(points) * ratio - 1e-6);
    return static_cast<int>(std::clamp(pixels, 0.0, 1.0e6));
}

void LiveCharts::ResetCharts(const LoopState &s)
{
    activeLength_ = timeAxisLength_;
    activeWidth_ = imageWidth_;
    activeHeight_ = imageHeight_;
    for (ChartCanvas *canvas : {&regler_, &strecke_}) {
        canvas->SetPixelRatio(pixelRatio_);
        NewChartBitmap(*canvas, PixelsFor(imageWidth_, canvas->PixelRatio()),
                       PixelsFor(imageHeight_, canvas->PixelRatio()), backColor_);
    }
    for (auto [canvas, chart] :
         {std::pair{&regler_, ControllerChart}, std::pair{&strecke_, PlantChart}}) {
        // Both images have one size, so both frames give the same geometry
        // (apart from each chart's own zero line).
        const ChartValueSpan range = ChartValueRange(chart);
        DrawChartFrame(*canvas, geometry_, chart, foreColor_, backColor_, range.lo, range.hi,
                       activeLength_);
        DrawLegend(*canvas, geometry_, chart, traceColors_);
        // Erased scale labels give back this frame, grid lines included.
        canvas->SetBackdrop(canvas->Image().copy());
        canvas->SetPenMode(PenMode::NotXor);
        // The running scale's labels are placed by their left edge.
        canvas->SetTextAlign(TextAlign::Left);
    }
    FreeCurves(lists_);
    FreeScales(lists_);
    CreateCurves(lists_, activeLength_);
    CreateScales(lists_, activeLength_, s);
    scalesErased_ = false;
}

void LiveCharts::DrawAllCurves()
{
    for (int list = 0; list < CurveCount; ++list) {
        const auto slot = static_cast<std::size_t>(list);
        ChartCanvas &canvas =
            ChartOf(static_cast<CurveIndex>(list)) == PlantChart ? strecke_ : regler_;
        DrawCurve(*lists_.Curves[slot], canvas, geometry_.PlotLeft, geometry_.PxPerSample, 2,
                  traceColors_[slot], PenStyle::Clear);
    }
}

void LiveCharts::DrawScales(bool erase)
{
    DrawScale(*lists_.ControllerScale, regler_, backColor_, geometry_.PlotLeft,
              geometry_.PxPerSample, false, erase);
    DrawScale(*lists_.PlantScale, strecke_, backColor_, geometry_.PlotLeft, geometry_.PxPerSample,
              false, erase);
}

void LiveCharts::SampleCurves(const LoopState &s)
{
    if (!lists_.Curves[CurveYp]->Empty())
        DrawAllCurves();
    // The label boxes are wiped while no trace is on the chart: a box painted
    // over a trace would otherwise leave debris at the trace's next erase.
    if (!scalesErased_ && !lists_.ControllerScale->Empty()) {
        DrawScales(true);
        scalesErased_ = true;
    }
    const int h = geometry_.PlotHeight;
    const int b = geometry_.PlotBottom;
    const auto add = [&](CurveIndex curve, bool hideAll, Real param, Real value) {
        const ChartValueSpan range = ChartValueRange(ChartOf(curve));
        AddSample(*lists_.Curves[static_cast<std::size_t>(curve)], hideAll, param, value, h,
                  range.hi, range.lo, b);
    };
    // In manual mode the controller's parts are not drawn; a part whose
    // parameter is 0 (switched off) neither.
    add(CurveYp, s.HandMode, s.Kr, s.yp);
    add(CurveYi, s.HandMode, s.Tn, s.yi);
    add(CurveYd, s.HandMode, s.Tv, s.yd);
    add(CurveW, false, 1, s.w);
    add(CurveX, false, 1, s.x);
    add(CurveY, false, 1, s.y);
    add(CurveZ, false, 1, s.Z);
    DrawAllCurves();
}

void LiveCharts::Record(const LoopState &s)
{
    SampleCurves(s);
    AdvanceScales(s);
}

void ChartTick(LoopState &s, LiveCharts &charts)
{
    LoopTick(s, [&charts](const LoopState &t) { charts.Record(t); });
}

void LiveCharts::MarkNextTick(const std::string &text)
{
    if (text.empty())
        return;
    for (TRunningScale *scale : {lists_.ControllerScale.get(), lists_.PlantScale.get()}) {
        if (!scale)
            continue;
        if (!scale->PendingMark.empty())
            scale->PendingMark += ' ';
        scale->PendingMark += text;
    }
}

void LiveCharts::AdvanceScales(const LoopState &s)
{
    if (!scalesErased_ && !lists_.ControllerScale->Empty())
        DrawScales(true);
    scalesErased_ = false;
    AddScaleMark(*lists_.ControllerScale, s, s.TickCount, geometry_.ZeroLineOf(ControllerChart),
                 PixelRatio());
    AddScaleMark(*lists_.PlantScale, s, s.TickCount, geometry_.ZeroLineOf(PlantChart),
                 PixelRatio());
    DrawScales(false);
}

LiveCharts LiveCharts::UnscaledCopy() const
{
    LiveCharts copy;
    copy.SetBackColor(backColor_);
    copy.SetTimeAxisLength(activeLength_);
    copy.SetImageSize(activeWidth_, activeHeight_);
    copy.SetPixelRatio(1);
    copy.ResetCharts(LoopState{});
    const ChartGeometry &g = copy.geometry_;
    for (int list = 0; list < CurveCount; ++list) {
        const TCurve &from = *lists_.Curves[static_cast<std::size_t>(list)];
        TCurve &to = *copy.lists_.Curves[static_cast<std::size_t>(list)];
        const ChartValueSpan range = ChartValueRange(ChartOf(static_cast<CurveIndex>(list)));
        for (int i = 0; i < from.Count(); ++i) {
            TCurvePoint &p = to.Append();
            p = from[i];
            // A point that holds no sample keeps the row of a new point.
            p.PixelY =
                p.Sampled ? ValueRow(p.Value, g.PlotHeight, range.hi, range.lo, g.PlotBottom) : 0;
        }
    }
    const std::pair<const TRunningScale *, TRunningScale *> scales[] = {
        {lists_.ControllerScale.get(), copy.lists_.ControllerScale.get()},
        {lists_.PlantScale.get(), copy.lists_.PlantScale.get()}};
    for (const auto &[from, to] : scales) {
        const int base =
            g.ZeroLineOf(from == lists_.PlantScale.get() ? PlantChart : ControllerChart);
        to->LastARWUOn = from->LastARWUOn;
        to->LastTotKOn = from->LastTotKOn;
        to->LastStrKOn = from->LastStrKOn;
        to->LastHandMode = from->LastHandMode;
        to->PendingMark = from->PendingMark;
        for (int i = 0; i < from->Count(); ++i) {
            TCurvePoint &e = to->Append();
            e = (*from)[i];
            if (!e.Hidden)
                SetMark(e, base, e.MarkReach, 1);
        }
    }
    return copy;
}

} // namespace kavlon
