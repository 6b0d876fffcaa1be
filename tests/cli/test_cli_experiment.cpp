// kavlon-sim --experiment: a file runs as the same options and changes
// written out on the command line, options given as well override it, and
// a bad file is one line on standard error with nothing written.
#include "cli/SimOptions.h"
#include "tests/cli/CliRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace kavlon::sim;
namespace fs = std::filesystem;

namespace {

fs::path WriteExperimentFile(const std::string &name, const std::string &text)
{
    const fs::path p = TempDir() / name;
    std::ofstream(p, std::ios::binary) << text;
    return p;
}

const char *const PlantF = "[Versuch]\n"
                           "Titel=Störverhalten der Strecke F\n"
                           "Aufgabe=Beobachten Sie x.\n"
                           "Regelstrecke=F\n"
                           "Betrieb=Regler\n"
                           "Sollwert=500\n"
                           "Kr=1\n"
                           "Tn=10\n"
                           "Tv=0\n"
                           "Stellgroesse=30\n" // manual mode only: no effect here
                           "ARWU=Aus\n"
                           "Option=Ein\n"
                           "Zeitachse=300\n"
                           "Rechengeschwindigkeit=20\n"
                           "[Ablauf]\n"
                           "120=Stoergroesse 100\n"
                           "300=Option Aus\n"
                           "420=Sollwert 300, ARWU Ein\n"
                           "600=Stop\n";

ParseResult Parse(std::vector<std::string> args) { return ParseArguments(args); }

} // namespace

TEST(CliExperiment, RunsAsTheSameOptionsWrittenOut)
{
    const fs::path file = WriteExperimentFile("f.kversuch", PlantF);
    const CliResult fromFile = RunSim("--experiment " + file.string());
    // The run lasts until the last change (600) plus the time axis (300).
    const CliResult spelled =
        RunSim("--plant F --mode regler --w 500 --kr 1 --tn 10 --tv 0 --arwu off --option on "
               "--at 120:z=100 --at 300:option=off --at 420:w=300 --at 420:arwu=on --ticks 900");
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    ASSERT_EQ(spelled.status, 0) << spelled.err;
    EXPECT_EQ(fromFile.out, spelled.out);
    EXPECT_EQ(std::count(fromFile.out.begin(), fromFile.out.end(), '\n'), 901);
    EXPECT_TRUE(fromFile.err.empty());
}

TEST(CliExperiment, OptionsGivenOverrideTheFile)
{
    const fs::path file = WriteExperimentFile("g.kversuch", PlantF);
    const ParseResult r = Parse({"--kr", "2.5", "--experiment", file.string(), "--plant=B", "--at",
                                 "50:tn=20", "--ticks", "700"});
    ASSERT_TRUE(r.ok()) << r.error;
    const SimOptions &o = r.options;
    EXPECT_EQ(o.kr, 2.5L);
    EXPECT_EQ(o.plant, 1);
    EXPECT_EQ(o.tn, 10) << "the file's value where the command line gives none";
    EXPECT_TRUE(o.option);
    EXPECT_EQ(o.timeAxis, 300);
    EXPECT_EQ(o.ticks, 700);
    // The file's changes and the command line's, in time order.
    std::vector<int> ticks;
    for (const SimEvent &e : o.events)
        ticks.push_back(e.tick);
    EXPECT_EQ(ticks, (std::vector<int>{50, 120, 300, 420, 420, 600}));

    // A --ticks before the file's last change is refused as for --at.
    const ParseResult early = Parse({"--experiment", file.string(), "--ticks", "500"});
    ASSERT_FALSE(early.ok());
    EXPECT_NE(early.error.find("beyond --ticks 500"), std::string::npos) << early.error;
    // A Stop on the last tick is no change that acts on nothing: it pauses.
    EXPECT_TRUE(Parse({"--experiment", file.string(), "--ticks", "600"}).ok());
}

TEST(CliExperiment, DefaultLengthIsTheLastChangePlusTheTimeAxis)
{
    struct Row {
        const char *text;
        std::vector<std::string> extra;
        int ticks;
    };
    const Row rows[] = {
        {"[Versuch]\nKr=2\n", {}, 600},
        {"[Versuch]\nZeitachse=180\n", {}, 180},
        {"[Versuch]\nZeitachse=180\n[Ablauf]\n30=Kr 3\n", {}, 210},
        {"[Ablauf]\n30=Kr 3\n", {"--at", "100:w=20"}, 700},
        {"[Versuch]\nZeitachse=180\n", {"--charts", "x.png", "--time-axis", "600"}, 600},
    };
    for (const Row &row : rows) {
        const fs::path file = WriteExperimentFile("len.kversuch", row.text);
        std::vector<std::string> args{"--experiment", file.string()};
        args.insert(args.end(), row.extra.begin(), row.extra.end());
        const ParseResult r = ParseArguments(args);
        ASSERT_TRUE(r.ok()) << row.text << r.error;
        EXPECT_EQ(r.options.ticks, row.ticks) << row.text;
    }
}

TEST(CliExperiment, AStopPausesAndChangesNoValue)
{
    const fs::path with = WriteExperimentFile("stop.kversuch", "[Ablauf]\n100=Stop\n200=Kr 2\n");
    const fs::path without = WriteExperimentFile("nostop.kversuch", "[Ablauf]\n200=Kr 2\n");
    const CliResult a = RunSim("--experiment " + with.string());
    const CliResult b = RunSim("--experiment " + without.string());
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
}

TEST(CliExperiment, ManualModeFromTheFile)
{
    const fs::path file = WriteExperimentFile(
        "hand.kversuch",
        "[Versuch]\nBetrieb=Hand\nStellgroesse=40\n[Ablauf]\n60=Stellgroesse 60\n");
    const ParseResult r = Parse({"--experiment", file.string()});
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.options.hand);
    EXPECT_EQ(r.options.y, 40);
    // Overriding the mode leaves the file's change of y without manual mode.
    const ParseResult regler = Parse({"--experiment", file.string(), "--mode", "regler"});
    ASSERT_FALSE(regler.ok());
    EXPECT_NE(regler.error.find("y can be set only in mode hand"), std::string::npos)
        << regler.error;
}

TEST(CliExperiment, ABadFileIsOneLineAndWritesNothing)
{
    const fs::path bad =
        WriteExperimentFile("bad.kversuch", "[Versuch]\nKr=1\nSollwert=900\n[Ablauf]\n");
    const fs::path out = TempDir() / "never.csv";
    struct Row {
        std::string args;
        const char *says;
    };
    const Row rows[] = {
        {"--experiment " + bad.string(), "Zeile 3: Sollwert „900“ liegt außerhalb von 0 bis 800"},
        {"--experiment " + (TempDir() / "missing.kversuch").string(),
         "Die Datei lässt sich nicht lesen"},
        {"--experiment ''", "--experiment needs a file name"},
        {"--experiment", "--experiment needs a value"},
    };
    for (const Row &row : rows) {
        fs::remove(out);
        const CliResult r = RunSim("--output " + out.string() + " " + row.args);
        EXPECT_EQ(r.status, 2) << row.args;
        EXPECT_EQ(r.err.rfind("kavlon-sim: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(fs::exists(out)) << row.args;
    }
}
