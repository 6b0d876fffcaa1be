// kavlon-sim --format: the German form carries the same numbers as the
// international one, says what the run was, lists the events on the tick
// they acted before, and a wrong value is refused before anything is written.
#include "cli/SimOptions.h"
#include "tests/analysis/CsvReading.h"
#include "tests/cli/CliRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using kavlon::CsvForm;
using kavlon::testing::CellNumber;
using kavlon::testing::ReadCsv;
namespace fs = std::filesystem;

namespace {

constexpr const char *Lively = "--plant F --option on --ticks 900 --at 100:z=-40 --at 250:w=437.5"
                               " --at 400:mode=hand --at 400:y=20 --at 500:mode=regler"
                               " --at 600:reset --at 700:arwu=on";

// The rows of the German table under its column names.
kavlon::testing::CsvTable GermanRows(const std::string &text, kavlon::testing::CsvTable *head)
{
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    auto table = ReadCsv(text.substr(3), ';');
    for (std::size_t i = 0; i < table.size(); ++i)
        if (!table[i].empty() && table[i][0] == "Zeit t [s]") {
            if (head)
                head->assign(table.begin(), table.begin() + static_cast<long>(i) + 1);
            return {table.begin() + static_cast<long>(i) + 1, table.end()};
        }
    ADD_FAILURE() << "no column names";
    return {};
}

} // namespace

TEST(KavlonSimFormat, GermanNumbersEqualTheInternationalOnes)
{
    const CliResult en = RunSim(Lively);
    const CliResult de = RunSim(std::string(Lively) + " --format de");
    const CliResult enNamed = RunSim(std::string(Lively) + " --format=en");
    ASSERT_EQ(en.status, 0) << en.err;
    ASSERT_EQ(de.status, 0) << de.err;
    EXPECT_EQ(enNamed.out, en.out); // en is the default
    const auto enRows = ReadCsv(en.out, ',');
    const auto deRows = GermanRows(de.out, nullptr);
    ASSERT_EQ(enRows.size(), 901U);
    ASSERT_EQ(deRows.size(), 900U);
    for (std::size_t i = 0; i < deRows.size(); ++i) {
        ASSERT_EQ(deRows[i].size(), 14U) << i;
        for (std::size_t c = 0; c < 9; ++c) {
            const auto a = CellNumber(enRows[i + 1][c], '.');
            const auto b = CellNumber(deRows[i][c], ',');
            ASSERT_TRUE(a && b) << "row " << i << " column " << c;
            ASSERT_EQ(*a, *b) << "row " << i << " column " << c;
        }
    }
}

TEST(KavlonSimFormat, GermanEventsAndFlagsFollowTheChanges)
{
    const CliResult de = RunSim(std::string(Lively) + " --format de");
    ASSERT_EQ(de.status, 0) << de.err;
    kavlon::testing::CsvTable head;
    const auto rows = GermanRows(de.out, &head);
    ASSERT_EQ(rows.size(), 900U);
    // Row k - 1 is the k-th tick of the file; t restarts after the reset.
    auto at = [&](std::size_t k) { return rows[k - 1]; };
    EXPECT_EQ(at(101)[0], "101");
    EXPECT_EQ(at(101)[13], "Z=-40");
    EXPECT_EQ(at(101)[7], "-40");
    EXPECT_EQ(at(100)[7], "0");
    EXPECT_EQ(at(251)[13], "w=437.5");
    EXPECT_EQ(at(251)[1], "437,5");
    EXPECT_EQ(at(401)[13], "Hand, y=20");
    EXPECT_EQ(at(401)[9], "1");
    EXPECT_EQ(at(501)[13], "Regler");
    EXPECT_EQ(at(501)[9], "0");
    EXPECT_EQ(at(601)[0], "1");
    EXPECT_EQ(at(601)[13], "Neustart");
    EXPECT_EQ(at(701)[13], "ARWU Ein");
    EXPECT_EQ(at(701)[10], "1");
    EXPECT_EQ(at(602)[13], "");
    EXPECT_EQ(at(1)[11], "1"); // TotK from the start

    // The text block: the plant and the start values.
    auto line = [&head](const std::string &name) {
        for (const auto &row : head)
            if (row.size() >= 2 && row[0] == name)
                return row[1];
        return std::string("(missing)");
    };
    EXPECT_EQ(line("Regelstrecke"), "F: PT2 - Regelstrecke mit Totzeit und Kompensation");
    EXPECT_EQ(line("Kr"), "4");
    EXPECT_EQ(line("Tn [s]"), "45");
    EXPECT_EQ(line("TotK"), "Ein");
    EXPECT_EQ(line("ARWU"), "Aus");
    EXPECT_EQ(line("Programm").rfind("kavlon-sim ", 0), 0U);
    EXPECT_EQ(line("Datum").size(), 19U); // dd.mm.yyyy hh:mm:ss
}

TEST(KavlonSimFormat, GermanFormGoesToTheOutputFileToo)
{
    const fs::path file = TempDir() / "messwerte_de.csv";
    const CliResult r = RunSim("--ticks 30 --kr 2.5 --format de --output " + file.string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    const std::string text = ReadAll(file);
    EXPECT_NE(text.find("\r\nKr;2,5\r\n"), std::string::npos);
    EXPECT_EQ(GermanRows(text, nullptr).size(), 30U);
}

TEST(KavlonSimFormat, AWrongFormatIsRefused)
{
    const fs::path file = TempDir() / "never_written.csv";
    fs::remove(file);
    struct Case {
        const char *args;
        const char *error;
    };
    const Case cases[] = {
        {"--format xx", "kavlon-sim: --format: 'xx' is not en or de\n"},
        {"--format DE", "kavlon-sim: --format: 'DE' is not en or de\n"},
        {"--format=", "kavlon-sim: --format: '' is not en or de\n"},
        {"--format", "kavlon-sim: --format needs a value\n"},
    };
    for (const Case &c : cases) {
        const CliResult r = RunSim("--output " + file.string() + " " + c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.err, c.error) << c.args;
        EXPECT_FALSE(fs::exists(file)) << c.args;
    }
    EXPECT_EQ(kavlon::sim::ParseArguments({"--format", "de"}).options.format, CsvForm::German);
    EXPECT_EQ(kavlon::sim::ParseArguments({}).options.format, CsvForm::International);
}

TEST(KavlonSimFormat, GermanFormNamesTheExperiment)
{
    const fs::path file = TempDir() / "titel.kversuch";
    {
        std::ofstream out(file, std::ios::binary);
        out << "[Versuch]\nTitel=St\xC3\xB6rverhalten; Teil 2\nRegelstrecke=D\n"
               "[Ablauf]\n20=Sollwert 300\n30=Stop\n";
    }
    const CliResult r = RunSim("--experiment " + file.string() + " --ticks 40 --format de");
    ASSERT_EQ(r.status, 0) << r.err;
    kavlon::testing::CsvTable head;
    const auto rows = GermanRows(r.out, &head);
    ASSERT_EQ(rows.size(), 40U);
    bool named = false;
    for (const auto &row : head)
        named =
            named
            || (row.size() == 2 && row[0] == "Versuch" && row[1] == "St\xC3\xB6rverhalten; Teil 2");
    EXPECT_TRUE(named);
    EXPECT_EQ(rows[20][13], "w=300");
    EXPECT_EQ(rows[30][13], "Stop");
}
