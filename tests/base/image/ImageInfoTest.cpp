#include "Base/image/ImageInfo.h"
#include "Base/image/ColorTable.h"

#include <gtest/gtest.h>

using vKit::CColorTable;
using vKit::CImageInfo;

namespace
{

// The pair goes little-endian into bytes 8 to 15 of the block, or into the bytes that fit; Reset
// brings back the signed 56-byte default block. (Pixel sizes: the reduce and format tests.)
TEST(ImageInfo, PrivatePairIsMirroredIntoTheBlockAndResetSignsTheDefault)
{
    CImageInfo info;
    info.SetPrivateA(0x01020304);
    info.SetPrivateB(-2);
    const std::vector<uint8_t>& b = info.PrivateBlock();
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 8, b.begin() + 16),
              (std::vector<uint8_t>{4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(info.HasPrivatePair());
    const uint8_t shortBlock[10] = {};
    info.SetPrivateBlock(shortBlock, 10);
    info.SetPrivateA(0x0A0B0C0D);
    EXPECT_EQ(info.PrivateBlock(), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0x0D, 0x0C}));
    info.SetPrivateBlock(nullptr, 0);
    info.SetPrivateB(7); // into no block at all
    EXPECT_TRUE(info.PrivateBlock().empty());
    EXPECT_EQ(info.GetPrivateB(), 7);

    info.SetResolutionY(1e-13); // too small to mean anything: no pixel size, not 1e19 um
    EXPECT_EQ(info.GetPixelSizeYum(), 0.0);
    info.ColorTable().SetGreyRamp(256);
    info.Reset();
    std::vector<uint8_t> signedBlock(56, 0);
    std::copy_n("Quorell", 8, signedBlock.begin());
    EXPECT_EQ(info.PrivateBlock(), signedBlock);
    EXPECT_FALSE(info.HasPrivatePair());
    EXPECT_EQ(info.ColorTable().GetCount(), 0);
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
    EXPECT_TRUE(ramp.IsGreyRising() && !ramp.IsGreyFalling());
    EXPECT_TRUE(Table({255, 128, 127, 0}).IsGreyFalling());
    EXPECT_FALSE(Table({255, 128, 127, 0}).IsGreyRising());
    EXPECT_TRUE(Table({5, 5}).IsGreyFalling());    // equal halves count as falling
    EXPECT_TRUE(Table({10, 3, 8}).IsGreyRising()); // the middle entry belongs to the second half
    EXPECT_TRUE(CColorTable().IsGreyFalling());
    EXPECT_FALSE(CColorTable().IsGreyRising());

    CColorTable colour = ramp;
    colour.GetEntries()[4 * 17 + 2] = 99; // one red value off
    EXPECT_FALSE(colour.IsGreyRising() || colour.IsGreyFalling());
}

} // namespace
