// What kavlon-sim repeats of the user's input in an error line, the changes
// it refuses at the end of the run, and the --NAME=VALUE spelling.
#include "cli/ErrorText.h"
#include "cli/SimOptions.h"
#include "tests/cli/CliRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace kavlon::sim;
namespace fs = std::filesystem;

namespace {

// Whether `text` holds a byte a terminal could act on (the one line end aside).
bool HasControlBytes(const std::string &text)
{
    const std::string line =
        !text.empty() && text.back() == '\n' ? text.substr(0, text.size() - 1) : text;
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
}

} // namespace

TEST(ErrorText, TerminalSafeWritesOutWhatATerminalWouldActOn)
{
    struct Row {
        std::string in;
        std::string out;
    };
    const Row rows[] = {
        {"plain --w 5", "plain --w 5"},
        {"a\rb", "a\\rb"},
        {"a\nb", "a\\nb"},
        {"a\tb", "a\\tb"},
        {"\x1b[2J", "\\x1b[2J"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"\x7f", "\\x7f"},
        {"\x07\x08", "\\x07\\x08"},
        {"Stellgr\xc3\xb6sse", "Stellgr\xc3\xb6sse"}, // valid UTF-8 stays
        {"\xe2\x80\xa6 \xf0\x9f\x98\x80", "\xe2\x80\xa6 \xf0\x9f\x98\x80"},
        {"\xff", "\\xff"},                            // never UTF-8
        {"\xc3", "\\xc3"},                            // cut short
        {"\xc3(", "\\xc3("},                          // bad continuation
        {"\xc0\xaf", "\\xc0\\xaf"},                   // overlong '/'
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},          // surrogate
        {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"}, // beyond U+10FFFF
        {"\xc2\x9b"
         "2J",
         "\\xc2\\x9b2J"},  // C1 CSI
        {"\x80", "\\x80"}, // stray continuation
    };
    for (const Row &r : rows)
        EXPECT_EQ(TerminalSafe(r.in), r.out) << r.out;
}

TEST(ErrorText, QuoteValueCutsLongValuesByCharacters)
{
    const std::string sixty(MaxQuotedCharacters, 'a');
    EXPECT_EQ(QuoteValue(""), "''");
    EXPECT_EQ(QuoteValue(sixty), "'" + sixty + "'");
    EXPECT_EQ(QuoteValue(sixty + "b"), "'" + sixty + "'\u2026");
    EXPECT_EQ(QuoteValue(std::string(100000, 'x')).size(), MaxQuotedCharacters + 2 + 3);
    // A two-byte letter counts once and is never split.
    std::string umlauts;
    for (std::size_t i = 0; i < MaxQuotedCharacters + 5; ++i)
        umlauts += "\xc3\xb6";
    const std::string kept(umlauts, 0, 2 * MaxQuotedCharacters);
    EXPECT_EQ(QuoteValue(umlauts), std::string("'").append(kept).append("'\u2026"));
    // A byte that is not UTF-8 counts as one character.
    EXPECT_EQ(QuoteValue(std::string(MaxQuotedCharacters, '\xff')),
              "'" + std::string(MaxQuotedCharacters, '\xff') + "'");
}

TEST(KavlonSimErrors, BadBytesAreEscapedInTheErrorLine)
{
    const fs::path events = TempDir() / "control-events.txt";
    std::ofstream(events, std::ios::binary) << "5:w=1\x1b]0;owned\x07\n6:\xff\xfe=1\n";
    struct Case {
        std::string args;
        std::string shows; // the escaped form that must be in the line
    };
    const Case cases[] = {
        {"--plant \"$(printf 'A\\r\\033[2J')\"", "'A\\r\\x1b[2J'"},
        {"--w \"$(printf '5\\t0\\n1')\"", "'5\\t0\\n1'"},
        {"\"$(printf -- '--bogus\\033[31m')\"", "'--bogus\\x1b[31m'"},
        {"--at \"$(printf '3:w=\\377')\"", "'3:w=\\xff'"},
        {"--events " + events.string(), "'5:w=1\\x1b]0;owned\\x07'"},
        {"--w \"$(printf '%0200dx' 7)\"", "'" + std::string(MaxQuotedCharacters, '0') + "'\u2026"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args);
        const CliResult r = RunSim(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("kavlon-sim: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(HasControlBytes(r.err)) << r.err;
        EXPECT_NE(r.err.find(c.shows), std::string::npos) << r.err;
        EXPECT_LT(r.err.size(), 300u) << r.err;
    }
}

TEST(ParseArguments, AChangeAtTheLastTickMustShowSomewhere)
{
    struct Row {
        std::vector<std::string> args;
        bool ok;
    };
    const Row rows[] = {
        {{"--ticks", "3", "--at", "2:w=100"}, true},
        {{"--ticks", "3", "--at", "3:w=100"}, false},
        {{"--ticks", "3", "--at", "3:z=10"}, false},
        {{"--ticks", "3", "--mode", "hand", "--at", "3:y=10"}, false},
        {{"--ticks", "3", "--at", "3:reset"}, false},
        {{"--ticks", "3", "--at", "3:kr=2"}, false},
        {{"--ticks", "3", "--at", "3:mode=hand", "--metrics", "m.csv"}, false},
        {{"--ticks", "0", "--at", "0:arwu=on"}, false},
        // The page shows the title and switches as they stand after the run.
        {{"--ticks", "3", "--at", "3:mode=hand", "--png", "p.png"}, true},
        {{"--ticks", "3", "--at", "3:kr=2", "--pdf", "p.pdf"}, true},
        {{"--ticks", "3", "--at", "3:option=on", "--png", "p.png"}, true},
        {{"--ticks", "3", "--at", "3:w=100", "--png", "p.png"}, false},
        {{"--ticks", "3", "--at", "3:kr=2", "--charts", "c.png"}, false},
        // A reset clears the charts of every picture.
        {{"--ticks", "3", "--at", "3:reset", "--charts", "c.png"}, true},
    };
    for (const Row &r : rows) {
        std::string joined;
        for (const auto &a : r.args)
            joined += a + " ";
        const ParseResult p = ParseArguments(r.args);
        EXPECT_EQ(p.ok(), r.ok) << joined << p.error;
        if (!r.ok) {
            EXPECT_NE(p.error.find("last tick of --ticks"), std::string::npos) << p.error;
        }
    }
}

TEST(KavlonSimErrors, ChangeAfterTheLastTickWritesNothing)
{
    const fs::path out = TempDir() / "late.csv";
    const CliResult r = RunSim("--ticks 3 --at 3:w=100 --output " + out.string());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "kavlon-sim: event '3:w=100': tick 3 is the last tick of --ticks 3, so the change "
              "would act on nothing\n");
    EXPECT_FALSE(fs::exists(out));
}

TEST(ParseArguments, NameEqualsValueReadsAsTwoArguments)
{
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"--plant", "C"},    {"--ticks", "77"},     {"--w", "250.5"},       {"--z", "-20"},
        {"--kr", "2.5"},     {"--tn", "12"},        {"--tv", "3"},          {"--arwu", "on"},
        {"--option", "on"},  {"--mode", "hand"},    {"--y", "40"},          {"--at", "5:z=10"},
        {"--at", "9:reset"}, {"--output", "o.csv"}, {"--metrics", "m.csv"}, {"--band", "5"},
    };
    std::vector<std::string> spaced;
    std::vector<std::string> joined;
    for (const auto &[name, value] : pairs) {
        spaced.push_back(name);
        spaced.push_back(value);
        joined.push_back(name + "=" + value);
    }
    const ParseResult a = ParseArguments(spaced);
    const ParseResult b = ParseArguments(joined);
    ASSERT_TRUE(a.ok()) << a.error;
    ASSERT_TRUE(b.ok()) << b.error;
    const SimOptions &x = a.options;
    const SimOptions &y = b.options;
    EXPECT_EQ(y.plant, 2);
    EXPECT_EQ(y.ticks, 77);
    EXPECT_EQ(y.w, x.w);
    EXPECT_EQ(y.z, x.z);
    EXPECT_EQ(y.kr, x.kr);
    EXPECT_EQ(y.tn, x.tn);
    EXPECT_EQ(y.tv, x.tv);
    EXPECT_EQ(y.y, x.y);
    EXPECT_EQ(y.arwu, x.arwu);
    EXPECT_EQ(y.option, x.option);
    EXPECT_EQ(y.hand, x.hand);
    EXPECT_EQ(y.output, x.output);
    EXPECT_EQ(y.metrics, x.metrics);
    EXPECT_EQ(y.bandPercent, x.bandPercent);
    ASSERT_EQ(y.events.size(), 2u);
    EXPECT_EQ(y.events[0].text, "5:z=10");
    EXPECT_EQ(y.events[1].kind, SimEvent::Kind::reset);
    // The value may itself hold '=' (an event) and may be empty only where
    // the option says so.
    EXPECT_FALSE(ParseArguments({"--ticks="}).ok());
    EXPECT_FALSE(ParseArguments({"--bw=yes"}).ok());
    EXPECT_NE(std::string(UsageText()).find("--NAME=VALUE"), std::string::npos);
}

TEST(KavlonSimErrors, NameEqualsValueRunsLikeTwoArguments)
{
    const CliResult spaced = RunSim("--plant B --ticks 40 --kr 2 --at 10:w=300");
    const CliResult joined = RunSim("--plant=B --ticks=40 --kr=2 --at=10:w=300");
    ASSERT_EQ(spaced.status, 0) << spaced.err;
    ASSERT_EQ(joined.status, 0) << joined.err;
    EXPECT_EQ(std::count(joined.out.begin(), joined.out.end(), '\n'), 41);
    EXPECT_EQ(joined.out, spaced.out);
}
