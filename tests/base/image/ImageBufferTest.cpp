#include "Base/image/ImageBuffer16.h"
#include "Base/image/ImageBuffer32.h"

#include <gtest/gtest.h>

using vKit::CImageBuffer16;
using vKit::CImageBuffer32;

namespace
{

// Sides below one are refused; a smaller image than the last one reuses its memory, a larger one
// gets new memory; a copy is deep and takes only the samples of its size.
TEST(ImageBuffer16, CreateRefusesSidesBelowOneAndReusesItsMemory)
{
    CImageBuffer16 image;
    ASSERT_TRUE(image.Create(8, 8));
    const uint16_t* block = image.GetData();
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 32, 0u);
    ASSERT_TRUE(image.Create(3, 5));
    EXPECT_EQ(image.GetData(), block);
    EXPECT_EQ(image.PixelPtr(2, 1), block + 5);
    EXPECT_EQ(image.Info().GetSize(), std::make_pair(3, 5));
    image.Fill(9);
    CImageBuffer16 copy(image);
    image.Fill(1);
    EXPECT_EQ(copy.ByteCount(), 30);
    EXPECT_EQ(copy.Row(4)[2], 9);
    ASSERT_TRUE(image.Create(16, 9));
    image.Fill(1);
    EXPECT_EQ(image.Row(8)[15], 1);
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-2, -3}, {-1, 7}})
    {
        EXPECT_FALSE(image.Create(w, h)) << w << "x" << h;
        EXPECT_TRUE(image.IsEmpty());
    }
    image.Fill(7); // harmless on an empty image
}

// Source rows of 3 bytes + 1 padding; with flip the last source row becomes row y.
TEST(ImageBuffer16, CopyFrom8PlacesFlipsAndRefusesOverhang)
{
    const uint8_t src[] = {1, 2, 3, 0xEE, 4, 5, 6, 0xEE};
    CImageBuffer16 image;
    ASSERT_TRUE(image.Create(5, 3));
    image.Fill(0);
    ASSERT_TRUE(image.CopyFrom8(src, 2, 1, 3, 2, 1, true));
    const uint16_t expected[3][5] = {
        {0, 0, 0, 0, 0}, {0, 0, 0x400, 0x500, 0x600}, {0, 0, 0x100, 0x200, 0x300}};
    for (int32_t y = 0; y < 3; ++y)
        EXPECT_TRUE(std::equal(expected[y], expected[y] + 5, image.Row(y))) << y;
    EXPECT_EQ(image.Info().GetBitsPerPixel(), 8);
    for (auto [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}})
        EXPECT_FALSE(image.CopyFrom8(src, x, y, 3, 2, 1, false)) << x << "," << y;
    EXPECT_FALSE(image.CopyFrom8(nullptr, 0, 0, 3, 2, 1, false));
}

TEST(ImageBuffer16, ClampTopModes)
{
    const uint16_t in[] = {65535, 65534, 65100, 65025, 65024, 65000, 0};
    const uint16_t mode0[] = {65280, 65534, 65100, 65025, 65024, 65000, 0};
    const uint16_t mode1[] = {65280, 65024, 65024, 65024, 65024, 65000, 0};
    for (int32_t mode : {0, 1, 2})
    {
        CImageBuffer16 image;
        ASSERT_TRUE(image.Create(7, 1));
        std::copy_n(in, 7, image.Row(0));
        image.ClampTop(mode);
        EXPECT_TRUE(std::equal(image.Row(0), image.Row(0) + 7, mode == 0 ? mode0 : mode1)) << mode;
        EXPECT_EQ(image.Info().GetBitsPerPixel(), 8);
    }
}

// Every 16-bit value against the plain quotient, for the group sizes a run meets and for the
// ones where an inexact reciprocal would first go wrong (large n, both sides of 65536). Another
// sample count, no members or no first member are refused; the first member describes the sum.
TEST(ImageBuffer32, AddScaledIsTheExactQuotientForEverySample)
{
    CImageBuffer16 ramp, small, out;
    ASSERT_TRUE(ramp.Create(256, 256) && small.Create(1, 1));
    for (uint32_t v = 0; v < 65536; ++v)
        ramp.GetData()[v] = uint16_t(v);
    ramp.Info().SetPrivateA(9);
    CImageBuffer32 acc;
    EXPECT_FALSE(acc.AddScaled(&ramp, 2));
    EXPECT_FALSE(acc.FromImage16(nullptr));
    ASSERT_TRUE(acc.FromImage16(&ramp));
    for (int32_t n : {1, 2, 3, 5, 6, 7, 8, 255, 4097, 65535, 65536, 65537, 2147483647})
    {
        acc.Clear();
        ASSERT_TRUE(acc.AddScaled(&ramp, n));
        int64_t wrong = 0;
        for (uint32_t v = 0; v < 65536; ++v)
            wrong += acc.GetData()[v] != (v << 16) / uint32_t(n);
        EXPECT_EQ(wrong, 0) << "group of " << n;
    }
    for (auto [image, n] : {std::pair{static_cast<CImageBuffer16*>(nullptr), 2}, {&ramp, 0}, {&small, 2}})
        EXPECT_FALSE(acc.AddScaled(image, n)) << n;
    acc.Clear();
    ASSERT_TRUE(acc.AddScaled(&ramp, 2) && acc.AddScaled(&ramp, 2) && acc.ToImage16(&out));
    EXPECT_TRUE(std::equal(ramp.GetData(), ramp.GetData() + 65536, out.GetData()));
    EXPECT_EQ(out.Info().GetPrivateA(), 9);
    EXPECT_FALSE(acc.ToImage16(nullptr));
    EXPECT_FALSE(CImageBuffer32().ToImage16(&out));
}

TEST(ImageBuffer16, SwapAndMoveHandOverSamplesWithoutCopying)
{
    CImageBuffer16 a, b;
    ASSERT_TRUE(a.Create(3, 2) && b.Create(1, 1));
    a.Fill(7);
    a.ComputeHistogram8(true);
    const uint16_t* samples = a.GetData();
    a.Swap(b);
    EXPECT_EQ(b.GetData(), samples);
    EXPECT_EQ(b.Histogram().GetBin(0), 6u);
    EXPECT_EQ(a.GetSize(), std::make_pair(1, 1));
    EXPECT_EQ(a.Histogram().GetBin(0), 0u);
    a = CImageBuffer16(std::move(b));
    EXPECT_EQ(a.GetData(), samples);
    EXPECT_TRUE(b.IsEmpty() && b.GetWidth() == 0);
}

} // namespace
