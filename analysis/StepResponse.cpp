#include "analysis/StepResponse.h"

#include <cmath>

namespace kavlon {

bool SettledAt(std::span<const Real> x, std::size_t k)
{
    const auto window = static_cast<std::size_t>(SettleWindowSeconds);
    if (k < window || k >= x.size() || x[k] == x[0])
        return false;
    return std::fabs(x[k] - x[k - window]) <= SettleFraction * std::fabs(x[k] - x[0]);
}

StepIdentification IdentifyStep(std::int32_t t0, Real y0, Real y1, std::span<const Real> x,
                                bool settled)
{
    StepIdentification id;
    id.t0 = t0;
    id.y0 = y0;
    id.y1 = y1;
    if (x.empty())
        return id;
    id.x0 = x.front();
    id.xEnd = x.back();
    id.seconds = static_cast<std::int32_t>(x.size()) - 1;
    id.settled = settled;

    // The largest |slope| wins; a later sample must be strictly steeper.
    std::size_t best = 0;
    Real bestSlope = 0;
    for (std::size_t k = 1; k + 1 < x.size(); ++k) {
        const Real m = (x[k + 1] - x[k - 1]) / 2;
        if (std::fabs(m) > std::fabs(bestSlope)) {
            best = k;
            bestSlope = m;
        }
    }
    if (best == 0)
        return id; // no sample has a slope: no tangent can be drawn

    const Real ti = static_cast<Real>(t0) + static_cast<Real>(best);
    id.inflection = t0 + static_cast<std::int32_t>(best);
    id.xInflection = x[best];
    id.slope = bestSlope;
    // The tangent x(t) = x_i + m (t - t_i).
    id.ta = ti + (id.x0 - x[best]) / bestSlope;
    id.Tu = *id.ta - static_cast<Real>(t0);
    if (settled) {
        id.tb = ti + (id.xEnd - x[best]) / bestSlope;
        id.Tg = *id.tb - *id.ta;
        if (y1 != y0)
            id.Ks = ((id.xEnd - id.x0) / 8) / (y1 - y0);
    }
    return id;
}

StepTestRecorder::StepTestRecorder(std::int32_t t0, Real x0, Real y0, Real y1, bool selfRegulating)
    : t0_(t0), y0_(y0), y1_(y1), selfRegulating_(selfRegulating)
{
    x_.reserve(static_cast<std::size_t>(StepTestSeconds) + 1);
    x_.push_back(x0);
}

bool StepTestRecorder::Add(Real x)
{
    if (done_)
        return false;
    x_.push_back(x);
    if (selfRegulating_ && SettledAt(x_, x_.size() - 1)) {
        settled_ = true;
        done_ = true;
    } else if (Seconds() >= StepTestSeconds) {
        done_ = true;
    }
    return !done_;
}

StepIdentification StepTestRecorder::Evaluate() const
{
    return IdentifyStep(t0_, y0_, y1_, x_, settled_);
}

bool RulesApply(const StepIdentification &id)
{
    return id.settled && id.Ks && id.Tu && id.Tg && *id.Ks > 0 && *id.Tu > 0 && *id.Tg > 0
           && std::isfinite(*id.Ks) && std::isfinite(*id.Tu) && std::isfinite(*id.Tg);
}

std::string StepIdentificationNote(const StepIdentification &id)
{
    if (!id.slope)
        return "x hat sich nach dem Sprung nicht geändert: es gibt keine Wendetangente, "
               "und Tu, Tg und Ks existieren nicht. Die Einstellregeln gelten nicht.";
    if (!id.settled)
        return "Die Sprungantwort hat keinen Beharrungszustand erreicht (Strecke ohne "
               "Ausgleich oder Aufnahme vorzeitig beendet): Tg und Ks existieren für sie "
               "nicht, und die Einstellregeln gelten nicht.";
    if (!RulesApply(id))
        return "Die Einstellregeln gelten nur, wenn Tu, Tg und Ks größer als 0 sind; "
               "für diese Sprungantwort gelten sie nicht.";
    return {};
}

} // namespace kavlon
