#pragma once

#include "engine/LoopState.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kavlon {

// The values of one tick as the measured data lists them: the tick's number
// since the run's start (1, 2, ...), the loop's values after the tick, its
// mode flags, and the operator or experiment events that acted on the loop
// just before this tick (empty when none did).
struct MeasuredRow {
    std::int32_t t{0};
    Real w{0};
    Real x{0};
    Real y{0};
    Real yp{0};
    Real yi{0};
    Real yd{0};
    Real Z{0};
    Real CompSignal{0};
    bool Hand{false};
    bool ARWU{false};
    bool TotK{false};
    bool StrK{false};
    std::string_view Event;

    // The row of the tick whose values `s` holds, taken as LoopTick's observer
    // sees them (TickCount still counts the ticks before this one).
    static MeasuredRow Of(const LoopState &s, std::string_view event = {});
};

// Every tick of the current run, from its start from rest on, kept so that
// the whole run can be saved as measured data, not only what the charts show.
//
// The window (and kavlon-sim's tests) feed it like the step recorder:
// StartFromRest after every ResetLoopState, Note for each event between
// ticks, Sample as LoopTick's observer. A sample that does not follow the
// last one (a restart nobody announced) starts the recording afresh.
//
// Storage is compact: the six values that change every tick are kept in the
// bytes that carry a long double's value (10 on x86), in fixed chunks so that
// growing never copies what is kept; w, Z and the flags change only when the
// operator acts and are kept as a list of changes. Recording stops at
// MaxTicks; the run itself goes on.
class MeasuredRun {
public:
    // 48 hours of simulated seconds: twice the longest lesson day one could
    // leave running, at about 63 bytes a tick (10.4 MiB when full).
    static constexpr std::size_t MaxTicks = 2 * 24 * 60 * 60;

    MeasuredRun();
    ~MeasuredRun();
    MeasuredRun(MeasuredRun &&) noexcept;
    MeasuredRun &operator=(MeasuredRun &&) noexcept;

    // Forgets everything; the next sample is tick s.TickCount + 1. Keeps the
    // loop's settings at the start for the saved file's header.
    void StartFromRest(const LoopState &s);

    // An event that acts before the next tick, in a few words ("w=300").
    // Several events of one moment are listed together, in order.
    void Note(std::string_view text);

    // Takes the values of the tick (LoopTick's observer).
    void Sample(const LoopState &s);

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    // Row i, 0 <= i < Size(), oldest first.
    MeasuredRow Row(std::size_t i) const;

    // The loop as it stood at the start of the recording.
    const LoopState &Start() const { return start_; }

    // Whether the recording has reached MaxTicks and takes no more samples.
    bool Full() const { return size_ >= capacity_; }
    // True once after the recording became full, until the next start: the
    // moment to tell the operator.
    bool TakeFullNotice();

    // Bytes held for the recording (chunks, lists of changes and events).
    std::size_t MemoryBytes() const;

    // A smaller cap for tests; at most MaxTicks.
    void SetCapacityForTest(std::size_t ticks);

    // How many bytes of a Real are stored: those that carry its value.
    static constexpr std::size_t RealBytes = std::numeric_limits<Real>::digits == 64
                                                     && sizeof(Real) >= 10
                                                     && std::endian::native == std::endian::little
                                                 ? 10
                                                 : sizeof(Real);

private:
    struct Chunk;
    template <typename T> struct Change {
        std::size_t from; // the first row with this value
        T value;
    };
    struct Event {
        std::size_t row;
        std::string text;
    };

    template <typename T> static void Track(std::vector<Change<T>> &list, std::size_t row, T value);
    template <typename T> static T ValueAt(const std::vector<Change<T>> &list, std::size_t row);

    LoopState start_{};
    std::int32_t firstTick_{1};
    std::int64_t nextTick_{1}; // the tick the next sample must be
    std::size_t size_{0};
    std::size_t capacity_{MaxTicks};
    bool fullNoticePending_{false};
    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::vector<Change<Real>> w_;
    std::vector<Change<Real>> z_;
    std::vector<Change<std::uint8_t>> flags_;
    std::vector<Event> events_;
    std::string pending_; // events noted for the next tick
};

// The events that acted on the loop between `before` and `after`, as the
// measured data's event column lists them: "w=300", "Kr=2.5", "Hand",
// "Regler", "ARWU Ein", "TotK Aus"; several joined by ", "; empty when
// nothing the loop reads changed.
std::string ChangeText(const LoopState &before, const LoopState &after);

} // namespace kavlon
