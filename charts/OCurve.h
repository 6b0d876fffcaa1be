#pragma once

#include "engine/LoopState.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kavlon {

// The chart window lengths the operator can choose; the chart arithmetic
// divides by N - 1, so anything below 2 is refused.
inline constexpr int DefaultTimeAxisLength = 600;
inline constexpr int MinTimeAxisLength = 2;
inline constexpr int MaxTimeAxisLength = 100000;

// One sample of a trace or one entry of a running time scale. The two texts
// are at most 11 characters ("-2147483648", "ARWU ein"), so they stay in the
// string's in-place buffer and a reused point never allocates.
struct TCurvePoint {
    Real Value{0};              // sampled value (trace points only)
    std::int32_t PixelY{0};     // image row of the sample (trace points only)
    std::int32_t MarkTop{0};    // upper row of a scale mark (scale entries only)
    std::int32_t MarkBottom{0}; // lower row of a scale mark (scale entries only)
    bool Hidden{false};         // not drawn
    bool Sampled{false};        // Value and PixelY hold a sample (trace points only)
    std::int32_t MarkReach{0};  // MarkTop/MarkBottom's distance from the base in chart points
    std::string SecondsLabel;   // elapsed seconds on long marks, else empty
    std::string ModeText;       // text of a mode-change marker, else empty

    // Back to the state of a new point, keeping the strings' buffers.
    void Clear();
};

// An ordered list of points, index 0 the oldest, holding at most its window
// length N between ticks (N + 1 for the moment between append and trim).
// The points live in a ring allocated once, so a full list recycles the slot
// of the dropped point instead of allocating.
class TCurve {
public:
    explicit TCurve(int windowLength = DefaultTimeAxisLength);
    virtual ~TCurve() = default;
    TCurve(const TCurve &) = delete;
    TCurve &operator=(const TCurve &) = delete;

    int Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    int WindowLength() const { return windowLength_; }

    TCurvePoint &operator[](int index) { return slots_[SlotOf(index)]; }
    const TCurvePoint &operator[](int index) const { return slots_[SlotOf(index)]; }
    TCurvePoint &First() { return (*this)[0]; }

    // Appends a point in the state of a new one and returns it. The list may
    // hold one point more than its window until TrimToWindow.
    TCurvePoint &Append();
    // Drops the oldest point; nothing happens on an empty list.
    void RemoveFirst();
    // Drops every point.
    void Clear();

    // Cursor: the point just created, the point being removed, or during
    // drawing the previous point. Never owns; may be null.
    mutable const TCurvePoint *Current{nullptr};

private:
    std::size_t SlotOf(int index) const
    {
        std::size_t slot = head_ + static_cast<std::size_t>(index);
        return slot >= slots_.size() ? slot - slots_.size() : slot;
    }

    std::vector<TCurvePoint> slots_;
    std::size_t head_{0};
    int count_{0};
    int windowLength_;
};

// A time scale: the same list, plus the mode flags as this scale last saw them.
class TRunningScale : public TCurve {
public:
    // Copies the four mode flags from the loop state.
    TRunningScale(int windowLength, const LoopState &s);

    bool LastARWUOn{false};
    bool LastTotKOn{false};
    bool LastStrKOn{false};
    bool LastHandMode{false};
    // The text of changes made by a schedule since the last entry ("w=300");
    // the next entry becomes a +-24 marker that shows it. Empty: no mark.
    std::string PendingMark;
};

// The seven traces in their fixed order.
enum CurveIndex : int { CurveYp, CurveYi, CurveYd, CurveW, CurveX, CurveY, CurveZ, CurveCount };

// The nine lists of the live charts; they always hold the same count.
struct ChartLists {
    std::array<std::unique_ptr<TCurve>, CurveCount> Curves;
    std::unique_ptr<TRunningScale> ControllerScale; // upper chart
    std::unique_ptr<TRunningScale> PlantScale;      // lower chart
};

// A length in chart points as whole pixels at `ratio` pixels per point:
// [points * ratio], ties to even. The one conversion of every chart size.
int PointsToPixels(int points, double ratio);

// The image row of `value` on a plot spanning lo..hi from `bottom` up over
// `height` rows: bottom - height*(value - lo)/(hi - lo), rounded half to even
// in extended precision, not limited to the plot (only kept within int range).
std::int32_t ValueRow(Real value, int height, Real hi, Real lo, int bottom);

// Appends one trace point. Hidden when hideAll or param is exactly 0; unless
// hideAll, Sampled with PixelY = ValueRow(value, ...). Then TrimToWindow.
void AddSample(TCurve &curve, bool hideAll, Real param, Real value, int height, Real hi, Real lo,
               int bottom);

// Drops the oldest entry when the list holds more than its window length.
void TrimToWindow(TCurve &list);

// Appends one scale entry for `seconds` since the reset: a +-8 mark every 15 s,
// a +-16 mark with the seconds as text every 60 s, a +-24 marker with a mode
// text when a mode flag of `s` differs from what the scale saw last, and a
// +-24 marker with the pending mark's text (before any mode text) when the
// scale holds one. Then TrimToWindow. The lengths are chart points, drawn at
// `ratio` pixels per point.
void AddScaleMark(TRunningScale &scale, const LoopState &s, int seconds, int baseY,
                  double ratio = 1);

// Turns `entry` into a +-24 marker with onText/offText when now != last, and
// remembers now.
void NoteModeChange(TCurvePoint &entry, int baseY, bool now, bool &last, const char *onText,
                    const char *offText, double ratio = 1);

// Sets a visible mark `points` chart points above and below baseY.
void SetMark(TCurvePoint &entry, int baseY, int points, double ratio);

// Frees every entry of a list (either kind).
void FreeCurve(TCurve &list);

void CreateCurves(ChartLists &lists, int windowLength);
void CreateScales(ChartLists &lists, int windowLength, const LoopState &s);
void FreeCurves(ChartLists &lists);
void FreeScales(ChartLists &lists);

} // namespace kavlon
