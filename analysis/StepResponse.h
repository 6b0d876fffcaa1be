#pragma once

#include "engine/LoopState.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kavlon {

// The step test of a plant in manual mode: y goes from y0 to y1 between two
// ticks and x is recorded once a second until the response has settled or the
// time is up. Sample j is x after tick t0 + j; sample 0 is x0, the x at t0
// (the tick after which y1 applies).
//
// Settled: at sample k (k >= 30) the change of x over the last 30 s is at
// most 0.5 % of the change since the step, |x_k - x_{k-30}| <= 0.005 |x_k - x0|.
// The test checks this at every sample from k = 30 on and stops at the first
// k where it holds; that sample is x-infinity. An x that has not moved from x0
// at all has not settled but not yet answered (a dead time of 30 s or more
// would otherwise pass the rule with 0 <= 0). A plant without a steady state
// of its own (an integrating one) is never taken as settled: its x only stops
// where a limit holds it.
inline constexpr std::int32_t SettleWindowSeconds = 30;
inline constexpr Real SettleFraction = 0.005L;
inline constexpr std::int32_t StepTestSeconds = 1200;

// Whether x has settled at sample k by the rule above.
bool SettledAt(std::span<const Real> x, std::size_t k);

// What the step response tells of the plant. A figure that does not exist is
// empty. Times are in seconds on the loop's time (ticks since the reset).
struct StepIdentification {
    std::int32_t t0{0};
    Real y0{0};
    Real y1{0};
    Real x0{0};
    Real xEnd{0};            // the last sample: x-infinity when settled
    std::int32_t seconds{0}; // samples after x0
    bool settled{false};
    // The inflection point: the sample with the largest |slope|, the first on
    // ties, with slope (x_{k+1} - x_{k-1}) / 2 per second.
    std::optional<std::int32_t> inflection; // its time t_i
    std::optional<Real> xInflection;
    std::optional<Real> slope;
    std::optional<Real> ta; // the tangent meets x = x0
    std::optional<Real> tb; // the tangent meets x = x-infinity (settled only)
    std::optional<Real> Tu; // Verzugszeit ta - t0
    std::optional<Real> Tg; // Ausgleichszeit tb - ta (settled only)
    std::optional<Real> Ks; // ((x-infinity - x0) / 8) / (y1 - y0) (settled only)
};

// Evaluates the samples x (x[0] = x0 at t0). The slope exists for samples 1 ..
// size-2; a response without any slope has no inflection point and no tangent.
StepIdentification IdentifyStep(std::int32_t t0, Real y0, Real y1, std::span<const Real> x,
                                bool settled);

// Records a step test tick by tick. Add takes x after each tick and says
// whether the test goes on; it ends when x has settled or StepTestSeconds
// samples have come.
class StepTestRecorder {
public:
    StepTestRecorder(std::int32_t t0, Real x0, Real y0, Real y1, bool selfRegulating);

    bool Add(Real x);
    bool Done() const { return done_; }
    bool Settled() const { return settled_; }
    std::int32_t Seconds() const { return static_cast<std::int32_t>(x_.size()) - 1; }
    std::int32_t T0() const { return t0_; }
    Real Y0() const { return y0_; }
    Real Y1() const { return y1_; }
    const std::vector<Real> &Samples() const { return x_; }

    // Stops the test early (a change by the operator): it ends unsettled.
    void Stop() { done_ = true; }

    StepIdentification Evaluate() const;

private:
    std::int32_t t0_;
    Real y0_;
    Real y1_;
    bool selfRegulating_;
    bool done_{false};
    bool settled_{false};
    std::vector<Real> x_;
};

// Why a figure or the rule table is missing, in German for the operator;
// empty when Ks, Tu and Tg all exist and the rules apply.
std::string StepIdentificationNote(const StepIdentification &id);

// Whether the rule table applies: settled with Ks, Tu and Tg all positive.
bool RulesApply(const StepIdentification &id);

} // namespace kavlon
