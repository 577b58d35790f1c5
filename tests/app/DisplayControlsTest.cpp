// The display controls: what the progress bar paints and the palette pictures.

#include "app/Dib.h"
#include "app/TextProgress.h"
#include "app/WindowOps.h"

#include <gtest/gtest.h>

#include <tuple>

namespace
{
constexpr uint32_t kHighlight = MakeRgb(0, 120, 215);
constexpr uint32_t kWindow = MakeRgb(255, 255, 255);
} // namespace

TEST(TextProgressCtrl, FillAndPercentageTruncateWithinTheRange)
{
    CTextProgressCtrl bar;
    bar.SetPos(50);
    CTextProgressCtrl::CLayout layout = bar.Layout(200, 20, false, kHighlight, kWindow);
    ASSERT_TRUE(layout.bDraw);
    EXPECT_EQ(std::make_tuple(layout.nFillLeft, layout.nFillRight, layout.nFillBottom),
              std::make_tuple(0, 100, 20));
    EXPECT_EQ(layout.strText, "50%");
    // The text takes the other area's colour on each side.
    EXPECT_EQ(std::make_pair(layout.crTextOnBar, layout.crTextOnBk), std::make_pair(kWindow, kHighlight));

    bar.SetRange(10, 13);
    bar.SetPos(12); // two thirds
    layout = bar.Layout(200, 10, false, kHighlight, kWindow);
    EXPECT_EQ(layout.nFillRight, 133);
    EXPECT_EQ(layout.strText, "66%");
    bar.SetPos(40); // past the end: full bar, never wider than the control
    EXPECT_EQ(bar.Layout(200, 10, false, kHighlight, kWindow).nFillRight, 200);
    bar.SetRange(5, 5);
    EXPECT_FALSE(bar.Layout(100, 10, false, kHighlight, kWindow).bDraw);
}

TEST(Dib, EightBitPicturesWithRampsAndAFullPalette)
{
    vKit::CDib dib;
    ASSERT_TRUE(dib.Create(512, 2));
    dib.FillRamp(false);
    EXPECT_EQ(std::make_tuple(dib.GetPixel(2, 1), dib.GetPixel(511, 1)), std::make_tuple(1, 255));
    dib.FillRamp(true);
    EXPECT_EQ(std::make_tuple(dib.GetPixel(0, 0), dib.GetPixel(511, 0)), std::make_tuple(255, 0));

    const uint8_t entries[] = {10, 20, 30, 0, 40, 50, 60, 0}; // blue, green, red, reserved
    vKit::CColorTable table;
    table.SetEntries(entries, 2);
    dib.SetPalette(table);
    EXPECT_EQ(dib.GetPaletteColor(1), MakeRgb(60, 50, 40));
    EXPECT_EQ(dib.GetPaletteColor(2), 0u);   // padded with black
    EXPECT_EQ(dib.GetPaletteColor(300), 0u); // outside the palette
}
