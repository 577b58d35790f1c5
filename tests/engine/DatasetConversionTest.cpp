#include "engine/ConversionRig.h"

#include <gtest/gtest.h>

namespace
{

TEST(DatasetConversion, RefusesWithoutDestinationAndWhenDestinationIsTheSource)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 3);
    CDatasetConversion& job = rig.Job();
    EXPECT_FALSE(job.CanConvert());
    EXPECT_EQ(job.GetMessage(), "Source data-set not loaded");

    // The same folder (spelt any way), prefix and extension in any letter case is the source itself.
    for (const std::string& name :
         {rig.Path("scan????.bmp"), rig.Path("SCAN0000.BMP"), rig.Path("./Scan.bmp")})
    {
        rig.Wire(rig.Path("scan0001.bmp"), name);
        EXPECT_FALSE(job.CanConvert()) << name;
        EXPECT_EQ(job.GetMessage(), "Not yet implemented") << name;
        EXPECT_EQ(job.GetPlan(), CDatasetConversion::PlanSameDataset);
    }
    for (const char* name : {"scan2????.bmp", "scan????.tif", "sub/scan????.bmp"})
    {
        rig.Wire(rig.Path("scan0001.bmp"), rig.Path(name));
        EXPECT_TRUE(job.CanConvert()) << name;
        EXPECT_EQ(job.GetPlan(), CDatasetConversion::PlanConvert);
    }
    // The destination's bits follow its extension in any letter case.
    EXPECT_EQ(job.GetDestinationBits(), 8);
    rig.Wire(rig.Path("scan0000.bmp"), rig.Path("q????.TIF"));
    EXPECT_EQ(job.GetDestinationBits(), 16);
    EXPECT_FALSE(job.IsSameFormat());
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

// Rows of 1000 * (row + 1) + column, so that kept and added rows show.
vKit::CImageBuffer16 Numbered(int32_t height)
{
    vKit::CImageBuffer16 image;
    EXPECT_TRUE(image.Create(3, height, 32));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < 3; ++x)
            *image.PixelPtr(x, y) = uint16_t(1000 * (y + 1) + x);
    image.Info().SetPrivateA(-1000);
    return image;
}

TEST(DatasetConversion, SideImageGainsOrLosesBottomRows)
{
    vKit::CImageBuffer16 image = Numbered(4);
    ASSERT_TRUE(CDatasetConversion::ChangeSideImageHeight(image, 2));
    ASSERT_EQ(image.GetHeight(), 6);
    EXPECT_EQ(image.Info().GetHeight(), 6);
    EXPECT_EQ(image.Info().GetPrivateA(), -1000);
    EXPECT_EQ(std::vector<uint16_t>(image.PixelPtr(2, 3), image.PixelPtr(2, 5) + 1),
              (std::vector<uint16_t>{4002, 0, 0, 0, 0, 0, 0}));

    image = Numbered(4);
    ASSERT_TRUE(CDatasetConversion::ChangeSideImageHeight(image, -3));
    ASSERT_EQ(image.GetHeight(), 1);
    EXPECT_EQ(*image.PixelPtr(1, 0), 1001);
    // No row left: refused, the image untouched.
    for (int32_t shift : {-4, -100000})
    {
        image = Numbered(4);
        EXPECT_FALSE(CDatasetConversion::ChangeSideImageHeight(image, shift));
        EXPECT_EQ(image.GetHeight(), 4);
    }
}

} // namespace
