#pragma once

#include "analysis/StepResponse.h"
#include "charts/LiveCharts.h"

#include <QString>

#include <cstdint>

class QPainter;

namespace kavlon {

// The tangent construction of a step test over the plant chart, as pupils
// draw it on a printout: the lines x = x0 and x = x-infinity, the inflection
// tangent from where it meets x0 (ta) to where it meets x-infinity (tb), and
// Tu (t0 .. ta) and Tg (ta .. tb) marked as intervals along the time axis.
// While the test records, the tangent so far and a note with the seconds
// recorded. Painted with QPainter over the chart image, never into it; parts
// outside the charts' time window are clipped away.
//
// Ticks are numbered as the evaluation numbers them: `newestTick` is the
// tick of the newest sample on the charts.
void PaintStepTest(QPainter &painter, const LiveCharts &charts, std::int32_t newestTick,
                   const StepIdentification &id, bool recording);

// The note shown while recording, in German.
QString StepTestNote(std::int32_t seconds);

} // namespace kavlon
