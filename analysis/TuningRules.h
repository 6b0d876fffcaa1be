#pragma once

#include "engine/LoopState.h"
#include "engine/OperatorValues.h"

#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace kavlon {

// The classic rules that tune a controller from a plant's step response
// (gain Ks, delay time Tu, balance time Tg):
//   Kr = factor * Tg / (Ks * Tu),  Tn and Tv as multiples of Tu or Tg.
enum class RuleFamily {
    ZieglerNichols,
    ChrSetPointAperiodic,    // Chien-Hrones-Reswick, set-point response, no overshoot
    ChrSetPoint20,           // the same with 20 % overshoot
    ChrDisturbanceAperiodic, // Chien-Hrones-Reswick, disturbance response, no overshoot
    ChrDisturbance20,        // the same with 20 % overshoot
};

enum class ControllerKind { P, PI, PID };

// What Tn or Tv is a multiple of; None: the part is off (0).
enum class TimeBase { None, Tu, Tg };

struct TuningRule {
    RuleFamily family;
    ControllerKind kind;
    Real krFactor;
    TimeBase tnBase;
    Real tnFactor;
    TimeBase tvBase;
    Real tvFactor;
};

// The factors as the rules were published (Ziegler and Nichols 1942; Chien,
// Hrones and Reswick 1952, in the Tu/Tg form of the usual tables).
inline constexpr std::array<TuningRule, 15> TuningRules{{
    {RuleFamily::ZieglerNichols, ControllerKind::P, 1.0L, TimeBase::None, 0, TimeBase::None, 0},
    {RuleFamily::ZieglerNichols, ControllerKind::PI, 0.9L, TimeBase::Tu, 3.33L, TimeBase::None, 0},
    {RuleFamily::ZieglerNichols, ControllerKind::PID, 1.2L, TimeBase::Tu, 2.0L, TimeBase::Tu, 0.5L},
    {RuleFamily::ChrSetPointAperiodic, ControllerKind::P, 0.3L, TimeBase::None, 0, TimeBase::None,
     0},
    {RuleFamily::ChrSetPointAperiodic, ControllerKind::PI, 0.35L, TimeBase::Tg, 1.2L,
     TimeBase::None, 0},
    {RuleFamily::ChrSetPointAperiodic, ControllerKind::PID, 0.6L, TimeBase::Tg, 1.0L, TimeBase::Tu,
     0.5L},
    {RuleFamily::ChrSetPoint20, ControllerKind::P, 0.7L, TimeBase::None, 0, TimeBase::None, 0},
    {RuleFamily::ChrSetPoint20, ControllerKind::PI, 0.6L, TimeBase::Tg, 1.0L, TimeBase::None, 0},
    {RuleFamily::ChrSetPoint20, ControllerKind::PID, 0.95L, TimeBase::Tg, 1.35L, TimeBase::Tu,
     0.47L},
    {RuleFamily::ChrDisturbanceAperiodic, ControllerKind::P, 0.3L, TimeBase::None, 0,
     TimeBase::None, 0},
    {RuleFamily::ChrDisturbanceAperiodic, ControllerKind::PI, 0.6L, TimeBase::Tu, 4.0L,
     TimeBase::None, 0},
    {RuleFamily::ChrDisturbanceAperiodic, ControllerKind::PID, 0.95L, TimeBase::Tu, 2.4L,
     TimeBase::Tu, 0.42L},
    {RuleFamily::ChrDisturbance20, ControllerKind::P, 0.7L, TimeBase::None, 0, TimeBase::None, 0},
    {RuleFamily::ChrDisturbance20, ControllerKind::PI, 0.7L, TimeBase::Tu, 2.3L, TimeBase::None, 0},
    {RuleFamily::ChrDisturbance20, ControllerKind::PID, 1.2L, TimeBase::Tu, 2.0L, TimeBase::Tu,
     0.42L},
}};

// The German name of a family as the result table shows it, and a short
// ASCII key for kavlon-sim's CSV.
std::string_view RuleFamilyName(RuleFamily family);
std::string_view RuleFamilyKey(RuleFamily family);
std::string_view ControllerKindName(ControllerKind kind);

// One row of suggestions: the exact values of the rule and the values as the
// operator can set them (Kr and Tv in tenths, Tn in whole seconds, limited to
// their ranges). A part the rule switches on never rounds to 0, which would
// switch it off: it gets the smallest step instead.
struct TuningSuggestion {
    TuningRule rule;
    Real kr{0};
    Real tn{0};
    Real tv{0};
    Real krSet{0};
    Real tnSet{0};
    Real tvSet{0};
};

// A value as it can be set on the operator's grid; `on` keeps it above 0.
Real OnSpinGrid(Real value, SpinValue which, bool on);

// The rows of TuningRules for Ks, Tu and Tg, which must all be positive and
// finite (empty otherwise).
std::vector<TuningSuggestion> SuggestTuning(Real ks, Real tu, Real tg);

} // namespace kavlon
