#include "charts/LiveCharts.h"

#include "charts/TraceDrawing.h"
#include "engine/LoopTick.h"

namespace kavlon {

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

void LiveCharts::ResetCharts(const LoopState &s)
{
    activeLength_ = timeAxisLength_;
    NewChartBitmap(regler_, imageWidth_, imageHeight_, backColor_);
    NewChartBitmap(strecke_, imageWidth_, imageHeight_, backColor_);
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
    struct Trace {
        CurveIndex list;
        ChartCanvas *canvas;
    };
    const Trace traces[] = {{CurveYp, &regler_}, {CurveYi, &regler_}, {CurveYd, &regler_},
                            {CurveW, &strecke_}, {CurveX, &strecke_}, {CurveY, &regler_},
                            {CurveZ, &strecke_}};
    for (const Trace &t : traces) {
        const auto slot = static_cast<std::size_t>(t.list);
        DrawCurve(*lists_.Curves[slot], *t.canvas, geometry_.PlotLeft, geometry_.PxPerSample, 2,
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
    auto &c = lists_.Curves;
    const ChartValueSpan upper = ChartValueRange(ControllerChart);
    const ChartValueSpan lower = ChartValueRange(PlantChart);
    // In manual mode the controller's parts are not drawn; a part whose
    // parameter is 0 (switched off) neither.
    AddSample(*c[CurveYp], s.HandMode, s.Kr, s.yp, h, upper.hi, upper.lo, b);
    AddSample(*c[CurveYi], s.HandMode, s.Tn, s.yi, h, upper.hi, upper.lo, b);
    AddSample(*c[CurveYd], s.HandMode, s.Tv, s.yd, h, upper.hi, upper.lo, b);
    AddSample(*c[CurveW], false, 1, s.w, h, lower.hi, lower.lo, b);
    AddSample(*c[CurveX], false, 1, s.x, h, lower.hi, lower.lo, b);
    AddSample(*c[CurveY], false, 1, s.y, h, upper.hi, upper.lo, b);
    AddSample(*c[CurveZ], false, 1, s.Z, h, lower.hi, lower.lo, b);
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
    AddScaleMark(*lists_.ControllerScale, s, s.TickCount, geometry_.ZeroLineOf(ControllerChart));
    AddScaleMark(*lists_.PlantScale, s, s.TickCount, geometry_.ZeroLineOf(PlantChart));
    DrawScales(false);
}

} // namespace kavlon
