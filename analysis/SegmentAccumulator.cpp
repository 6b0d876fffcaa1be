#include "analysis/SegmentAccumulator.h"

#include <cmath>

namespace kavlon {

SegmentAccumulator::SegmentAccumulator(const StepSegment &head) : head_(head)
{
    head_.End = head_.Start;
    head_.Rise = head_.Settling = head_.Overshoot = std::nullopt;
    head_.MaxError = head_.SteadyError = head_.IAE = std::nullopt;
}

void SegmentAccumulator::Add(Real x)
{
    ++count_;
    const Real error = head_.Target - x;
    const Real magnitude = std::fabs(error);
    lastInside_ = magnitude <= head_.Band;
    if (lastInside_) {
        if (firstInside_ == 0)
            firstInside_ = count_;
    } else {
        lastOutside_ = count_;
    }
    const Real beyond = head_.Delta > 0 ? x - head_.Target : head_.Target - x;
    if (beyond > excess_)
        excess_ = beyond;
    if (magnitude > maxError_)
        maxError_ = magnitude;
    iae_ += magnitude;
    lastError_ = error;
}

StepSegment SegmentAccumulator::Result() const
{
    StepSegment s = head_;
    s.End = head_.Start + count_;
    if (count_ == 0)
        return s;
    if (firstInside_ != 0)
        s.Rise = static_cast<Real>(firstInside_);
    if (lastInside_)
        s.Settling = static_cast<Real>(lastOutside_ + 1);
    if (s.Kind == StepKind::SetPoint)
        s.Overshoot = OvershootPercent(excess_, s.Delta);
    s.MaxError = maxError_;
    s.SteadyError = lastError_;
    s.IAE = iae_;
    return s;
}

} // namespace kavlon
