#pragma once

#include "analysis/ParameterSweep.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

namespace kavlon {

// The tuning map: one heat map of a metric over the Kr x Tn plane per Tv
// value, stacked from top to bottom. Kr grows to the right, Tn upwards. Low
// values are dark blue, high ones red; cells where x never settled in the
// band (a loop that oscillates or creeps) are grey and hatched, cells without
// a step segment white; the best settled cell carries a ring; the operator's
// current Kr and Tn (if given) a cross. The window and kavlon-sim draw it
// with this code.
struct TuningMapView {
    int width{800};       // the picture's width, in points
    int panelHeight{560}; // the height of one Tv panel, in points
    // Device pixels per point: the window draws the map at its screen's
    // resolution, files at 1. Layout, cells and clicks stay in points.
    double pixelRatio{1};
    std::optional<Real> currentKr;
    std::optional<Real> currentTn;
};

// Where one panel's parts lie in the picture.
struct TuningMapPanel {
    QRect panel;
    QRect plot;     // the cells
    QRect colorBar; // the scale
};

TuningMapPanel TuningMapPanelAt(const TuningMapView &view, std::int32_t tvIndex);

// The picture's size for a sweep, in points.
QSize TuningMapSize(const SweepPlan &plan, const TuningMapView &view);

// The rectangle of cell (kr index, tn index) within a panel's plot.
QRect TuningMapCell(const SweepPlan &plan, const QRect &plot, std::int32_t krIndex,
                    std::int32_t tnIndex);

// The point of the cell under a position in points, or empty off the cells.
std::optional<std::int64_t> TuningMapPointAt(const SweepPlan &plan, const TuningMapView &view,
                                             QPoint at);

// The map's German title and the metric's name with its unit.
QString SweepMetricTitle(SweepMetric metric);

// Draws the whole map: TuningMapSize times the view's pixel ratio (rounded
// up) in device pixels, carrying that ratio. Needs a running QGuiApplication
// for its texts.
QImage DrawTuningMap(const SweepPlan &plan, const std::vector<SweepCell> &cells, SweepMetric metric,
                     const TuningMapView &view);

} // namespace kavlon
