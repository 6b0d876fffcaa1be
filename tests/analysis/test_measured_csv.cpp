// The two forms of measured data: the German one opens in a spreadsheet set
// to ';' and ',' with the very numbers the international one carries, its
// text block and column names say what the run was, and text cells can
// neither break the table nor turn into formulas.
#include "analysis/CsvWriter.h"
#include "engine/LoopTick.h"
#include "engine/OperatorValues.h"
#include "tests/analysis/CsvReading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using kavlon::ChangeText;
using kavlon::CsvForm;
using kavlon::CsvTitle;
using kavlon::CsvWriter;
using kavlon::GermanTextCell;
using kavlon::GermanTitleBlock;
using kavlon::LoopState;
using kavlon::MeasuredRun;
using kavlon::Real;
using kavlon::testing::CellNumber;
using kavlon::testing::ReadCsv;

namespace {

// Records a lively run of plant F: steps of w and Z, a spell in manual mode,
// the switches.
MeasuredRun LivelyRun(int ticks)
{
    LoopState s;
    ResetLoopState(s, false, true, false);
    s.PlantIndex = 5;
    kavlon::ApplyOptionSwitch(s, true);
    MeasuredRun run;
    run.StartFromRest(s);
    for (int k = 0; k < ticks; ++k) {
        const LoopState before = s;
        if (k == 150)
            s.Z = 75;
        if (k == 300)
            s.w = 212.5L;
        if (k == 400) {
            s.HandMode = true;
            s.y = 12;
        }
        if (k == 480)
            s.HandMode = false;
        if (k == 520)
            s.ARWUOn = true;
        run.Note(ChangeText(before, s));
        LoopTick(s, [&run](const LoopState &t) { run.Sample(t); });
    }
    return run;
}

std::string Write(const MeasuredRun &run, CsvForm form, const CsvTitle &title = {})
{
    std::string text;
    CsvWriter csv(
        [&text](const char *data, std::size_t size) {
            text.append(data, size);
            return true;
        },
        form);
    EXPECT_TRUE(WriteMeasuredRun(run, title, csv));
    return text;
}

// The index of the German table's column-name row.
std::size_t ColumnRow(const kavlon::testing::CsvTable &table)
{
    for (std::size_t i = 0; i < table.size(); ++i)
        if (!table[i].empty() && table[i][0] == "Zeit t [s]")
            return i;
    return table.size();
}

} // namespace

TEST(MeasuredCsv, GermanNumbersReadBackAsTheInternationalOnes)
{
    const MeasuredRun run = LivelyRun(700);
    const auto en = ReadCsv(Write(run, CsvForm::International), ',');
    const std::string deText = Write(run, CsvForm::German);
    const auto de = ReadCsv(deText.substr(3), ';');
    ASSERT_EQ(en.size(), run.Size() + 1);
    const std::size_t first = ColumnRow(de) + 1;
    ASSERT_EQ(de.size(), first + run.Size());
    bool sawFraction = false;
    for (std::size_t i = 0; i < run.Size(); ++i) {
        const auto &e = en[i + 1];
        const auto &d = de[first + i];
        ASSERT_EQ(e.size(), 9U);
        ASSERT_EQ(d.size(), 14U) << "row " << i;
        for (std::size_t c = 0; c < 9; ++c) {
            const auto fromEn = CellNumber(e[c], '.');
            const auto fromDe = CellNumber(d[c], ',');
            ASSERT_TRUE(fromEn && fromDe) << "row " << i << " column " << c << ": " << d[c];
            ASSERT_EQ(*fromEn, *fromDe) << "row " << i << " column " << c;
            sawFraction = sawFraction || d[c].find(',') != std::string::npos;
        }
        // The values are the recording's own, not merely equal to each other.
        ASSERT_EQ(*CellNumber(d[2], ','), run.Row(i).x);
        ASSERT_EQ(*CellNumber(d[5], ','), run.Row(i).yi);
    }
    EXPECT_TRUE(sawFraction) << "the run should exercise the decimal comma";
}

TEST(MeasuredCsv, GermanFlagsAndEventsFollowTheRun)
{
    const MeasuredRun run = LivelyRun(600);
    const auto de = ReadCsv(Write(run, CsvForm::German).substr(3), ';');
    const std::size_t first = ColumnRow(de) + 1;
    ASSERT_LT(first, de.size());
    auto cell = [&](int t, int column) {
        return de[first + static_cast<std::size_t>(t - 1)][static_cast<std::size_t>(column)];
    };
    // Flags: Hand, ARWU, TotK, StrK in columns 9..12.
    EXPECT_EQ(cell(1, 9), "0");
    EXPECT_EQ(cell(1, 11), "1"); // TotK on from the start
    EXPECT_EQ(cell(401, 9), "1");
    EXPECT_EQ(cell(480, 9), "1");
    EXPECT_EQ(cell(481, 9), "0");
    EXPECT_EQ(cell(520, 10), "0");
    EXPECT_EQ(cell(521, 10), "1");
    EXPECT_EQ(cell(151, 13), "Z=75");
    EXPECT_EQ(cell(301, 13), "w=212.5");
    EXPECT_EQ(cell(401, 13), "y=12, Hand");
    EXPECT_EQ(cell(402, 13), "");
}

TEST(MeasuredCsv, GermanHeadIsBomTextBlockAndColumnNames)
{
    LoopState start;
    start.PlantIndex = 2;
    start.Kr = 2.5L;
    start.Tn = 30;
    start.Tv = 0.5L;
    start.StrKOn = true;
    const CsvTitle title{"Kavlon 2 2.1.0", "08.12.2026 09:15", start, "Temperatur; Teil 1"};
    MeasuredRun run;
    run.StartFromRest(start);
    const std::string text = Write(run, CsvForm::German, title);
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(text.substr(3), "Programm;Kavlon 2 2.1.0\r\n"
                              "Datum;08.12.2026 09:15\r\n"
                              "Regelstrecke;C: Nichtlineare PT3 - Temperatur-Regelstrecke\r\n"
                              "Betrieb;Regler\r\n"
                              "Kr;2,5\r\n"
                              "Tn [s];30\r\n"
                              "Tv [s];0,5\r\n"
                              "ARWU;Aus\r\n"
                              "StrK;Ein\r\n"
                              "Versuch;\"Temperatur; Teil 1\"\r\n"
                              "\r\n"
                              "Zeit t [s];Sollwert w;Istwert x;Stellgr\xC3\xB6sse y [%];"
                              "P-Anteil yp [%];I-Anteil yi [%];D-Anteil yd [%];"
                              "St\xC3\xB6rgr\xC3\xB6sse Z;Kompensationssignal;Hand;ARWU;TotK;"
                              "StrK;Ereignis\r\n");
    // No line of the block starts with '#', which a spreadsheet would show
    // but many readers skip.
    for (const auto &row : ReadCsv(text.substr(3), ';'))
        EXPECT_NE(row[0].rfind('#', 0), 0U);
}

TEST(MeasuredCsv, TitleBlockNamesEachPlantsOption)
{
    struct Case {
        int plant;
        bool hand, totK, strK;
        const char *optionLine;
        const char *modeLine;
    };
    const Case cases[] = {
        {0, false, true, true, "Option;keine\r\n", "Betrieb;Regler\r\n"},
        {2, true, false, false, "StrK;Aus\r\n", "Betrieb;Hand\r\n"},
        {5, false, true, false, "TotK;Ein\r\n", "Betrieb;Regler\r\n"},
        {6, false, false, true, "TotK;Aus\r\n", "Betrieb;Regler\r\n"},
    };
    for (const Case &c : cases) {
        CsvTitle title;
        title.Start.PlantIndex = static_cast<std::uint8_t>(c.plant);
        title.Start.HandMode = c.hand;
        title.Start.TotKOn = c.totK;
        title.Start.StrKOn = c.strK;
        const std::string block = GermanTitleBlock(title);
        EXPECT_NE(block.find(c.optionLine), std::string::npos) << c.plant << "\n" << block;
        EXPECT_NE(block.find(c.modeLine), std::string::npos) << c.plant;
        EXPECT_NE(
            block.find(std::string("Regelstrecke;") + static_cast<char>('A' + c.plant) + ": "),
            std::string::npos);
    }
}

TEST(MeasuredCsv, TextCellsStayOneCellOfText)
{
    struct Case {
        const char *text;
        const char *cell;
    };
    const Case cases[] = {
        {"", ""},
        {"Störverhalten", "Störverhalten"},
        {"a;b", "\"a;b\""},
        {"Er sagte \"los\"", "\"Er sagte \"\"los\"\"\""},
        {"zwei\nZeilen\r\nhier", "zwei Zeilen  hier"},
        {"=SUMME(A1:A9)", "'=SUMME(A1:A9)"},
        {"+1", "'+1"},
        {"-Test", "'-Test"},
        {"@x", "'@x"},
        {"=a;b", "\"'=a;b\""},
        {"w=300, Kr=2.5", "w=300, Kr=2.5"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(GermanTextCell(c.text), c.cell) << c.text;
        // Whatever it holds, it reads back as one cell in one row.
        const auto table = ReadCsv(std::string(GermanTextCell(c.text)) + ";x\r\n", ';');
        ASSERT_EQ(table.size(), 1U) << c.text;
        EXPECT_EQ(table[0].size(), 2U) << c.text;
    }
}

TEST(MeasuredCsv, AFailedWriteStaysFailed)
{
    int calls = 0;
    CsvWriter csv(
        [&calls](const char *, std::size_t) {
            ++calls;
            return false;
        },
        CsvForm::German);
    csv.Header();
    EXPECT_FALSE(csv.Flush());
    csv.Row(1, LoopState{});
    EXPECT_FALSE(csv.Flush());
    EXPECT_EQ(calls, 1); // nothing more is tried after the first failure
}

TEST(MeasuredCsv, InternationalRowsMatchTheLoopsRows)
{
    // Writing the recording gives the same bytes as writing each tick as it
    // happens, which is what kavlon-sim does.
    LoopState s;
    ResetLoopState(s, false, false, false);
    s.PlantIndex = 1;
    MeasuredRun run;
    run.StartFromRest(s);
    std::string live;
    CsvWriter direct(
        [&live](const char *data, std::size_t size) {
            live.append(data, size);
            return true;
        },
        CsvForm::International);
    direct.Header();
    for (int k = 0; k < 5000; ++k) {
        if (k == 2000)
            s.w = 125;
        LoopTick(s, [&run](const LoopState &t) { run.Sample(t); });
        direct.Row(s.TickCount, s);
    }
    ASSERT_TRUE(direct.Flush());
    EXPECT_EQ(Write(run, CsvForm::International), live);
}
