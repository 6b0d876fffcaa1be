#pragma once

#include "analysis/StepMetrics.h"

#include <cstdint>

namespace kavlon {

// The figures of one segment, kept up to date sample by sample in constant
// time and memory. The settling time needs the last sample outside the band,
// which is all that is kept of the past; the sum of the IAE runs in tick order,
// as EvaluateSegment sums it, so both give the same bits.
class SegmentAccumulator {
public:
    // head: Start, Kind, Target, Delta and Band of the new segment.
    explicit SegmentAccumulator(const StepSegment &head);

    // The next sample, x after tick End + 1.
    void Add(Real x);

    std::int32_t SampleCount() const { return count_; }

    // The segment with its figures over the samples so far.
    StepSegment Result() const;

private:
    StepSegment head_;
    std::int32_t count_{0};
    std::int32_t firstInside_{0}; // elapsed time of the first sample in the band; 0: none yet
    std::int32_t lastOutside_{0}; // elapsed time of the last sample outside; 0: none yet
    bool lastInside_{false};
    Real excess_{0}; // max(0, largest (x - w1) * sign Delta)
    Real maxError_{0};
    Real lastError_{0};
    Real iae_{0};
};

} // namespace kavlon
