// kavlon-sim --identify and --sweep as a user runs them: the figures against
// single runs of the same scenario, the thread count's (non-)effect, and the
// refusals of wrong arguments.
#include "tests/cli/CliRunner.h"

#include <gtest/gtest.h>

#include <QImage>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The "quantity,value" block of --identify.
std::map<std::string, std::string> Quantities(const std::string &csv)
{
    std::map<std::string, std::string> q;
    for (const std::string &line : Lines(csv)) {
        if (line.empty())
            break;
        const auto comma = line.find(',');
        q[line.substr(0, comma)] = line.substr(comma + 1);
    }
    return q;
}

long double Number(const std::string &text) { return std::stold(text); }

} // namespace

TEST(CliIdentify, DeadTimeMovesTheTangentOnly)
{
    const CliResult a = RunSim("--identify 60 --mode hand --y 20 --ticks 600 --plant A");
    const CliResult b = RunSim("--identify 60 --mode hand --y 20 --ticks 600 --plant B");
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    const auto qa = Quantities(a.out), qb = Quantities(b.out);
    EXPECT_EQ(qa.at("t0"), "600");
    EXPECT_EQ(qa.at("y0"), "20");
    EXPECT_EQ(qa.at("settled"), "1");
    // After 600 s at y = 20, x stands at 160 to within the settling of A.
    EXPECT_NEAR(static_cast<double>(Number(qa.at("x0"))), 160, 1e-6);
    EXPECT_NEAR(static_cast<double>(Number(qb.at("tu")) - Number(qa.at("tu"))), 28, 1e-9);
    EXPECT_NEAR(static_cast<double>(Number(qa.at("ks"))), 1, 0.006);
    EXPECT_EQ(Lines(a.out).size(), 15u + 2 + 15);
    EXPECT_EQ(a.err, "");
}

TEST(CliIdentify, FromControllerModeStepsFromTheLastOutput)
{
    // The mode switch keeps y at the controller's last output, as in the window.
    const CliResult r =
        RunSim("--identify 80 --plant D --ticks 300 --output " + (TempDir() / "id.csv").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const auto q = Quantities(ReadAll(TempDir() / "id.csv"));
    EXPECT_EQ(q.at("t0"), "300");
    EXPECT_NE(q.at("y0"), "80");
    EXPECT_EQ(q.at("settled"), "1");
}

TEST(CliIdentify, IntegratingPlantHasNoRuleTable)
{
    const CliResult r = RunSim("--identify 10 --mode hand --plant E");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto q = Quantities(r.out);
    EXPECT_EQ(q.at("settled"), "0");
    EXPECT_EQ(q.at("seconds"), "1200");
    EXPECT_NE(q.at("tu"), "");
    EXPECT_EQ(q.at("tg"), "");
    EXPECT_EQ(q.at("ks"), "");
    EXPECT_NE(q.at("note").find("Einstellregeln gelten nicht"), std::string::npos);
    EXPECT_TRUE(r.out.ends_with("\nrule,controller,kr,tn,tv,kr_set,tn_set,tv_set\n"));
}

TEST(CliSweep, SameFiguresAsSingleRuns)
{
    // A scenario with a disturbance step: the first segment ends at 400.
    const std::string scenario = "--plant B --ticks 700 --at 400:z=80 --band 5";
    const fs::path csv = TempDir() / "sweep.csv";
    const CliResult r =
        RunSim(scenario + " --sweep kr=0.5:2.5:1,tn=20:60:40 --sweep-csv " + csv.string());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> rows = Lines(ReadAll(csv));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0], "kr,tn,tv,rise,settling,overshoot,emax,steady_error,iae");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::string &row = rows[i];
        const auto c1 = row.find(','), c2 = row.find(',', c1 + 1), c3 = row.find(',', c2 + 1);
        const std::string kr = row.substr(0, c1), tn = row.substr(c1 + 1, c2 - c1 - 1);
        const fs::path metrics = TempDir() / "single.csv";
        const CliResult single = RunSim(scenario + " --kr " + kr + " --tn " + tn
                                        + " --output /dev/null --metrics " + metrics.string());
        ASSERT_EQ(single.status, 0) << single.err;
        const std::vector<std::string> segments = Lines(ReadAll(metrics));
        ASSERT_GE(segments.size(), 2u);
        // start,end,kind,delta,band, then the same six figures.
        std::string figures = segments[1];
        for (int skip = 0; skip < 5; ++skip)
            figures.erase(0, figures.find(',') + 1);
        EXPECT_TRUE(segments[1].starts_with("0,400,w,")) << segments[1];
        EXPECT_EQ(row.substr(c3 + 1), figures) << "kr " << kr << " tn " << tn;
    }
}

TEST(CliSweep, ThreadCountChangesNoByte)
{
    const std::string sweep = "--plant A --ticks 400 --sweep kr=0.5:6:0.5,tn=10:100:10,tv=0:2:1 ";
    std::string csv[2], png[2];
    for (int t = 1; t <= 2; ++t) {
        const fs::path c = TempDir() / (t == 1 ? "t1.csv" : "t2.csv");
        const fs::path p = TempDir() / (t == 1 ? "t1.png" : "t2.png");
        const CliResult r = RunSim(sweep + "--threads " + std::to_string(t) + " --sweep-csv "
                                   + c.string() + " --sweep-png " + p.string());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "") << "no progress when standard error is no terminal";
        csv[t - 1] = ReadAll(c);
        png[t - 1] = ReadAll(p);
    }
    EXPECT_EQ(csv[0], csv[1]);
    EXPECT_EQ(png[0], png[1]);
    EXPECT_EQ(Lines(csv[0]).size(), 1u + 12 * 10 * 3);
    // One map per Tv value, stacked.
    QImage map;
    ASSERT_TRUE(map.loadFromData(reinterpret_cast<const uchar *>(png[0].data()),
                                 static_cast<int>(png[0].size()), "PNG"));
    EXPECT_EQ(map.width(), 800);
    EXPECT_EQ(map.height(), 3 * 560);
}

TEST(CliSweep, WrongArgumentsAreOneLineAndStatus2)
{
    const fs::path out = TempDir() / "never.csv";
    std::string file = " --sweep-csv ";
    file += out.string();
    // One string appended to another (GCC 12 misreads some + of literals).
    auto withFile = [&file](const char *args) {
        std::string text = args;
        text.append(file);
        return text;
    };
    for (const std::string &args : {
             withFile("--sweep kr=1:2:1"),
             withFile("--sweep kr=1:2:1,tn=5:10:1,kr=2:3:1"),
             withFile("--sweep kr=0.05:2:0.1,tn=5:10:1"),
             withFile("--sweep kr=1:2:1,tn=5:300:1"),
             withFile("--sweep kr=1:2:1,tn=5:10:1,td=1:2:1"),
             std::string("--sweep kr=1:2:1,tn=5:10:1"),
             withFile("--sweep kr=0:100:0.1,tn=0:200:1,tv=0:100:0.1"),
             withFile("--sweep kr=1:2:1,tn=5:10:1 --sweep-metric iqe"),
             withFile("--sweep kr=1:2:1,tn=5:10:1 --threads 0"),
             withFile("--sweep kr=1:2:1,tn=5:10:1 --metrics m.csv"),
             withFile(""),
             std::string("--threads 2"),
             std::string("--identify 101 --mode hand"),
             std::string("--identify x --mode hand"),
             std::string("--identify 5 --mode hand --y 5"),
             withFile("--identify 5 --sweep kr=1:2:1,tn=5:10:1"),
             std::string("--identify 5 --png p.png"),
             std::string("--identify 5 --format de"),
             withFile("--sweep kr=1:2:1,tn=5:10:1 --format de"),
         }) {
        const CliResult r = RunSim(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_TRUE(r.err.starts_with("kavlon-sim: ")) << args << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_FALSE(fs::exists(out)) << args;
    }
}
