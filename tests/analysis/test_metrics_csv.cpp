// The metrics CSV of kavlon-sim --metrics: exact header and rows, empty fields
// for figures that do not exist, whole seconds, shortest round-trip numbers.
#include "analysis/StepMetrics.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using kavlon::Real;
using kavlon::StepKind;
using kavlon::StepSegment;

namespace {

StepSegment Segment(int start, int end, StepKind kind, Real delta, Real band)
{
    StepSegment s;
    s.Start = start;
    s.End = end;
    s.Kind = kind;
    s.Delta = delta;
    s.Band = band;
    return s;
}

TEST(MetricsCsv, Header)
{
    EXPECT_EQ(kavlon::MetricsCsvHeader(),
              "start,end,kind,delta,band,rise,settling,overshoot,emax,steady_error,iae\n");
}

TEST(MetricsCsv, SetPointStepWithEveryFigure)
{
    StepSegment s = Segment(10, 18, StepKind::SetPoint, 100, 2);
    s.Rise = 3;
    s.Settling = 7;
    s.Overshoot = 6;
    s.MaxError = 80;
    s.SteadyError = 0.5L;
    s.IAE = 126;
    EXPECT_EQ(kavlon::MetricsCsvRow(s), "10,18,w,100,2,3,7,6,80,0.5,126\n");
}

TEST(MetricsCsv, MissingFiguresAreEmptyFields)
{
    StepSegment z = Segment(200, 260, StepKind::Disturbance, -40, 0.8L);
    z.Rise = 1;
    z.MaxError = 12;
    z.SteadyError = -0.25L;
    z.IAE = 16.5L;
    EXPECT_EQ(kavlon::MetricsCsvRow(z), "200,260,Z,-40,0.8,1,,,12,-0.25,16.5\n");

    const StepSegment fresh = Segment(5, 5, StepKind::SetPoint, -25, 0.5L);
    EXPECT_EQ(kavlon::MetricsCsvRow(fresh), "5,5,w,-25,0.5,,,,,,\n");
}

TEST(MetricsCsv, NegativeZeroIsPrintedAsZero)
{
    StepSegment s = Segment(0, 3, StepKind::SetPoint, -0.0L, -0.0L);
    s.Overshoot = -0.0L;
    s.MaxError = 0;
    s.SteadyError = -0.0L;
    s.IAE = -0.0L;
    EXPECT_EQ(kavlon::MetricsCsvRow(s), "0,3,w,0,0,,,0,0,0,0\n");
}

// The shortest text of 1e6 as a real is 1e+06; times stay whole numbers.
TEST(MetricsCsv, TimesAreWholeSeconds)
{
    StepSegment s = Segment(0, 2000000, StepKind::SetPoint, 500, 10);
    s.Rise = 1000000;
    s.Settling = 1999990;
    s.IAE = 1e30L;
    EXPECT_EQ(kavlon::MetricsCsvRow(s), "0,2000000,w,500,10,1000000,1999990,,,,1e+30\n");
}

TEST(MetricsCsv, NumbersReadBackToTheSameLongDouble)
{
    const Real third = Real{1} / 3;
    const Real tenth = Real{1} / 10;
    StepSegment s = Segment(1, 2, StepKind::SetPoint, 25, tenth);
    s.Overshoot = third;
    s.MaxError = 1e-300L * 1e-300L; // only an 80-bit real holds this
    s.SteadyError = 0.1L;
    s.IAE = 2.0L / 3;
    const std::string row = kavlon::MetricsCsvRow(s);
    // Ten fields after start: split on commas and read the real ones back.
    std::vector<std::string> fields;
    std::string::size_type from = 0;
    for (std::string::size_type comma; (comma = row.find(',', from)) != std::string::npos;
         from = comma + 1)
        fields.push_back(row.substr(from, comma - from));
    fields.push_back(row.substr(from, row.size() - 1 - from));
    ASSERT_EQ(fields.size(), 11u);
    EXPECT_EQ(fields[4], "0.1"); // the shortest form, not 0.1000000000000000000013553
    EXPECT_EQ(std::strtold(fields[4].c_str(), nullptr), tenth);
    EXPECT_EQ(std::strtold(fields[7].c_str(), nullptr), third);
    EXPECT_EQ(std::strtold(fields[8].c_str(), nullptr), *s.MaxError);
    EXPECT_EQ(std::strtold(fields[9].c_str(), nullptr), 0.1L);
    EXPECT_EQ(std::strtold(fields[10].c_str(), nullptr), 2.0L / 3);
    EXPECT_LT(fields[7].size(), 25u); // not a fixed wide format
}

} // namespace
