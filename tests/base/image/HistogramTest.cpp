#include "Base/image/Histogram.h"
#include "Base/image/ImageBuffer16.h"

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

// "2" two-level, "3" three-level, "t" top three-level, "." where the test says no.
template <typename T> std::string Levels(T&& h, bool wide)
{
    return std::string(h.IsTwoLevel(wide) ? "2" : ".") + (h.IsThreeLevel(wide) ? "3" : ".") +
           (h.IsTopThreeLevel(wide) ? "t" : ".");
}

// High bytes into 256 bins or full samples into 65536; counting full samples without reset into
// 256 bins, or after the image freed its histogram, must not index past the bins.
TEST(Histogram, CountsHighBytesOrFullSamplesNeverPastTheBins)
{
    CImageBuffer16 image = Image({0x0000, 0x01FF, 0x0100, 0xFFFF});
    image.ComputeHistogram8(true);
    image.ComputeHistogram8(false); // without reset the counts add up
    EXPECT_EQ(image.Histogram().GetBin(1), 4u);
    EXPECT_EQ(image.Histogram().GetBin(255), 2u);
    image.ComputeHistogram16(false);
    EXPECT_EQ(image.Histogram().GetBin(0xFFFF), 1u);
    EXPECT_EQ(image.Histogram().GetBin(0), 1u);
    EXPECT_EQ(image.Histogram().NthUsedBin(2), 0x01FF);
    EXPECT_EQ(image.Histogram().NthUsedBin(4), -1);
    image.Histogram().Clear();
    image.ComputeHistogram8(false);
    EXPECT_EQ(image.Histogram().GetBin(255), 1u);

    CHistogramBuffer none; // no bins yet: ignored
    none.Add(3);
    EXPECT_EQ(none.GetBin(3), 0u);
    CHistogramBuffer h = Bins256({3, 3}), copy(h);
    h.Add(3);
    EXPECT_EQ(copy.GetBin(3), 2u);
}

TEST(Histogram, LevelTests)
{
    // Full samples, 65536 bins: a two-level histogram is also top three-level.
    EXPECT_EQ(Levels(Image({0, 65535, 0}), false), "2.t");
    EXPECT_EQ(Levels(Image({0, 65535, 1}), false), ".3.");
    EXPECT_EQ(Levels(Image({0, 65534, 65535}), false), ".3t"); // three-level through the top test
    EXPECT_EQ(Levels(Image({0, 1, 65534}), true), "...");
    // 8-bit data held as v * 256: black and white are 0 and 65280, which only the wide tests know.
    EXPECT_EQ(Levels(Image({0, 65280, 65280}), false), "...");
    EXPECT_EQ(Levels(Image({0, 65280, 65280}), true), "2..");
    EXPECT_EQ(Levels(Image({0, 65279, 65280}), true), "2..");
    EXPECT_EQ(Levels(Image({0, 65024, 65280}), true), ".3.");
    EXPECT_EQ(Levels(Image({0, 65023, 65279}), true), ".3.");
    EXPECT_EQ(Levels(Image({0, 65000, 65280}), true), "...");
    EXPECT_EQ(Levels(Image({0, 511, 512}), true), ".3t");
    EXPECT_EQ(Levels(Image({0, 511, 512}), false), "...");
    EXPECT_EQ(Levels(Image({0, 510, 512}), true), "...");
    // High bytes, 256 bins: the wide tests never apply.
    EXPECT_EQ(Levels(Bins256({0, 255}), false), "2..");
    EXPECT_EQ(Levels(Bins256({0, 254, 255}), false), ".3t");
    EXPECT_EQ(Levels(Bins256({0, 1, 255}), false), ".3.");
    EXPECT_EQ(Levels(Bins256({0, 2, 255}), true), "...");
}

TEST(Histogram, EnsureCountsOnceUntilSamplesChange)
{
    CImageBuffer16 image = Image({0, 65535});
    EXPECT_TRUE(image.IsTwoLevel(false));
    image.Row(0)[0] = 5; // written behind the image's back: not counted again...
    EXPECT_TRUE(image.IsTwoLevel(false));
    image.SamplesChanged(); // ...until the writer says so, or the image itself changes them
    EXPECT_FALSE(image.IsTwoLevel(false));
    image.Fill(0);
    EXPECT_FALSE(image.Histogram().GetUpToDate());
    image.Free();
    EXPECT_EQ(image.Histogram().GetBin(0), 0u);
}

} // namespace
