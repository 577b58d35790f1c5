// The display controls: what the progress bar paints, the palette pictures, the cursor choice and
// the About box's version line.

#include "app/CursorRes.h"
#include "app/Dib.h"
#include "app/TextProgress.h"
#include "app/Version.h"
#include "app/WindowOps.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
constexpr uint32_t kHighlight = MakeRgb(0, 120, 215);
constexpr uint32_t kWindow = MakeRgb(255, 255, 255);
} // namespace

TEST(TextProgressCtrl, HalfwayBarFillsHalfAndShowsInvertedPercentage)
{
    CTextProgressCtrl bar;
    bar.SetPos(50);
    const CTextProgressCtrl::CLayout layout = bar.Layout(200, 20, false, kHighlight, kWindow);
    ASSERT_TRUE(layout.bDraw);
    EXPECT_EQ(layout.nFillLeft, 0);
    EXPECT_EQ(layout.nFillRight, 100);
    EXPECT_EQ(layout.nFillBottom, 20);
    EXPECT_EQ(layout.strText, "50%");
    // Default colours: the system's, and the text takes the other area's colour on each side.
    EXPECT_EQ(layout.crBar, kHighlight);
    EXPECT_EQ(layout.crBk, kWindow);
    EXPECT_EQ(layout.crTextOnBar, kWindow);
    EXPECT_EQ(layout.crTextOnBk, kHighlight);
}

TEST(TextProgressCtrl, FractionsTruncateAndRangesMayStartAnywhere)
{
    CTextProgressCtrl bar;
    bar.SetRange(10, 13);
    bar.SetPos(12);   // two thirds
    const auto layout = bar.Layout(200, 10, false, kHighlight, kWindow);
    EXPECT_EQ(layout.nFillRight, 133);
    EXPECT_EQ(layout.strText, "66%");

    bar.SetPos(40);   // past the end: full bar, never wider than the control
    EXPECT_EQ(bar.Layout(200, 10, false, kHighlight, kWindow).nFillRight, 200);
}

TEST(TextProgressCtrl, EmptyRangeFixedTextColoursAndVerticalBars)
{
    CTextProgressCtrl bar;
    bar.SetRange(5, 5);
    EXPECT_FALSE(bar.Layout(100, 10, false, kHighlight, kWindow).bDraw);

    bar.SetRange(0, 4);
    bar.SetPos(1);
    bar.SetText("Reading");
    bar.SetBarColor(MakeRgb(0, 128, 0));
    bar.SetTextColor(MakeRgb(1, 2, 3));
    auto layout = bar.Layout(100, 10, false, kHighlight, kWindow);
    EXPECT_EQ(layout.strText, "Reading");
    EXPECT_EQ(layout.crBar, MakeRgb(0, 128, 0));
    EXPECT_EQ(layout.crTextOnBar, MakeRgb(1, 2, 3));
    EXPECT_EQ(layout.crTextOnBk, MakeRgb(1, 2, 3));

    layout = bar.Layout(10, 100, true, kHighlight, kWindow);
    EXPECT_FALSE(layout.bText);
    EXPECT_EQ(layout.nFillTop, 75);   // a quarter from the bottom up
    EXPECT_EQ(layout.nFillBottom, 100);

    bar.SetShowText(false);
    EXPECT_FALSE(bar.Layout(100, 10, false, kHighlight, kWindow).bText);
}

TEST(TextProgressCtrl, StepItWrapsAtTheEnd)
{
    CTextProgressCtrl bar;
    bar.SetRange(0, 10);
    bar.SetStep(4);
    bar.StepIt();
    bar.StepIt();
    EXPECT_EQ(bar.GetPos(), 8);
    EXPECT_EQ(bar.StepIt(), 8);   // returns the old position
    EXPECT_EQ(bar.GetPos(), 2);
}

TEST(Dib, CreateRefusesOtherDepthsAndEmptySizes)
{
    vKit::CDib dib;
    EXPECT_FALSE(dib.Create(256, 8, 24));
    EXPECT_FALSE(dib.Create(0, 8));
    EXPECT_FALSE(dib.Create(256, -1));
    EXPECT_FALSE(dib.IsValid());
    ASSERT_TRUE(dib.Create(256, 4));
    EXPECT_EQ(dib.GetPixel(255, 3), 0);
    EXPECT_EQ(dib.GetPaletteColor(200), MakeRgb(200, 200, 200));   // grey ramp
}

TEST(Dib, RampColumnsRunEitherWayAndScaleToTheWidth)
{
    vKit::CDib dib;
    ASSERT_TRUE(dib.Create(256, 2));
    dib.FillRamp(false);
    for (int32_t x : {0, 1, 128, 255})
        EXPECT_EQ(dib.GetPixel(x, 1), x);
    dib.FillRamp(true);
    EXPECT_EQ(dib.GetPixel(0, 0), 255);
    EXPECT_EQ(dib.GetPixel(255, 0), 0);

    ASSERT_TRUE(dib.Create(512, 1));
    dib.FillRamp(false);
    EXPECT_EQ(dib.GetPixel(511, 0), 255);
    EXPECT_EQ(dib.GetPixel(2, 0), 1);
}

TEST(Dib, PaletteIsAlwaysFullAndReadsBlueGreenRed)
{
    vKit::CDib dib;
    ASSERT_TRUE(dib.Create(256, 1));
    const uint8_t entries[] = {10, 20, 30, 0, 40, 50, 60, 0};   // blue, green, red, reserved
    vKit::CColorTable table;
    table.SetEntries(entries, 2);
    dib.SetPalette(table);
    EXPECT_EQ(dib.GetPalette().GetCount(), 256);
    EXPECT_EQ(dib.GetPaletteColor(0), MakeRgb(30, 20, 10));
    EXPECT_EQ(dib.GetPaletteColor(1), MakeRgb(60, 50, 40));
    EXPECT_EQ(dib.GetPaletteColor(2), 0u);       // padded with black
    EXPECT_EQ(dib.GetPaletteColor(300), 0u);     // outside the palette
}

namespace
{
std::vector<vKit::ECursorShape> g_applied;
void RecordCursor(vKit::ECursorShape shape)
{
    g_applied.push_back(shape);
}
} // namespace

TEST(CursorRes, ForcedCursorsWinOverTheKindAndUnknownKindsChangeNothing)
{
    const int32_t before = vKit::CCursorRes::InstanceCount();
    g_applied.clear();
    vKit::CCursorRes::SetApplier(&RecordCursor);
    {
        vKit::CCursorRes cursor;
        EXPECT_EQ(vKit::CCursorRes::InstanceCount(), before + 1);
        EXPECT_EQ(cursor.Show(12), vKit::ECursorShape::AppStarting);
        EXPECT_EQ(cursor.Show(2), vKit::ECursorShape::Wait);
        cursor.SetForceArrow(true);
        cursor.SetForceWait(true);
        EXPECT_EQ(cursor.Apply(), vKit::ECursorShape::Arrow);
        cursor.SetForceArrow(false);
        EXPECT_EQ(cursor.Apply(), vKit::ECursorShape::Wait);
        cursor.SetForceWait(false);
        EXPECT_EQ(cursor.Show(13), vKit::ECursorShape::None);
        EXPECT_EQ(cursor.Show(0), vKit::ECursorShape::None);
    }
    EXPECT_EQ(vKit::CCursorRes::InstanceCount(), before);
    vKit::CCursorRes::SetApplier(nullptr);
    const std::vector<vKit::ECursorShape> expected = {vKit::ECursorShape::AppStarting, vKit::ECursorShape::Wait,
                                                      vKit::ECursorShape::Arrow, vKit::ECursorShape::Wait};
    EXPECT_EQ(g_applied, expected);
}

TEST(VersionLine, FourPartsOrUnknown)
{
    EXPECT_EQ(MakeVersionLine(CVersionParts{3, 4, 5, 6}), "Kavex v3.4 release 5 built 6");
    EXPECT_EQ(MakeVersionLine(std::nullopt), "Kavex vUnknown.Unknown release Unknown built Unknown");
    const CVersionParts v = ProgramVersion();
    EXPECT_EQ(ProgramVersionLine(), MakeVersionLine(v));
    EXPECT_EQ(v[0], 2);
    EXPECT_EQ(v[1], 0);
}
