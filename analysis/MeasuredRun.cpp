#include "analysis/MeasuredRun.h"

#include "engine/RealText.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <utility>

namespace kavlon {

namespace {

enum FlagBits : std::uint8_t { HandBit = 1, ArwuBit = 2, TotKBit = 4, StrKBit = 8 };

std::uint8_t FlagsOf(const LoopState &s)
{
    return static_cast<std::uint8_t>((s.HandMode ? HandBit : 0) | (s.ARWUOn ? ArwuBit : 0)
                                     | (s.TotKOn ? TotKBit : 0) | (s.StrKOn ? StrKBit : 0));
}

// The six values that change every tick, in the order they are stored.
constexpr std::size_t DenseValues = 6;
constexpr std::size_t TickBytes = DenseValues * MeasuredRun::RealBytes;
constexpr std::size_t ChunkTicks = 4096;

} // namespace

struct MeasuredRun::Chunk {
    std::array<unsigned char, ChunkTicks * TickBytes> bytes;
};

MeasuredRow MeasuredRow::Of(const LoopState &s, std::string_view event)
{
    MeasuredRow r;
    r.t = s.TickCount + 1;
    r.w = s.w;
    r.x = s.x;
    r.y = s.y;
    r.yp = s.yp;
    r.yi = s.yi;
    r.yd = s.yd;
    r.Z = s.Z;
    r.CompSignal = s.CompSignal;
    r.Hand = s.HandMode;
    r.ARWU = s.ARWUOn;
    r.TotK = s.TotKOn;
    r.StrK = s.StrKOn;
    r.Event = event;
    return r;
}

MeasuredRun::MeasuredRun() = default;
MeasuredRun::~MeasuredRun() = default;
MeasuredRun::MeasuredRun(MeasuredRun &&) noexcept = default;
MeasuredRun &MeasuredRun::operator=(MeasuredRun &&) noexcept = default;

void MeasuredRun::StartFromRest(const LoopState &s)
{
    start_ = s;
    firstTick_ = s.TickCount + 1;
    nextTick_ = std::int64_t{s.TickCount} + 1;
    size_ = 0;
    fullNoticePending_ = false;
    // The first chunk stays: a restart is frequent (every resize) and the
    // next run needs it at once.
    chunks_.resize(std::min<std::size_t>(chunks_.size(), 1));
    chunks_.shrink_to_fit();
    w_.clear();
    z_.clear();
    flags_.clear();
    events_.clear();
    pending_.clear();
}

void MeasuredRun::Note(std::string_view text)
{
    if (text.empty())
        return;
    if (!pending_.empty())
        pending_ += ", ";
    pending_ += text;
}

void MeasuredRun::Sample(const LoopState &s)
{
    if (std::int64_t{s.TickCount} + 1 != nextTick_) {
        // Nobody announced this restart: what was kept belongs to another run.
        std::string pending = std::move(pending_);
        StartFromRest(s);
        pending_ = std::move(pending);
    }
    ++nextTick_;
    if (size_ >= capacity_) {
        pending_.clear();
        return;
    }
    const std::size_t row = size_;
    const std::size_t chunk = row / ChunkTicks;
    if (chunk == chunks_.size())
        chunks_.push_back(std::make_unique_for_overwrite<Chunk>());
    unsigned char *at = chunks_[chunk]->bytes.data() + (row % ChunkTicks) * TickBytes;
    const Real dense[DenseValues] = {s.x, s.y, s.yp, s.yi, s.yd, s.CompSignal};
    for (const Real &v : dense) {
        std::memcpy(at, &v, RealBytes);
        at += RealBytes;
    }
    Track(w_, row, s.w);
    Track(z_, row, s.Z);
    Track(flags_, row, FlagsOf(s));
    if (!pending_.empty()) {
        events_.push_back({row, std::move(pending_)});
        pending_.clear();
    }
    ++size_;
    if (size_ == capacity_)
        fullNoticePending_ = true;
}

MeasuredRow MeasuredRun::Row(std::size_t i) const
{
    MeasuredRow r;
    r.t = static_cast<std::int32_t>(firstTick_ + static_cast<std::int64_t>(i));
    const unsigned char *at = chunks_[i / ChunkTicks]->bytes.data() + (i % ChunkTicks) * TickBytes;
    Real *dense[DenseValues] = {&r.x, &r.y, &r.yp, &r.yi, &r.yd, &r.CompSignal};
    for (Real *v : dense) {
        *v = 0; // the bytes not stored carry no value
        std::memcpy(v, at, RealBytes);
        at += RealBytes;
    }
    r.w = ValueAt(w_, i);
    r.Z = ValueAt(z_, i);
    const std::uint8_t flags = ValueAt(flags_, i);
    r.Hand = flags & HandBit;
    r.ARWU = flags & ArwuBit;
    r.TotK = flags & TotKBit;
    r.StrK = flags & StrKBit;
    const auto event =
        std::lower_bound(events_.begin(), events_.end(), i,
                         [](const Event &e, std::size_t row) { return e.row < row; });
    if (event != events_.end() && event->row == i)
        r.Event = event->text;
    return r;
}

bool MeasuredRun::TakeFullNotice()
{
    const bool due = fullNoticePending_;
    fullNoticePending_ = false;
    return due;
}

std::size_t MeasuredRun::MemoryBytes() const
{
    std::size_t bytes = chunks_.capacity() * sizeof(chunks_[0]) + chunks_.size() * sizeof(Chunk)
                        + w_.capacity() * sizeof(w_[0]) + z_.capacity() * sizeof(z_[0])
                        + flags_.capacity() * sizeof(flags_[0])
                        + events_.capacity() * sizeof(events_[0]) + pending_.capacity();
    for (const Event &e : events_)
        bytes += e.text.capacity();
    return bytes;
}

void MeasuredRun::SetCapacityForTest(std::size_t ticks) { capacity_ = std::min(ticks, MaxTicks); }

template <typename T>
void MeasuredRun::Track(std::vector<Change<T>> &list, std::size_t row, T value)
{
    // Compared as values: a NaN is never the same, so it is kept each time.
    if (list.empty() || !(list.back().value == value))
        list.push_back({row, value});
}

template <typename T> T MeasuredRun::ValueAt(const std::vector<Change<T>> &list, std::size_t row)
{
    const auto after =
        std::upper_bound(list.begin(), list.end(), row,
                         [](std::size_t r, const Change<T> &c) { return r < c.from; });
    return after == list.begin() ? T{} : std::prev(after)->value;
}

namespace {

std::string NumberText(Real v)
{
    std::array<char, RealTextCapacity> text{};
    return std::string(text.data(), WriteRealText(text.data(), v));
}

} // namespace

std::string ChangeText(const LoopState &before, const LoopState &after)
{
    std::string text;
    auto add = [&text](const std::string &part) {
        if (!text.empty())
            text += ", ";
        text += part;
    };
    const std::pair<const char *, Real LoopState::*> values[] = {
        {"w", &LoopState::w},   {"Z", &LoopState::Z},   {"Kr", &LoopState::Kr},
        {"Tn", &LoopState::Tn}, {"Tv", &LoopState::Tv}, {"y", &LoopState::y},
    };
    for (const auto &[name, member] : values)
        if (!(before.*member == after.*member))
            add(std::string(name) + "=" + NumberText(after.*member));
    if (before.HandMode != after.HandMode)
        add(after.HandMode ? "Hand" : "Regler");
    const std::pair<const char *, bool LoopState::*> flags[] = {
        {"ARWU", &LoopState::ARWUOn}, {"TotK", &LoopState::TotKOn}, {"StrK", &LoopState::StrKOn}};
    for (const auto &[name, member] : flags)
        if (before.*member != after.*member)
            add(std::string(name) + (after.*member ? " Ein" : " Aus"));
    return text;
}

} // namespace kavlon
