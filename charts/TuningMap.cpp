#include "charts/TuningMap.h"

#include "charts/ChartCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace kavlon {

namespace {

constexpr int LeftMargin = 78;
constexpr int RightMargin = 150;
constexpr int TopMargin = 36;
constexpr int BottomMargin = 58;
constexpr int BarWidth = 18;

const QColor Unsettled(150, 150, 150);
const QColor Hatch(90, 90, 90);
const QColor NoSegment(255, 255, 255);

QFont MapFont(int pixels, bool bold = false)
{
    QFont font(ChartFontFamily());
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QString Number(Real v, int decimals)
{
    return QLocale(QLocale::German, QLocale::Germany)
        .toString(static_cast<double>(v), 'f', decimals);
}

// Few enough decimals to tell the grid's values apart.
int Decimals(const SweepAxis &axis) { return axis.tenths && axis.stepSteps % 10 != 0 ? 1 : 0; }

// Low (good) dark blue through cyan and yellow to red (high).
QColor ScaleColor(double t)
{
    static constexpr std::array<std::array<int, 3>, 5> stops{
        {{20, 30, 140}, {0, 120, 230}, {40, 200, 170}, {250, 220, 40}, {200, 20, 20}}};
    t = std::clamp(t, 0.0, 1.0) * (stops.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(t), stops.size() - 2);
    const double f = t - static_cast<double>(i);
    auto mix = [&](std::size_t c) {
        return static_cast<int>(std::lrint(stops[i][c] + f * (stops[i + 1][c] - stops[i][c])));
    };
    return QColor(mix(0), mix(1), mix(2));
}

void HatchRect(QPainter &p, const QRect &r)
{
    p.fillRect(r, Unsettled);
    p.save();
    p.setClipRect(r);
    p.setPen(QPen(Hatch, 1));
    for (int d = -r.height(); d < r.width(); d += 5)
        p.drawLine(r.left() + d, r.bottom(), r.left() + d + r.height(), r.top());
    p.restore();
}

// The centre of the value v on an axis of `count` cells over [from, to).
double AxisPixel(const SweepAxis &axis, Real v, int from, int to, bool upwards)
{
    const double cell = double(to - from) / axis.count;
    double index = 0;
    if (axis.count > 1)
        index = static_cast<double>((v - axis.Lo()) / (axis.Hi() - axis.Lo())) * (axis.count - 1);
    index = std::clamp(index, -0.5, axis.count - 0.5);
    const double offset = (index + 0.5) * cell;
    return upwards ? to - offset : from + offset;
}

} // namespace

QString SweepMetricTitle(SweepMetric metric)
{
    switch (metric) {
    case SweepMetric::IAE: return QStringLiteral("IAE");
    case SweepMetric::Overshoot: return QStringLiteral("Überschwingweite in %");
    case SweepMetric::Settling: return QStringLiteral("Ausregelzeit in s");
    }
    return {};
}

TuningMapPanel TuningMapPanelAt(const TuningMapView &view, std::int32_t tvIndex)
{
    TuningMapPanel p;
    p.panel = QRect(0, tvIndex * view.panelHeight, view.width, view.panelHeight);
    p.plot = QRect(LeftMargin, p.panel.top() + TopMargin,
                   std::max(1, view.width - LeftMargin - RightMargin),
                   std::max(1, view.panelHeight - TopMargin - BottomMargin));
    p.colorBar = QRect(p.plot.right() + 24, p.plot.top(), BarWidth, p.plot.height() * 2 / 3);
    return p;
}

QSize TuningMapSize(const SweepPlan &plan, const TuningMapView &view)
{
    return QSize(view.width, view.panelHeight * plan.TvCount());
}

QRect TuningMapCell(const SweepPlan &plan, const QRect &plot, std::int32_t krIndex,
                    std::int32_t tnIndex)
{
    const auto edge = [](int from, int length, std::int32_t i, std::int32_t n) {
        return from + static_cast<int>(static_cast<std::int64_t>(length) * i / n);
    };
    const int left = edge(plot.left(), plot.width(), krIndex, plan.kr.count);
    const int right = edge(plot.left(), plot.width(), krIndex + 1, plan.kr.count);
    // Tn grows upwards: index 0 at the bottom.
    const int bottom = edge(plot.top(), plot.height(), plan.tn.count - tnIndex, plan.tn.count);
    const int top = edge(plot.top(), plot.height(), plan.tn.count - tnIndex - 1, plan.tn.count);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

std::optional<std::int64_t> TuningMapPointAt(const SweepPlan &plan, const TuningMapView &view,
                                             QPoint at)
{
    if (view.panelHeight <= 0 || at.y() < 0)
        return std::nullopt;
    const std::int32_t tv = at.y() / view.panelHeight;
    if (tv >= plan.TvCount())
        return std::nullopt;
    const QRect plot = TuningMapPanelAt(view, tv).plot;
    if (!plot.contains(at))
        return std::nullopt;
    const auto kr = static_cast<std::int32_t>(static_cast<std::int64_t>(at.x() - plot.left())
                                              * plan.kr.count / plot.width());
    const auto fromBottom = static_cast<std::int32_t>(
        static_cast<std::int64_t>(plot.bottom() - at.y()) * plan.tn.count / plot.height());
    const std::int32_t krIndex = std::clamp(kr, 0, plan.kr.count - 1);
    const std::int32_t tnIndex = std::clamp(fromBottom, 0, plan.tn.count - 1);
    return (static_cast<std::int64_t>(tv) * plan.tn.count + tnIndex) * plan.kr.count + krIndex;
}

QImage DrawTuningMap(const SweepPlan &plan, const std::vector<SweepCell> &cells, SweepMetric metric,
                     const TuningMapView &view)
{
    // Drawn in points: the painter scales by the image's ratio, so that text
    // and lines get the device's own pixels instead of enlarged ones.
    const double ratio = UsablePixelRatio(view.pixelRatio);
    const QSize points = TuningMapSize(plan, view);
    QImage image(static_cast<int>(std::ceil(points.width() * ratio)),
                 static_cast<int>(std::ceil(points.height() * ratio)), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont label = MapFont(12);
    const QFont title = MapFont(15, true);
    const QFontMetrics fm(label);
    const std::int64_t layer = static_cast<std::int64_t>(plan.kr.count) * plan.tn.count;

    for (std::int32_t tv = 0; tv < plan.TvCount(); ++tv) {
        const TuningMapPanel panel = TuningMapPanelAt(view, tv);
        const QRect &plot = panel.plot;
        const std::int64_t first = layer * tv;
        auto cellOf = [&](std::int64_t point) -> const SweepCell & {
            static const SweepCell none;
            return point < static_cast<std::int64_t>(cells.size())
                       ? cells[static_cast<std::size_t>(point)]
                       : none;
        };

        // The scale runs over the settled cells of this panel.
        std::optional<Real> lo, hi;
        for (std::int64_t pt = first; pt < first + layer; ++pt) {
            const SweepCell &c = cellOf(pt);
            const std::optional<Real> v = MetricOf(c, metric);
            if (!CellSettled(c) || !v)
                continue;
            lo = lo ? std::min(*lo, *v) : *v;
            hi = hi ? std::max(*hi, *v) : *v;
        }
        auto fraction = [&](Real v) {
            return *hi > *lo ? static_cast<double>((v - *lo) / (*hi - *lo)) : 0.0;
        };

        for (std::int32_t tn = 0; tn < plan.tn.count; ++tn) {
            for (std::int32_t kr = 0; kr < plan.kr.count; ++kr) {
                const std::int64_t pt = first + static_cast<std::int64_t>(tn) * plan.kr.count + kr;
                const SweepCell &c = cellOf(pt);
                const QRect r = TuningMapCell(plan, plot, kr, tn);
                const std::optional<Real> v = MetricOf(c, metric);
                if (!c)
                    p.fillRect(r, NoSegment);
                else if (!CellSettled(c) || !v)
                    HatchRect(p, r);
                else
                    p.fillRect(r, ScaleColor(fraction(*v)));
            }
        }
        p.setPen(Qt::black);
        p.drawRect(plot.adjusted(-1, -1, 0, 0));

        // The best cell: a ring, white inside black so it shows on any colour.
        if (const std::int64_t best = BestPoint(plan, cells, metric, tv); best >= 0) {
            const std::int64_t inLayer = best - first;
            const QRect r =
                TuningMapCell(plan, plot, static_cast<std::int32_t>(inLayer % plan.kr.count),
                              static_cast<std::int32_t>(inLayer / plan.kr.count));
            const int radius = std::max(6, std::min(r.width(), r.height()) / 2 + 3);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Qt::black, 4));
            p.drawEllipse(r.center(), radius, radius);
            p.setPen(QPen(Qt::white, 2));
            p.drawEllipse(r.center(), radius, radius);
            p.setRenderHint(QPainter::Antialiasing, false);
        }
        // The operator's current Kr and Tn: a cross.
        if (view.currentKr && view.currentTn) {
            const int x = static_cast<int>(std::lrint(
                AxisPixel(plan.kr, *view.currentKr, plot.left(), plot.right() + 1, false)));
            const int y = static_cast<int>(std::lrint(
                AxisPixel(plan.tn, *view.currentTn, plot.top(), plot.bottom() + 1, true)));
            for (const auto &[pen, width] : {std::pair{Qt::white, 5}, std::pair{Qt::black, 2}}) {
                p.setPen(QPen(QColor(pen), width));
                p.drawLine(x - 9, y, x + 9, y);
                p.drawLine(x, y - 9, x, y + 9);
            }
        }

        // Title.
        p.setPen(Qt::black);
        p.setFont(title);
        QString heading = QStringLiteral("Kennfeld: ") + SweepMetricTitle(metric)
                          + QStringLiteral(" bei Tv = ") + Number(plan.TvOf(first), 1)
                          + QStringLiteral(" s");
        p.drawText(QRect(panel.panel.left(), panel.panel.top() + 6, view.width, 22),
                   Qt::AlignHCenter | Qt::AlignTop, heading);

        // Axes: tick labels at cell centres, about ten of them.
        p.setFont(label);
        const int krEvery = std::max(1, (plan.kr.count + 9) / 10);
        for (std::int32_t kr = 0; kr < plan.kr.count; kr += krEvery) {
            const QRect r = TuningMapCell(plan, plot, kr, 0);
            const QString text = Number(plan.kr.At(kr), Decimals(plan.kr));
            p.drawLine(r.center().x(), plot.bottom() + 1, r.center().x(), plot.bottom() + 5);
            p.drawText(QRect(r.center().x() - 40, plot.bottom() + 6, 80, fm.height()),
                       Qt::AlignHCenter, text);
        }
        const int tnEvery = std::max(1, (plan.tn.count + 9) / 10);
        for (std::int32_t tn = 0; tn < plan.tn.count; tn += tnEvery) {
            const QRect r = TuningMapCell(plan, plot, 0, tn);
            const QString text = Number(plan.tn.At(tn), 0);
            p.drawLine(plot.left() - 6, r.center().y(), plot.left() - 2, r.center().y());
            p.drawText(QRect(plot.left() - 52, r.center().y() - fm.height() / 2, 44, fm.height()),
                       Qt::AlignRight | Qt::AlignVCenter, text);
        }
        p.drawText(
            QRect(plot.left(), plot.bottom() + 8 + fm.height(), plot.width(), fm.height() + 4),
            Qt::AlignHCenter, QStringLiteral("Verstärkung Kr"));
        p.save();
        p.translate(panel.panel.left() + 16, plot.center().y());
        p.rotate(-90);
        p.drawText(QRect(-plot.height() / 2, -fm.height() / 2 - 2, plot.height(), fm.height() + 4),
                   Qt::AlignHCenter, QStringLiteral("Nachstellzeit Tn in s"));
        p.restore();

        // Colour bar with its scale, and what the other marks mean.
        const QRect &bar = panel.colorBar;
        for (int y = 0; y < bar.height(); ++y)
            p.fillRect(QRect(bar.left(), bar.bottom() - y, bar.width(), 1),
                       ScaleColor(bar.height() > 1 ? double(y) / (bar.height() - 1) : 0));
        p.setPen(Qt::black);
        p.drawRect(bar.adjusted(-1, -1, 0, 0));
        // The scale's title, kept inside the picture's right edge.
        p.drawText(QRect(plot.right() + 4, bar.top() - fm.height() - 6,
                         view.width - plot.right() - 8, fm.height()),
                   Qt::AlignRight, SweepMetricTitle(metric));
        if (lo && hi) {
            const Real span = *hi - *lo;
            const int decimals = span >= 100 ? 0 : (span >= 1 ? 1 : 3);
            for (int i = 0; i <= 4; ++i) {
                const int y = bar.bottom() - (bar.height() - 1) * i / 4;
                p.drawLine(bar.right() + 1, y, bar.right() + 5, y);
                p.drawText(QRect(bar.right() + 8, y - fm.height() / 2, RightMargin, fm.height()),
                           Qt::AlignLeft | Qt::AlignVCenter, Number(*lo + span * i / 4, decimals));
            }
        }
        const int legendTop = bar.bottom() + 16;
        const QRect hatchBox(bar.left(), legendTop, 14, 14);
        HatchRect(p, hatchBox);
        p.setPen(Qt::black);
        p.drawRect(hatchBox.adjusted(-1, -1, 0, 0));
        p.drawText(QRect(hatchBox.right() + 6, legendTop - 2, RightMargin, 2 * fm.height()),
                   Qt::AlignLeft, QStringLiteral("nicht\neingeschwungen"));
        const int ringTop = legendTop + 2 * fm.height() + 10;
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(Qt::black, 3));
        p.drawEllipse(QPoint(hatchBox.center().x(), ringTop + 7), 6, 6);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.drawText(QRect(hatchBox.right() + 6, ringTop, RightMargin, fm.height()), Qt::AlignLeft,
                   QStringLiteral("bester Punkt"));
        if (view.currentKr && view.currentTn) {
            const int crossTop = ringTop + fm.height() + 8;
            p.setPen(QPen(Qt::black, 2));
            const int cx = hatchBox.center().x();
            p.drawLine(cx - 6, crossTop + 7, cx + 6, crossTop + 7);
            p.drawLine(cx, crossTop + 1, cx, crossTop + 13);
            p.drawText(QRect(hatchBox.right() + 6, crossTop, RightMargin, fm.height()),
                       Qt::AlignLeft, QStringLiteral("eingestellt"));
        }
    }
    return image;
}

} // namespace kavlon
