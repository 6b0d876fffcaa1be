// kavlon-sim --reference: a previous run drawn under the pictures' traces.
#include "charts/Evaluation.h"
#include "charts/LiveCharts.h"
#include "cli/SimOptions.h"
#include "cli/SimRun.h"
#include "tests/cli/CliPictures.h"
#include "tests/cli/CliRunner.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

namespace fs = std::filesystem;
using namespace kavlon;

namespace {

// A previous run at Kr = 2, written as kavlon-sim writes its CSV.
fs::path SlowRun()
{
    const fs::path csv = TempDir() / "slow-run.csv";
    if (!fs::exists(csv)) {
        const CliResult r = RunSim("--kr 2 --ticks 300 --output " + csv.string());
        EXPECT_EQ(r.status, 0) << r.err;
    }
    return csv;
}

fs::path WriteFile(const std::string &name, const std::string &text)
{
    const fs::path p = TempDir() / name;
    std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
    return p;
}

} // namespace

TEST(KavlonSimReference, ChartsDifferFromThePlainOnesOnlyWhereTheReferenceGoes)
{
    const fs::path reference = SlowRun();
    const std::string args = "--ticks 250 --chart-size 700x200 --time-axis 300";
    for (const char *background : {"white", "black"}) {
        SCOPED_TRACE(background);
        const std::string look = args + " --background " + background;
        const fs::path plainPng = TempDir() / "plain.png";
        const fs::path referencePng = TempDir() / "reference.png";
        ASSERT_EQ(RunSim(look + " --charts " + plainPng.string() + " --output /dev/null").status,
                  0);
        const CliResult r = RunSim(look + " --reference " + reference.string() + " --charts "
                                   + referencePng.string() + " --output /dev/null");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.err.empty()) << r.err;
        const QImage plain = LoadPicture(plainPng);
        const QImage drawn = LoadPicture(referencePng);
        ASSERT_EQ(drawn.size(), QSize(700, 400));
        const QRgb back = std::string(background) == "white" ? 0xFFFFFFu : 0u;
        // Per chart: only background pixels change, all to one pale colour.
        std::set<QRgb> pale;
        for (const int top : {0, 200}) {
            std::set<QRgb> colours;
            int changed = 0;
            for (int y = top; y < top + 200; ++y)
                for (int x = 0; x < 700; ++x) {
                    const QRgb a = plain.pixel(x, y) & 0xFFFFFFu;
                    const QRgb b = drawn.pixel(x, y) & 0xFFFFFFu;
                    if (a == b)
                        continue;
                    ++changed;
                    ASSERT_EQ(a, back) << x << "," << y;
                    colours.insert(b);
                }
            EXPECT_GT(changed, 200);
            ASSERT_EQ(colours.size(), 1u);
            pale.insert(*colours.begin());
        }
        EXPECT_EQ(pale.size(), 2u) << "one colour for y, another for x";

        // Exactly what the window shows: its charts with the overlays on top.
        NeedGuiApplication();
        const sim::ParseResult parsed =
            sim::ParseArguments(Words(look + " --charts " + referencePng.string()));
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        ReferenceRun run;
        std::string error;
        ASSERT_TRUE(ReadReferenceCsv(reference.string(), run, error)) << error;
        LiveCharts charts;
        charts.SetImageSize(700, 200);
        charts.SetTimeAxisLength(300);
        charts.SetBackColor(back == 0 ? Black : White);
        Evaluation evaluation;
        evaluation.SetReference(run);
        sim::SwitchPositions switches;
        LoopState s = sim::StartState(parsed.options, switches);
        charts.ResetCharts(s);
        evaluation.StartFromRest(s);
        for (int tick = 0; tick < 250; ++tick)
            ChartTick(s, charts, evaluation);
        for (const int chart : {ControllerChart, PlantChart}) {
            QImage expected =
                (chart == PlantChart ? charts.RegelstreckeImage() : charts.ReglerImage()).copy();
            QPainter painter(&expected);
            evaluation.Paint(painter, charts, chart);
            painter.end();
            EXPECT_EQ(drawn.copy(0, chart == PlantChart ? 200 : 0, 700, 200), expected);
        }
    }
}

TEST(KavlonSimReference, PictureAndPageCarryTheReference)
{
    const fs::path reference = SlowRun();
    const fs::path plain = TempDir() / "plain-picture.png";
    const fs::path drawn = TempDir() / "reference-picture.png";
    const fs::path pdf = TempDir() / "reference-page.pdf";
    ASSERT_EQ(RunSim("--ticks 250 --png " + plain.string() + " --output /dev/null").status, 0);
    const CliResult r = RunSim("--ticks 250 --reference " + reference.string() + " --png "
                               + drawn.string() + " --pdf " + pdf.string() + " --output /dev/null");
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage a = LoadPicture(plain);
    const QImage b = LoadPicture(drawn);
    ASSERT_EQ(a.size(), b.size());
    // Changes inside the two chart rectangles only (rows 120..356, 417..653).
    int inside = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) == b.pixel(x, y))
                continue;
            const bool chart = (y >= 120 && y < 357) || (y >= 417 && y < 654);
            ASSERT_TRUE(chart) << x << "," << y;
            ++inside;
        }
    EXPECT_GT(inside, 400);
    EXPECT_EQ(ReadAll(pdf).rfind("%PDF", 0), 0u);
}

TEST(KavlonSimReference, BadReferenceFilesWriteNothing)
{
    struct Case {
        const char *name;
        std::string text;
        const char *message;
    };
    const Case cases[] = {
        {"header.csv", "time,w,x,y\n1,500,0,100\n", "not a kavlon-sim CSV"},
        {"number.csv", "t,w,x,y\n1,500,zero,100\n", "line 2"},
        {"gap.csv", "t,w,x,y\n1,500,0,100\n3,500,0,100\n", "line 3"},
        {"rows.csv", "t,w,x,y,yp,yi,yd,Z,CompSignal\n", "no rows"},
    };
    const fs::path csv = TempDir() / "never.csv";
    const fs::path png = TempDir() / "never.png";
    const fs::path metrics = TempDir() / "never-metrics.csv";
    std::vector<std::pair<std::string, std::string>> runs;
    for (const Case &c : cases)
        runs.emplace_back(WriteFile(c.name, c.text).string(), c.message);
    runs.emplace_back((TempDir() / "missing.csv").string(), "cannot read");
    for (const auto &[file, message] : runs) {
        SCOPED_TRACE(file);
        fs::remove(csv);
        fs::remove(png);
        fs::remove(metrics);
        const CliResult r =
            RunSim("--ticks 20 --reference " + file + " --charts " + png.string() + " --metrics "
                   + metrics.string() + " --output " + csv.string());
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("kavlon-sim: --reference ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(fs::exists(csv));
        EXPECT_FALSE(fs::exists(png));
        EXPECT_FALSE(fs::exists(metrics));
    }
}

TEST(KavlonSimReference, OnlyWithAPicture)
{
    const std::string reference = SlowRun().string();
    const CliResult r = RunSim("--ticks 20 --reference " + reference);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kavlon-sim: --reference: only with --charts, --png or --pdf\n");
    EXPECT_TRUE(r.out.empty());

    for (const char *picture : {"--charts", "--png", "--pdf"}) {
        const sim::ParseResult parsed =
            sim::ParseArguments({"--reference", reference, picture, "out"});
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        EXPECT_EQ(parsed.options.reference, reference);
    }
    EXPECT_EQ(sim::ParseArguments({"--reference=", "--png", "out"}).error,
              "--reference needs a file name");
    EXPECT_NE(std::string(sim::UsageText()).find("--reference FILE.csv"), std::string::npos);
}
