#include "charts/LiveCharts.h"
#include "cli/SimOptions.h"
#include "cli/SimRun.h"
#include "output/ExportInputs.h"
#include "output/ExportTargets.h"
#include "tests/cli/CliPictures.h"
#include "tests/cli/CliRunner.h"

#include <QColor>
#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace kavlon;

namespace {

int ColouredPixels(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c(img.pixel(x, y));
            n += c.red() != c.green() || c.green() != c.blue();
        }
    return n;
}

} // namespace

// The picture is the one the window copies for the same state: the live
// charts drawn tick by tick, the texts as the panels show them at the end.
TEST(KavlonSimExport, PngIsTheClipboardPictureOfTheRun)
{
    const fs::path png = TempDir() / "picture.png";
    const std::string args = "--plant C --ticks 500 --tv 0.5 --option on --at 300:arwu=on "
                             "--at 480:mode=hand --at 500:mode=regler --chart-size 700x200 "
                             "--time-axis 300 --background black";
    const CliResult r = RunSim(args + " --png " + png.string() + " --output /dev/null");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const QImage picture = LoadPicture(png);
    ASSERT_EQ(picture.size(), QSize(950, 1425));

    NeedGuiApplication();
    const sim::ParseResult parsed = sim::ParseArguments(Words(args + " --png " + png.string()));
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    LiveCharts charts;
    const LoopState s = RunChartsTickByTick(parsed.options, charts, 700, 200);
    const ExportInputs in = ExportInputsFromState(s, charts, true, QLocale().decimalPoint());
    EXPECT_EQ(in.ControllerTitle, QStringLiteral("PID - Regler")); // back in controller mode
    EXPECT_TRUE(in.OptionEnabled);
    EXPECT_TRUE(picture == RenderClipboardPicture(in));
}

TEST(KavlonSimExport, BlackAndWhiteHasNoColour)
{
    const fs::path colour = TempDir() / "colour.png";
    const fs::path bw = TempDir() / "bw.png";
    ASSERT_EQ(RunSim("--ticks 200 --tv 1 --output /dev/null --png " + colour.string()).status, 0);
    ASSERT_EQ(RunSim("--ticks 200 --tv 1 --output /dev/null --bw --png " + bw.string()).status, 0);
    EXPECT_GT(ColouredPixels(LoadPicture(colour)), 500);
    EXPECT_EQ(ColouredPixels(LoadPicture(bw)), 0);
}

TEST(KavlonSimExport, PdfIsOnePrintedPage)
{
    const fs::path pdf = TempDir() / "page.pdf";
    const CliResult r =
        RunSim("--plant F --ticks 300 --option on --at 300:mode=hand --output /dev/null --pdf "
               + pdf.string());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string raw = ReadAll(pdf);
    ASSERT_EQ(raw.rfind("%PDF-", 0), 0u);
    // Chart images are stored without lossy compression.
    EXPECT_EQ(raw.find("/DCTDecode"), std::string::npos);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not available";
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QString::fromStdString(pdf.string()), QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(text.count(QLatin1Char('\f')), 1) << "one page";
    EXPECT_TRUE(text.contains(QStringLiteral("Handregelung")));
    EXPECT_TRUE(text.contains(QStringLiteral("PT2 - Regelstrecke mit Totzeit und Kompensation")));
    // Manual mode: no settings line, and F has no option line then.
    EXPECT_FALSE(text.contains(QStringLiteral("Aktuelle")));
}

// Picture output brings up the toolkit's offscreen platform by itself.
TEST(KavlonSimExport, NeedsNoDisplay)
{
    const fs::path png = TempDir() / "headless.png";
    fs::remove(png);
    const std::string cmd = "env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "
                            + std::string(KAVLON_SIM_PATH) + " --ticks 30 --output /dev/null --png "
                            + png.string() + " </dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(LoadPicture(png).size(), QSize(950, 1425));
}

TEST(KavlonSimExport, BadArgumentsWriteNothing)
{
    const fs::path png = TempDir() / "never.png";
    const fs::path pdf = TempDir() / "never.pdf";
    const fs::path csv = TempDir() / "never.csv";
    const std::string files =
        " --png " + png.string() + " --pdf " + pdf.string() + " --output " + csv.string();
    struct Case {
        std::string args;
        const char *mentions;
    };
    const Case cases[] = {
        {"--bw --output " + csv.string(), "--bw"},
        {"--bw=yes" + files, "--bw"},
        {"--png= --output " + csv.string(), "--png"},
        {"--output " + csv.string() + " --pdf", "--pdf"},
        {"--png " + png.string() + " --pdf /nonexistent-folder/p.pdf --output " + csv.string(),
         "--pdf"},
        {"--pdf " + pdf.string() + " --png /nonexistent-folder/p.png --output " + csv.string(),
         "--png"},
        {"--w 900" + files, "--w"},
        {"--chart-size 50x50" + files, "--chart-size"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args);
        for (const fs::path &p : {png, pdf, csv})
            fs::remove(p);
        const CliResult r = RunSim(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(r.err.rfind("kavlon-sim: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
        for (const fs::path &p : {png, pdf, csv})
            EXPECT_FALSE(fs::exists(p)) << p;
    }
}
