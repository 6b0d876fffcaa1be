#include "analysis/RunRecorder.h"

#include <cmath>
#include <iterator>

namespace kavlon {

bool RunRecorder::SetBandPercent(Real percent)
{
    if (!(percent > 0) || !std::isfinite(percent))
        return false;
    bandPercent_ = percent;
    return true;
}

void RunRecorder::SetHistoryLimit(std::size_t limit)
{
    historyLimit_ = limit;
    while (historyLimit_ != 0 && completed_.size() > historyLimit_)
        completed_.pop_front();
}

void RunRecorder::StartFromRest(const LoopState &s)
{
    CloseOpen(false);
    known_ = true;
    tick_ = s.TickCount;
    lastW_ = 0;
    lastZ_ = s.Z;
    lastHand_ = s.HandMode;
    changed_ = true;
    fromRest_ = true;
    Decide(s);
}

void RunRecorder::OperatorChanged(const LoopState &afterChange)
{
    if (!known_ || afterChange.TickCount != tick_) {
        // Without the values of the last tick no step can be measured.
        Forget();
        return;
    }
    changed_ = true;
    Decide(afterChange);
}

void RunRecorder::Sample(const LoopState &s)
{
    if (!known_ || s.TickCount != tick_) {
        Forget();
    } else {
        if (changed_ || s.w != lastW_ || s.Z != lastZ_ || s.HandMode != lastHand_) {
            changed_ = true;
            Decide(s);
        }
        if (open_)
            open_->Add(s.x);
    }
    known_ = true;
    tick_ = s.TickCount + 1;
    lastW_ = s.w;
    lastZ_ = s.Z;
    lastHand_ = s.HandMode;
    changed_ = fromRest_ = false;
}

void RunRecorder::Finish() { CloseOpen(true); }

std::optional<StepSegment> RunRecorder::Current() const
{
    if (!open_)
        return std::nullopt;
    return open_->Result();
}

std::vector<StepSegment> RunRecorder::TakeCompleted()
{
    std::vector<StepSegment> taken(std::make_move_iterator(completed_.begin()),
                                   std::make_move_iterator(completed_.end()));
    completed_.clear();
    return taken;
}

// A segment without samples when the next change comes was started in this
// same moment, so the two changes are one and it never ran.
void RunRecorder::CloseOpen(bool keepEmpty)
{
    if (!open_)
        return;
    if (keepEmpty || open_->SampleCount() > 0) {
        completed_.push_back(open_->Result());
        ++completedTotal_;
        if (historyLimit_ != 0 && completed_.size() > historyLimit_)
            completed_.pop_front();
    }
    open_.reset();
}

// The moment's decision from the values in force for the next tick; taken
// again on every further change of the same moment.
void RunRecorder::Decide(const LoopState &s)
{
    CloseOpen(false);
    if (s.HandMode)
        return;
    StepSegment head;
    head.Start = tick_;
    head.Target = s.w;
    if (fromRest_ || s.w != lastW_) {
        head.Kind = StepKind::SetPoint;
        head.Delta = s.w - lastW_;
    } else if (s.Z != lastZ_) {
        head.Kind = StepKind::Disturbance;
        head.Delta = s.Z - lastZ_;
    } else {
        return;
    }
    head.Band = BandHalfWidth(bandPercent_, head.Delta);
    open_.emplace(head);
}

void RunRecorder::Forget()
{
    CloseOpen(false);
    known_ = changed_ = fromRest_ = false;
}

} // namespace kavlon
