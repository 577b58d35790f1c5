#include "Base/Histogram.h"
#include "Base/ImageBuffer16.h"

#include <gtest/gtest.h>

#include <initializer_list>

using vKit::CHistogramBuffer;
using vKit::CImageBuffer16;

namespace
{

CImageBuffer16 Image(std::initializer_list<uint16_t> samples)
{
    CImageBuffer16 image;
    EXPECT_TRUE(image.Create(int32_t(samples.size()), 1));
    std::copy(samples.begin(), samples.end(), image.Row(0));
    return image;
}

CHistogramBuffer Bins256(std::initializer_list<uint32_t> used)
{
    CHistogramBuffer h;
    h.SetBinCount(256);
    for (uint32_t v : used)
        h.Add(v);
    return h;
}

TEST(Histogram, CountsHighBytesOrFullSamples)
{
    CImageBuffer16 image = Image({0x0000, 0x01FF, 0x0100, 0xFFFF});
    image.ComputeHistogram8(true);
    EXPECT_EQ(image.Histogram().GetBinCount(), 256);
    EXPECT_EQ(image.Histogram().GetBin(1), 2u);
    EXPECT_EQ(image.Histogram().GetBin(255), 1u);
    // Without reset the counts add up.
    image.ComputeHistogram8(false);
    EXPECT_EQ(image.Histogram().GetBin(1), 4u);

    image.ComputeHistogram16(true);
    EXPECT_EQ(image.Histogram().GetBinCount(), 65536);
    EXPECT_EQ(image.Histogram().GetBin(0x01FF), 1u);
    EXPECT_EQ(image.Histogram().GetBin(0xFFFF), 1u);
    EXPECT_EQ(image.Histogram().GetBin(1), 0u);
    EXPECT_EQ(image.Histogram().NthUsedBin(0), 0);
    EXPECT_EQ(image.Histogram().NthUsedBin(2), 0x01FF);
    EXPECT_EQ(image.Histogram().NthUsedBin(4), -1);
}

// Counting full samples without reset into 256 bins, or after the image freed its histogram,
// must not index past the bins.
TEST(Histogram, CountingWithoutResetIntoTooFewBinsStartsAfresh)
{
    CImageBuffer16 image = Image({0xFFFF, 7});
    image.ComputeHistogram8(true);
    image.ComputeHistogram16(false);
    EXPECT_EQ(image.Histogram().GetBin(0xFFFF), 1u);
    EXPECT_EQ(image.Histogram().GetBin(0), 0u);
    image.Histogram().Clear();
    image.ComputeHistogram8(false);
    EXPECT_EQ(image.Histogram().GetBin(255), 1u);
}

TEST(Histogram, EmptyBuffersReadZeroAndCopiesAreDeep)
{
    CHistogramBuffer h;
    EXPECT_EQ(h.GetBinCount(), 256);
    EXPECT_EQ(h.GetBin(3), 0u);
    EXPECT_EQ(h.NthUsedBin(0), -1);
    h.Add(3); // no bins yet: ignored
    EXPECT_EQ(h.GetBin(3), 0u);

    h = Bins256({3, 3});
    EXPECT_TRUE(h.GetSized());
    EXPECT_EQ(h.GetExtent(), 256);
    CHistogramBuffer copy(h);
    h.Add(3);
    EXPECT_EQ(copy.GetBin(3), 2u);
    copy = CHistogramBuffer();
    EXPECT_EQ(copy.GetBin(3), 0u);
    h.ResetCounts();
    EXPECT_EQ(h.GetBin(3), 0u);
    EXPECT_EQ(h.GetExtent(), 0);
}

TEST(Histogram, LevelTestsOnFullSamples)
{
    CImageBuffer16 image = Image({0, 65535, 0});
    EXPECT_TRUE(image.IsTwoLevel(false));
    EXPECT_FALSE(image.IsThreeLevel(false));

    image = Image({0, 65535, 1});
    EXPECT_FALSE(image.IsTwoLevel(false));
    EXPECT_TRUE(image.IsThreeLevel(false));
    EXPECT_FALSE(image.IsTopThreeLevel(false));

    image = Image({0, 65534, 65535});
    EXPECT_TRUE(image.IsTopThreeLevel(false));
    EXPECT_TRUE(image.IsThreeLevel(false)); // falls through to the top test

    image = Image({0, 1, 65534});
    EXPECT_FALSE(image.IsThreeLevel(true));
    EXPECT_FALSE(image.IsTopThreeLevel(true));

    // With 65536 bins a two-level histogram also counts as top three-level.
    EXPECT_TRUE(Image({0, 65535}).IsTopThreeLevel(false));
}

// 8-bit data held as v * 256: black and white are 0 and 65280, which only the wide tests know.
TEST(Histogram, WideLevelTestsForEightBitData)
{
    CImageBuffer16 image = Image({0, 65280, 65280});
    EXPECT_FALSE(image.IsTwoLevel(false));
    EXPECT_TRUE(image.IsTwoLevel(true));
    EXPECT_TRUE(Image({0, 65279, 65280}).IsTwoLevel(true));

    EXPECT_TRUE(Image({0, 65024, 65280}).IsThreeLevel(true));
    EXPECT_TRUE(Image({0, 65023, 65279}).IsThreeLevel(true));
    EXPECT_FALSE(Image({0, 65024, 65280}).IsThreeLevel(false));
    EXPECT_FALSE(Image({0, 65280}).IsThreeLevel(true));
    EXPECT_FALSE(Image({0, 65000, 65280}).IsThreeLevel(true));

    EXPECT_TRUE(Image({0, 511, 512}).IsTopThreeLevel(true));
    EXPECT_TRUE(Image({0, 511, 512}).IsThreeLevel(true)); // via the wide top test
    EXPECT_FALSE(Image({0, 511, 512}).IsTopThreeLevel(false));
    EXPECT_FALSE(Image({0, 510, 512}).IsTopThreeLevel(true));
}

TEST(Histogram, LevelTestsOnHighBytes)
{
    CHistogramBuffer h = Bins256({0, 255});
    EXPECT_TRUE(h.IsTwoLevel(false));
    EXPECT_FALSE(h.IsThreeLevel(false));
    EXPECT_FALSE(h.IsTopThreeLevel(false));

    h = Bins256({0, 254, 255});
    EXPECT_TRUE(h.IsTopThreeLevel(false));
    EXPECT_TRUE(h.IsThreeLevel(false));
    h = Bins256({0, 1, 255});
    EXPECT_TRUE(h.IsThreeLevel(false));
    EXPECT_FALSE(h.IsTopThreeLevel(false));
    // The wide tests never apply to 256 bins.
    EXPECT_FALSE(Bins256({0, 2, 255}).IsTwoLevel(true));
}

TEST(Histogram, EnsureCountsOnceUntilSamplesChange)
{
    CImageBuffer16 image = Image({0, 65535});
    EXPECT_TRUE(image.IsTwoLevel(false));
    EXPECT_TRUE(image.Histogram().GetUpToDate());
    // Written behind the image's back: the histogram is not counted again...
    image.Row(0)[0] = 5;
    EXPECT_TRUE(image.IsTwoLevel(false));
    EXPECT_EQ(image.Histogram().GetBin(0), 1u);
    // ...until the writer says so, or the image itself changes the samples.
    image.SamplesChanged();
    EXPECT_FALSE(image.IsTwoLevel(false));
    image.Fill(0);
    EXPECT_FALSE(image.Histogram().GetUpToDate());
    image.EnsureHistogram16(true);
    EXPECT_EQ(image.Histogram().GetBin(0), 2u);
    image.Free();
    EXPECT_FALSE(image.Histogram().GetUpToDate());
    EXPECT_EQ(image.Histogram().GetBin(0), 0u);
}

} // namespace
