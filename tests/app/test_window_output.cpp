#include "tests/app/AppTestSupport.h"

#include "output/ExportInputs.h"
#include "output/ExportTargets.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QTimer>

namespace kavlon::test {
namespace {

using OutputTest = TempStoreTest;

// The clipboard picture of the window must be the export of what the loop
// state says: titles, read-outs and the option line taken from the window's
// controls agree with the values behind them.
TEST_F(OutputTest, CopyPutsTheExportOfTheCurrentStateOnTheClipboard)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    struct Step {
        const char *plantItem;
        const char *extra; // a control to click before the copy, or null
    } steps[] = {{"PT2TotzeitKomp", nullptr},
                 {"PT3Temperatur", "HandButton"},
                 {"PT2Totzeit80Komp", "ExportColor"},
                 {"PT3Prozess", "ReglerButton"}};
    for (const Step &step : steps) {
        SCOPED_TRACE(step.plantItem);
        Item(step.plantItem)->trigger();
        if (step.extra) {
            if (QAction *a = win.findChild<QAction *>(QString::fromLatin1(step.extra)))
                a->trigger();
            else
                QTest::mouseClick(Get<QWidget>(step.extra), Qt::LeftButton);
        }
        Spin("VorhaltezeitUpDown", SpinDirection::Right, 3);
        Item("StartStop")->trigger();
        for (int i = 0; i < 80; ++i)
            win.ActionOnTimer();
        const QImage regler = win.Charts().ReglerImage();

        QGuiApplication::clipboard()->clear();
        Item("Copy")->trigger();
        const QImage copied = QGuiApplication::clipboard()->image();
        ASSERT_EQ(copied.size(), QSize(950, 1425));
        const QImage expected = RenderClipboardPicture(ExportInputsFromState(
            win.Loop(), win.Charts(), win.PrintInColor(), QLocale().decimalPoint()));
        EXPECT_TRUE(copied.convertToFormat(QImage::Format_RGB32)
                    == expected.convertToFormat(QImage::Format_RGB32));
        // The copy leaves the live charts and the run alone.
        EXPECT_TRUE(win.Running());
        EXPECT_TRUE(win.Charts().ReglerImage() == regler);
        Item("StartStop")->trigger();
    }
}

TEST_F(OutputTest, CancelledPrintDialogPrintsNothingAndKeepsTheLoopRunning)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    Item("StartStop")->trigger();
    bool sawDialog = false;
    QTimer::singleShot(0, [&sawDialog] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            sawDialog = true;
            dialog->reject();
        }
    });
    Item("Print")->trigger();
    EXPECT_TRUE(sawDialog);
    EXPECT_TRUE(win.Running());
    EXPECT_EQ(win.findChild<QWidget *>(QStringLiteral("OutputFailureMessage")), nullptr);
}

} // namespace
} // namespace kavlon::test
