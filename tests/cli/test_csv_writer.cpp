// The CSV writer's reuse of a column's text: reused exactly while the value
// is the same value, never across a change however small, never for a NaN.
#include "cli/CsvWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

using kavlon::LoopState;
using kavlon::Real;
using kavlon::sim::ColumnText;
using kavlon::sim::CsvWriter;
using kavlon::sim::SameReal;

namespace {

constexpr Real NaN = std::numeric_limits<Real>::quiet_NaN();
constexpr Real Inf = std::numeric_limits<Real>::infinity();

std::string Written(const std::vector<LoopState> &rows)
{
    std::FILE *file = std::tmpfile();
    if (!file)
        return "no temporary file";
    CsvWriter csv(file);
    csv.Header();
    int t = 0;
    for (const LoopState &s : rows)
        csv.Row(++t, s);
    const bool flushed = csv.Flush();
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;)
        text.push_back(static_cast<char>(c));
    std::fclose(file);
    return flushed ? text : "flush failed";
}

} // namespace

TEST(CsvWriter, SameRealComparesValues)
{
    struct Row {
        Real a, b;
        bool same;
    };
    const Row rows[] = {
        {500, 500, true},
        {0.0L, -0.0L, true}, // both print "0"
        {-0.0L, 0.0L, true},
        {1.5L, std::nextafter(1.5L, Real{2}), false},
        {500, std::nextafter(Real{500}, Real{0}), false},
        {0.1L, static_cast<Real>(0.1), false}, // equal as doubles, not as reals
        {Inf, Inf, true},
        {NaN, NaN, false},
        {NaN, 0, false},
        {0, NaN, false},
    };
    for (const Row &r : rows)
        EXPECT_EQ(SameReal(r.a, r.b), r.same)
            << static_cast<double>(r.a) << " and " << static_cast<double>(r.b);
}

TEST(CsvWriter, ColumnTextFollowsEveryChange)
{
    struct Step {
        Real value;
        const char *text;
    };
    const Step steps[] = {
        {-0.0L, "0"},
        {0.0L, "0"},
        {1.5L, "1.5"},
        {1.5L, "1.5"},
        {std::nextafter(1.5L, Real{2}), "1.5000000000000000001"},
        {1.5L, "1.5"},
        {0.1L, "0.1"},
        {static_cast<Real>(0.1), "0.10000000000000000555"},
        {NaN, "nan"},
        {NaN, "nan"},
        {-NaN, "-nan"},
        {NaN, "nan"},
        {500, "500"},
        {std::nextafter(Real{500}, Real{0}), "499.99999999999999997"},
        {-0.0L, "0"},
    };
    ColumnText column;
    for (const Step &s : steps)
        EXPECT_EQ(column.Of(s.value), s.text) << "after " << static_cast<double>(s.value);
}

TEST(CsvWriter, RowsCarryEachColumnsOwnChange)
{
    LoopState a;
    a.yi = 40;
    a.yd = -0.0L; // as -c*0 gives it
    LoopState b = a;
    b.x = 1;
    b.yi = std::nextafter(a.yi, Real{41}); // the least step up
    b.yd = 0.0L;
    EXPECT_EQ(Written({a, b, a}), "t,w,x,y,yp,yi,yd,Z,CompSignal\n"
                                  "1,500,0,0,0,40,0,0,0\n"
                                  "2,500,1,0,0,40.000000000000000003,0,0,0\n"
                                  "3,500,0,0,0,40,0,0,0\n");
}
