// kavlon-sim's option reading against the engine's facts: the operator ranges
// are the window's, the start values are a fresh loop's, and the help text
// says so.
#include "cli/SimOptions.h"
#include "engine/LoopState.h"
#include "engine/OperatorValues.h"
#include "engine/PlantTable.h"

#include <gtest/gtest.h>

#include <charconv>
#include <sstream>
#include <string>
#include <vector>

using namespace kavlon;

namespace {

std::string RealText(Real v)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// The usage line of `option`, e.g. "  --kr V   gain Kr, 0..100 (default 4; ...)".
std::string UsageLine(const std::string &option)
{
    std::istringstream in(sim::UsageText());
    for (std::string line; std::getline(in, line);)
        if (line.rfind("  " + option + " ", 0) == 0)
            return line;
    return {};
}

// The text after "(default " up to the next ')' or ';'.
std::string DefaultIn(const std::string &line)
{
    const auto at = line.find("(default ");
    if (at == std::string::npos)
        return {};
    const auto begin = at + 9;
    return line.substr(begin, line.find_first_of(");", begin) - begin);
}

struct ValueRow {
    const char *option; // also the event name without the dashes
    SpinValue which;
    Real LoopState::*field;
};

const ValueRow valueRows[] = {
    {"--w", SpinValue::w, &LoopState::w},    {"--z", SpinValue::Z, &LoopState::Z},
    {"--kr", SpinValue::Kr, &LoopState::Kr}, {"--tn", SpinValue::Tn, &LoopState::Tn},
    {"--tv", SpinValue::Tv, &LoopState::Tv}, {"--y", SpinValue::y, &LoopState::y},
};

} // namespace

TEST(SimOptions, OutOfRangeMessages)
{
    struct Row {
        std::vector<std::string> args;
        const char *error;
    };
    const Row rows[] = {
        {{"--w", "801"}, "--w: '801' is outside 0..800"},
        {{"--w", "-0.5"}, "--w: '-0.5' is outside 0..800"},
        {{"--z", "-200.5"}, "--z: '-200.5' is outside -200..200"},
        {{"--z", "201"}, "--z: '201' is outside -200..200"},
        {{"--kr", "100.1"}, "--kr: '100.1' is outside 0..100"},
        {{"--tn", "201"}, "--tn: '201' is outside 0..200"},
        {{"--tv", "-0.1"}, "--tv: '-0.1' is outside 0..100"},
        {{"--mode", "hand", "--y", "100.01"}, "--y: '100.01' is outside 0..100"},
        {{"--at", "5:w=900"}, "--at '5:w=900': '900' is outside 0..800"},
        {{"--at", "5:Z=-201"}, "--at '5:Z=-201': '-201' is outside -200..200"},
        {{"--at", "5:tn=-1"}, "--at '5:tn=-1': '-1' is outside 0..200"},
        {{"--mode=hand", "--at", "5:y=101"}, "--at '5:y=101': '101' is outside 0..100"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(sim::ParseArguments(r.args).error, r.error) << r.args.back();
}

// Every start option and event takes exactly the values the window's spin
// arrows reach: both ends are accepted, a hair beyond either is refused.
TEST(SimOptions, RangesAreTheOperatorRanges)
{
    for (const ValueRow &row : valueRows) {
        const SpinRange range = RangeOf(row.which);
        const std::string name = std::string(row.option).substr(2);
        const Real below = range.lo - 1e-12L;
        const Real above = range.hi + 1e-12L;
        for (const Real v : {range.lo, range.hi, below, above}) {
            const bool inside = v >= range.lo && v <= range.hi;
            const std::string text = RealText(v);
            SCOPED_TRACE(std::string(row.option) + " " + text);
            const sim::ParseResult start =
                sim::ParseArguments({"--mode", "hand", row.option, text});
            const sim::ParseResult event =
                sim::ParseArguments({"--mode", "hand", "--at", "1:" + name + "=" + text});
            EXPECT_EQ(start.ok(), inside) << start.error;
            EXPECT_EQ(event.ok(), inside) << event.error;
            if (!inside) {
                const std::string bounds = RealText(range.lo) + ".." + RealText(range.hi);
                EXPECT_NE(start.error.find(" is outside " + bounds), std::string::npos)
                    << start.error;
            }
        }
    }
}

// The help text names the ranges and start values in prose; they must be the
// operator's ranges and a fresh loop's values.
TEST(SimOptions, UsageNamesTheRangesAndStartValues)
{
    const LoopState fresh{};
    const sim::SimOptions none = sim::ParseArguments({}).options;
    for (const ValueRow &row : valueRows) {
        SCOPED_TRACE(row.option);
        const std::string line = UsageLine(std::string(row.option) + " V");
        const SpinRange range = RangeOf(row.which);
        EXPECT_NE(line.find(", " + RealText(range.lo) + ".." + RealText(range.hi) + " "),
                  std::string::npos)
            << line;
        const std::string text = DefaultIn(line);
        ASSERT_FALSE(text.empty()) << "no default in the usage line";
        Real v = -1;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
        ASSERT_TRUE(r.ec == std::errc() && r.ptr == text.data() + text.size()) << text;
        EXPECT_EQ(v, fresh.*row.field);
    }
    EXPECT_EQ(DefaultIn(UsageLine("--plant A|B|C|D|E|F|G")),
              std::string(1, Plants[fresh.PlantIndex].letter));
    EXPECT_EQ(DefaultIn(UsageLine("--arwu on|off")), fresh.ARWUOn ? "on" : "off");
    EXPECT_EQ(DefaultIn(UsageLine("--option on|off")), fresh.TotKOn || fresh.StrKOn ? "on" : "off");
    EXPECT_EQ(DefaultIn(UsageLine("--mode regler|hand")), fresh.HandMode ? "hand" : "regler");
    EXPECT_EQ(DefaultIn(UsageLine("--ticks N")), std::to_string(none.ticks));
}
