// The Qt controls the dialog builds itself: the spin button, the painted progress bar and the
// palette bar's picture.

#include "app/qt/Widgets.h"
#include "app/Dib.h"
#include "app/WindowOps.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(SpinButton, StaysInItsRangeAndSignalsOnlyTheUsersSteps)
{
    CSpinButton spin;
    spin.SetRange(-5, 5);
    spin.SetPos(10);
    EXPECT_EQ(spin.Pos(), 5);
    QSignalSpy moved(&spin, &CSpinButton::PositionChanged);
    QTest::keyClick(&spin, Qt::Key_Up); // at the top already
    EXPECT_EQ(moved.count(), 0);
    QTest::keyClick(&spin, Qt::Key_Down);
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 4);
    spin.SetPos(-9);
    EXPECT_EQ(spin.Pos(), -5);
    EXPECT_EQ(moved.count(), 1);
}

TEST(TextProgressWidget, PaintsTheFilledPartInTheBarColour)
{
    CTextProgressWidget bar;
    bar.resize(200, 24);
    bar.SetShowText(false);
    bar.SetBarColor(MakeRgb(0, 128, 0));
    bar.SetBkColor(MakeRgb(255, 255, 255));
    bar.SetPos(25);
    const QImage picture = bar.grab().toImage();
    EXPECT_EQ(QColor(picture.pixel(20, 12)), QColor(0, 128, 0));
    EXPECT_EQ(QColor(picture.pixel(100, 12)), QColor(255, 255, 255));
}

TEST(PaletteBar, PictureCarriesThePalette)
{
    vKit::CDib dib;
    ASSERT_TRUE(dib.Create(256, 2));
    dib.FillRamp(true);
    const QImage image = CPaletteBar::ToImage(dib);
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.width(), 256);
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(image.pixel(255, 1)), QColor(0, 0, 0));
    EXPECT_TRUE(CPaletteBar::ToImage(vKit::CDib()).isNull());
}
