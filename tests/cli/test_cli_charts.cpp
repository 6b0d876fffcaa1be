#include "charts/LiveCharts.h"
#include "cli/SimOptions.h"
#include "cli/SimRun.h"
#include "tests/cli/CliPictures.h"
#include "tests/cli/CliRunner.h"

#include <QImage>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace kavlon;

TEST(KavlonSimCharts, PictureIsTheWindowsTickByTickDrawing)
{
    const fs::path png = TempDir() / "charts.png";
    const std::string args = "--plant B --ticks 700 --tv 2 --at 200:mode=hand --at 230:y=60 "
                             "--at 260:arwu=on --at 400:reset --at 420:z=-150 --time-axis 300 "
                             "--chart-size 640x180 --background black";
    const CliResult r = RunSim(args + " --charts " + png.string() + " --output /dev/null");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const QImage picture = LoadPicture(png);
    ASSERT_EQ(picture.size(), QSize(640, 360));

    // The same run through the charts library, tick by tick as the window
    // runs it; a reset also resets the charts.
    NeedGuiApplication();
    const sim::ParseResult parsed = sim::ParseArguments(Words(args + " --charts " + png.string()));
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    LiveCharts charts;
    RunChartsTickByTick(parsed.options, charts, 640, 180);
    EXPECT_EQ(picture.copy(0, 0, 640, 180), charts.ReglerImage());
    EXPECT_EQ(picture.copy(0, 180, 640, 180), charts.RegelstreckeImage());
}

TEST(KavlonSimCharts, DefaultsAreA980x216WhiteChartPair)
{
    const fs::path png = TempDir() / "default.png";
    const CliResult r = RunSim("--ticks 90 --charts " + png.string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("t,w,x"), std::string::npos) << "the CSV still goes to standard output";
    const QImage picture = LoadPicture(png);
    ASSERT_EQ(picture.size(), QSize(980, 432));
    EXPECT_EQ(picture.pixel(0, 0) & 0xFFFFFFu, 0xFFFFFFu);
    for (const int top : {0, 216}) {
        // Left border at PlotLeft - 1 = 41 from PlotTop 12 to PlotBottom 208.
        EXPECT_EQ(picture.pixel(41, top + 12) & 0xFFFFFFu, 0u);
        EXPECT_EQ(picture.pixel(41, top + 207) & 0xFFFFFFu, 0u);
        EXPECT_EQ(picture.pixel(41, top + 209) & 0xFFFFFFu, 0xFFFFFFu);
    }
}

TEST(KavlonSimCharts, BadChartArgumentsWriteNoPicture)
{
    const fs::path png = TempDir() / "never.png";
    const char *cases[] = {"--chart-size 80x216", "--chart-size 980x20",   "--chart-size 980",
                           "--chart-size x216",   "--chart-size 9000x200", "--time-axis 200",
                           "--time-axis 60O",     "--background red",      "--w 900",
                           "--at 800:w=100"};
    for (const char *c : cases) {
        SCOPED_TRACE(c);
        fs::remove(png);
        const CliResult r = RunSim(std::string(c) + " --charts " + png.string());
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(r.err.rfind("kavlon-sim: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(fs::exists(png));
    }
}
