// kavlon-sim --metrics against an evaluation of its own main CSV, written
// here from the definitions of a step segment and its figures, so that the
// cutting into segments, the alignment of samples and the arithmetic are all
// checked end to end.
#include "tests/cli/CliRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Real = long double;

struct Row {
    long t;
    Real w, x, Z;
};

// A moment between ticks at which the scenario changes something: after the
// tick counted `tick` since the last restart.
struct Moment {
    int tick;
    bool reset;     // the loop restarts from rest
    bool handAfter; // the mode switch stands on manual afterwards
};

struct Segment {
    long start = 0, end = 0;
    char kind = 'w';
    Real delta = 0, band = 0;
    std::optional<Real> rise, settling, overshoot, emax, steady, iae;
};

std::vector<std::string> Split(const std::string &line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, ',');)
        fields.push_back(f);
    if (!line.empty() && line.back() == ',')
        fields.emplace_back();
    return fields;
}

Real Number(const std::string &text)
{
    Real v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_TRUE(r.ec == std::errc() && r.ptr == text.data() + text.size()) << text;
    return v;
}

std::optional<Real> Optional(const std::string &text)
{
    if (text.empty())
        return std::nullopt;
    return Number(text);
}

std::vector<Row> ReadRun(const fs::path &file)
{
    std::vector<Row> rows;
    std::istringstream in(ReadAll(file));
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        const auto f = Split(line);
        rows.push_back({std::stol(f[0]), Number(f[1]), Number(f[2]), Number(f[7])});
    }
    return rows;
}

std::vector<Segment> ReadMetrics(const fs::path &file)
{
    std::vector<Segment> segments;
    std::istringstream in(ReadAll(file));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "start,end,kind,delta,band,rise,settling,overshoot,emax,steady_error,iae");
    while (std::getline(in, line)) {
        const auto f = Split(line);
        EXPECT_EQ(f.size(), 11u) << line;
        if (f.size() != 11)
            break;
        Segment s;
        s.start = std::stol(f[0]);
        s.end = std::stol(f[1]);
        s.kind = f[2] == "Z" ? 'Z' : 'w';
        EXPECT_TRUE(f[2] == "w" || f[2] == "Z") << line;
        s.delta = Number(f[3]);
        s.band = Number(f[4]);
        s.rise = Optional(f[5]);
        s.settling = Optional(f[6]);
        s.overshoot = Optional(f[7]);
        s.emax = Optional(f[8]);
        s.steady = Optional(f[9]);
        s.iae = Optional(f[10]);
        segments.push_back(s);
    }
    return segments;
}

// The figures of one segment from its samples x after ticks start+1 … end.
void Evaluate(Segment &s, Real w1, const std::vector<Real> &x)
{
    s.end = s.start + static_cast<long>(x.size());
    if (x.empty())
        return;
    const Real b = s.band;
    long lastOutside = -1;
    Real worst = 0, sum = 0, excess = -INFINITY;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const Real e = std::fabs(w1 - x[i]);
        const long k = static_cast<long>(i) + 1;
        if (e <= b && !s.rise)
            s.rise = k;
        if (e > b)
            lastOutside = k;
        worst = std::max(worst, e);
        sum += e;
        excess = std::max(excess, (x[i] - w1) * (s.delta > 0 ? 1 : -1));
    }
    if (lastOutside < static_cast<long>(x.size()))
        s.settling = lastOutside + 1;
    if (s.kind == 'w' && s.delta != 0)
        s.overshoot = std::max(Real{0}, excess) / std::fabs(s.delta) * 100;
    s.emax = worst;
    s.steady = w1 - x.back();
    s.iae = sum;
}

// Cuts the run at its moments, as the definitions say, and evaluates each
// segment. A moment with `reset`, and the start, is a run from rest: a set
// point step from 0 to w.
std::vector<Segment> EvaluateRun(const std::vector<Row> &rows, std::vector<Moment> moments,
                                 Real bandPercent, bool handAtStart)
{
    std::vector<Segment> segments;
    std::optional<Segment> open;
    Real openTarget = 0;
    std::vector<Real> samples;
    auto close = [&] {
        if (open) {
            Evaluate(*open, openTarget, samples);
            segments.push_back(*open);
        }
        open.reset();
        samples.clear();
    };
    // Starts what the moment after row `i` (or the start, i < 0) begins.
    auto begin = [&](long i, bool fromRest, bool hand) {
        // No change comes after the last row (kavlon-sim refuses one there).
        if (hand || i + 1 == static_cast<long>(rows.size()))
            return;
        const Row *next = &rows[static_cast<std::size_t>(i + 1)];
        const Row *prev = i >= 0 && !fromRest ? &rows[static_cast<std::size_t>(i)] : nullptr;
        Segment s;
        s.start = prev ? prev->t : 0;
        const Real w0 = prev ? prev->w : 0;
        if (fromRest || next->w != w0) {
            s.kind = 'w';
            s.delta = next->w - w0;
        } else if (next->Z != prev->Z) {
            s.kind = 'Z';
            s.delta = next->Z - prev->Z;
        } else {
            return;
        }
        s.band = bandPercent * std::fabs(s.delta) / 100;
        open = s;
        openTarget = next->w;
    };

    bool hand = handAtStart;
    begin(-1, true, hand);
    std::size_t m = 0;
    long sinceRest = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ++sinceRest;
        EXPECT_EQ(rows[i].t, sinceRest);
        samples.push_back(rows[i].x);
        if (m < moments.size() && moments[m].tick == sinceRest) {
            close();
            const Moment mo = moments[m++];
            hand = mo.handAfter;
            if (mo.reset)
                sinceRest = 0;
            begin(static_cast<long>(i), mo.reset, hand);
        }
    }
    close();
    return segments;
}

std::string Describe(const Segment &s)
{
    std::ostringstream out;
    out << "segment " << s.start << ".." << s.end << " " << s.kind;
    return out.str();
}

void ExpectNear(const std::optional<Real> &got, const std::optional<Real> &want,
                const std::string &what)
{
    ASSERT_EQ(got.has_value(), want.has_value()) << what;
    if (got) {
        const Real tolerance = 1e-15L * std::max(Real{1}, std::fabs(*want));
        EXPECT_LE(std::fabs(*got - *want), tolerance) << what << ": " << static_cast<double>(*got)
                                                      << " against " << static_cast<double>(*want);
    }
}

struct Scenario {
    const char *args;
    Real band;
    bool hand;
    std::vector<Moment> moments;
};

} // namespace

TEST(KavlonSimMetrics, AgreeWithAnEvaluationOfTheRunItself)
{
    const Scenario scenarios[] = {
        {"--plant A --ticks 900 --at 200:w=300 --at 400:z=50 --at 450:kr=2 --at 600:w=600 "
         "--at 600:z=0",
         2,
         false,
         {{200, false, false}, {400, false, false}, {450, false, false}, {600, false, false}}},
        {"--plant E --ticks 700 --band 5 --at 300:z=-40 --at 500:reset --at 650:w=200",
         5,
         false,
         {{300, false, false}, {500, true, false}, {150, false, false}}},
        {"--plant F --ticks 800 --kr 1 --tn 10 --option on --at 150:option=off --at 300:mode=hand "
         "--at 320:y=40 --at 400:mode=regler --at 420:w=250",
         2,
         false,
         {{150, false, false},
          {300, false, true},
          {320, false, true},
          {400, false, false},
          {420, false, false}}},
        {"--plant B --ticks 401 --band 1 --at 0:w=300 --at 0:z=20 --at 250:w=325 --at 250:w=300 "
         "--at 300:z=-20 --at 400:w=100",
         1,
         false,
         {{250, false, false}, {300, false, false}, {400, false, false}}},
        {"--plant D --ticks 300 --mode hand --y 30 --at 100:mode=regler --at 120:z=60",
         2,
         true,
         {{100, false, false}, {120, false, false}}},
    };
    for (const Scenario &sc : scenarios) {
        SCOPED_TRACE(sc.args);
        const fs::path run = TempDir() / "metrics-run.csv";
        const fs::path metrics = TempDir() / "metrics.csv";
        const CliResult r = RunSim(std::string(sc.args) + " --output " + run.string()
                                   + " --metrics " + metrics.string());
        ASSERT_EQ(r.status, 0) << r.err;

        const std::vector<Row> rows = ReadRun(run);
        std::vector<Segment> want = EvaluateRun(rows, sc.moments, sc.band, sc.hand);
        // A step at the last tick is refused, so every segment has samples.
        const std::vector<Segment> got = ReadMetrics(metrics);
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) {
            const Segment &g = got[i];
            const Segment &e = want[i];
            const std::string what = Describe(e);
            EXPECT_EQ(g.start, e.start) << what;
            EXPECT_EQ(g.end, e.end) << what;
            EXPECT_EQ(g.kind, e.kind) << what;
            EXPECT_EQ(g.delta, e.delta) << what;
            ExpectNear(g.band, e.band, what + " band");
            EXPECT_EQ(g.rise, e.rise) << what << " rise";
            EXPECT_EQ(g.settling, e.settling) << what << " settling";
            ExpectNear(g.overshoot, e.overshoot, what + " overshoot");
            ExpectNear(g.emax, e.emax, what + " emax");
            ExpectNear(g.steady, e.steady, what + " steady error");
            ExpectNear(g.iae, e.iae, what + " iae");
        }
    }
}

TEST(KavlonSimMetrics, WrongArgumentsWriteNothing)
{
    const fs::path metrics = TempDir() / "never.csv";
    struct Case {
        std::string args;
        const char *names;
    };
    const Case cases[] = {
        {"--band 5", "--band"},
        {"--metrics " + metrics.string() + " --band 0", "--band"},
        {"--metrics " + metrics.string() + " --band 101", "--band"},
        {"--metrics " + metrics.string() + " --band two", "--band"},
        {"--metrics=", "--metrics"},
        {"--metrics /nonexistent-folder/m.csv", "--metrics"},
    };
    for (const Case &c : cases) {
        std::error_code ec;
        fs::remove(metrics, ec);
        const CliResult r = RunSim(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_TRUE(r.out.empty()) << c.args;
        EXPECT_EQ(r.err.rfind(std::string("kavlon-sim: ") + c.names, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(fs::exists(metrics)) << c.args;
    }
}
