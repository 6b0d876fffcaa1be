#include "app/About.h"
#include "app/BevelPanel.h"
#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using kavlon::BevelPanel;
using kavlon::FormatKilobytes;
using kavlon::MemoryStatus;
using kavlon::TAboutBox;

namespace {

constexpr std::uint64_t GiB = 1024ull * 1024ull * 1024ull;

QString Grouped(const QLocale &locale, std::initializer_list<const char *> groups)
{
    QStringList parts;
    for (const char *group : groups)
        parts << QString::fromLatin1(group);
    return parts.join(locale.groupSeparator()) + QStringLiteral(" KB");
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    template <typename T> static T *Item(QWidget &box, const char *name)
    {
        T *item = box.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(item, nullptr) << name;
        return item;
    }
};

} // namespace

TEST(FormatKilobytes, RoundsToWholeKilobytesAndGroupsDigits)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale french(QLocale::French, QLocale::France);
    const struct {
        std::uint64_t bytes;
        QLocale locale;
        QString expected;
    } rows[] = {
        {0, german, QStringLiteral("0 KB")},
        {511, german, QStringLiteral("0 KB")},
        {512, german, QStringLiteral("0 KB")},  // half a kilobyte: to the even 0
        {1536, german, QStringLiteral("2 KB")}, // 1.5 → 2
        {2560, german, QStringLiteral("2 KB")}, // 2.5 → 2
        {3584, german, QStringLiteral("4 KB")}, // 3.5 → 4
        {1023 * 1024, german, QStringLiteral("1.023 KB")},
        {999 * 1024, german, QStringLiteral("999 KB")},
        {16 * GiB, german, QStringLiteral("16.777.216 KB")},
        {16 * GiB, english, QStringLiteral("16,777,216 KB")},
        {16 * GiB, QLocale::c(), QStringLiteral("16,777,216 KB")},
        {16 * GiB, french, Grouped(french, {"16", "777", "216"})},
        // Beyond 4 GiB a 32-bit count would have wrapped around.
        {6 * GiB + 512, german, QStringLiteral("6.291.456 KB")},
        {std::numeric_limits<std::uint64_t>::max(), german,
         QStringLiteral("18.014.398.509.481.984 KB")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(FormatKilobytes(row.bytes, row.locale), row.expected);
    }
}

TEST(QueryMemoryStatus, AgreesWithTheKernelsOwnFigures)
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no /proc/meminfo";
    const QString text = QString::fromLatin1(meminfo.readAll());
    const QRegularExpressionMatch total =
        QRegularExpression(QStringLiteral("MemTotal:\\s+(\\d+) kB")).match(text);
    ASSERT_TRUE(total.hasMatch());

    const MemoryStatus status = kavlon::QueryMemoryStatus();
    EXPECT_EQ(status.totalBytes / 1024, total.captured(1).toULongLong());
    EXPECT_GT(status.availableBytes, 0u);
    EXPECT_LE(status.availableBytes, status.totalBytes);
}

TEST_F(AboutBoxTest, DialogFrameAndItems)
{
    TAboutBox box(nullptr, [] { return MemoryStatus{16 * GiB, 5 * GiB}; });
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(box.size(), QSize(466, 298));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_TRUE(box.isModal());
    const Qt::WindowFlags flags = box.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(TAboutBox::Current(), &box);

    auto *panel = Item<BevelPanel>(box, "Panel");
    auto *memory = Item<BevelPanel>(box, "MemoryPanel");
    ASSERT_TRUE(panel && memory);
    EXPECT_EQ(panel->geometry(), QRect(8, 8, 449, 233));
    EXPECT_EQ(panel->OuterBevel(), BevelPanel::Bevel::Lowered);
    EXPECT_EQ(memory->geometry(), QRect(8, 248, 281, 41));
    EXPECT_EQ(memory->OuterBevel(), BevelPanel::Bevel::Lowered);

    const struct {
        QWidget *holder;
        const char *name;
        QRect rect;
        const char *text;
        int pixelSize;
    } rows[] = {
        {panel, "ProductName", {8, 8, 265, 85}, "Kavlon", 64},
        {panel, "Version", {24, 88, 249, 25}, "Version 2.1", 21},
        {panel, "CreditsHeading", {280, 8, 161, 17}, "Autoren:", 13},
        {panel, "CreditsTeam", {280, 32, 161, 57}, nullptr, 11},
        {panel, "CreditsWork", {280, 96, 121, 72}, nullptr, 11},
        {panel, "CreditsLine", {32, 128, 241, 16}, nullptr, 13},
        {memory, "PhysMemLabel", {8, 4, 182, 16}, "Gesamter physikalischer Speicher", 11},
        {memory, "PhysMem", {190, 4, 83, 16}, "16.777.216 KB", 11},
        {memory, "FreeResLabel", {8, 20, 182, 16}, "Freier Speicher", 11},
        {memory, "FreeRes", {190, 20, 83, 16}, "5.242.880 KB", 11},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        auto *label = row.holder->findChild<QLabel *>(QString::fromLatin1(row.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->geometry(), row.rect);
        if (row.text != nullptr) {
            EXPECT_EQ(label->text(), QString::fromUtf8(row.text));
        }
        EXPECT_FALSE(label->text().isEmpty());
        EXPECT_EQ(label->font().pixelSize(), row.pixelSize);
        EXPECT_TRUE(label->font().bold());
        if (label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(row.rect.width()), row.rect.height());
        } else {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), row.rect.width());
        }
    }
    EXPECT_TRUE(Item<QLabel>(box, "PhysMem")->alignment().testFlag(Qt::AlignRight));
    EXPECT_TRUE(Item<QLabel>(box, "FreeRes")->alignment().testFlag(Qt::AlignRight));

    auto *icon = Item<QLabel>(box, "ProgramIcon");
    EXPECT_EQ(icon->geometry(), QRect(28, 92, 53, 53));
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));

    auto *ok = Item<QPushButton>(box, "OKButton");
    EXPECT_EQ(ok->geometry(), QRect(383, 257, 75, 33));
    EXPECT_EQ(ok->text(), QStringLiteral("&OK"));
    EXPECT_TRUE(ok->isDefault());
}

TEST_F(AboutBoxTest, FiguresAreThoseOfTheStartEvenWhenShownLater)
{
    int queries = 0;
    std::uint64_t total = 8 * GiB;
    TAboutBox box(nullptr, [&] {
        ++queries;
        return MemoryStatus{total, total / 2};
    });
    EXPECT_EQ(queries, 1);
    total = 2 * GiB; // the machine's memory changes meanwhile
    auto *ok = Item<QPushButton>(box, "OKButton");
    for (int showing = 0; showing < 3; ++showing) {
        QTimer::singleShot(0, ok, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
        EXPECT_EQ(box.exec(), QDialog::Accepted);
    }
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(Item<QLabel>(box, "PhysMem")->text(), QStringLiteral("8.388.608 KB"));
    EXPECT_EQ(Item<QLabel>(box, "FreeRes")->text(), QStringLiteral("4.194.304 KB"));
}

// A dialog that shows only OK closes as OK however the operator dismisses it:
// with OK, Enter, Escape or the window system's close command.
TEST_F(AboutBoxTest, OkEnterEscapeAndCloseAllEndTheDialogAsOk)
{
    TAboutBox box(nullptr, [] { return MemoryStatus{GiB, GiB / 4}; });
    const std::function<void()> ways[] = {
        [&] { QTest::mouseClick(Item<QPushButton>(box, "OKButton"), Qt::LeftButton); },
        [&] { QTest::keyClick(&box, Qt::Key_Return); },
        [&] { QTest::keyClick(&box, Qt::Key_Escape); },
        [&] { box.close(); },
    };
    for (const auto &dismiss : ways) {
        bool wasOpen = false;
        QTimer::singleShot(0, &box, [&] {
            wasOpen = box.isVisible();
            dismiss();
        });
        EXPECT_EQ(box.exec(), QDialog::Accepted);
        EXPECT_TRUE(wasOpen);
        EXPECT_FALSE(box.isVisible());
    }
}

TEST_F(AboutBoxTest, CurrentIsClearedWhenTheDialogGoes)
{
    {
        TAboutBox box(nullptr, [] { return MemoryStatus{}; });
        EXPECT_EQ(TAboutBox::Current(), &box);
        EXPECT_EQ(Item<QLabel>(box, "PhysMem")->text(), QStringLiteral("0 KB"));
    }
    EXPECT_EQ(TAboutBox::Current(), nullptr);
}

namespace {
class AboutCommandTest : public kavlon::test::TempStoreTest {};
} // namespace

// "Ueber Kavlon 2" shows the dialog made at start, modally, and returns when
// the operator presses OK; without a dialog the command does nothing.
TEST_F(AboutCommandTest, MenuItemShowsTheStartDialogModally)
{
    kavlon::TKavlonMain &win = Window();
    auto *about = win.findChild<QAction *>(QStringLiteral("AboutIt"));
    ASSERT_NE(about, nullptr);
    ASSERT_EQ(TAboutBox::Current(), nullptr);
    about->trigger();

    TAboutBox box(nullptr, [] { return MemoryStatus{16 * GiB, 5 * GiB}; });
    QWidget *modal = nullptr;
    QString shownFigure;
    QTimer::singleShot(0, &box, [&] {
        modal = QApplication::activeModalWidget();
        shownFigure = box.findChild<QLabel *>(QStringLiteral("PhysMem"))->text();
        QTest::mouseClick(box.findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
    });
    about->trigger();
    EXPECT_EQ(modal, &box);
    EXPECT_EQ(shownFigure, FormatKilobytes(16 * GiB));
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

// Minimised or hidden by a window manager while it blocks the program, the
// dialog comes back in front when the main window is activated (clicked).
TEST_F(AboutCommandTest, AHiddenDialogComesBackWhenTheMainWindowIsActivated)
{
    kavlon::TKavlonMain &win = Window();
    win.show();
    win.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&win));
    TAboutBox box(nullptr, [] { return MemoryStatus{GiB, GiB}; });
    auto *about = win.findChild<QAction *>(QStringLiteral("AboutIt"));

    bool minimisedMeanwhile = false;
    bool backInFront = false;
    bool blockedMain = false;
    QTimer::singleShot(0, &box, [&] {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
        EXPECT_EQ(box.windowHandle()->transientParent(), win.windowHandle());
        box.showMinimized();
        QCoreApplication::processEvents();
        minimisedMeanwhile = box.isMinimized();
        // What a click on the main window does: the window manager activates it.
        win.activateWindow();
        backInFront = QTest::qWaitFor([&] { return box.isActiveWindow() && !box.isMinimized(); });
        blockedMain = QApplication::activeModalWidget() == &box;
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    about->trigger();
    EXPECT_TRUE(minimisedMeanwhile);
    EXPECT_TRUE(backInFront);
    EXPECT_TRUE(blockedMain);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);

    // Closed, the dialog no longer claims the keyboard.
    win.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&win));
    EXPECT_FALSE(box.isVisible());
}
