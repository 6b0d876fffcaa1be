#include "analysis/TuningRules.h"

#include <cmath>

namespace kavlon {

std::string_view RuleFamilyName(RuleFamily family)
{
    switch (family) {
    case RuleFamily::ZieglerNichols: return "Ziegler-Nichols";
    case RuleFamily::ChrSetPointAperiodic: return "Chien-Hrones-Reswick, Führung, aperiodisch";
    case RuleFamily::ChrSetPoint20: return "Chien-Hrones-Reswick, Führung, 20 % Überschwingen";
    case RuleFamily::ChrDisturbanceAperiodic: return "Chien-Hrones-Reswick, Störung, aperiodisch";
    case RuleFamily::ChrDisturbance20: return "Chien-Hrones-Reswick, Störung, 20 % Überschwingen";
    }
    return {};
}

std::string_view RuleFamilyKey(RuleFamily family)
{
    switch (family) {
    case RuleFamily::ZieglerNichols: return "zn";
    case RuleFamily::ChrSetPointAperiodic: return "chr_setpoint_aperiodic";
    case RuleFamily::ChrSetPoint20: return "chr_setpoint_20";
    case RuleFamily::ChrDisturbanceAperiodic: return "chr_disturbance_aperiodic";
    case RuleFamily::ChrDisturbance20: return "chr_disturbance_20";
    }
    return {};
}

std::string_view ControllerKindName(ControllerKind kind)
{
    switch (kind) {
    case ControllerKind::P: return "P";
    case ControllerKind::PI: return "PI";
    case ControllerKind::PID: return "PID";
    }
    return {};
}

Real OnSpinGrid(Real value, SpinValue which, bool on)
{
    const SpinRange r = RangeOf(which);
    if (!on)
        return 0;
    const Real scale = r.tenths ? 10 : 1;
    Real v = std::nearbyint(value * scale) / scale;
    // The smallest step above 0 keeps the part switched on.
    if (v < r.step)
        v = r.step;
    return Clamp(v, r.lo, r.hi);
}

namespace {

Real Multiple(TimeBase base, Real factor, Real tu, Real tg)
{
    switch (base) {
    case TimeBase::Tu: return factor * tu;
    case TimeBase::Tg: return factor * tg;
    case TimeBase::None: break;
    }
    return 0;
}

bool PositiveFinite(Real v) { return v > 0 && std::isfinite(v); }

} // namespace

std::vector<TuningSuggestion> SuggestTuning(Real ks, Real tu, Real tg)
{
    std::vector<TuningSuggestion> rows;
    if (!PositiveFinite(ks) || !PositiveFinite(tu) || !PositiveFinite(tg))
        return rows;
    rows.reserve(TuningRules.size());
    for (const TuningRule &rule : TuningRules) {
        TuningSuggestion s;
        s.rule = rule;
        s.kr = rule.krFactor * tg / (ks * tu);
        s.tn = Multiple(rule.tnBase, rule.tnFactor, tu, tg);
        s.tv = Multiple(rule.tvBase, rule.tvFactor, tu, tg);
        s.krSet = OnSpinGrid(s.kr, SpinValue::Kr, true);
        s.tnSet = OnSpinGrid(s.tn, SpinValue::Tn, rule.tnBase != TimeBase::None);
        s.tvSet = OnSpinGrid(s.tv, SpinValue::Tv, rule.tvBase != TimeBase::None);
        rows.push_back(s);
    }
    return rows;
}

} // namespace kavlon
