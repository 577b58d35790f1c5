#include "Base/ImageInfo.h"
#include "Base/ColorTable.h"

#include <gtest/gtest.h>

using vKit::CColorTable;
using vKit::CImageInfo;

namespace
{

TEST(ImageInfo, ResetGivesSignedDefaultBlockAndDefaults)
{
    CImageInfo info;
    info.SetWidth(9);
    info.SetPrivateA(5);
    info.SetPrivateBlock(reinterpret_cast<const uint8_t*>("abc"), 3);
    info.ColorTable().SetGreyRamp(256);
    info.Reset();
    std::vector<uint8_t> expected(56, 0);
    std::copy_n("Quorell", 8, expected.begin());
    EXPECT_EQ(info.PrivateBlock(), expected);
    EXPECT_EQ(info.GetWidth(), 0);
    EXPECT_EQ(info.GetPrivateA(), 0);
    EXPECT_EQ(info.GetGreyCeiling(), 65535);
    EXPECT_EQ(info.GetClampMode(), 1);
    EXPECT_EQ(info.GetJpegQuality(), 100);
    EXPECT_EQ(info.ColorTable().GetCount(), 0);
    EXPECT_FALSE(info.HasPrivatePair());
}

TEST(ImageInfo, PrivatePairIsMirroredLittleEndianIntoBlock)
{
    CImageInfo info;
    info.SetPrivateA(0x01020304);
    info.SetPrivateB(-2);
    const std::vector<uint8_t>& b = info.PrivateBlock();
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 8, b.begin() + 16),
              (std::vector<uint8_t>{4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(info.HasPrivatePair());

    // A short block takes the bytes that fit; an empty one takes nothing.
    const uint8_t shortBlock[10] = {};
    info.SetPrivateBlock(shortBlock, 10);
    info.SetPrivateA(0x0A0B0C0D);
    EXPECT_EQ(info.PrivateBlock(), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0x0D, 0x0C}));
    info.SetPrivateBlock(nullptr, 0);
    info.SetPrivateB(7);
    EXPECT_TRUE(info.PrivateBlock().empty());
    EXPECT_EQ(info.GetPrivateB(), 7);
}

TEST(ImageInfo, PixelSizesConvertBothWaysAndZeroMeansUnknown)
{
    CImageInfo info;
    info.SetPixelSizeXum(10.0);
    EXPECT_DOUBLE_EQ(info.GetResolutionX(), 100000.0);
    EXPECT_DOUBLE_EQ(info.GetPixelSizeXmm(), 0.01);
    info.SetPixelSizeYmm(0.04);
    EXPECT_DOUBLE_EQ(info.GetPixelSizeYum(), 40.0);
    info.SetPixelSizeXum(0.0);
    EXPECT_EQ(info.GetResolutionX(), 0.0);
    EXPECT_EQ(info.GetPixelSizeXum(), 0.0);
    EXPECT_EQ(info.GetPixelSizeXmm(), 0.0);
    info.SetResolutionY(1e-13);
    EXPECT_EQ(info.GetPixelSizeYmm(), 0.0);
}

TEST(ImageInfo, CopyTakesTablesBlockAndName)
{
    CImageInfo a;
    a.ColorTable().SetGreyRamp(256);
    a.SetPrivateB(3);
    a.SetFileName("/d/p0001.bmp");
    a.SetResolutionY(5.5);
    CImageInfo b;
    b = a;
    EXPECT_EQ(b.ColorTable(), a.ColorTable());
    EXPECT_EQ(b.PrivateBlock(), a.PrivateBlock());
    EXPECT_EQ(b.GetFileName(), "/d/p0001.bmp");
    EXPECT_EQ(b.GetResolutionY(), 5.5);
    b = b;
    EXPECT_EQ(b.GetPrivateB(), 3);
}

CColorTable Table(std::initializer_list<uint8_t> greys)
{
    std::vector<uint8_t> entries;
    for (uint8_t g : greys)
        entries.insert(entries.end(), {g, g, g, 0});
    CColorTable t;
    t.SetEntries(entries.data(), int32_t(greys.size()));
    return t;
}

TEST(ColorTable, RisingFallingAndNonGrey)
{
    const CColorTable ramp(256);
    EXPECT_EQ(ramp.GetEntries()[4 * 200 + 1], 200);
    EXPECT_EQ(ramp.GetEntries()[4 * 200 + 3], 0);
    EXPECT_TRUE(ramp.IsGreyRising());
    EXPECT_FALSE(ramp.IsGreyFalling());

    const CColorTable falling = Table({255, 128, 127, 0});
    EXPECT_FALSE(falling.IsGreyRising());
    EXPECT_TRUE(falling.IsGreyFalling());
    // Equal halves count as falling.
    EXPECT_TRUE(Table({5, 5}).IsGreyFalling());
    // Odd counts: the middle entry belongs to the second half.
    EXPECT_TRUE(Table({10, 3, 8}).IsGreyRising());

    CColorTable colour = ramp;
    colour.GetEntries()[4 * 17 + 2] = 99; // one red value off
    EXPECT_FALSE(colour.IsGreyRising());
    EXPECT_FALSE(colour.IsGreyFalling());

    const CColorTable empty;
    EXPECT_FALSE(empty.IsGreyRising());
    EXPECT_TRUE(empty.IsGreyFalling());
}

} // namespace
