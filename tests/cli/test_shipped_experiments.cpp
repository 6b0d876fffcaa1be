// The experiments shipped for teachers: each is installed, reads without a
// message, covers what a lesson needs and runs through kavlon-sim.
#include "cli/SimOptions.h"
#include "engine/PlantTable.h"
#include "experiment/ExperimentFile.h"
#include "tests/cli/CliRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace kavlon;

namespace {

std::vector<std::string> Installed()
{
    std::vector<std::string> names;
    std::istringstream list(KAVLON_SHIPPED_EXPERIMENTS);
    for (std::string name; std::getline(list, name, ',');)
        names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> InFolder()
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(KAVLON_SOURCE_EXPERIMENTS_DIR))
        if (entry.path().extension() == ".kversuch")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(ShippedExperiments, EveryFileInTheFolderIsInstalled)
{
    EXPECT_EQ(Installed(), InFolder());
    EXPECT_GE(InFolder().size(), 8u);
}

TEST(ShippedExperiments, EachIsALessonAndEveryPlantHasOne)
{
    std::set<int> plants;
    for (const std::string &name : InFolder()) {
        SCOPED_TRACE(name);
        const ExperimentReadResult r =
            ReadExperimentFile((fs::path(KAVLON_SOURCE_EXPERIMENTS_DIR) / name).string());
        ASSERT_TRUE(r.ok()) << r.error;
        const Experiment &x = r.experiment;
        EXPECT_FALSE(x.title.empty());
        // A task of several lines with numbered questions.
        EXPECT_GE(std::count(x.task.begin(), x.task.end(), '\n'), 4);
        EXPECT_NE(x.task.find("1. "), std::string::npos);
        ASSERT_TRUE(x.settings.plant);
        plants.insert(*x.settings.plant);
        // The file names the plant it is about.
        EXPECT_EQ(name[0], Plants[static_cast<std::size_t>(*x.settings.plant)].letter);
        EXPECT_FALSE(x.events.empty());
        EXPECT_EQ(x.events.back().kind, ScheduledEvent::Kind::stop) << "the lesson has an end";
    }
    EXPECT_EQ(plants.size(), static_cast<std::size_t>(PlantCount));
}

TEST(ShippedExperiments, EachRunsThroughKavlonSimToItsLength)
{
    for (const std::string &name : InFolder()) {
        SCOPED_TRACE(name);
        const fs::path path = fs::path(KAVLON_SOURCE_EXPERIMENTS_DIR) / name;
        const ExperimentReadResult r = ReadExperimentFile(path.string());
        ASSERT_TRUE(r.ok()) << r.error;
        const CliResult run = RunSim("--experiment '" + path.string() + "'");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.err.empty()) << run.err;
        const int length = LastEventTick(r.experiment.events)
                           + r.experiment.settings.timeAxis.value_or(sim::SimOptions{}.timeAxis);
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), length + 1);
        // The last row is the run's last second. (Built step by step: GCC 12
        // warns falsely on a chain of string additions here.)
        std::string lastRow = "\n";
        lastRow += std::to_string(length);
        lastRow += ',';
        EXPECT_NE(run.out.rfind(lastRow), std::string::npos);
    }
}
