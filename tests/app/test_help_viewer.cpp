#include "app/HelpViewer.h"
#include "engine/LoopState.h"
#include "engine/Plants.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

#include <gtest/gtest.h>

using kavlon::HelpCommand;
using kavlon::HelpViewer;

namespace {

const QString RealHelpFile = QStringLiteral(KAVLON_SOURCE_HELP_DIR "/Kavlon.hlp");

class HelpViewerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        HelpViewer::Call(nullptr, QString(), HelpCommand::Quit, 0);
        ASSERT_EQ(HelpViewer::Instance(), nullptr);
    }

    static HelpViewer &Viewer()
    {
        HelpViewer *viewer = HelpViewer::Instance();
        EXPECT_NE(viewer, nullptr);
        return *viewer;
    }

    static QStringList ListedTitles()
    {
        auto *list = Viewer().findChild<QListWidget *>(QStringLiteral("TopicList"));
        QStringList titles;
        for (int i = 0; i < list->count(); ++i)
            if (!list->item(i)->isHidden())
                titles << list->item(i)->text();
        return titles;
    }

    // A small help file of our own, so that searches have known answers.
    QString WriteHelpFile(const QString &name, const QString &body)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(body.toUtf8());
        return path;
    }

    QTemporaryDir dir;
};

const QString SmallFile = QStringLiteral(
    "<html><body>\n"
    "<!-- topic 1001 -->\n<h1>Erstes &amp; Bestes</h1><p>Regelkreis mit Sollwert.</p>\n"
    "<p><a href=\"#1010\">weiter</a> <a href=\"topic:hilfe\">Hilfe</a></p>\n"
    "<!-- topic 1010 -->\n<h1>Zweites</h1><p>Der Regler und seine Totzeit.</p>\n"
    "  <!-- topic hilfe -->  \n<h1>Bedienung</h1><p>Suchen und Blättern in der Totzeit.</p>\n"
    "</body></html>\n");

} // namespace

// Every help command of the main window must land on the topic of its number.
TEST_F(HelpViewerTest, EveryContextNumberOpensItsTopic)
{
    const struct {
        int context;
        const char *title;
    } rows[] = {
        {1001, "Grundlagen des Regelkreises"},
        {1010, "Der PID-Regler"},
        {1101, "A: PT3 - Regelstrecke"},
        {1102, "B: PT3 - Regelstrecke mit Totzeit"},
        {1103, "C: Nichtlineare PT3 - Temperatur-Regelstrecke"},
        {1104, "D: PT2 - Regelstrecke"},
        {1105, "E: PT2 - Regelstrecke mit Integralglied"},
        {1106, "F: PT2 - Regelstrecke mit Totzeit und Kompensation"},
        {1107, "G: PT2 - Regelstrecke mit Totzeit und 80% Kompensation"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.context);
        ASSERT_TRUE(HelpViewer::Call(nullptr, RealHelpFile, HelpCommand::Context, row.context));
        EXPECT_EQ(Viewer().CurrentContext(), row.context);
        EXPECT_EQ(Viewer().CurrentTitle(), QString::fromUtf8(row.title));
        EXPECT_FALSE(Viewer().FinderShown());
        EXPECT_TRUE(Viewer().isVisible());
        EXPECT_TRUE(Viewer().CurrentText().startsWith(QString::fromUtf8(row.title)));
        // Each topic is a text of its own: no other topic's title heads a line.
        const QStringList lines = Viewer().CurrentText().split(QLatin1Char('\n'));
        for (const auto &other : rows) {
            if (other.context != row.context) {
                EXPECT_FALSE(lines.contains(QString::fromUtf8(other.title))) << other.title;
            }
        }
        EXPECT_FALSE(lines.contains(QStringLiteral("Hilfe zur Hilfe")));
    }
    // One viewer serves every command.
    HelpViewer *first = HelpViewer::Instance();
    HelpViewer::Call(nullptr, RealHelpFile, HelpCommand::Context, 1001);
    EXPECT_EQ(HelpViewer::Instance(), first);
}

TEST_F(HelpViewerTest, HelpOnHelpShowsTheViewersOwnTopic)
{
    ASSERT_TRUE(HelpViewer::Call(nullptr, RealHelpFile, HelpCommand::HelpOnHelp, 0));
    EXPECT_EQ(Viewer().CurrentContext(), 0);
    EXPECT_EQ(Viewer().CurrentTitle(), QStringLiteral("Hilfe zur Hilfe"));
    EXPECT_FALSE(Viewer().FinderShown());
}

TEST_F(HelpViewerTest, FinderListsEveryTopicOfTheRealFile)
{
    ASSERT_TRUE(HelpViewer::Call(nullptr, RealHelpFile, HelpCommand::Finder, 0));
    EXPECT_TRUE(Viewer().FinderShown());
    const QStringList titles = ListedTitles();
    EXPECT_EQ(titles.size(), 14);
    for (const char *title :
         {"Grundlagen des Regelkreises", "Der PID-Regler", "Messwerte speichern",
          "Auswertung: Messcursor, Kennwerte und Referenzkurve",
          "Reglereinstellung: Sprungantwort und Kennfeld",
          "Versuche: vorbereitete Aufgaben als Datei", "A: PT3 - Regelstrecke",
          "G: PT2 - Regelstrecke mit Totzeit und 80% Kompensation", "Hilfe zur Hilfe"})
        EXPECT_TRUE(titles.contains(QString::fromUtf8(title))) << title;
    EXPECT_EQ(Viewer().CurrentText(), titles.join(QLatin1Char('\n')));
}

TEST_F(HelpViewerTest, SearchFieldFiltersByTopicText)
{
    const QString file = WriteHelpFile(QStringLiteral("Klein.hlp"), SmallFile);
    HelpViewer::Call(nullptr, file, HelpCommand::Finder, 0);
    auto *search = Viewer().findChild<QLineEdit *>(QStringLiteral("SearchField"));
    ASSERT_NE(search, nullptr);

    const struct {
        const char *query;
        QStringList titles;
    } rows[] = {
        {"",
         {QStringLiteral("Erstes & Bestes"), QStringLiteral("Zweites"),
          QStringLiteral("Bedienung")}},
        {"totzeit", {QStringLiteral("Zweites"), QStringLiteral("Bedienung")}},
        {"Totzeit blättern", {QStringLiteral("Bedienung")}},
        {"  sollwert  ", {QStringLiteral("Erstes & Bestes")}},
        {"Bestes", {QStringLiteral("Erstes & Bestes")}},
        {"Wasserstand", {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.query);
        search->setText(QString::fromUtf8(row.query));
        EXPECT_EQ(ListedTitles(), row.titles);
    }

    // Enter in the search field opens the first topic still listed.
    search->setText(QStringLiteral("Regler"));
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_FALSE(Viewer().FinderShown());
    EXPECT_EQ(Viewer().CurrentContext(), 1010);
}

TEST_F(HelpViewerTest, MissingFileOrTopicShowsAGermanMessage)
{
    const struct {
        QString file;
        HelpCommand command;
        int context;
        const char *expected;
    } rows[] = {
        {QStringLiteral("Fehlt.hlp"), HelpCommand::Context, 1001,
         "Die Hilfedatei „Fehlt.hlp“ wurde nicht gefunden."},
        {QStringLiteral("/kein/Ordner/Kavlon.hlp"), HelpCommand::Finder, 0, "wurde nicht gefunden"},
        {QStringLiteral("/kein/OrdnerKavlon.hlp"), HelpCommand::HelpOnHelp, 0,
         "wurde nicht gefunden"},
        {QString(), HelpCommand::Context, 1001, "wurde nicht gefunden"},
        {RealHelpFile, HelpCommand::Context, 4711, "enthält kein Thema mit der Nummer 4711"},
        {RealHelpFile, HelpCommand::Context, -1, "enthält kein Thema mit der Nummer -1"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file.toStdString() + " " + std::to_string(row.context));
        ASSERT_TRUE(HelpViewer::Call(nullptr, row.file, row.command, row.context));
        EXPECT_EQ(Viewer().CurrentContext(), 0);
        EXPECT_FALSE(Viewer().FinderShown());
        EXPECT_TRUE(Viewer().CurrentText().contains(QString::fromUtf8(row.expected)))
            << Viewer().CurrentText().toStdString();
    }
}

TEST_F(HelpViewerTest, FileWithoutTopicsIsAMessageAndStrayBytesDoNoHarm)
{
    const QString empty =
        WriteHelpFile(QStringLiteral("Leer.hlp"), QStringLiteral("<h1>Nichts</h1>"));
    HelpViewer::Call(nullptr, empty, HelpCommand::Finder, 0);
    EXPECT_FALSE(Viewer().FinderShown());
    EXPECT_TRUE(Viewer().CurrentText().contains(QStringLiteral("enthält keine Hilfethemen")));

    // A topic without a heading is listed under its key; stray bytes do no harm.
    const QString odd = WriteHelpFile(
        QStringLiteral("Seltsam.hlp"),
        QStringLiteral("\u00ff\u0001\n<!-- topic 1001 -->\n<p>ohne \u00dcberschrift"));
    HelpViewer::Call(nullptr, odd, HelpCommand::Context, 1001);
    EXPECT_EQ(Viewer().CurrentContext(), 1001);
    EXPECT_EQ(Viewer().CurrentTitle(), QStringLiteral("1001"));
    EXPECT_EQ(Viewer().CurrentText(), QStringLiteral("ohne \u00dcberschrift"));
}

// The viewer keeps the file it read while its bytes stay the same, so every
// edit a teacher saves must show at the next help command.
TEST_F(HelpViewerTest, EveryEditOfTheFileShowsAtTheNextCommand)
{
    const QString file = WriteHelpFile(QStringLiteral("Klein.hlp"), SmallFile);
    HelpViewer::Call(nullptr, file, HelpCommand::Context, 1010);
    EXPECT_EQ(Viewer().CurrentTitle(), QStringLiteral("Zweites"));
    HelpViewer::Call(nullptr, file, HelpCommand::Context, 1010);
    EXPECT_EQ(Viewer().CurrentTitle(), QStringLiteral("Zweites"));

    QString edited = SmallFile;
    edited.replace(QStringLiteral("Zweites"), QStringLiteral("Drittes"));
    ASSERT_EQ(edited.toUtf8().size(), SmallFile.toUtf8().size());
    WriteHelpFile(QStringLiteral("Klein.hlp"), edited);
    HelpViewer::Call(nullptr, file, HelpCommand::Context, 1010);
    EXPECT_EQ(Viewer().CurrentTitle(), QStringLiteral("Drittes")) << "same size, other text";

    WriteHelpFile(QStringLiteral("Klein.hlp"), QString());
    HelpViewer::Call(nullptr, file, HelpCommand::Context, 1010);
    EXPECT_TRUE(Viewer().CurrentText().contains(QStringLiteral("enthält keine Hilfethemen")));

    ASSERT_TRUE(QFile::remove(file));
    HelpViewer::Call(nullptr, file, HelpCommand::Context, 1010);
    EXPECT_TRUE(Viewer().CurrentText().contains(QStringLiteral("wurde nicht gefunden")));
    WriteHelpFile(QStringLiteral("Klein.hlp"), QString());
    HelpViewer::Call(nullptr, file, HelpCommand::Context, 1010);
    EXPECT_TRUE(Viewer().CurrentText().contains(QStringLiteral("enthält keine Hilfethemen")))
        << "an empty file after a missing one";

    WriteHelpFile(QStringLiteral("Klein.hlp"), SmallFile);
    HelpViewer::Call(nullptr, file, HelpCommand::Context, 1010);
    EXPECT_EQ(Viewer().CurrentTitle(), QStringLiteral("Zweites"));
}

TEST_F(HelpViewerTest, NameWithoutFolderIsFoundInTheCurrentFolderFirst)
{
    WriteHelpFile(QStringLiteral("Kavlon.hlp"), SmallFile);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    HelpViewer::Call(nullptr, QStringLiteral("Kavlon.hlp"), HelpCommand::Context, 1001);
    QDir::setCurrent(before);
    EXPECT_EQ(Viewer().CurrentTitle(), QStringLiteral("Erstes & Bestes"));

    // Elsewhere the name still finds the program's own file.
    HelpViewer::Call(nullptr, QStringLiteral("Kavlon.hlp"), HelpCommand::Context, 1001);
    EXPECT_EQ(Viewer().CurrentTitle(), QStringLiteral("Grundlagen des Regelkreises"));
}

TEST_F(HelpViewerTest, LinksAndBackButtonMoveBetweenTopics)
{
    const QString file = WriteHelpFile(QStringLiteral("Klein.hlp"), SmallFile);
    HelpViewer::Call(nullptr, file, HelpCommand::Context, 1001);
    auto *browser = Viewer().findChild<QTextBrowser *>(QStringLiteral("TopicBrowser"));
    auto *back = Viewer().findChild<QPushButton *>(QStringLiteral("BackButton"));
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(back->isEnabled());

    emit browser->anchorClicked(QUrl(QStringLiteral("#1010")));
    EXPECT_EQ(Viewer().CurrentContext(), 1010);
    emit browser->anchorClicked(QUrl(QStringLiteral("topic:hilfe")));
    EXPECT_EQ(Viewer().CurrentTitle(), QStringLiteral("Bedienung"));
    emit browser->anchorClicked(QUrl(QStringLiteral("https://example.org/")));
    EXPECT_EQ(Viewer().CurrentTitle(), QStringLiteral("Bedienung"));

    ASSERT_TRUE(back->isEnabled());
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(Viewer().CurrentContext(), 1010);
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(Viewer().CurrentContext(), 1001);
    EXPECT_FALSE(back->isEnabled());
}

TEST_F(HelpViewerTest, QuitClosesTheViewerAndUnknownCommandsDoNothing)
{
    // Quit without a viewer is harmless and opens none.
    EXPECT_TRUE(HelpViewer::Call(nullptr, RealHelpFile, HelpCommand::Quit, 0));
    EXPECT_EQ(HelpViewer::Instance(), nullptr);
    // The index command 3 of other viewers is not one of ours.
    EXPECT_FALSE(HelpViewer::Call(nullptr, RealHelpFile, static_cast<HelpCommand>(3), 0));
    EXPECT_EQ(HelpViewer::Instance(), nullptr);

    HelpViewer::Call(nullptr, RealHelpFile, HelpCommand::Context, 1010);
    ASSERT_NE(HelpViewer::Instance(), nullptr);
    EXPECT_TRUE(HelpViewer::Call(nullptr, RealHelpFile, HelpCommand::Quit, 0));
    EXPECT_EQ(HelpViewer::Instance(), nullptr);

    // The viewer's own close button ends it as well; the next command opens a new one.
    HelpViewer::Call(nullptr, RealHelpFile, HelpCommand::Context, 1010);
    auto *close = Viewer().findChild<QPushButton *>(QStringLiteral("CloseButton"));
    QTest::mouseClick(close, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(HelpViewer::Instance(), nullptr);
}

// The figures the help texts teach are the engine's own: dead times and the
// static characteristic of the temperature process, measured here by running
// the engine in manual mode.
TEST_F(HelpViewerTest, HelpTextsAgreeWithTheEngine)
{
    auto run = [](int plant, kavlon::Real y, int ticks, auto &&onTick) {
        kavlon::LoopState s;
        s.PlantIndex = static_cast<std::uint8_t>(plant);
        kavlon::ResetLoopState(s, false, false, true);
        s.y = y;
        for (int t = 1; t <= ticks; ++t) {
            kavlon::SimulationStep(s);
            if (onTick(t, s))
                break;
        }
        return s;
    };
    auto topicText = [](int context) {
        HelpViewer::Call(nullptr, RealHelpFile, HelpCommand::Context, context);
        return Viewer().CurrentText().simplified();
    };

    for (const auto &[plant, context] : {std::pair{1, 1102}, {5, 1106}, {6, 1107}}) {
        SCOPED_TRACE(context);
        int firstMoving = 0;
        run(plant, 100, 100, [&](int t, const kavlon::LoopState &s) {
            firstMoving = t;
            return s.x > 0;
        });
        const int deadTime = firstMoving - 1;
        const QRegularExpression phrase(QStringLiteral("Totzeit (von )?%1 s").arg(deadTime));
        EXPECT_TRUE(topicText(context).contains(phrase)) << deadTime;
    }

    const QString plantC = topicText(1103);
    const QLocale german(QLocale::German, QLocale::Germany);
    for (int y : {0, 10, 20, 30, 50, 100}) {
        SCOPED_TRACE(y);
        const kavlon::LoopState s =
            run(2, y, 2000, [](int, const kavlon::LoopState &) { return false; });
        EXPECT_TRUE(plantC.contains(german.toString(static_cast<double>(s.x), 'f', 1)))
            << static_cast<double>(s.x);
    }
}

// A heading without text (empty, or only tags or spaces) would leave a blank
// row in the finder and a bare window title: such a topic goes by its key.
TEST_F(HelpViewerTest, TopicWithAnEmptyHeadingGoesByItsKey)
{
    const QString file =
        WriteHelpFile(QStringLiteral("Leerer-Titel.hlp"),
                      QStringLiteral("<!-- topic 1001 -->\n<h1></h1><p>erstes</p>\n"
                                     "<!-- topic 1010 -->\n<h1> <b> </b> </h1><p>zweites</p>\n"
                                     "<!-- topic 1101 -->\n<h1>Strecke</h1><p>drittes</p>\n"));
    HelpViewer::Call(nullptr, file, HelpCommand::Context, 1001);
    EXPECT_EQ(Viewer().CurrentTitle(), QStringLiteral("1001"));
    HelpViewer::Call(nullptr, file, HelpCommand::Finder, 0);
    EXPECT_EQ(ListedTitles(), (QStringList{QStringLiteral("1001"), QStringLiteral("1010"),
                                           QStringLiteral("Strecke")}));
}

// The viewer opens beside the charts when there is room, else at the left
// edge, never over the newest third of the charts when avoidable, and always
// on the screen.
TEST(HelpViewerPlacement, KeepsClearOfTheNewestDataAndStaysOnTheScreen)
{
    const QSize preferred(680, 600);
    const struct {
        const char *what;
        QRect area;
        QRect keepClear;
        QRect expected;
    } rows[] = {
        {"maximised window: left edge, ending before the newest third",
         {0, 0, 1920, 1050},
         {8, 120, 1900, 420},
         {0, 40, 680, 600}},
        {"small screen: narrower than preferred",
         {0, 0, 1024, 740},
         {8, 120, 1000, 420},
         {0, 40, 666, 600}},
        {"room beside the charts: there",
         {0, 0, 1920, 1050},
         {100, 100, 900, 400},
         {1008, 40, 680, 600}},
        {"some room beside: narrower, still readable",
         {0, 0, 1600, 900},
         {100, 100, 1000, 400},
         {1108, 40, 492, 600}},
        {"too little room beside: left edge",
         {0, 0, 1400, 900},
         {300, 100, 1000, 400},
         {0, 40, 680, 600}},
        {"tiny screen: the readable width wins",
         {0, 0, 640, 480},
         {0, 60, 630, 300},
         {0, 40, 411, 440}},
        {"no charts known: left edge", {50, 30, 1200, 800}, QRect(), {50, 70, 680, 600}},
        {"a second screen to the right",
         {1920, 0, 1280, 1024},
         {1930, 100, 1200, 500},
         {1920, 40, 680, 600}},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.what);
        const QRect placed = HelpViewer::Placement(r.area, r.keepClear, preferred);
        EXPECT_EQ(placed, r.expected);
        EXPECT_TRUE(r.area.contains(placed));
        EXPECT_GE(placed.width(), std::min(HelpViewer::MinimumWidth, r.area.width()));
        if (!r.keepClear.isEmpty() && placed.width() > HelpViewer::MinimumWidth) {
            const QRect newest(r.keepClear.right() - r.keepClear.width() / 3, r.keepClear.top(),
                               r.keepClear.width() / 3, r.keepClear.height());
            EXPECT_FALSE(placed.intersects(newest));
        }
    }
}

// Qt counts a page's height in a fixed-point type that overflows at 2^25
// pixels, so a picture sized in millions of pixels must not reach the layout.
TEST(HelpFilePictures, SizesBeyondAnyScreenAreCappedAndThePageLaysOut)
{
    struct Case {
        const char *tag;
        bool capped; // else the topic keeps its HTML as written
    };
    const Case cases[] = {
        {R"(<img src="a.png" width="9999999">)", true},
        {R"(<IMG SRC=a.png HEIGHT=123456789012 Width = '5000'>)", true},
        // Qt takes no picture size from a style: nothing to cap.
        {R"(<img src="a.png" style="width: 9999999px">)", false},
        {R"(<img src="a.png" width="640" height="4096">)", false},
        {R"(<table><tr><td><img src="missih="9.png" width="9999999">">)", true},
        // The size belongs to the first tag: its quoted value hides a ">".
        {"<img s\x01rc=\"\n<img sr-->\n<imgng\"width=\"9999999\">\">", true},
    };
    for (const Case &c : cases) {
        const QString text = QStringLiteral("<!-- topic 1 -->\n<h1>Bild</h1>\n<p>%1 danach</p>\n")
                                 .arg(QString::fromUtf8(c.tag));
        const kavlon::HelpFile file = kavlon::HelpFile::Parse(text, QStringLiteral("x.hlp"));
        ASSERT_EQ(file.Topics().size(), 1) << c.tag;
        const kavlon::HelpTopic &topic = file.Topics().front();
        EXPECT_EQ(topic.title, QStringLiteral("Bild")) << c.tag;
        EXPECT_EQ(topic.html.contains(QString::fromUtf8(c.tag)), !c.capped) << c.tag;
        QTextDocument page;
        page.setHtml(topic.html);
        page.setTextWidth(640);
        EXPECT_GT(page.size().height(), 0.0) << c.tag;
        EXPECT_LT(page.size().height(), 20000.0) << c.tag;
    }
}

// Qt lays out a nested table once more for every table around it: a damaged
// file nesting dozens of them would keep the viewer busy for hours. Such a
// page is shown as its text; real pages keep their tables.
TEST(HelpFileTables, TablesNestedBeyondUseAreShownAsText)
{
    const auto nested = [](int depth, bool closed) {
        QString html;
        for (int d = 0; d < depth; ++d)
            html += QStringLiteral("<table border=\"1\"><tr><td>Zelle %1 ").arg(d);
        if (closed)
            for (int d = 0; d < depth; ++d)
                html += QStringLiteral("</td></tr></table>");
        return html;
    };
    struct Case {
        int depth;
        bool closed; // else every tag is left open, as Qt reads a damaged file
        bool asText;
    };
    for (const Case c : {Case{1, true, false}, Case{3, true, false}, Case{4, false, false},
                         Case{5, true, true}, Case{40, false, true}, Case{400, false, true}}) {
        const QString text = QStringLiteral("<!-- topic 1 -->\n<h1>Tabelle</h1>\n%1\n")
                                 .arg(nested(c.depth, c.closed));
        const kavlon::HelpFile file = kavlon::HelpFile::Parse(text, QStringLiteral("x.hlp"));
        ASSERT_EQ(file.Topics().size(), 1) << c.depth;
        const kavlon::HelpTopic &topic = file.Topics().front();
        EXPECT_EQ(topic.title, QStringLiteral("Tabelle")) << c.depth;
        EXPECT_EQ(topic.html.contains(QLatin1String("<table")), !c.asText) << c.depth;
        QTextDocument page;
        page.setHtml(topic.html);
        page.setTextWidth(640);
        EXPECT_GT(page.size().height(), 0.0) << c.depth;
        // Every cell's text is still there.
        const QString shown = page.toPlainText();
        EXPECT_TRUE(shown.contains(QStringLiteral("Tabelle"))) << c.depth;
        for (int d = 0; d < c.depth; ++d)
            ASSERT_TRUE(shown.contains(QStringLiteral("Zelle %1 ").arg(d))) << c.depth << " " << d;
    }
}
