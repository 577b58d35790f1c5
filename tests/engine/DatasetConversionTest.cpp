#include "engine/ConversionRig.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

TEST(DatasetConversion, RefusesWithoutDestinationAndWhenDestinationIsTheSource)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 3);
    CDatasetConversion& job = rig.Job();
    EXPECT_FALSE(job.CanConvert());
    EXPECT_EQ(job.GetMessage(), "Source data-set not loaded");

    // The same folder, prefix and extension in any letter case is the source itself.
    for (const char* name : {"scan????.bmp", "SCAN0000.BMP", "Scan.bmp"})
    {
        rig.Wire(rig.Path("scan0001.bmp"), rig.Path(name));
        EXPECT_FALSE(job.CanConvert()) << name;
        EXPECT_EQ(job.GetMessage(), "Not yet implemented") << name;
        EXPECT_EQ(job.GetPlan(), CDatasetConversion::PlanSameDataset);
    }
    // The same folder spelt another way is still the same folder.
    rig.Wire(rig.Path("scan0001.bmp"), rig.Path(".") + "/scan0000.bmp");
    EXPECT_FALSE(job.CanConvert());

    for (const char* name : {"scan2????.bmp", "scan????.tif", "sub/scan????.bmp"})
    {
        rig.Wire(rig.Path("scan0001.bmp"), rig.Path(name));
        EXPECT_TRUE(job.CanConvert()) << name;
        EXPECT_EQ(job.GetPlan(), CDatasetConversion::PlanConvert);
    }
}

TEST(DatasetConversion, FormatTestsAndDestinationBitsFollowTheExtensions)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 1);
    CDatasetConversion& job = rig.Job();
    rig.Wire(rig.Path("scan0000.bmp"), rig.Path("q????.TIF"));
    EXPECT_EQ(job.GetDestinationBits(), 16);
    EXPECT_FALSE(job.IsSameFormat());
    EXPECT_FALSE(job.IsDestination8Bit());
    EXPECT_TRUE(job.IsSourceBmp());
    rig.Wire(rig.Path("scan0000.bmp"), rig.Path("q????.Bmp"));
    EXPECT_EQ(job.GetDestinationBits(), 8);
    EXPECT_TRUE(job.IsSameFormat());
    EXPECT_TRUE(job.IsDestinationBmp());
}

// A borrowed data set outlives the job and its holders; an owned one is released with them
// (the sanitizers report a double delete or a leak otherwise).
TEST(DatasetConversion, HoldersDeleteOnlyWhatTheyOwn)
{
    vKit::CDataset borrowed;
    {
        CDatasetConversion job;
        job.GetSource()->GetDataset()->SetPrefix("owned");
        job.GetSource()->SetDataset(&borrowed);
        EXPECT_TRUE(job.GetSource()->IsExternal());
        CDatasetBase* holder = new CDatasetBase;
        job.SetDestination(holder);
        job.SetDestination(holder);
        delete holder;
        job.SetDestination(nullptr);
        EXPECT_NE(job.GetDestination(), nullptr);
    }
    borrowed.SetPrefix("still here");
    EXPECT_EQ(borrowed.GetPrefix(), "still here");
}

vKit::CImageBuffer16 Numbered(int32_t width, int32_t height)
{
    vKit::CImageBuffer16 image;
    EXPECT_TRUE(image.Create(width, height, 32));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            *image.PixelPtr(x, y) = uint16_t(1000 * (y + 1) + x);
    image.Info().SetPrivateA(-1000);
    return image;
}

TEST(DatasetConversion, SideImageGainsOrLosesBottomRows)
{
    vKit::CImageBuffer16 image = Numbered(3, 4);
    ASSERT_TRUE(CDatasetConversion::ChangeSideImageHeight(image, 2));
    ASSERT_EQ(image.GetHeight(), 6);
    EXPECT_EQ(image.Info().GetHeight(), 6);
    EXPECT_EQ(image.Info().GetWidth(), 3);
    EXPECT_EQ(image.Info().GetPrivateA(), -1000);
    EXPECT_EQ(*image.PixelPtr(2, 3), 4002);
    for (int32_t y = 4; y < 6; ++y)
        for (int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(*image.PixelPtr(x, y), 0);

    image = Numbered(3, 4);
    ASSERT_TRUE(CDatasetConversion::ChangeSideImageHeight(image, -3));
    ASSERT_EQ(image.GetHeight(), 1);
    EXPECT_EQ(*image.PixelPtr(1, 0), 1001);

    // No row left: refused, the image untouched.
    for (int32_t shift : {-4, -5, -100000})
    {
        image = Numbered(3, 4);
        EXPECT_FALSE(CDatasetConversion::ChangeSideImageHeight(image, shift));
        EXPECT_EQ(image.GetHeight(), 4);
    }
}

} // namespace
