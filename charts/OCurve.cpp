#include "charts/OCurve.h"

#include <charconv>
#include <cmath>

namespace kavlon {

void TCurvePoint::Clear()
{
    Value = 0;
    PixelY = 0;
    MarkTop = 0;
    MarkBottom = 0;
    Hidden = false;
    Sampled = false;
    MarkReach = 0;
    SecondsLabel.clear();
    ModeText.clear();
}

TCurve::TCurve(int windowLength)
    : windowLength_(windowLength < MinTimeAxisLength ? MinTimeAxisLength : windowLength)
{
    // One slot more than the window: a point is appended before the oldest goes.
    slots_.resize(static_cast<std::size_t>(windowLength_) + 1);
}

TCurvePoint &TCurve::Append()
{
    if (static_cast<std::size_t>(count_) == slots_.size()) {
        // Only reachable when appending without trimming: keep the newest.
        RemoveFirst();
    }
    ++count_;
    TCurvePoint &p = (*this)[count_ - 1];
    p.Clear();
    Current = &p;
    return p;
}

void TCurve::RemoveFirst()
{
    if (count_ == 0)
        return;
    Current = &slots_[head_];
    head_ = head_ + 1 == slots_.size() ? 0 : head_ + 1;
    --count_;
}

void TCurve::Clear()
{
    while (count_ > 0)
        RemoveFirst();
    head_ = 0;
    Current = nullptr;
}

TRunningScale::TRunningScale(int windowLength, const LoopState &s)
    : TCurve(windowLength), LastARWUOn(s.ARWUOn), LastTotKOn(s.TotKOn), LastStrKOn(s.StrKOn),
      LastHandMode(s.HandMode)
{
}

int PointsToPixels(int points, double ratio)
{
    return static_cast<int>(std::lrint(static_cast<double>(points) * ratio));
}

std::int32_t ValueRow(Real value, int height, Real hi, Real lo, int bottom)
{
    const Real row =
        static_cast<Real>(bottom) - static_cast<Real>(height) * (value - lo) / (hi - lo);
    // Far outside any image the row is only kept within int range.
    const Real limited = Clamp(row, -1.0e9L, 1.0e9L);
    return static_cast<std::int32_t>(std::lrint(std::isnan(limited) ? 0.0L : limited));
}

void AddSample(TCurve &curve, bool hideAll, Real param, Real value, int height, Real hi, Real lo,
               int bottom)
{
    TCurvePoint &p = curve.Append();
    p.Hidden = hideAll || param == 0;
    if (!hideAll) {
        p.Sampled = true;
        p.Value = value;
        p.PixelY = ValueRow(value, height, hi, lo, bottom);
    }
    TrimToWindow(curve);
}

void TrimToWindow(TCurve &list)
{
    if (list.Count() > list.WindowLength())
        list.RemoveFirst();
}

void SetMark(TCurvePoint &entry, int baseY, int points, double ratio)
{
    const int reach = PointsToPixels(points, ratio);
    entry.Hidden = false;
    entry.MarkReach = points;
    entry.MarkTop = baseY - reach;
    entry.MarkBottom = baseY + reach;
}

void NoteModeChange(TCurvePoint &entry, int baseY, bool now, bool &last, const char *onText,
                    const char *offText, double ratio)
{
    if (now == last)
        return;
    SetMark(entry, baseY, 24, ratio);
    entry.ModeText = now ? onText : offText;
    last = now;
}

void AddScaleMark(TRunningScale &scale, const LoopState &s, int seconds, int baseY, double ratio)
{
    TCurvePoint &e = scale.Append();
    e.Hidden = true;
    if (seconds % 15 == 0) {
        if (seconds % 60 == 0) {
            SetMark(e, baseY, 16, ratio);
            char text[16];
            const auto r = std::to_chars(text, text + sizeof text, seconds);
            e.SecondsLabel.assign(text, r.ptr);
        } else {
            SetMark(e, baseY, 8, ratio);
        }
    }
    NoteModeChange(e, baseY, s.ARWUOn, scale.LastARWUOn, "ARWU ein", "ARWU aus", ratio);
    NoteModeChange(e, baseY, s.TotKOn, scale.LastTotKOn, "TotK ein", "TotK aus", ratio);
    NoteModeChange(e, baseY, s.StrKOn, scale.LastStrKOn, "StrK ein", "StrK aus", ratio);
    NoteModeChange(e, baseY, s.HandMode, scale.LastHandMode, "Hand", "Regler", ratio);
    if (!scale.PendingMark.empty()) {
        SetMark(e, baseY, 24, ratio);
        if (!e.ModeText.empty())
            scale.PendingMark += ' ' + e.ModeText;
        e.ModeText.swap(scale.PendingMark);
        scale.PendingMark.clear();
    }
    TrimToWindow(scale);
}

void FreeCurve(TCurve &list) { list.Clear(); }

void CreateCurves(ChartLists &lists, int windowLength)
{
    for (auto &curve : lists.Curves)
        curve = std::make_unique<TCurve>(windowLength);
}

void CreateScales(ChartLists &lists, int windowLength, const LoopState &s)
{
    lists.ControllerScale = std::make_unique<TRunningScale>(windowLength, s);
    lists.PlantScale = std::make_unique<TRunningScale>(windowLength, s);
}

void FreeCurves(ChartLists &lists)
{
    for (auto &curve : lists.Curves) {
        if (curve)
            FreeCurve(*curve);
        curve.reset();
    }
}

void FreeScales(ChartLists &lists)
{
    for (auto *scale : {&lists.ControllerScale, &lists.PlantScale}) {
        if (*scale)
            FreeCurve(**scale);
        scale->reset();
    }
}

} // namespace kavlon
