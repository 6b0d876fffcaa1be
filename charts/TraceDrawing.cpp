#include "charts/TraceDrawing.h"

#include "charts/ChartFrame.h"

#include <QString>

#include <cmath>

namespace kavlon {

std::int32_t RoundPixel(Real v)
{
    // Keeps absurd values (huge px on a tiny window length) inside int range.
    if (std::isnan(v))
        return 0;
    return static_cast<std::int32_t>(std::lrint(Clamp(v, -1.0e9L, 1.0e9L)));
}

std::int32_t EntryX(int left, Real px, int n, int count, int index)
{
    return left + RoundPixel(static_cast<Real>(n - count) * px)
           + RoundPixel(static_cast<Real>(index) * px);
}

int DashStep(const TCurve &curve, int i, Real px)
{
    const int count = curve.Count();
    int j = i + 1;
    for (;;) {
        Real dist = 0;
        if (j < count) {
            const Real h = static_cast<Real>(j - i) * px;
            const Real v = static_cast<Real>(curve[j].PixelY) - static_cast<Real>(curve[i].PixelY);
            dist = static_cast<Real>(RoundPixel(std::sqrt(h * h + v * v)));
        }
        if (dist >= 25 || j + 1 >= count - 1)
            return j - i;
        ++j;
    }
}

void DrawCurve(const TCurve &curve, ChartCanvas &canvas, int left, Real px, int width,
               std::uint32_t colour, PenStyle style)
{
    const int count = curve.Count();
    if (count == 0)
        return;
    canvas.SetPenWidth(width);
    if (style == PenStyle::Clear) {
        canvas.SetPenColor(colour);
        canvas.SetPenStyle(PenStyle::Solid);
    } else {
        canvas.SetPenColor(Black);
        canvas.SetPenStyle(style);
    }
    const bool solid = canvas.GetPenStyle() == PenStyle::Solid;
    const int n = curve.WindowLength();

    canvas.BeginStroke();
    const TCurvePoint *prev = &curve[0];
    curve.Current = prev;
    // EntryX term by term: the offset of the window's fill is the same for
    // every entry, and each segment starts where the one before ended.
    const int shift = left + RoundPixel(static_cast<Real>(n - count) * px);
    int prevX = shift + RoundPixel(0);
    int i = 1;
    int step = 1;
    while (i < count) {
        const TCurvePoint &p = curve[i];
        const int x = shift + RoundPixel(static_cast<Real>(i) * px);
        if (!p.Hidden && !prev->Hidden) {
            canvas.MoveTo(prevX, prev->PixelY);
            canvas.LineTo(x, p.PixelY);
        }
        prevX = x;
        prev = &p;
        curve.Current = prev;
        if (!solid)
            step = DashStep(curve, i, px);
        i += step;
    }
    canvas.EndStroke();
}

int ScaleLabelTop(const ChartCanvas &canvas)
{
    const ChartBounds r = BoundsOnCanvas(canvas);
    return (r.bottom - canvas.Px(16)) + canvas.FontHeight();
}

void DrawScaleLabel(ChartCanvas &canvas, const std::string &text, int x, bool rightAligned,
                    bool erase)
{
    const ChartBounds r = BoundsOnCanvas(canvas);
    const QString label = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    const int w = canvas.TextWidth(label);
    const int l = x - w / 2;
    const int rr = x + w / 2;
    if (!(rr < r.right - canvas.Px(40) && l > r.left + canvas.Px(40)))
        return;
    if (erase)
        canvas.EraseText(rightAligned ? rr : l, ScaleLabelTop(canvas), label);
    else
        canvas.TextOut(rightAligned ? rr : l, ScaleLabelTop(canvas), label);
}

void DrawScale(const TRunningScale &scale, ChartCanvas &canvas, std::uint32_t backColour, int left,
               Real px, bool rightAligned, bool erase)
{
    const int count = scale.Count();
    if (count == 0)
        return;
    canvas.SetPenWidth(1);
    canvas.SetPenStyle(PenStyle::Solid);
    canvas.SetPenColor(Black);
    canvas.SetTextBackColor(backColour);
    // Labels show black on white and white on any other background; erasing
    // leaves the font in the background colour, as glyphs drawn then vanish.
    if (erase)
        canvas.SetFontColor(backColour);
    else
        canvas.SetFontColor(backColour == White ? Black : White);
    const int n = scale.WindowLength();

    canvas.BeginStroke();
    for (int i = 0; i < count; ++i) {
        const TCurvePoint &e = scale[i];
        scale.Current = &e;
        if (e.Hidden)
            continue;
        const int x = EntryX(left, px, n, count, i);
        canvas.MoveTo(x, e.MarkTop);
        canvas.LineTo(x, e.MarkBottom);
    }
    canvas.EndStroke();

    for (int i = 0; i < count; ++i) {
        const TCurvePoint &e = scale[i];
        scale.Current = &e;
        if (e.Hidden || (e.SecondsLabel.empty() && e.ModeText.empty()))
            continue;
        const int x = EntryX(left, px, n, count, i);
        if (!e.SecondsLabel.empty())
            DrawScaleLabel(canvas, e.SecondsLabel, x, rightAligned, erase);
        if (!e.ModeText.empty())
            DrawScaleLabel(canvas, e.ModeText, x, rightAligned, erase);
    }
}

} // namespace kavlon
