#include "experiment/ExperimentFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kavlon;
using K = ScheduledEvent::Kind;

namespace {

// The example a teacher starts from: every key once, a task over three
// lines with a comment and a blank line, three kinds of change.
const char *const FullFile = "; Unterricht 10b\n"
                             "[Versuch]\n"
                             "Titel=Störverhalten der Strecke F\n"
                             "Aufgabe=Starten Sie den Versuch.\n"
                             "  Beobachten Sie x; notieren Sie die Zeit.\n"
                             "\n"
                             " Vergleichen Sie mit\\nund ohne TotK.\n"
                             "Regelstrecke=F\n"
                             "Betrieb=Regler            ; oder Hand\n"
                             "Sollwert=500\n"
                             "Stoergroesse=0\n"
                             "Kr=1\n"
                             "Tn=10\n"
                             "Tv=0.5\n"
                             "ARWU=Aus\n"
                             "Option=Ein\n"
                             "Zeitachse=300\n"
                             "Rechengeschwindigkeit=20\n"
                             "[Ablauf]\n"
                             "300=Option Aus\n"
                             "120=Stoergroesse 100\n"
                             "420=Sollwert 300, Kr 2.5\n"
                             "600=Stop\n";

struct Expected {
    int tick;
    K kind;
    Real value;
    bool on;
};

void ExpectEvents(const EventSchedule &events, const std::vector<Expected> &expected)
{
    ASSERT_EQ(events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(events[i].text);
        EXPECT_EQ(events[i].tick, expected[i].tick);
        EXPECT_EQ(events[i].kind, expected[i].kind);
        EXPECT_EQ(events[i].value, expected[i].value);
        EXPECT_EQ(events[i].on, expected[i].on);
    }
}

} // namespace

TEST(ExperimentFile, ReadsEveryKeyOfAFullFile)
{
    const ExperimentReadResult r = ReadExperiment(FullFile);
    ASSERT_TRUE(r.ok()) << r.error;
    const Experiment &x = r.experiment;
    EXPECT_EQ(x.title, "Störverhalten der Strecke F");
    EXPECT_EQ(x.task, "Starten Sie den Versuch.\nBeobachten Sie x; notieren Sie die Zeit.\n\n"
                      "Vergleichen Sie mit\nund ohne TotK.");
    const ExperimentSettings &s = x.settings;
    EXPECT_EQ(s.plant, 5);
    EXPECT_EQ(s.hand, false);
    EXPECT_EQ(s.w, Real{500});
    EXPECT_EQ(s.z, Real{0});
    EXPECT_EQ(s.kr, Real{1});
    EXPECT_EQ(s.tn, Real{10});
    EXPECT_EQ(s.tv, 0.5L);
    EXPECT_FALSE(s.y);
    EXPECT_EQ(s.arwu, false);
    EXPECT_EQ(s.option, true);
    EXPECT_EQ(s.timeAxis, 300);
    EXPECT_EQ(s.speed, 20);
    // In time order, and the two changes of second 420 in the order written.
    ExpectEvents(x.events, {{120, K::z, 100, false},
                            {300, K::option, 0, false},
                            {420, K::w, 300, false},
                            {420, K::kr, 2.5L, false},
                            {600, K::stop, 0, false}});
    EXPECT_EQ(x.events[2].text, "420=Sollwert 300");
    EXPECT_EQ(LastEventTick(x.events), 600);
}

TEST(ExperimentFile, ReadsTheExampleTeachersAreShown)
{
    // Stellgroesse stands there in controller mode: kept, used only in
    // manual mode.
    const char *example =
        "[Versuch]\n"
        "Titel=Störverhalten der Strecke F mit und ohne Totzeitkompensation\n"
        "Aufgabe=Starten Sie ... (multi-line text: continuation lines start with a space, or "
        "use \\n)\n"
        "Regelstrecke=F\n"
        "Betrieb=Regler            ; or Hand\n"
        "Sollwert=500\n"
        "Stoergroesse=0\n"
        "Kr=1\n"
        "Tn=10\n"
        "Tv=0\n"
        "Stellgroesse=0            ; manual mode only\n"
        "ARWU=Aus\n"
        "Option=Ein\n"
        "Zeitachse=300\n"
        "Rechengeschwindigkeit=20\n"
        "[Ablauf]\n"
        "120=Stoergroesse 100\n"
        "300=Option Aus\n"
        "420=Sollwert 300\n"
        "600=Stop\n";
    const ExperimentReadResult r = ReadExperiment(example);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.experiment.settings.y, Real{0});
    EXPECT_EQ(r.experiment.settings.hand, false);
    EXPECT_EQ(r.experiment.task, "Starten Sie ... (multi-line text: continuation lines start with "
                                 "a space, or use\n)");
    EXPECT_EQ(r.experiment.events.size(), 4u);
    EXPECT_EQ(LastEventTick(r.experiment.events), 600);
}

TEST(ExperimentFile, AbsentKeysStayEmpty)
{
    for (const char *text : {"", "\n\n", "[Versuch]\n", "[Ablauf]\n", "; nur ein Kommentar\n",
                             "\xEF\xBB\xBF[Versuch]\r\n\r\n[Ablauf]\r\n"}) {
        const ExperimentReadResult r = ReadExperiment(text);
        ASSERT_TRUE(r.ok()) << text << ": " << r.error;
        EXPECT_EQ(r.experiment.settings, ExperimentSettings{});
        EXPECT_TRUE(r.experiment.events.empty());
        EXPECT_EQ(r.experiment.title, "");
        EXPECT_EQ(LastEventTick(r.experiment.events), 0);
    }
}

TEST(ExperimentFile, ReadsTheVariantsATeacherWrites)
{
    struct Row {
        const char *text;
        bool (*holds)(const Experiment &);
    };
    const Row rows[] = {
        // Keys, sections and words in any letter case; umlauts in two keys.
        {"[versuch]\nREGELSTRECKE=c\nbetrieb=hand\nstellgröße=40\n",
         [](const Experiment &x) {
             return x.settings.plant == 2 && x.settings.hand == true && x.settings.y == Real{40};
         }},
        {"[Versuch]\nStörgröße=-200\nARWU=ein\n",
         [](const Experiment &x) { return x.settings.z == Real{-200} && x.settings.arwu == true; }},
        // Blanks around '=' and a Windows line end.
        {"[Versuch]\r\n  Kr = 100 \r\nTn=0\r\n",
         [](const Experiment &x) {
             return x.settings.kr == Real{100} && x.settings.tn == Real{0};
         }},
        // The limits of every range are inside.
        {"[Versuch]\nSollwert=800\nTv=100\nRechengeschwindigkeit=1\nZeitachse=180\n",
         [](const Experiment &x) {
             return x.settings.w == Real{800} && x.settings.tv == Real{100} && x.settings.speed == 1
                    && x.settings.timeAxis == 180;
         }},
        // Manual mode switched on by an event before y is set.
        {"[Ablauf]\n0=Betrieb Hand\n10=Stellgroesse 55\n20=Betrieb Regler\n",
         [](const Experiment &x) { return x.events.size() == 3 && x.events[1].value == 55; }},
        // An indented key after another key is still a key, not task text.
        {"[Versuch]\nTitel=T\n  Kr=2\n",
         [](const Experiment &x) { return x.settings.kr == Real{2} && x.task.empty(); }},
        // Task lines end at the next unindented line; a doubled backslash is one.
        {"[Versuch]\nAufgabe=a\\\\b\n c\nKr=3\n",
         [](const Experiment &x) { return x.task == "a\\b\nc" && x.settings.kr == Real{3}; }},
        // A semicolon in the title and task is text, not a comment.
        {"[Versuch]\nTitel=A; B\nAufgabe=C; D\n",
         [](const Experiment &x) { return x.title == "A; B" && x.task == "C; D"; }},
        // Second 0 acts before the first tick; the last allowed second.
        {"[Ablauf]\n0=Sollwert 0\n10000000=Stop\n",
         [](const Experiment &x) { return LastEventTick(x.events) == 10'000'000; }},
    };
    for (const Row &row : rows) {
        const ExperimentReadResult r = ReadExperiment(row.text);
        ASSERT_TRUE(r.ok()) << row.text << ": " << r.error;
        EXPECT_TRUE(row.holds(r.experiment)) << row.text;
    }
}

TEST(ExperimentFile, RefusesABadFileAsAWholeNamingTheLine)
{
    struct Row {
        const char *text;
        int line;
        const char *says; // part of the message
    };
    const Row rows[] = {
        {"[Versuch]\nFarbe=rot\n", 2, "unbekannter Schlüssel „Farbe“"},
        {"[Versuch]\nStop=1\n", 2, "unbekannter Schlüssel"},
        {"[Versuch]\nKr=1\nkr=2\n", 3, "Kr steht schon in Zeile 2"},
        {"[Versuch]\nStoergroesse=1\nStörgröße=2\n", 3, "Stoergroesse steht schon in Zeile 2"},
        {"[Versuch]\nKr=100.1\n", 2, "Kr „100.1“ liegt außerhalb von 0 bis 100"},
        {"[Versuch]\nSollwert=-1\n", 2, "außerhalb von 0 bis 800"},
        {"[Versuch]\nStoergroesse=201\n", 2, "außerhalb von -200 bis 200"},
        {"[Versuch]\nTn=200.5\n", 2, "außerhalb von 0 bis 200"},
        {"[Versuch]\nKr=1,5\n", 2, "keine Zahl"},
        {"[Versuch]\nKr=nan\n", 2, "keine Zahl"},
        {"[Versuch]\nKr=inf\n", 2, "keine Zahl"},
        {"[Versuch]\nKr=\n", 2, "keine Zahl"},
        {"[Versuch]\nRegelstrecke=H\n", 2, "Regelstrecke „H“ gibt es nicht"},
        {"[Versuch]\nRegelstrecke=AB\n", 2, "gibt es nicht"},
        {"[Versuch]\nBetrieb=Automatik\n", 2, "erlaubt sind Hand und Regler"},
        {"[Versuch]\nOption=ja\n", 2, "erlaubt sind Ein und Aus"},
        {"[Versuch]\nZeitachse=200\n", 2, "erlaubt sind 180, 300 und 600"},
        {"[Versuch]\nRechengeschwindigkeit=0\n", 2, "ganze Zahl von 1 bis 100"},
        {"[Versuch]\nRechengeschwindigkeit=101\n", 2, "ganze Zahl von 1 bis 100"},
        {"[Versuch]\nRechengeschwindigkeit=2.5\n", 2, "ganze Zahl von 1 bis 100"},
        {"Kr=1\n", 1, "vor dem ersten Abschnitt"},
        {"[Versuch]\nKr 1\n", 2, "keine Zeile der Form Schlüssel=Wert"},
        {"[Versuch\n", 1, "keine Abschnittszeile"},
        {"[Optionen]\n", 1, "unbekannter Abschnitt „[Optionen]“"},
        {"[Versuch]\n[Ablauf]\n[Versuch]\n", 3, "gibt es schon in Zeile 1"},
        {"[Ablauf]\n-5=Stop\n", 2, "keine ganze Zahl von Sekunden"},
        {"[Ablauf]\n1.5=Stop\n", 2, "keine ganze Zahl von Sekunden"},
        {"[Ablauf]\n10000001=Stop\n", 2, "von 0 bis 10000000"},
        {"[Ablauf]\nx=Stop\n", 2, "keine ganze Zahl"},
        {"[Ablauf]\n10=Stop\n10=Kr 1\n", 3, "Sekunde 10 steht schon in Zeile 2"},
        {"[Ablauf]\n10=Stop\n010=Kr 1\n", 3, "Sekunde 10 steht schon"},
        {"[Ablauf]\n10=Sollwert 900\n", 2, "außerhalb von 0 bis 800"},
        {"[Ablauf]\n10=Farbe rot\n", 2, "„Farbe rot“ ist kein Ereignis"},
        {"[Ablauf]\n10=\n", 2, "ist kein Ereignis"},
        {"[Ablauf]\n10=Kr 1,\n", 2, "ist kein Ereignis"},
        {"[Ablauf]\n10=Stop jetzt\n", 2, "Stop hat keinen Wert"},
        {"[Ablauf]\n10=Titel x\n", 2, "ist kein Ereignis"},
        {"[Ablauf]\n10=ARWU vielleicht\n", 2, "erlaubt sind Ein und Aus"},
        {"[Ablauf]\n5=Kr 1\n10=Stellgroesse 50\n", 3, "nur im Betrieb Hand"},
        // The mode switches back before the second change of y.
        {"[Versuch]\nBetrieb=Hand\n[Ablauf]\n5=Stellgroesse 5\n8=Betrieb Regler\n9=Stellgroesse "
         "6\n",
         6, "nur im Betrieb Hand"},
        {"[Versuch]\nTitel=ok\nKr=\xFF\n", 3, "kein UTF-8-Text"},
        {"[Versuch]\nTitel=\xC3\x28\n", 2, "kein UTF-8-Text"},
        {"[Versuch]\nTitel=\xED\xA0\x80\n", 2, "kein UTF-8-Text"}, // a surrogate
        {"[Versuch]\nTitel=\xF0\x9F\x98\n", 2, "kein UTF-8-Text"}, // cut short
        {"[Versuch]\nTitel=\xC0\xAF\n", 2, "kein UTF-8-Text"},     // overlong
        {"[Versuch]\nTitel=a\x01z\n", 2, "Steuerzeichen"},
        {"[Versuch]\nAufgabe=a\n b\x7F\n", 3, "Steuerzeichen"},
    };
    for (const Row &row : rows) {
        const ExperimentReadResult r = ReadExperiment(row.text);
        EXPECT_FALSE(r.ok()) << row.text;
        EXPECT_EQ(r.line, row.line) << row.text << ": " << r.error;
        EXPECT_EQ(r.error.rfind("Zeile " + std::to_string(row.line) + ": ", 0), 0u) << r.error;
        EXPECT_NE(r.error.find(row.says), std::string::npos) << row.text << ": " << r.error;
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << r.error;
        // Nothing of a refused file is handed on.
        EXPECT_EQ(r.experiment.settings, ExperimentSettings{});
        EXPECT_TRUE(r.experiment.events.empty());
        EXPECT_TRUE(r.experiment.title.empty());
    }
}

TEST(ExperimentFile, NulBytesAndOversizedFilesAreRefused)
{
    const std::string withNul("[Versuch]\nTitel=a\0b\n", 20);
    const ExperimentReadResult nul = ReadExperiment(withNul);
    EXPECT_EQ(nul.line, 2);
    EXPECT_NE(nul.error.find("Steuerzeichen"), std::string::npos);

    std::string big = "[Versuch]\nAufgabe=x\n";
    big.append(MaxExperimentFileBytes, 'x');
    const ExperimentReadResult huge = ReadExperiment(big);
    EXPECT_FALSE(huge.ok());
    EXPECT_EQ(huge.line, 0);
}

TEST(ExperimentFile, AQuotedValueInAMessageIsCut)
{
    const std::string longName(500, 'k');
    const ExperimentReadResult r = ReadExperiment("[Versuch]\n" + longName + "=1\n");
    ASSERT_FALSE(r.ok());
    EXPECT_LT(r.error.size(), 120u);
    EXPECT_NE(r.error.find("…"), std::string::npos);
}

TEST(ExperimentFile, WritingAndReadingBackGivesTheSameExperiment)
{
    const ExperimentReadResult first = ReadExperiment(FullFile);
    ASSERT_TRUE(first.ok());
    Experiment x = first.experiment;
    x.task += "\nEin Pfad: C:\\Kavlon\\n \\\\ Ende";
    x.settings.hand = true;
    x.settings.y = 12.25L;
    x.settings.kr = 0.1L; // not exact in binary: written as the shortest text
    const std::string text = WriteExperiment(x);
    const ExperimentReadResult again = ReadExperiment(text);
    ASSERT_TRUE(again.ok()) << again.error << "\n" << text;
    EXPECT_EQ(again.experiment.title, x.title);
    EXPECT_EQ(again.experiment.task, x.task);
    EXPECT_EQ(again.experiment.settings, x.settings);
    ASSERT_EQ(again.experiment.events.size(), x.events.size());
    for (std::size_t i = 0; i < x.events.size(); ++i) {
        EXPECT_EQ(again.experiment.events[i].tick, x.events[i].tick);
        EXPECT_EQ(again.experiment.events[i].kind, x.events[i].kind);
        EXPECT_EQ(again.experiment.events[i].value, x.events[i].value);
        EXPECT_EQ(again.experiment.events[i].on, x.events[i].on);
    }
    // The same text again: the writer is a fixed point of reading.
    EXPECT_EQ(WriteExperiment(again.experiment), text);
    // Two changes of one second share a line.
    EXPECT_NE(text.find("\n420=Sollwert 300, Kr 2.5\n"), std::string::npos) << text;
}

TEST(ExperimentFile, WritesOnlyTheSettingsPresent)
{
    Experiment x;
    x.settings.plant = 1;
    const std::string text = WriteExperiment(x);
    EXPECT_NE(text.find("Regelstrecke=B\n"), std::string::npos);
    EXPECT_EQ(text.find("Sollwert"), std::string::npos);
    const ExperimentReadResult r = ReadExperiment(text);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.experiment.settings, x.settings);
}

TEST(ExperimentFile, MarkTexts)
{
    const ExperimentReadResult r = ReadExperiment("[Ablauf]\n1=Sollwert 300, Stoergroesse -50, Kr "
                                                  "1.5, Tn 10, Tv 0, Stop, ARWU Ein\n");
    ASSERT_TRUE(r.ok()) << r.error;
    std::vector<std::string> marks;
    for (const ScheduledEvent &e : r.experiment.events)
        marks.push_back(EventMarkText(e));
    EXPECT_EQ(marks,
              (std::vector<std::string>{"w=300", "Z=-50", "Kr=1.5", "Tn=10", "Tv=0", "Stop", ""}));
}

TEST(ExperimentFile, AMissingFileIsAMessage)
{
    const ExperimentReadResult r = ReadExperimentFile("/nonexistent/folder/a.kversuch");
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find("lässt sich nicht lesen"), std::string::npos);
}

TEST(ExperimentFile, ANumberAtTheVeryEndOfTheBufferIsReadWithinIt)
{
    // No NUL after the last byte: the number's reader must stay inside the
    // buffer (the sanitizer build catches a read past it), and a view that
    // ends inside a longer number reads only what it holds.
    const std::string text = "[Versuch]\nKr=1.5";
    const std::vector<char> exact(text.begin(), text.end());
    const ExperimentReadResult r = ReadExperiment(std::string_view(exact.data(), exact.size()));
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.experiment.settings.kr, 1.5L);

    const std::string longer = "[Versuch]\nKr=1.57";
    const ExperimentReadResult cut =
        ReadExperiment(std::string_view(longer.data(), longer.size() - 1));
    ASSERT_TRUE(cut.ok()) << cut.error;
    EXPECT_EQ(cut.experiment.settings.kr, 1.5L);
}
