#pragma once

// A seeded random operator for the real main window: every command through
// the handler its control calls, window sizes from nothing to full HD, and
// ticks in between, with the loop's and the charts' invariants checked after
// every tick. The same seed replays the same run step for step.

#include "app/MainForm.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace kavlon::soak {

// 24-bit colours (0x00BBGGRR, as the chart tables hold them) that the live
// charts can show: what the frame, legends and labels copy onto the image,
// and everything the not-xor pens make of those, however often they cross.
class ChartColours {
public:
    ChartColours() : allowed_(std::size_t{1} << 24) {}
    void BuildFor(const LiveCharts &charts);
    bool Allowed(std::uint32_t bgr) const { return allowed_[bgr & 0xFFFFFFu]; }
    std::size_t Size() const { return size_; }
    std::uint32_t BuiltForBack() const { return back_; }

private:
    std::vector<bool> allowed_;
    std::size_t size_ = 0;
    std::uint32_t back_ = 0xFFFFFFFFu;
};

// QImage pixel (0xAARRGGBB) to the charts' 0x00BBGGRR.
constexpr std::uint32_t BgrOf(QRgb argb)
{
    return ((argb & 0xFFu) << 16) | (argb & 0xFF00u) | ((argb >> 16) & 0xFFu);
}

// The resident set of this process in KiB (Linux), or -1.
long ResidentKiB();

class OperatorSoak {
public:
    OperatorSoak(TKavlonMain &window, std::uint64_t seed);

    // One command followed by a few ticks, each tick checked. Returns an
    // empty string while everything holds, else what broke.
    std::string Step();
    long Steps() const { return steps_; }
    long Ticks() const { return ticks_; }
    std::uint64_t Seed() const { return seed_; }
    // The name of the last command run, for failure messages.
    const std::string &LastCommand() const { return lastCommand_; }

    // The checks, also for tests that plant a fault.
    std::string CheckLoop() const;
    std::string CheckLists() const;
    // Every pixel of both chart images, or (full = false) a band of rows.
    std::string CheckColours(bool full);
    // Stops the run, erases all traces and scales and compares with a freshly
    // framed pair of images, then draws them again and compares with what
    // was there before.
    std::string CheckEraseRestoresFrame();
    // Top-level windows besides the main window that are open now.
    // After a move to a screen of another ratio the charts are drawn at it.
    std::string CheckChartsFollowTheScreen() const;
    std::string CheckWindowsDoNotPileUp() const;

    // Ticks only, no commands: for the memory and speed figures.
    std::string TickOnly();
    // Keeps the size fixed and the help, copy and table commands out (each
    // holds a one-off allocation), for the memory measurement.
    void SetSteadyMode(bool steady) { steady_ = steady; }
    // How many ticks each step runs at most (default 8).
    void SetTicksPerStep(int ticks) { ticksPerStep_ = ticks; }

private:
    struct Command {
        const char *name;
        int weight;
        bool steady; // allowed in steady mode
        std::function<void()> run;
    };
    void AddCommands();
    void Resize();
    void ChangeDisplayRatio();
    void CursorClick();
    std::string Tick();
    int Uniform(int lo, int hi);
    LiveCharts &MutableCharts();

    TKavlonMain &win_;
    std::uint64_t seed_;
    std::mt19937_64 rng_;
    std::vector<Command> commands_;
    int totalWeight_ = 0;
    int steadyWeight_ = 0;
    long steps_ = 0;
    long ticks_ = 0;
    std::string lastCommand_;
    ChartColours colours_;
    bool steady_ = false;
    int ticksPerStep_ = 8;
    int fullCheckEvery_ = 256;
};

} // namespace kavlon::soak
