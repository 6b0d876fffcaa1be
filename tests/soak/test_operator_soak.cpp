// The real main window under a long random operator; see OperatorSoak.h.
// KAVLON_SOAK_SEED and KAVLON_SOAK_TICKS replay or lengthen the run.
#include "tests/soak/OperatorSoak.h"

#include "app/MainForm.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <limits>
#include <string>

#ifndef KAVLON_SOAK_DEFAULT_TICKS
#define KAVLON_SOAK_DEFAULT_TICKS 20000
#endif

namespace kavlon::soak {
namespace {

constexpr std::uint64_t DefaultSeed = 20261207;

std::uint64_t EnvNumber(const char *name, std::uint64_t fallback)
{
    const char *text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    return std::strtoull(text, nullptr, 10);
}

std::string Replay(const OperatorSoak &soak)
{
    return "seed " + std::to_string(soak.Seed()) + ", step " + std::to_string(soak.Steps())
           + " (tick " + std::to_string(soak.Ticks()) + ", after command " + soak.LastCommand()
           + "); replay with KAVLON_SOAK_SEED=" + std::to_string(soak.Seed())
           + " KAVLON_SOAK_TICKS=" + std::to_string(soak.Ticks());
}

TEST(OperatorSoak, EveryInvariantHoldsUnderARandomOperator)
{
    const std::uint64_t seed = EnvNumber("KAVLON_SOAK_SEED", DefaultSeed);
    const auto ticks = static_cast<long>(EnvNumber("KAVLON_SOAK_TICKS", KAVLON_SOAK_DEFAULT_TICKS));
    TKavlonMain win;
    win.show();
    win.resize(800, 600);
    QCoreApplication::processEvents();

    OperatorSoak soak(win, seed);
    const auto start = std::chrono::steady_clock::now();
    long nextEraseCheck = 2000;
    while (soak.Ticks() < ticks) {
        const std::string err = soak.Step();
        ASSERT_TRUE(err.empty()) << err << "\n" << Replay(soak);
        if (soak.Ticks() >= nextEraseCheck) {
            nextEraseCheck += 2000;
            const std::string erased = soak.CheckEraseRestoresFrame();
            ASSERT_TRUE(erased.empty()) << erased << "\n" << Replay(soak);
        }
    }
    const std::string erased = soak.CheckEraseRestoresFrame();
    ASSERT_TRUE(erased.empty()) << erased << "\n" << Replay(soak);
    const std::string colours = soak.CheckColours(true);
    ASSERT_TRUE(colours.empty()) << colours << "\n" << Replay(soak);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("soak: seed %llu, %ld steps, %ld ticks in %.1f s\n",
                static_cast<unsigned long long>(seed), soak.Steps(), soak.Ticks(), seconds);
}

// The checks must be able to fail: each planted fault is caught.
TEST(OperatorSoak, AForeignPixelIsCaught)
{
    TKavlonMain win;
    win.show();
    win.resize(700, 600);
    QCoreApplication::processEvents();
    OperatorSoak soak(win, 7);
    while (soak.Ticks() < 700)
        ASSERT_EQ(soak.TickOnly(), "");
    ASSERT_EQ(soak.CheckColours(true), "");
    ASSERT_EQ(soak.CheckEraseRestoresFrame(), "");

    ChartColours colours;
    colours.BuildFor(win.Charts());
    // A few hundred colours of sixteen million: anything else is foreign.
    EXPECT_GT(colours.Size(), 6u);
    EXPECT_LT(colours.Size(), 4096u);
    const std::uint32_t foreign = 0x123456;
    ASSERT_FALSE(colours.Allowed(foreign));
    EXPECT_TRUE(colours.Allowed(win.Charts().BackColor()));
    EXPECT_TRUE(colours.Allowed(win.Charts().TraceColors()[0]));

    auto &image = const_cast<QImage &>(win.Charts().RegelstreckeImage());
    ASSERT_GT(image.width(), 100);
    const QPoint at(image.width() / 3, image.height() / 2);
    const QRgb was = image.pixel(at);
    image.setPixel(at, qRgb(0x56, 0x34, 0x12));
    const std::string caught = soak.CheckColours(true);
    EXPECT_NE(caught.find("RegelstreckeImage pixel (" + std::to_string(at.x()) + ", "
                          + std::to_string(at.y()) + ")"),
              std::string::npos)
        << caught;
    EXPECT_NE(soak.CheckEraseRestoresFrame(), "");
    image.setPixel(at, was);
    EXPECT_EQ(soak.CheckColours(true), "");
}

TEST(OperatorSoak, ALoopValueOutOfRangeIsCaught)
{
    TKavlonMain win;
    OperatorSoak soak(win, 1);
    ASSERT_EQ(soak.TickOnly(), "");
    const LoopState sound = win.Loop();
    constexpr Real nan = std::numeric_limits<Real>::quiet_NaN();
    constexpr Real inf = std::numeric_limits<Real>::infinity();
    struct Row {
        const char *what;
        void (*plant)(LoopState &);
        bool caught;
    };
    const Row rows[] = {
        {"x above 800", [](LoopState &s) { s.x = 800.5L; }, true},
        {"x below 0", [](LoopState &s) { s.x = -1e-9L; }, true},
        {"y above 100", [](LoopState &s) { s.y = 100.01L; }, true},
        {"yp below -100", [](LoopState &s) { s.yp = -101; }, true},
        {"yd above 100", [](LoopState &s) { s.yd = 101; }, true},
        {"yi above 100 without ARWU", [](LoopState &s) { s.yi = 100.5L; }, true},
        {"yi negative without ARWU", [](LoopState &s) { s.yi = -0.5L; }, true},
        {"w NaN", [](LoopState &s) { s.w = nan; }, true},
        {"CompSignal infinite", [](LoopState &s) { s.CompSignal = inf; }, true},
        {"Kr beyond its spin", [](LoopState &s) { s.Kr = 100.5L; }, true},
        // ARWU moves yi so that the sum of the parts lies in 0..100.
        {"ARWU yi -150 under yp 150",
         [](LoopState &s) {
             s.ARWUOn = true;
             s.Tn = 10;
             s.yp = 150;
             s.yd = 0;
             s.yi = -150;
         },
         false},
        {"ARWU yi 180 over yp -100, yd -80",
         [](LoopState &s) {
             s.ARWUOn = true;
             s.Tn = 10;
             s.yp = -100;
             s.yd = -80;
             s.yi = 180;
         },
         false},
        {"ARWU sum above 100",
         [](LoopState &s) {
             s.ARWUOn = true;
             s.Tn = 10;
             s.yp = 50;
             s.yd = 0;
             s.yi = 60;
         },
         true},
        {"ARWU without an I part keeps the plain limit",
         [](LoopState &s) {
             s.ARWUOn = true;
             s.Tn = 0;
             s.yp = 150;
             s.yd = 0;
             s.yi = -150;
         },
         true},
    };
    for (const Row &r : rows) {
        win.Loop() = sound;
        r.plant(win.Loop());
        EXPECT_EQ(!soak.CheckLoop().empty(), r.caught) << r.what << ": " << soak.CheckLoop();
    }
    win.Loop() = sound;
    EXPECT_EQ(soak.CheckLoop(), "");
}

// Once the lists are full the window allocates nothing more per tick: the
// resident set after many more ticks and commands stays where it was.
TEST(OperatorSoak, MemoryDoesNotGrowOnceTheListsAreFull)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "ASan keeps freed memory in quarantine; measured in the plain build";
#else
    if (ResidentKiB() < 0)
        GTEST_SKIP() << "no /proc/self/status";
    TKavlonMain win;
    win.show();
    win.resize(1000, 700);
    QCoreApplication::processEvents();
    OperatorSoak soak(win, EnvNumber("KAVLON_SOAK_SEED", DefaultSeed));
    soak.SetSteadyMode(true);
    // Warm up: every command has run and the lists have been full many times.
    while (soak.Ticks() < 6000)
        ASSERT_EQ(soak.Step(), "") << Replay(soak);
    const long before = ResidentKiB();
    while (soak.Ticks() < 36000)
        ASSERT_EQ(soak.Step(), "") << Replay(soak);
    const long after = ResidentKiB();
    std::printf("soak: VmRSS %ld KiB after 6000 ticks, %ld KiB after 36000\n", before, after);
    // Allocator noise of a few pages is allowed, a leak per tick is not: a
    // single lost byte per tick would be 30 KB, one lost sample 0.5 MB.
    EXPECT_LE(after - before, 256) << "KiB grown over 30000 ticks";
#endif
}

} // namespace
} // namespace kavlon::soak
