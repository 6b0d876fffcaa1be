#include "app/SpinArrows.h"
#include "app/ToolBarPictures.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <set>

namespace kavlon {
namespace {

TEST(SpinArrows, EachClickIsReportedOnceWithItsDirection)
{
    SpinArrows spin;
    spin.resize(129, 17);
    spin.show();
    QList<SpinDirection> seen;
    QObject::connect(&spin, &SpinArrows::Click, [&seen](SpinDirection d) { seen << d; });
    QTest::mouseClick(spin.RightArrow(), Qt::LeftButton);
    QTest::mouseClick(spin.LeftArrow(), Qt::LeftButton);
    QTest::mouseClick(spin.RightArrow(), Qt::LeftButton);
    EXPECT_EQ(seen, (QList<SpinDirection>{SpinDirection::Right, SpinDirection::Left,
                                          SpinDirection::Right}));
    // The two arrows split the control between them.
    EXPECT_EQ(spin.LeftArrow()->geometry(), QRect(0, 0, 64, 17));
    EXPECT_EQ(spin.RightArrow()->geometry(), QRect(64, 0, 65, 17));
    EXPECT_EQ(spin.LeftArrow()->focusPolicy(), Qt::NoFocus);

    spin.setEnabled(false);
    QTest::mouseClick(spin.RightArrow(), Qt::LeftButton);
    EXPECT_EQ(seen.size(), 3);
}

TEST(SpinArrows, AnArrowHeldDownRepeats)
{
    SpinArrows spin;
    spin.resize(129, 17);
    spin.show();
    int clicks = 0;
    QObject::connect(&spin, &SpinArrows::Click, [&clicks](SpinDirection) { ++clicks; });
    QTest::mousePress(spin.LeftArrow(), Qt::LeftButton);
    QTest::qWait(800);
    QTest::mouseRelease(spin.LeftArrow(), Qt::LeftButton);
    EXPECT_GE(clicks, 3);
}

TEST(ToolPictures, ThirteenDistinctPicturesOfTwentyPixels)
{
    std::set<QByteArray> seen;
    for (int i = 0; i <= static_cast<int>(ToolPicture::Question); ++i) {
        const QImage image = DrawToolPicture(static_cast<ToolPicture>(i)).toImage();
        ASSERT_EQ(image.size(), QSize(20, 20)) << i;
        int opaque = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(opaque, 20) << "picture " << i << " is nearly empty";
        seen.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()),
                               static_cast<qsizetype>(image.sizeInBytes())));
    }
    EXPECT_EQ(seen.size(), 13u);
}

} // namespace
} // namespace kavlon
