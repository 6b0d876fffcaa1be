#include "charts/StepTestOverlay.h"

#include "charts/ChartCanvas.h"
#include "charts/ChartFrame.h"
#include "charts/Evaluation.h"
#include "charts/OCurve.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <optional>

namespace kavlon {

namespace {

// Dark violet on white, a light violet on black: apart from every trace colour.
QColor ConstructionColor(std::uint32_t backColor)
{
    return backColor == Black ? QColor(230, 120, 255) : QColor(140, 0, 160);
}

double RowOf(const LiveCharts &charts, Real value)
{
    const ChartValueSpan range = ChartValueRange(PlantChart);
    return ValueRow(value, charts.PlotHeight(), range.hi, range.lo, charts.PlotBottom());
}

} // namespace

QString StepTestNote(std::int32_t seconds)
{
    return QStringLiteral("Sprungantwort wird aufgenommen: %1 s").arg(seconds);
}

void PaintStepTest(QPainter &p, const LiveCharts &charts, std::int32_t newestTick,
                   const StepIdentification &id, bool recording)
{
    const std::optional<int> newestColumn = TickColumn(charts, newestTick, newestTick);
    if (!newestColumn)
        return;
    // A time on the loop's clock as a pixel column: the samples are
    // PxPerSample apart, counted back from the newest one.
    const auto column = [&](Real t) {
        return static_cast<double>(*newestColumn)
               - static_cast<double>((static_cast<Real>(newestTick) - t) * charts.PxPerSample());
    };
    const QRect plot(QPoint(charts.PlotLeft(), charts.PlotTop()),
                     QPoint(charts.PlotRight(), charts.PlotBottom()));
    p.save();
    p.setClipRect(plot);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor color = ConstructionColor(charts.BackColor());
    // Sizes in chart points, drawn at the ratio of the charts' pixels.
    const auto pt = [&charts](int points) { return PointsToPixels(points, charts.PixelRatio()); };
    QFont font(ChartFontFamily());
    font.setPixelSize(std::max(1, pt(ChartFontPixelSize)));
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    const QFontMetrics fm(font);

    const double left = column(static_cast<Real>(id.t0));
    const double right = plot.right();
    const Real tEnd = static_cast<Real>(id.t0 + id.seconds);
    auto horizontal = [&](Real value, const QString &label) {
        const double y = RowOf(charts, value);
        p.setPen(QPen(color, pt(1), Qt::DashLine));
        p.drawLine(QPointF(left, y), QPointF(right, y));
        p.setPen(color);
        p.drawText(QPointF(std::max<double>(left, plot.left()) + pt(3), y - pt(3)), label);
    };
    horizontal(id.x0, QStringLiteral("x0"));
    if (id.settled)
        horizontal(id.xEnd, QStringLiteral("x∞"));

    if (id.slope && id.ta && id.inflection) {
        // The tangent from ta at x0 to tb at x-infinity, or on to the last
        // sample while there is no x-infinity.
        const Real tTo = id.tb ? *id.tb : tEnd;
        const Real xTo = id.tb ? id.xEnd : *id.xInflection + *id.slope * (tTo - *id.inflection);
        p.setPen(QPen(color, pt(2)));
        p.drawLine(QPointF(column(*id.ta), RowOf(charts, id.x0)),
                   QPointF(column(tTo), RowOf(charts, xTo)));

        // Tu and Tg along the time axis (the line x = 0), just above it.
        const double axisY = RowOf(charts, 0) - pt(10);
        auto interval = [&](Real from, Real to, const QString &label) {
            const double a = column(from), b = column(to);
            p.setPen(QPen(color, pt(1), Qt::DotLine));
            p.drawLine(QPointF(a, plot.top()), QPointF(a, plot.bottom()));
            p.drawLine(QPointF(b, plot.top()), QPointF(b, plot.bottom()));
            p.setPen(QPen(color, pt(2)));
            p.drawLine(QPointF(a, axisY), QPointF(b, axisY));
            p.drawLine(QPointF(a, axisY - pt(4)), QPointF(a, axisY + pt(4)));
            p.drawLine(QPointF(b, axisY - pt(4)), QPointF(b, axisY + pt(4)));
            p.setPen(color);
            const double mid = (a + b) / 2 - fm.horizontalAdvance(label) / 2.0;
            p.drawText(QPointF(mid, axisY - pt(4)), label);
        };
        if (id.Tu)
            interval(static_cast<Real>(id.t0), *id.ta, QStringLiteral("Tu"));
        if (id.Tg)
            interval(*id.ta, *id.tb, QStringLiteral("Tg"));
    }

    if (recording) {
        const QString note = StepTestNote(id.seconds);
        const QRect box(plot.left() + pt(4), plot.top() + pt(4), fm.horizontalAdvance(note) + pt(8),
                        fm.height() + pt(4));
        p.fillRect(box, charts.BackColor() == Black ? QColor(40, 0, 50) : QColor(250, 235, 255));
        p.setPen(QPen(color, pt(1)));
        // The frame inside the box, whatever the pen's width.
        const int inset = pt(1) / 2;
        p.drawRect(box.adjusted(inset, inset, -1 - (pt(1) - 1 - inset), -1 - (pt(1) - 1 - inset)));
        p.setPen(color);
        p.drawText(box, Qt::AlignCenter, note);
    }
    p.restore();
}

} // namespace kavlon
