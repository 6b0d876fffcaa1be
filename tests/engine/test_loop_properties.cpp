// Long random operator sequences over all plants: every documented range holds
// after every tick, and the measurement invariant holds between ticks.
#include "engine/LoopState.h"
#include "engine/LoopTick.h"
#include "engine/OperatorValues.h"
#include "engine/Plants.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>
#include <limits>
#include <random>

using kavlon::LoopState;
using kavlon::Real;

namespace {

struct Switches {
    bool arwu = false, option = false, hand = false;
};

// One random operator action between ticks, as the window allows them.
void RandomAction(std::mt19937_64 &rng, LoopState &s, Switches &sw)
{
    std::uniform_int_distribution<int> pick(0, 39);
    const bool up = (rng() & 1) != 0;
    switch (pick(rng)) {
    case 0: s.w = kavlon::SpinStep(s.w, kavlon::SpinValue::w, up); break;
    case 1: s.Z = kavlon::SpinStep(s.Z, kavlon::SpinValue::Z, up); break;
    case 2: s.Kr = kavlon::SpinStep(s.Kr, kavlon::SpinValue::Kr, up); break;
    case 3: s.Tn = kavlon::SpinStep(s.Tn, kavlon::SpinValue::Tn, up); break;
    case 4: s.Tv = kavlon::SpinStep(s.Tv, kavlon::SpinValue::Tv, up); break;
    case 5:
        if (sw.hand)
            s.y = kavlon::SpinStep(s.y, kavlon::SpinValue::y, up);
        break;
    case 6: s.HandMode = sw.hand = !sw.hand; break;
    case 7: s.ARWUOn = sw.arwu = !sw.arwu; break;
    case 8:
        sw.option = !sw.option;
        kavlon::ApplyOptionSwitch(s, sw.option);
        break;
    case 9: kavlon::ResetLoopState(s, sw.arwu, sw.option, sw.hand); break;
    case 10: // plant selection resets
        s.PlantIndex = static_cast<std::uint8_t>(rng() % 7);
        kavlon::ResetLoopState(s, sw.arwu, sw.option, sw.hand);
        break;
    case 11: // big jumps, as many clicks would make
        s.w = (rng() % 33) * 25;
        s.Z = static_cast<Real>(static_cast<int>(rng() % 41) - 20) * 10;
        s.Kr = static_cast<Real>(rng() % 1001) / 10;
        s.Tn = static_cast<Real>(rng() % 201);
        s.Tv = static_cast<Real>(rng() % 101) / 10;
        break;
    default: break; // most ticks pass without an action
    }
}

void ExpectInRange(const LoopState &s)
{
    ASSERT_GE(s.w, 0);
    ASSERT_LE(s.w, 800);
    ASSERT_GE(s.x, 0);
    ASSERT_LE(s.x, 800);
    ASSERT_GE(s.y, 0);
    ASSERT_LE(s.y, 100);
    ASSERT_GE(s.yp, -100);
    ASSERT_LE(s.yp, 200);
    ASSERT_GE(s.yd, -100);
    ASSERT_LE(s.yd, 100);
    // yi may leave 0..100 only through the ARWU correction: never below
    // -(200 + 100) nor above 100 + 100.
    ASSERT_GE(s.yi, -300);
    ASSERT_LE(s.yi, 200);
    if (!s.ARWUOn) {
        ASSERT_GE(s.yi, 0);
        ASSERT_LE(s.yi, 100);
    }
    ASSERT_GE(s.CompSignal, -100);
    ASSERT_LE(s.CompSignal, 100);
    ASSERT_GE(s.PrevError, -100);
    ASSERT_LE(s.PrevError, 100);
    ASSERT_GE(s.PlantOutput, 0);
    ASSERT_LE(s.PlantOutput, 100);
    ASSERT_GE(s.IntegratorState, 0);
    ASSERT_LE(s.IntegratorState, 100);
    ASSERT_GE(s.SetPointMean, -1e-9L);
    ASSERT_LE(s.SetPointMean, 800 + 1e-9L);
    ASSERT_EQ(s.PlantSignal, s.PlantOutput);
    ASSERT_EQ(s.x, kavlon::Clamp(8 * s.PlantOutput, 0, 800));
}

} // namespace

TEST(LoopProperties, RandomOperatorSequencesKeepEveryValueInRange)
{
    std::mt19937_64 rng(20261207);
    LoopState s;
    Switches sw;
    kavlon::ResetLoopState(s, false, false, false);
    for (int t = 0; t < 150000; ++t) {
        RandomAction(rng, s, sw);
        kavlon::LoopTick(s);
        ExpectInRange(s);
        if (HasFatalFailure()) {
            ADD_FAILURE() << "at tick " << t << " plant " << int(s.PlantIndex);
            return;
        }
    }
}

namespace {

// The hash below is that of the x87 80-bit extended format (64-bit
// significand, 15-bit exponent, the value in the first 10 bytes) computed with
// round-to-nearest: long double on x86 and x86-64 with GCC or Clang. Other
// formats (64-bit doubles, 128-bit quad) give other figures.
bool LongDoubleIsX87Extended()
{
    using L = std::numeric_limits<long double>;
    return L::is_iec559 && L::radix == 2 && L::digits == 64 && L::max_exponent == 16384
           && L::min_exponent == -16381 && sizeof(long double) >= 10;
}

} // namespace

// Every plant, every switch, fixed sequence: the bits of every value of every
// tick go into one hash. A change of the arithmetic, of its order or of the
// constants changes it.
TEST(LoopProperties, GoldenHashOfADeterministicRun)
{
    if (!LongDoubleIsX87Extended())
        GTEST_SKIP() << "the golden hash is that of the x87 80-bit long double; this platform's "
                        "long double has "
                     << std::numeric_limits<long double>::digits << " significand bits in "
                     << sizeof(long double) << " bytes";
    if (std::fegetround() != FE_TONEAREST)
        GTEST_SKIP() << "the golden hash needs round-to-nearest";
    std::uint64_t hash = 1469598103934665603ull;
    // The 80 bits of the value only, not the padding after them (and no
    // more than there are where the test is skipped).
    constexpr std::size_t valueBytes = sizeof(Real) < 10 ? sizeof(Real) : 10;
    auto mix = [&hash](Real v) {
        unsigned char bytes[sizeof(Real)] = {};
        std::memcpy(bytes, &v, valueBytes);
        for (std::size_t i = 0; i < valueBytes; ++i)
            hash = (hash ^ bytes[i]) * 1099511628211ull;
    };
    for (int plant = 0; plant < 7; ++plant) {
        for (int variant = 0; variant < 4; ++variant) {
            LoopState s;
            s.PlantIndex = static_cast<std::uint8_t>(plant);
            s.Tv = variant & 1 ? 2.5L : 0;
            kavlon::ResetLoopState(s, (variant & 2) != 0, (variant & 1) != 0, false);
            for (int t = 0; t < 900; ++t) {
                if (t == 300)
                    s.w = 250;
                if (t == 450)
                    s.Z = -80;
                if (t == 600)
                    s.HandMode = true;
                if (t == 750)
                    s.HandMode = false;
                kavlon::SimulationStep(s);
                for (Real v : {s.x, s.y, s.yp, s.yi, s.yd, s.CompSignal})
                    mix(v);
            }
        }
    }
    EXPECT_EQ(hash, 9998255584044799208ull) << std::hex << hash;
}
