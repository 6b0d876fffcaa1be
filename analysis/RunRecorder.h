#pragma once

#include "analysis/SegmentAccumulator.h"
#include "analysis/StepMetrics.h"
#include "engine/LoopState.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace kavlon {

// Cuts a run into step segments and keeps their figures up to date. Whoever
// runs the loop (the window, kavlon-sim) feeds it three kinds of events and
// needs to know nothing of the rules:
//
//   StartFromRest(s)    after the loop was restarted from rest: program start,
//                       reset, plant change, resize, time-axis change;
//   OperatorChanged(s)  after any other operator change that acts on the
//                       loop, between ticks: w, Z, Kr, Tn, Tv, y, a switch, the
//                       mode (not the speed, nor a preference);
//   Sample(s)           as LoopTick's observer, after the engine step and
//                       before TickCount goes up.
//
// A moment is the time between two ticks, named by TickCount then. All
// changes of one moment count as one: the previous segment ends at that
// moment; w0 and Z0 are the values in force during the last tick, w1 and Z1
// the values in force for the next one. Then a set-point step starts a
// segment if w1 != w0, else a disturbance step if Z1 != Z0, else none starts
// (Kr alone, or w clicked up and back down). A start from rest is a set-point
// step from 0 to w at its moment (normally 0), even when w is 0; in manual
// mode no segment starts.
//
// The decision of a moment is taken at once, so the segment shows with its
// step but no figures yet; it is taken again with the values the tick reads
// when the tick comes. A segment that got no sample before a further restart
// in the same moment never ran and is dropped. Sample also notices a change
// of w, Z or the mode that no event announced.
//
// The tolerance band's per cent is fixed for a segment when it starts: a new
// setting applies from the next step on, since past samples are not kept.
class RunRecorder {
public:
    // The band in per cent of |delta| for segments that start from now on.
    // A value that is not positive and finite is refused (false).
    bool SetBandPercent(Real percent);
    Real BandPercent() const { return bandPercent_; }

    // How many completed segments Completed() keeps, the newest; 0 keeps all.
    void SetHistoryLimit(std::size_t limit);

    void StartFromRest(const LoopState &s);
    void OperatorChanged(const LoopState &afterChange);

    // Takes x after tick k = s.TickCount + 1, the tick's number since the
    // reset (1, 2, ...), as the segment's sample k. A sample whose tick does
    // not follow the last one known (a restart nobody announced) ends the
    // open segment and starts none.
    void Sample(const LoopState &s);

    // Ends the run: the open segment becomes a completed one, even without
    // samples (then with empty figures).
    void Finish();

    // The open segment with its figures so far, if one runs.
    std::optional<StepSegment> Current() const;

    // Completed segments, oldest first, up to the history limit.
    const std::deque<StepSegment> &Completed() const { return completed_; }

    // Hands over the completed segments kept so far and forgets them, for
    // callers that stream them out.
    std::vector<StepSegment> TakeCompleted();

    // How many segments have completed since construction, taken or not.
    std::uint64_t CompletedTotal() const { return completedTotal_; }

private:
    void CloseOpen(bool keepEmpty);
    void Decide(const LoopState &s);
    void Forget();

    Real bandPercent_{DefaultBandPercent};
    std::size_t historyLimit_{0};

    bool known_{false};    // the loop's tick count and last values are known
    std::int32_t tick_{0}; // TickCount between ticks, as last seen
    Real lastW_{0};        // w during the last tick (0 at a start from rest)
    Real lastZ_{0};        // Z during the last tick
    bool lastHand_{false}; // the mode during the last tick
    bool changed_{false};  // a change was announced at this moment
    bool fromRest_{false}; // this moment starts a run from rest

    std::optional<SegmentAccumulator> open_;
    std::deque<StepSegment> completed_;
    std::uint64_t completedTotal_{0};
};

} // namespace kavlon
