#include "charts/LiveCharts.h"

#include "charts/TraceDrawing.h"
#include "engine/LoopTick.h"

namespace kavlon {

LiveCharts::LiveCharts()
    : traceColors_(TraceColorsFor(White))
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
    DrawChartFrame(regler_, geometry_, ControllerChart, foreColor_, backColor_, -100, 150, activeLength_);
    DrawChartFrame(strecke_, geometry_, PlantChart, foreColor_, backColor_, -200, 800, activeLength_);
    for (auto [canvas, chart] : {std::pair{&regler_, ControllerChart}, std::pair{&strecke_, PlantChart}}) {
        DrawLegend(*canvas, geometry_, chart, traceColors_);
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
    AddSample(*c[CurveYp], s.HandMode, s.Kr, s.yp, h, 150, -100, b);
    AddSample(*c[CurveYi], s.HandMode, s.Tn, s.yi, h, 150, -100, b);
    AddSample(*c[CurveYd], s.HandMode, s.Tv, s.yd, h, 150, -100, b);
    AddSample(*c[CurveW], false, 1, s.w, h, 800, -200, b);
    AddSample(*c[CurveX], false, 1, s.x, h, 800, -200, b);
    AddSample(*c[CurveY], false, 1, s.y, h, 150, -100, b);
    AddSample(*c[CurveZ], false, 1, s.Z, h, 800, -200, b);
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
