#include "base/BmpBytes.h"
#include "jpeg/JpegTestStreams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using bmptest::Loaded;
using bmptest::Painted;
using bmptest::ReadBytes;
using bmptest::TempFolder;
using bmptest::WriteBytes;
using vKit::CFileImageBuffer16;

TEST(JpgFile, QualityReachesTheEncoderAndJpegSavesToo)
{
    TempFolder dir;
    CFileImageBuffer16 image = Painted(37, 23, [](int32_t x, int32_t y) { return (6 * x + 5 * y) << 8; });
    image.Info().SetJpegQuality(100);
    ASSERT_EQ(image.SaveFile(dir.Path("a.jpg")), 0);
    image.Info().SetJpegQuality(10);
    ASSERT_EQ(image.SaveFile(dir.Path("q.jpeg")), 0);
    EXPECT_LT(ReadBytes(dir.Path("q.jpeg")).size(), ReadBytes(dir.Path("a.jpg")).size());
}

// Resolutions come back from the density, 16-bit densities to their nearest step, in dots per
// inch where they read back as well; files without the density or with other units fall back.
TEST(JpgFile, ResolutionSurvivesWriteThenReadAndFallsBack)
{
    TempFolder dir;
    const double cases[][3] = {
        {0, 0, 0},
        {2835, 2835, 0}, // unknown; 72 dpi as a BMP stores it
        {11811, 11811, 0},
        {80000, 40000, 0}, // 300 dpi; 12.5 / 25 um
        {39370, 39370, 0},
        {2500000, 2500000, 0},      // 1000 dpi read from a TIFF; dots per centimetre
        {6553500, 100, 0},          // beyond dots per inch; both axes differ
        {1e6 / 7.3, 1e6 / 7.3, 20}, // 7.3 um, held by no density exactly
        {100000, 100000, 0},        // 10 um, the file looked at below
    };
    for (const auto& c : cases)
    {
        CFileImageBuffer16 image = Painted(8, 8, [](int32_t, int32_t) { return 0x8000; });
        image.Info().SetResolutionX(c[0]);
        image.Info().SetResolutionY(c[1]);
        ASSERT_EQ(image.SaveFile(dir.Path("r.jpg")), 0);
        const CFileImageBuffer16 back = Loaded(dir.Path("r.jpg"));
        EXPECT_NEAR(back.Info().GetResolutionX(), c[0], c[2]);
        EXPECT_NEAR(back.Info().GetResolutionY(), c[1], c[2]);
    }
    std::vector<uint8_t> file = ReadBytes(dir.Path("r.jpg"));
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 13, file.begin() + 16),
              std::vector<uint8_t>({1, 2540 >> 8, 2540 & 0xFF}));

    // Without the APP0 segment: a valid JPEG that loads with the fallback of 3600.
    std::vector<uint8_t> bare = file;
    bare.erase(bare.begin() + 2, bare.begin() + 4 + (file[4] << 8 | file[5]));
    WriteBytes(dir.Path("bare.jpg"), bare);
    EXPECT_DOUBLE_EQ(Loaded(dir.Path("bare.jpg")).Info().GetResolutionX(), 3600.0);
    // Density units 0 (aspect ratio only, as many tools write it) and dots per centimetre.
    for (const auto& [units, resolution] : {std::pair<uint8_t, double>{0, 704.0}, {2, 254000.0}})
    {
        file[13] = units;
        WriteBytes(dir.Path("u.jpg"), file);
        EXPECT_DOUBLE_EQ(Loaded(dir.Path("u.jpg")).Info().GetResolutionY(), resolution) << int(units);
    }
}

TEST(JpgFile, ColourAndOddWidthFilesLoadAsGrey)
{
    TempFolder dir;
    WriteBytes(dir.Path("c.jpg"), jpegtest::Encode(jpegtest::ColourBands(30, 48), 95));
    const CFileImageBuffer16 colour = Loaded(dir.Path("c.jpg"));
    ASSERT_EQ(colour.GetSize(), std::make_pair(30, 48));
    EXPECT_NEAR(*colour.PixelPtr(15, 8) >> 8, 76, 4);  // red band: its luminance
    EXPECT_NEAR(*colour.PixelPtr(15, 40) >> 8, 29, 4); // blue band

    WriteBytes(dir.Path("w.jpg"), jpegtest::Encode(jpegtest::Ramp(1001, 4)));
    const CFileImageBuffer16 wide = Loaded(dir.Path("w.jpg"));
    EXPECT_EQ(wide.GetWidth(), 1001);
    EXPECT_EQ(wide.Info().GetRowPadding(), 3);
    EXPECT_NEAR(*wide.PixelPtr(1000, 3) >> 8, 255, 3);
}

} // namespace
