// kavlon-sim against a second, separately written evaluation of the loop's
// equations, over random scenarios on all plants with switches, parameter
// changes and resets.
#include "tests/cli/CliRunner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using R = long double;

R Lim(R v, R lo, R hi) { return v > hi ? hi : (v < lo ? lo : v); }

struct Model {
    int plant = 0;
    R w = 500, x = 0, y = 0, Z = 0, yp = 0, yi = 0, yd = 0, kr = 4, tn = 45, tv = 0;
    R out = 0, comp = 0, prevE = 0, prevX = 0, l1 = 0, l2 = 0, l3 = 0;
    R mean = 0, integ = 0, prevV = 0;
    std::deque<R> plantDelay, modelDelay, history; // newest first
    bool arwu = false, totk = false, strk = false, hand = false;
    bool swArwu = false, swOption = false, swHand = false;

    void Reset()
    {
        arwu = swArwu;
        totk = strk = swOption;
        hand = swHand;
        x = y = yp = yi = yd = out = comp = prevE = prevX = l1 = l2 = l3 = 0;
        mean = integ = prevV = 0;
        plantDelay.assign(50, 0);
        modelDelay.assign(50, 0);
        history.assign(20, 0);
    }

    static R Lag(R in, R T, R &st) { return st = (in + T * st) / (T + 1); }

    // A line of n entries delays by n - 2 ticks.
    static R Delay(std::deque<R> &line, int n, R v)
    {
        line.push_front(v);
        line.pop_back();
        return line[static_cast<std::size_t>(n - 2)];
    }

    void Tick()
    {
        R e = (w - x) / 8;
        if (totk)
            e = Lim(e - comp, -100, 100);
        const R c = kr > 0 ? kr : 1;
        yp = Lim(kr * e, -100, 200);
        yi = tn > 0 ? Lim(yi + (c / tn) * (e + prevE) / 2, 0, 100) : 0;
        yd = Lim(-c * tv * (x - prevX) / 8, -100, 100);
        if (arwu && tn > 0) {
            if (yp + yi + yd > 100)
                yi = 100 - (yp + yd);
            if (yp + yi + yd < 0)
                yi = -(yp + yd);
        }
        if (!hand)
            y = yp + yi + yd;
        y = Lim(y, 0, 100);
        prevE = e;
        prevX = x;

        R u = y;
        auto pt3 = [&](R in) { return Lim(Lag(Lag(Lag(in, 7, l1), 9, l2), 12, l3), 0, 100); };
        auto pt2 = [&](R in) { return Lim(Lag(Lag(in, 5, l1), 10, l2), 0, 100); };
        switch (plant) {
        case 0: u = pt3(Lim(u + Z / 8, 0, 100)); break;
        case 1: u = Delay(plantDelay, 30, pt3(Lim(u + Z / 8, 0, 100))); break;
        case 2: {
            const R v = Lim(u + Z / 8, 0, 100);
            history.push_front(w);
            history.pop_back();
            mean += (history[0] - history[19]) / 19;
            if (strk)
                u = v;
            else if (hand)
                u = Lim(4.6718L * v + 1.5535L - 0.10675L * v * v + 0.0011608L * v * v * v
                            - 4.6227e-6L * v * v * v * v,
                        0, 100);
            else
                u = Lim(Lim(6 - 0.00625L * (mean / 0.75L), 1, 6) * v, 0, 100);
            u = pt3(u);
            break;
        }
        case 3: u = pt2(Lim(u + Z / 8, 0, 100)); break;
        case 4: {
            const R v = u + Z / 8;
            integ = Lim(integ + 0.1L * (prevV + v) / 2, 0, 100);
            prevV = v;
            u = pt2(integ);
            break;
        }
        default: {
            u = Lim(u + Z / 8, 0, 100);
            const bool f = plant == 5;
            const R m = Lim(Lag(Lag(u, f ? 5 : 4, l1), f ? 10 : 11, l2), 0, 100);
            comp = m - Delay(modelDelay, f ? 20 : 16, m);
            u = Delay(plantDelay, 20, pt2(u));
        }
        }
        out = u;
        x = Lim(8 * out, 0, 800);
    }
};

struct Change {
    int tick;
    std::string name, value;
};

void Apply(Model &m, const Change &c)
{
    const bool numeric =
        !c.value.empty() && c.value.find_first_not_of("-.0123456789") == std::string::npos;
    const R v = numeric ? std::stold(c.value) : 0;
    if (c.name == "reset")
        m.Reset();
    else if (c.name == "w")
        m.w = v;
    else if (c.name == "z")
        m.Z = v;
    else if (c.name == "kr")
        m.kr = v;
    else if (c.name == "tn")
        m.tn = v;
    else if (c.name == "tv")
        m.tv = v;
    else if (c.name == "y")
        m.y = v;
    else if (c.name == "arwu")
        m.arwu = m.swArwu = c.value == "on";
    else if (c.name == "mode")
        m.hand = m.swHand = c.value == "hand";
    else if (c.name == "option" && (c.value == "on") != m.swOption) {
        m.swOption = c.value == "on";
        if (m.plant == 2)
            m.strk = m.swOption;
        if (m.plant >= 5)
            m.totk = m.swOption;
    }
}

} // namespace

TEST(ReferenceModel, RandomScenariosAgreeWithSeparateEvaluation)
{
    std::mt19937 rng(4711);
    const char *names[] = {"w", "z", "kr", "tn", "tv", "y", "arwu", "option", "mode", "reset"};
    for (int scenario = 0; scenario < 28; ++scenario) {
        const int plant = scenario % 7;
        const int ticks = 400;
        std::vector<Change> changes;
        bool hand = false;
        for (int t = 5; t < ticks; t += 5 + static_cast<int>(rng() % 40)) {
            const std::string name = names[rng() % 10];
            std::string value;
            if (name == "w")
                value = std::to_string(rng() % 801);
            else if (name == "z")
                value = std::to_string(static_cast<int>(rng() % 401) - 200);
            else if (name == "kr" || name == "tv")
                value = std::to_string(rng() % 100) + "." + std::to_string(rng() % 10);
            else if (name == "tn")
                value = std::to_string(rng() % 201);
            else if (name == "y") {
                if (!hand)
                    continue;
                value = std::to_string(rng() % 101);
            } else if (name == "arwu" || name == "option")
                value = rng() % 2 ? "on" : "off";
            else if (name == "mode") {
                hand = rng() % 2;
                value = hand ? "hand" : "regler";
            }
            changes.push_back({t, name, value});
        }

        std::string args = "--plant " + std::string(1, static_cast<char>('A' + plant)) + " --ticks "
                           + std::to_string(ticks);
        for (const Change &c : changes)
            args += " --at " + std::to_string(c.tick) + ":" + c.name
                    + (c.name == "reset" ? "" : "=" + c.value);
        SCOPED_TRACE(args);
        const CliResult r = RunSim(args);
        ASSERT_EQ(r.status, 0) << r.err;

        Model m;
        m.plant = plant;
        m.Reset();
        std::istringstream in(r.out);
        std::string line;
        std::getline(in, line);
        auto next = changes.begin();
        int tickCount = 0;
        for (int t = 1; t <= ticks; ++t) {
            m.Tick();
            ++tickCount;
            ASSERT_TRUE(std::getline(in, line));
            std::vector<R> got;
            std::istringstream row(line);
            for (std::string f; std::getline(row, f, ',');)
                got.push_back(std::stold(f));
            const R want[] = {
                static_cast<R>(tickCount), m.w, m.x, m.y, m.yp, m.yi, m.yd, m.Z, m.comp};
            ASSERT_EQ(got.size(), 9u);
            for (std::size_t i = 0; i < 9; ++i) {
                const R tol = 1e-12L * std::max<R>(1, std::fabs(want[i]));
                ASSERT_NEAR(static_cast<double>(got[i]), static_cast<double>(want[i]),
                            static_cast<double>(tol))
                    << "tick " << t << " column " << i;
            }
            for (; next != changes.end() && next->tick == t; ++next) {
                Apply(m, *next);
                if (next->name == "reset")
                    tickCount = 0;
            }
        }
    }
}
