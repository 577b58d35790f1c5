#include "engine/Reduce.h"

#include <gtest/gtest.h>

namespace
{

vKit::CImageBuffer16 Ramp(int32_t w, int32_t h)
{
    vKit::CImageBuffer16 image;
    EXPECT_TRUE(image.Create(w, h, 32));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            *image.PixelPtr(x, y) = uint16_t(100 * y + x);
    return image;
}

TEST(Reduce, SizeTruncatesAndFastTakesTopLeftOfBlock)
{
    vKit::CImageBuffer16 image = Ramp(10, 7);
    image.Info().SetPixelSizeXmm(0.01);
    kavex::ReduceFast(image, 2);
    ASSERT_EQ(image.GetSize(), std::make_pair(5, 3));
    EXPECT_EQ(image.Info().GetSize(), std::make_pair(5, 3));
    EXPECT_EQ(*image.PixelPtr(4, 2), 100 * 4 + 8);
    EXPECT_NEAR(image.Info().GetPixelSizeXmm(), 0.02, 1e-12);
    EXPECT_EQ(image.Info().GetPixelSizeYmm(), 0.0); // unknown stays unknown
    image.Info().SetPixelSizeYmm(0.01);
    kavex::Reduce2D(image, 2);
    EXPECT_NEAR(image.Info().GetPixelSizeYmm(), 0.02, 1e-12);

    // Another factor is refused and leaves the image as it was.
    for (const int32_t f : {0, 3, 16})
    {
        EXPECT_FALSE(kavex::ReduceFast(image, f)) << f;
        EXPECT_FALSE(kavex::Reduce2D(image, f)) << f;
        EXPECT_EQ(image.GetSize(), std::make_pair(2, 1)) << f;
    }
    // Smaller than the factor: empty, with the new size in the description.
    image = Ramp(5, 9);
    kavex::Reduce2D(image, 8);
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.Info().GetSize(), std::make_pair(0, 1));
}

// Rows wide enough for the vector steps and a tail after them, with values at both ends of the
// range, against the block averages worked out sample by sample.
TEST(Reduce, WideRowsMatchTheBlockDefinitionForEveryFactor)
{
    vKit::CImageBuffer16 source;
    ASSERT_TRUE(source.Create(83, 19, 32));
    uint32_t state = 7;
    for (int64_t i = 0; i < source.PixelCount(); ++i)
    {
        state = state * 1664525u + 1013904223u;
        const uint32_t pick = state >> 24;
        source.GetData()[i] = pick < 40 ? 65535 : pick < 60 ? 0 : uint16_t(state >> 8);
    }
    for (int32_t f : {2, 4, 8})
    {
        vKit::CImageBuffer16 fast = source, box = source, scratch;
        kavex::ReduceFast(fast, f);
        kavex::Reduce2D(box, f, scratch);
        ASSERT_EQ(box.GetSize(), std::make_pair(83 / f, 19 / f));
        int64_t wrongFast = 0, wrongBox = 0;
        for (int32_t y = 0; y < 19 / f; ++y)
            for (int32_t x = 0; x < 83 / f; ++x)
            {
                uint32_t sum = 0;
                for (int32_t j = 0; j < f; ++j)
                    for (int32_t i = 0; i < f; ++i)
                        sum += *source.PixelPtr(x * f + i, y * f + j);
                wrongBox += *box.PixelPtr(x, y) != sum / uint32_t(f * f);
                wrongFast += *fast.PixelPtr(x, y) != *source.PixelPtr(x * f, y * f);
            }
        EXPECT_EQ(wrongBox, 0) << "factor " << f;
        EXPECT_EQ(wrongFast, 0) << "factor " << f;
    }
}

} // namespace
