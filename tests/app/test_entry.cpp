#include "app/BevelPanel.h"
#include "app/Entry.h"
#include "app/ProgramIcon.h"
#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QTimer>

#include <gtest/gtest.h>

using kavlon::BevelPanel;
using kavlon::TEntryWindow;

namespace {

class EntryWindowTest : public ::testing::Test {
protected:
    void TearDown() override { delete splash.data(); }

    QTimer *SplashTimer() const { return splash->findChild<QTimer *>(QStringLiteral("Timer")); }

    QPointer<TEntryWindow> splash = new TEntryWindow;
};

} // namespace

TEST_F(EntryWindowTest, IsABorderlessWindowOnTopCentredAndVisibleAtOnce)
{
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(splash->isWindow());
    EXPECT_EQ(splash->size(), QSize(425, 238));
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(splash->windowTitle(), QStringLiteral("Kavlon 2"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(std::abs(splash->geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(splash->geometry().center().y() - screen.center().y()), 1);
}

TEST_F(EntryWindowTest, PanelAndItemsSitWhereTheyBelong)
{
    auto *panel = splash->findChild<BevelPanel *>(QStringLiteral("Panel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), QRect(0, 0, 425, 238));
    EXPECT_EQ(panel->InnerBevel(), BevelPanel::Bevel::Lowered);
    EXPECT_EQ(panel->BevelWidth(), 4);
    EXPECT_EQ(panel->BorderWidth(), 4);

    const struct {
        const char *name;
        QRect rect;
        const char *text;
        int pixelSize;
        bool italic;
        bool wraps;
    } rows[] = {
        {"ProductName", {12, 12, 277, 77}, "Kavlon", 64, false, false},
        {"Version", {112, 88, 161, 25}, "Version 2.1", 21, true, false},
        {"CreditsLine", {112, 120, 161, 17}, nullptr, 11, false, false},
        {"CreditsHeading", {296, 24, 113, 17}, "Autoren:", 13, false, false},
        {"CreditsTeam", {296, 48, 113, 41}, nullptr, 11, false, true},
        {"CreditsWork", {296, 96, 113, 49}, nullptr, 11, false, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        auto *label = panel->findChild<QLabel *>(QString::fromLatin1(row.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->geometry(), row.rect);
        if (row.text != nullptr) {
            EXPECT_EQ(label->text(), QString::fromUtf8(row.text));
        }
        EXPECT_FALSE(label->text().isEmpty());
        EXPECT_EQ(label->font().pixelSize(), row.pixelSize);
        EXPECT_TRUE(label->font().bold());
        EXPECT_EQ(label->font().italic(), row.italic);
        EXPECT_EQ(label->wordWrap(), row.wraps);
        // The credit texts must fit their boxes.
        if (!row.wraps) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), row.rect.width());
        } else {
            EXPECT_LE(label->heightForWidth(row.rect.width()), row.rect.height());
        }
    }

    auto *icon = panel->findChild<QLabel *>(QStringLiteral("ProgramIcon"));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->geometry(), QRect(52, 84, 53, 53));
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
    EXPECT_TRUE(icon->alignment().testFlag(Qt::AlignHCenter));
}

TEST_F(EntryWindowTest, NameIsSetInAScriptFace)
{
    auto *name = splash->findChild<QLabel *>(QStringLiteral("ProductName"));
    ASSERT_NE(name, nullptr);
    const QString family = QFontInfo(name->font()).family();
    EXPECT_TRUE(family.startsWith(QStringLiteral("Z003"))
                || family.startsWith(QStringLiteral("URW Chancery L")))
        << family.toStdString();
}

TEST_F(EntryWindowTest, TimerRunsFourSecondsThenTheWindowIsGone)
{
    QTimer *timer = SplashTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 4000);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);
    EXPECT_GT(timer->remainingTime(), 3000);

    // The operator's doings meanwhile do not matter: the timer alone decides.
    QApplication::processEvents();
    ASSERT_FALSE(splash.isNull());
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
}

namespace {
class SplashWithMainWindowTest : public kavlon::test::TempStoreTest {};
} // namespace

// Closing the real main window ends the run at once, even while the splash
// shows, and takes the splash with it.
TEST_F(SplashWithMainWindowTest, ClosingTheMainWindowEarlierEndsEverything)
{
    kavlon::TKavlonMain &mainWindow = Window();
    QPointer<TEntryWindow> splash = new TEntryWindow;
    auto *timer = splash->findChild<QTimer *>(QStringLiteral("Timer"));
    bool splashTimedOut = false;
    QObject::connect(timer, &QTimer::timeout, [&] { splashTimedOut = true; });
    mainWindow.show();
    QTimer::singleShot(0, &mainWindow, &QWidget::close);
    // Should the splash hold the run open, this ends it after the splash is gone.
    QTimer::singleShot(10000, qApp, &QCoreApplication::quit);
    QApplication::exec();
    EXPECT_FALSE(splashTimedOut);
    EXPECT_FALSE(mainWindow.isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
    delete splash.data();
}

// The icon is a real picture at every size: transparent outside the rounded
// tile, and the loop's colours (controller, plant, response) all present.
TEST(ProgramIcon, IsARealPictureAtEverySize)
{
    for (int size : {16, 32, 48, 256}) {
        SCOPED_TRACE(size);
        const QImage image = kavlon::ProgramIconImage(size);
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
        int orange = 0, green = 0, red = 0;
        QSet<QRgb> colours;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QColor c = QColor::fromRgba(image.pixel(x, y));
                colours.insert(c.rgba());
                if (c.alpha() < 255)
                    continue;
                orange += c.red() > 200 && c.green() > 120 && c.green() < 190 && c.blue() < 90;
                green += c.green() > 130 && c.red() < 100 && c.blue() < 120;
                red += c.red() > 150 && c.green() < 130 && c.blue() < 130;
            }
        EXPECT_GT(colours.size(), 8);
        EXPECT_GT(orange, size * size / 100);
        EXPECT_GT(green, size * size / 100);
        EXPECT_GT(red, size * size / 200);
    }
    const QList<QSize> sizes = kavlon::ProgramIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
}
