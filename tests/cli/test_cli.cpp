#include "cli/SimOptions.h"
#include "tests/cli/CliRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<long double> Fields(const std::string &row)
{
    std::vector<long double> v;
    std::istringstream in(row);
    for (std::string f; std::getline(in, f, ',');) {
        long double d = 0;
        auto [p, ec] = std::from_chars(f.data(), f.data() + f.size(), d);
        EXPECT_TRUE(ec == std::errc() && p == f.data() + f.size()) << "field '" << f << "'";
        v.push_back(d);
    }
    return v;
}

} // namespace

TEST(KavlonSim, HelpAndVersion)
{
    const CliResult help = RunSim("--help");
    EXPECT_EQ(help.status, 0);
    for (const char *word :
         {"--plant",     "--ticks",      "--w",       "--z",      "--kr",     "--tn",
          "--tv",        "--y",          "--arwu",    "--option", "--mode",   "--at",
          "--events",    "--output",     "--version", "T:reset",  "--charts", "--chart-size",
          "--time-axis", "--background", "--png",     "--pdf",    "--bw"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    const CliResult version = RunSim("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "kavlon-sim " KAVLON_VERSION "\n");
}

TEST(KavlonSim, ReferenceRunFirstRows)
{
    const CliResult r = RunSim("--ticks 3");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "t,w,x,y,yp,yi,yd,Z,CompSignal");
    // First tick from the start values: y limited to 100, yp to 200, yi = 4/45 * 31.25.
    const auto f = Fields(lines[1]);
    ASSERT_EQ(f.size(), 9u);
    EXPECT_EQ(f[0], 1);
    EXPECT_EQ(f[1], 500);
    EXPECT_EQ(f[2], 8 * (100.0L / 8 / 10 / 13));
    EXPECT_EQ(f[3], 100);
    EXPECT_EQ(f[4], 200);
    EXPECT_EQ(f[5], 4.0L / 45 * 31.25L);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 6), ",0,0,0"); // no "-0"
    EXPECT_EQ(Fields(lines[3])[0], 3);
}

TEST(KavlonSim, NumbersReadBackExactly)
{
    const CliResult r = RunSim("--plant G --kr 1 --tn 10 --tv 1.5 --ticks 200");
    ASSERT_EQ(r.status, 0);
    for (const std::string &line : Lines(r.out)) {
        if (line[0] == 't')
            continue;
        std::istringstream in(line);
        for (std::string f; std::getline(in, f, ',');) {
            long double d = 0;
            std::from_chars(f.data(), f.data() + f.size(), d);
            char back[64];
            auto e = std::to_chars(back, back + sizeof back, d);
            EXPECT_EQ(std::string(back, e.ptr), f == "-0" ? "0" : f);
        }
    }
}

TEST(KavlonSim, OutputFileAndResetEvent)
{
    const fs::path csv = TempDir() / "run.csv";
    const CliResult r = RunSim("--plant D --ticks 20 --at 10:reset --output " + csv.string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    const auto lines = Lines(ReadAll(csv));
    ASSERT_EQ(lines.size(), 21u);
    // After the reset the tick count starts again and the loop is at rest.
    EXPECT_EQ(lines[11].substr(0, 2), "1,");
    EXPECT_EQ(lines[11], lines[1]);
}

TEST(KavlonSim, EventsFileMatchesAtOptions)
{
    const fs::path events = TempDir() / "events.txt";
    std::ofstream(events) << "# a step test\n\n  5:w=300  \n7:mode=hand # manual\n8:y=37.5\n"
                             "3:arwu=on\n";
    const CliResult a = RunSim("--plant C --ticks 12 --events " + events.string());
    const CliResult b =
        RunSim("--plant C --ticks 12 --at 3:arwu=on --at 5:w=300 --at 7:mode=hand --at 8:y=37.5");
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
    const auto lines = Lines(a.out);
    EXPECT_EQ(Fields(lines[9])[3], 37.5L); // y of tick 9 is the operator's
    // Manual mode keeps the controller's last y on the tick after the switch.
    EXPECT_EQ(Fields(lines[8])[3], Fields(lines[7])[3]);
}

struct BadArgs {
    const char *args;
    const char *mentions;
};

TEST(KavlonSim, BadArgumentsGiveOneLineAndStatusTwo)
{
    const fs::path events = TempDir() / "bad-events.txt";
    std::ofstream(events) << "5:w=100\n6:q=1\n";
    const std::string missing = (TempDir() / "does-not-exist.txt").string();
    const std::string badEvents = "--events " + events.string();
    const std::string noFile = "--events " + missing;
    const BadArgs cases[] = {
        {"--bogus", "--bogus"},
        {"--plant H", "--plant"},
        {"--plant", "--plant"},
        {"--ticks -1", "--ticks"},
        {"--ticks 12abc", "--ticks"},
        {"--w 801", "--w"},
        {"--w -1", "--w"},
        {"--z 250", "--z"},
        {"--kr 100.5", "--kr"},
        {"--tn abc", "--tn"},
        {"--tv nan", "--tv"},
        {"--y 5", "--y"},
        {"--mode hand --y 101", "--y"},
        {"--arwu yes", "--arwu"},
        {"--option 1", "--option"},
        {"--mode auto", "--mode"},
        {"--at 5", "'5'"},
        {"--at x:w=1", "x:w=1"},
        {"--at 5:w=900", "5:w=900"},
        {"--at 5:speed=3", "speed"},
        {"--at 601:w=100", "601"},
        {"--at 5:y=10", "5:y=10"},
        {"--at 5:mode=hand --at 4:y=10", "4:y=10"},
        {badEvents.c_str(), "line 2"},
        {noFile.c_str(), "does-not-exist"},
        {"--charts=", "--charts"},
        {"--time-axis 300", "--time-axis"},
        {"--background black", "--background"},
        {"--chart-size 500x200", "--chart-size"},
        {"--charts /nonexistent-folder/c.png", "--charts"},
    };
    const fs::path out = TempDir() / "must-not-exist.csv";
    for (const BadArgs &c : cases) {
        SCOPED_TRACE(c.args);
        fs::remove(out);
        const CliResult r = RunSim(std::string(c.args) + " --output " + out.string());
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(r.err.rfind("kavlon-sim: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST(KavlonSim, UnwritableOutputIsAnError)
{
    const CliResult r = RunSim("--ticks 5 --output /nonexistent-folder/x.csv");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--output"), std::string::npos);
}

TEST(ParseArguments, EventsAreStableSortedByTick)
{
    const auto r = kavlon::sim::ParseArguments(
        {"--at", "9:w=100", "--at", "2:w=200", "--at", "9:w=300", "--at=2:z=10"});
    ASSERT_TRUE(r.ok()) << r.error;
    const auto &e = r.options.events;
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].value, 200);
    EXPECT_EQ(e[1].value, 10);
    EXPECT_EQ(e[2].value, 100);
    EXPECT_EQ(e[3].value, 300);
}

// Each test process keeps its files in one scratch folder, which must go when
// the process ends; otherwise every test run leaves dozens of folders behind.
TEST(ScratchFolder, GoesWithItsProcess)
{
    std::FILE *probe = ::popen(SCRATCH_FOLDER_PROBE_PATH, "r");
    ASSERT_NE(probe, nullptr);
    char line[4096] = {};
    const bool read = std::fgets(line, sizeof line, probe) != nullptr;
    const int status = ::pclose(probe);
    ASSERT_TRUE(read);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::string folder(line);
    if (!folder.empty() && folder.back() == '\n')
        folder.pop_back();
    EXPECT_NE(folder.find("kavlon-cli-test-"), std::string::npos) << folder;
    EXPECT_NE(fs::path(folder), TempDir());
    EXPECT_FALSE(fs::exists(folder)) << folder;
}
