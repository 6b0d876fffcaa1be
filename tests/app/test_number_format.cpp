#include "app/NumberFormat.h"
#include "engine/OperatorValues.h"
#include "output/ReadoutText.h"

#include <gtest/gtest.h>

namespace kavlon {
namespace {

const QLocale German(QLocale::German, QLocale::Germany);
const QLocale English(QLocale::English, QLocale::UnitedStates);

TEST(NumberFormat, TenthsFromTheSpinArithmeticShowAsShortDecimals)
{
    // Kr from 4 down by tenths: every value must read as one decimal at most,
    // never as 3,90000000000000036 or similar.
    Real kr = 4;
    for (int i = 0; i < 40; ++i) {
        kr = SpinStep(kr, SpinValue::Kr, false);
        const QString text = GeneralNumberText(kr, German.decimalPoint());
        const int comma = static_cast<int>(text.indexOf(QLatin1Char(',')));
        EXPECT_TRUE(comma < 0 || comma == text.size() - 2) << text.toStdString();
    }
    EXPECT_EQ(GeneralNumberText(kr, German.decimalPoint()), QStringLiteral("0"));
    EXPECT_EQ(GeneralNumberText(SpinStep(4, SpinValue::Kr, true), German.decimalPoint()),
              QStringLiteral("4,1"));
}

TEST(NumberFormat, FixedFormatRoundsHalvesToEven)
{
    struct Row {
        Real value;
        int decimals;
        const char *german;
    };
    const Row rows[] = {
        {8 * 100.0L / 8 / 10 / 13, 1, "0,8"}, // x after the first tick
        {0, 1, "0,0"},
        {0.25L, 1, "0,2"},
        {0.75L, 1, "0,8"},
        {-0.04L, 1, "0,0"},
        {-1.25L, 1, "-1,2"},
        {800, 1, "800,0"},
        {37.5L, 0, "38"},
        {38.5L, 0, "38"},
        {100, 0, "100"},
        {2.5L, 0, "2"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(FormatFixed(r.value, r.decimals, German), QString::fromLatin1(r.german))
            << r.german;
    EXPECT_EQ(FormatFixed(0.75L, 1, English), QStringLiteral("0.8"));
}

} // namespace
} // namespace kavlon
