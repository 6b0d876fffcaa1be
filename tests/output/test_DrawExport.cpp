#include "output/DrawExport.h"
#include "output/ExportTargets.h"
#include "tests/output/ExportFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace kavlon {
namespace {

using test::LiveLoop;
using test::RecordingCanvas;

// Left, top, right and bottom (the last two exclusive) of a rectangle.
struct Edges {
    int left, top, right, bottom;
    bool operator==(const Edges &) const = default;
};
Edges EdgesOf(const QRect &r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
void PrintTo(const Edges &e, std::ostream *os)
{
    *os << "(" << e.left << ", " << e.top << ", " << e.right << ", " << e.bottom << ")";
}

RecordingCanvas Record(const ExportInputs &in, const ExportParams &p = ClipboardParams)
{
    RecordingCanvas canvas;
    DrawExport(canvas, p, in);
    return canvas;
}

TEST(DrawExport, ClipboardLayoutInControllerModeWithTheOption)
{
    LiveLoop loop(980, 216, 0xFFFFFF, 2); // plant C: option "StrK" enabled
    loop.Tick(120);
    const RecordingCanvas c = Record(loop.Inputs());

    ASSERT_EQ(c.fontCalls.size(), 1u);
    EXPECT_EQ(c.fontCalls[0], std::make_pair(12, true));
    EXPECT_FALSE(c.fontSetLate);

    ASSERT_EQ(c.texts.size(), 7u);
    const auto expectText = [&](std::size_t i, int x, int y, const char *text) {
        EXPECT_EQ(c.texts[i].x, x) << i;
        EXPECT_EQ(c.texts[i].y, y) << i;
        EXPECT_EQ(c.texts[i].text, QString::fromUtf8(text)) << i;
    };
    expectText(0, 427, 30, "- Kavlon 2 -");
    expectText(1, (950 - 8 * 11) / 2, 90, "PI - Regler");
    expectText(2, (950 - 8 * 42) / 2, 387, "Nichtlineare PT3 - Temperatur-Regelstrecke");
    expectText(3, 42, 684, "Legende für Regler: y: Blau; yp: Türkis; yi: Rot; yd: Olive");
    expectText(4, 42, 714, "Legende für Regelstrecke: x: Rot; w: Blau; Z: Olive");
    expectText(5, 42, 744,
               "Aktuelle Regler-Einstellungen:  Vorhaltezeit Tv: Aus;  Nachstellzeit Tn: 45;  "
               "Verstärkung Kr: 4;  ARWU: aus");
    expectText(6, 42, 774, "Aktuelle Regelstrecken-Einstellung: StrK: aus");

    ASSERT_EQ(c.stretches.size(), 2u);
    EXPECT_EQ(EdgesOf(c.stretches[0].target), (Edges{0, 120, 950, 357}));
    EXPECT_EQ(EdgesOf(c.stretches[1].target), (Edges{0, 417, 950, 654}));
    // Each chart keeps the live image's pixel count.
    EXPECT_EQ(c.stretches[0].source.size(), QSize(980, 216));
    EXPECT_EQ(c.stretches[1].source.size(), QSize(980, 216));
}

// Which of the two last lines appear, and where, by plant and mode.
TEST(DrawExport, SettingsAndOptionLinesByPlantAndMode)
{
    struct Row {
        int plant;
        bool hand;
        std::optional<int> settingsY;
        std::optional<int> optionY;
        const char *option;
    };
    const Row rows[] = {
        {0, false, 744, {}, ""},
        {1, false, 744, {}, ""},
        {3, false, 744, {}, ""},
        {4, false, 744, {}, ""},
        {2, false, 744, 774, "StrK: ein"},
        {5, false, 744, 774, "TotK: ein"},
        {6, false, 744, 774, "TotK: ein"},
        {0, true, {}, {}, ""},
        {1, true, {}, {}, ""},
        {3, true, {}, {}, ""},
        {4, true, {}, {}, ""},
        {2, true, {}, 744, "StrK: ein"}, // manual mode moves the option line up
        {5, true, {}, {}, ""},
        {6, true, {}, {}, ""},
    };
    for (const Row &r : rows) {
        LiveLoop loop(765, 180, 0xFFFFFF, r.plant);
        loop.s.StrKOn = loop.s.TotKOn = true;
        loop.s.HandMode = r.hand;
        loop.Tick(30);
        const RecordingCanvas c = Record(loop.Inputs());
        const test::TextCall *settings = c.Find(QStringLiteral("Aktuelle Regler-"));
        const test::TextCall *option = c.Find(QStringLiteral("Aktuelle Regelstrecken-"));
        SCOPED_TRACE(testing::Message() << "plant " << r.plant << (r.hand ? " hand" : " regler"));
        ASSERT_EQ(settings != nullptr, r.settingsY.has_value());
        if (settings) {
            EXPECT_EQ(settings->y, *r.settingsY);
        }
        ASSERT_EQ(option != nullptr, r.optionY.has_value());
        if (option) {
            EXPECT_EQ(option->y, *r.optionY);
            EXPECT_EQ(option->x, 42);
            EXPECT_TRUE(option->text.endsWith(QString::fromLatin1(r.option)))
                << option->text.toStdString();
        }
        EXPECT_EQ(c.texts[1].text,
                  r.hand ? QStringLiteral("Handregelung") : QStringLiteral("PI - Regler"));
        // The last line drawn is one s below the one before it.
        EXPECT_EQ(c.texts.back().y, 684 + 30 * static_cast<int>(c.texts.size() - 4));
    }
}

TEST(DrawExport, SettingsLineCarriesTheReadoutsUnchanged)
{
    LiveLoop loop(765, 180);
    loop.s.Kr = 0;
    loop.s.Tn = 12;
    loop.s.Tv = 2.5L;
    loop.s.ARWUOn = true;
    const RecordingCanvas c =
        Record(ExportInputsFromState(loop.s, loop.charts, true, QStringLiteral(",")));
    const test::TextCall *settings = c.Find(QStringLiteral("Aktuelle Regler-"));
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->text,
              QStringLiteral("Aktuelle Regler-Einstellungen:  Vorhaltezeit Tv: 2,5;  Nachstellzeit "
                             "Tn: 12;  Verstärkung Kr: Aus;  ARWU: ein"));
    EXPECT_EQ(c.texts[1].text, QStringLiteral("ID - Regler"));
}

TEST(DrawExport, LegendWordingFollowsPrintInColor)
{
    LiveLoop loop(765, 180);
    const RecordingCanvas colour = Record(loop.Inputs(true));
    const RecordingCanvas bw = Record(loop.Inputs(false));
    EXPECT_EQ(colour.texts[3].text,
              QStringLiteral("Legende für Regler: y: Blau; yp: Türkis; yi: Rot; yd: Olive"));
    EXPECT_EQ(colour.texts[4].text,
              QStringLiteral("Legende für Regelstrecke: x: Rot; w: Blau; Z: Olive"));
    EXPECT_EQ(bw.texts[3].text,
              QStringLiteral(
                  "Legende für Regler: y: dicker Strich; yp: dünner Strich; yi: .....; yd: - - -"));
    EXPECT_EQ(
        bw.texts[4].text,
        QStringLiteral("Legende für Regelstrecke: x: dicker Strich; w: dünner Strich; Z: ....."));
}

TEST(DrawExport, PlantTitlesByIndex)
{
    const char *titles[] = {"PT3 - Regelstrecke",
                            "PT3 - Regelstrecke mit Totzeit",
                            "Nichtlineare PT3 - Temperatur-Regelstrecke",
                            "PT2 - Regelstrecke",
                            "PT2 - Regelstrecke mit Integralglied",
                            "PT2 - Regelstrecke mit Totzeit und Kompensation",
                            "PT2 - Regelstrecke mit Totzeit und 80% Kompensation"};
    for (int p = 0; p < 7; ++p) {
        LiveLoop loop(765, 180, 0xFFFFFF, p);
        const RecordingCanvas c = Record(loop.Inputs());
        EXPECT_EQ(c.texts[2].text, QString::fromLatin1(titles[p]));
        EXPECT_EQ(c.texts[2].x, (950 - 8 * static_cast<int>(std::strlen(titles[p]))) / 2);
    }
    EXPECT_TRUE(PlantTitleText(7).isEmpty());
    EXPECT_TRUE(PlantTitleText(-1).isEmpty());
}

// The page layouts: the margin is subtracted twice in the title estimate and
// the charts are W - 2m wide and W div 4 high.
TEST(DrawExport, PrinterPageLayouts)
{
    LiveLoop loop(1916, 300);
    loop.Tick(10);
    struct Row {
        int W, m;
    };
    for (const Row r : {Row{4760, PrintMarginPortrait}, Row{6814, PrintMarginLandscape}}) {
        const RecordingCanvas c = Record(loop.Inputs(), ExportParams{r.W, 8, 130, r.m});
        SCOPED_TRACE(r.W);
        ASSERT_EQ(c.fontCalls.size(), 1u);
        EXPECT_EQ(c.fontCalls[0].first, 8);
        EXPECT_EQ(c.texts[0].x, (r.W - 2 * r.m - 96) / 2);
        EXPECT_EQ(c.texts[0].y, 130);
        const int h = r.W / 4;
        const int b1 = 520 + h;
        const int b2 = b1 + 260 + h;
        ASSERT_EQ(c.stretches.size(), 2u);
        EXPECT_EQ(EdgesOf(c.stretches[0].target), (Edges{r.m, 520, r.W - r.m, b1}));
        EXPECT_EQ(EdgesOf(c.stretches[1].target), (Edges{r.m, b1 + 260, r.W - r.m, b2}));
        EXPECT_EQ(c.texts[2].y, b1 + 130);
        EXPECT_EQ(c.texts[3].x, r.m + 42);
        EXPECT_EQ(c.texts[3].y, b2 + 130);
        EXPECT_EQ(c.texts[5].y, b2 + 390);
    }
    EXPECT_EQ(PrintMarginPortrait, 200);
    EXPECT_EQ(PrintMarginLandscape, 100);
}

TEST(DrawExport, WithoutChartsOnlyTheTextAndEmptyRectangles)
{
    ExportInputs in;
    in.ControllerTitle = QStringLiteral("P - Regler");
    const RecordingCanvas c = Record(in);
    EXPECT_EQ(c.texts.size(), 6u);
    EXPECT_EQ(c.texts[3].x, 42); // PlotLeft does not depend on the image size
    for (const test::StretchCall &s : c.stretches)
        EXPECT_TRUE(s.source.isNull());
}

} // namespace
} // namespace kavlon
