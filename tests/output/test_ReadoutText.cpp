#include "output/ReadoutText.h"
#include "tests/output/ExportFixture.h"

#include <gtest/gtest.h>

#include <limits>

namespace kavlon {
namespace {

TEST(GeneralNumberText, FormatsLikeTheReadouts)
{
    const QString comma = QStringLiteral(",");
    struct Row {
        Real value;
        QString point;
        const char *expected;
    };
    const Row rows[] = {
        {500, QStringLiteral("."), "500"},
        {-200, QStringLiteral("."), "-200"},
        {4.1L, QStringLiteral("."), "4.1"},
        {4.1L, comma, "4,1"},
        {0.1L * 3, comma, "0,3"}, // 0.30000000000000000001 shows as 0,3
        {45, comma, "45"},        // no bare separator
        {-0.0L, QStringLiteral("."), "0"},
        {123456.75L, QStringLiteral("."), "123456.75"},
        {1.0L / 3, QStringLiteral("."), "0.333333333333333"}, // 15 significant digits
    };
    for (const Row &r : rows)
        EXPECT_EQ(GeneralNumberText(r.value, r.point), QString::fromLatin1(r.expected))
            << static_cast<double>(r.value);
    EXPECT_TRUE(GeneralNumberText(std::numeric_limits<Real>::quiet_NaN()).isEmpty());
    EXPECT_TRUE(GeneralNumberText(std::numeric_limits<Real>::infinity()).isEmpty());
}

TEST(ParameterReadoutText, ZeroReadsAus)
{
    EXPECT_EQ(ParameterReadoutText(0), QStringLiteral("Aus"));
    EXPECT_EQ(ParameterReadoutText(-0.0L), QStringLiteral("Aus"));
    EXPECT_EQ(ParameterReadoutText(0.1L, QStringLiteral(",")), QStringLiteral("0,1"));
    EXPECT_EQ(ParameterReadoutText(45), QStringLiteral("45"));
}

TEST(ControllerTitleText, EveryCombinationOfParts)
{
    struct Row {
        Real kr, tn, tv;
        const char *title;
    };
    const Row rows[] = {
        {4, 45, 1, "PID - Regler"}, {4, 45, 0, "PI - Regler"}, {4, 0, 1, "PD - Regler"},
        {4, 0, 0, "P - Regler"},    {0, 45, 1, "ID - Regler"}, {0, 45, 0, "I - Regler"},
        {0, 0, 0.1L, "D - Regler"}, {0, 0, 0, "Kein Regler"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(ControllerTitleText(r.kr, r.tn, r.tv), QString::fromLatin1(r.title));
}

TEST(ExportInputsFromState, ReadsAsTheWindowShowsIt)
{
    test::LiveLoop loop(765, 180, 0xFFFFFF, 6);
    loop.s.Kr = 2.5L;
    loop.s.Tn = 0;
    loop.s.Tv = 1.2L;
    loop.s.TotKOn = true;
    loop.s.ARWUOn = true;
    ExportInputs in = ExportInputsFromState(loop.s, loop.charts, false, QStringLiteral(","));
    EXPECT_EQ(in.ControllerTitle, QStringLiteral("PD - Regler"));
    EXPECT_EQ(in.PlantIndex, 6);
    EXPECT_EQ(in.Charts, &loop.charts);
    EXPECT_EQ(in.KrText, QStringLiteral("2,5"));
    EXPECT_EQ(in.TnText, QStringLiteral("Aus"));
    EXPECT_EQ(in.TvText, QStringLiteral("1,2"));
    EXPECT_EQ(in.OptionCaption, QStringLiteral("TotK"));
    EXPECT_TRUE(in.OptionEnabled);
    EXPECT_TRUE(in.TotKOn);
    EXPECT_TRUE(in.ARWUOn);
    EXPECT_FALSE(in.PrintInColor);

    loop.s.HandMode = true;
    in = ExportInputsFromState(loop.s, loop.charts, true);
    EXPECT_EQ(in.ControllerTitle, QStringLiteral("Handregelung"));
    EXPECT_FALSE(in.OptionEnabled);
    EXPECT_TRUE(in.HandMode);

    loop.s.PlantIndex = 0;
    EXPECT_EQ(ExportInputsFromState(loop.s, loop.charts, true).OptionCaption,
              QStringLiteral("--------"));
}

} // namespace
} // namespace kavlon
