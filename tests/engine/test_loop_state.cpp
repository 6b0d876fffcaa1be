// ResetLoopState against every field of LoopState: a reset restarts the loop
// from a fresh state and keeps only the operator's settings, whatever fields
// the state gains.
#include "engine/LoopState.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

using kavlon::LoopState;
using kavlon::Real;
using kavlon::RealLine;

namespace {

// Converts to any field type, so that brace initialisation with n of them
// compiles exactly when the aggregate has at least n fields.
struct AnyField {
    template <typename T> operator T() const;
};

template <typename T, typename... Given> constexpr std::size_t FieldCount()
{
    if constexpr (requires { T{Given{}..., AnyField{}}; })
        return FieldCount<T, Given..., AnyField>();
    else
        return sizeof...(Given);
}

constexpr const char *FieldNames[] = {"PlantIndex",
                                      "Speed",
                                      "TickCount",
                                      "w",
                                      "x",
                                      "y",
                                      "Z",
                                      "yp",
                                      "yi",
                                      "yd",
                                      "PlantOutput",
                                      "PlantSignal",
                                      "CompSignal",
                                      "Kr",
                                      "Tn",
                                      "Tv",
                                      "PrevError",
                                      "PrevX",
                                      "LagState1",
                                      "LagState2",
                                      "LagState3",
                                      "SetPointMean",
                                      "IntegratorState",
                                      "PrevIntegratorInput",
                                      "DelayLine",
                                      "ModelDelayLine",
                                      "SetPointHistory",
                                      "ARWUOn",
                                      "TotKOn",
                                      "StrKOn",
                                      "HandMode"};

static_assert(FieldCount<LoopState>() == std::size(FieldNames),
              "LoopState's fields changed: list them in FieldNames and Fields so that the "
              "reset test covers every one");

// Every field of `s`, in declaration order.
auto Fields(LoopState &s)
{
    auto &[f0, f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16, f17, f18, f19,
           f20, f21, f22, f23, f24, f25, f26, f27, f28, f29, f30] = s;
    return std::tie(f0, f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16, f17,
                    f18, f19, f20, f21, f22, f23, f24, f25, f26, f27, f28, f29, f30);
}

template <typename F> void ForEachField(LoopState &a, LoopState &b, F &&visit)
{
    auto fa = Fields(a);
    auto fb = Fields(b);
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (visit(FieldNames[I], std::get<I>(fa), std::get<I>(fb)), ...);
    }
    (std::make_index_sequence<std::tuple_size_v<decltype(fa)>>{});
}

// Gives field number `n` a value unlike its default (`d`).
template <typename T> void Unlike(T &field, const T &d, int n)
{
    if constexpr (std::is_same_v<T, bool>)
        field = !d;
    else if constexpr (std::is_same_v<T, RealLine>)
        for (int i = 1; i <= static_cast<int>(d.entries.size()); ++i)
            field[i] = d[i] + 1000 * n + i + 0.25L;
    else
        field = static_cast<T>(d + 3 + n);
}

template <typename T> bool Same(const T &a, const T &b)
{
    if constexpr (std::is_same_v<T, RealLine>)
        return a.entries == b.entries;
    else
        return a == b;
}

// A state in which every field differs from a fresh one.
LoopState Busy()
{
    LoopState s;
    LoopState fresh{};
    int n = 0;
    ForEachField(s, fresh, [&n](const char *, auto &field, auto &d) { Unlike(field, d, n++); });
    ForEachField(s, fresh, [](const char *name, auto &field, auto &d) {
        EXPECT_FALSE(Same(field, d)) << name << " still has its default";
    });
    return s;
}

} // namespace

TEST(ResetLoopState, RestartsEveryFieldAndKeepsTheSettings)
{
    struct Switches {
        bool arwu, option, hand;
    };
    for (const Switches sw : {Switches{true, false, true}, Switches{false, true, false}}) {
        LoopState s = Busy();
        // A fresh state with what a reset keeps: the operator's settings and
        // the flags from the switches.
        LoopState expected{};
        expected.PlantIndex = s.PlantIndex;
        expected.Speed = s.Speed;
        expected.w = s.w;
        expected.Z = s.Z;
        expected.Kr = s.Kr;
        expected.Tn = s.Tn;
        expected.Tv = s.Tv;
        expected.ARWUOn = sw.arwu;
        expected.TotKOn = sw.option;
        expected.StrKOn = sw.option;
        expected.HandMode = sw.hand;

        kavlon::ResetLoopState(s, sw.arwu, sw.option, sw.hand);
        ForEachField(s, expected, [&](const char *name, auto &got, auto &want) {
            EXPECT_TRUE(Same(got, want))
                << name << " after a reset with switches " << sw.arwu << sw.option << sw.hand;
        });
    }
}
