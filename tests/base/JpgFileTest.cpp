#include "Base/JpgFile.h"
#include "Base/FileImageBuffer16.h"

#include "BmpBytes.h"
#include "jpeg/JpegTestStreams.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{

using bmptest::ReadBytes;
using bmptest::TempFolder;
using bmptest::WriteBytes;
using vKit::CFileImageBuffer16;
using vKit::CJFIF;

// 8-bit data as a BMP load holds it: the high byte of each sample, here 6 * x + 5 * y.
CFileImageBuffer16 EightBitRamp(int32_t w, int32_t h)
{
    CFileImageBuffer16 image;
    EXPECT_TRUE(image.Create(w, h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            *image.PixelPtr(x, y) = uint16_t(((6 * x + 5 * y) & 0xFF) << 8);
    image.Info().SetSignificantBits(8);
    return image;
}

CFileImageBuffer16 Flat(int32_t w, int32_t h, uint16_t value)
{
    CFileImageBuffer16 image;
    EXPECT_TRUE(image.Create(w, h));
    image.Fill(value);
    return image;
}

TEST(JpgFile, SaveAndLoadKeepSizeValuesAndRowOrder)
{
    TempFolder dir;
    CFileImageBuffer16 image = EightBitRamp(37, 23);
    for (int32_t x = 0; x < 37; ++x)
        *image.PixelPtr(x, 0) = 0xFF00; // a white top row
    image.Info().SetJpegQuality(100);
    ASSERT_EQ(image.SaveFile(dir.Path("a.jpeg")), 0);
    const std::vector<uint8_t> file = ReadBytes(dir.Path("a.jpeg"));
    ASSERT_GT(file.size(), 20u);
    EXPECT_EQ(0, std::memcmp(file.data(), "\xFF\xD8\xFF\xE0\x00\x10JFIF", 11));
    EXPECT_EQ(jpegtest::FindMarker(file, 0xC0) > 0 ? file[jpegtest::FindMarker(file, 0xC0) + 7] : 0, 1)
        << "one component";

    ASSERT_EQ(std::rename(dir.Path("a.jpeg").c_str(), dir.Path("a.jpg").c_str()), 0);
    CFileImageBuffer16 back;
    ASSERT_EQ(back.LoadFile(dir.Path("a.jpg")), 0);
    ASSERT_EQ(back.GetSize(), std::make_pair(37, 23));
    for (int32_t y = 0; y < 23; ++y)
        for (int32_t x = 0; x < 37; ++x)
        {
            ASSERT_EQ(*back.PixelPtr(x, y) & 0xFF, 0) << "8-bit data sits in the high byte";
            ASSERT_NEAR(*back.PixelPtr(x, y) >> 8, *image.PixelPtr(x, y) >> 8, 3) << x << "," << y;
        }
    const vKit::CImageInfo& info = back.Info();
    EXPECT_EQ(info.GetBitsPerPixel(), 16);
    EXPECT_EQ(info.GetSignificantBits(), 8);
    EXPECT_EQ(info.GetGreyCeiling(), 0xFF00);
    EXPECT_EQ(info.GetRowPadding(), 3);
    EXPECT_FALSE(info.GetBottomUp());
    EXPECT_FALSE(info.GetClampOnExport());
    EXPECT_EQ(info.ColorTable().GetCount(), 256);
    EXPECT_EQ(info.AltColorTable().GetCount(), 256);
}

TEST(JpgFile, ResolutionSurvivesWriteThenRead)
{
    TempFolder dir;
    const double cases[][2] = {
        {0, 0},
        {2835, 2835}, // unknown; 72 dpi as a BMP stores it
        {11811, 11811},
        {100000, 100000}, // 300 dpi; 10 um pixels
        {80000, 40000},
        {39370, 39370}, // 12.5 / 25 um; 1000 dpi read from a TIFF
        {2500000, 2500000},
        {6553500, 100}, // beyond dots per inch; both axes differ
    };
    for (const auto& c : cases)
    {
        CFileImageBuffer16 image = Flat(8, 8, 0x8000);
        image.Info().SetResolutionX(c[0]);
        image.Info().SetResolutionY(c[1]);
        ASSERT_EQ(image.SaveFile(dir.Path("r.jpg")), 0);
        CFileImageBuffer16 back;
        ASSERT_EQ(back.LoadFile(dir.Path("r.jpg")), 0);
        EXPECT_DOUBLE_EQ(back.Info().GetResolutionX(), c[0]);
        EXPECT_DOUBLE_EQ(back.Info().GetResolutionY(), c[1]);
    }
    // Resolutions no 16-bit density holds exactly come back to the nearest step.
    CFileImageBuffer16 odd = Flat(8, 8, 0);
    odd.Info().SetPixelSizeXum(7.3);
    odd.Info().SetPixelSizeYum(7.3);
    ASSERT_EQ(odd.SaveFile(dir.Path("o.jpg")), 0);
    CFileImageBuffer16 back;
    ASSERT_EQ(back.LoadFile(dir.Path("o.jpg")), 0);
    EXPECT_NEAR(back.Info().GetResolutionX(), 1e6 / 7.3, 20);
}

TEST(JpgFile, HeaderBlockTestsAndFallbackResolutions)
{
    TempFolder dir;
    CFileImageBuffer16 image = Flat(8, 8, 0x4000);
    image.Info().SetResolutionX(100000);
    image.Info().SetResolutionY(100000);
    ASSERT_EQ(image.SaveFile(dir.Path("h.jpg")), 0);
    std::vector<uint8_t> file = ReadBytes(dir.Path("h.jpg"));
    CJFIF jfif;
    ASSERT_EQ(jfif.Parse(file.data(), file.size()), 0);
    EXPECT_EQ(jfif.GetUnits(), 1);
    EXPECT_EQ(jfif.GetDensityX(), 2540);
    EXPECT_EQ(jfif.Read(dir.Path("h.jpg")), 0);
    EXPECT_EQ(jfif.Parse(file.data(), 19), CJFIF::NotJfif);
    EXPECT_EQ(jfif.Read(dir.Path("none.jpg")), ENOENT);

    // Without the APP0 segment: a valid JPEG that loads with the fallback of 3600.
    const size_t app0Length = size_t(file[4]) << 8 | file[5];
    std::vector<uint8_t> bare(file.begin(), file.begin() + 2);
    bare.insert(bare.end(), file.begin() + long(4 + app0Length), file.end());
    WriteBytes(dir.Path("bare.jpg"), bare);
    EXPECT_EQ(jfif.Read(dir.Path("bare.jpg")), CJFIF::NotJfif);
    CFileImageBuffer16 back;
    ASSERT_EQ(back.LoadFile(dir.Path("bare.jpg")), 0);
    EXPECT_DOUBLE_EQ(back.Info().GetResolutionX(), 3600.0);

    // Density units 0 (aspect ratio only), as many tools write it: 704.
    file[13] = 0;
    WriteBytes(dir.Path("aspect.jpg"), file);
    ASSERT_EQ(back.LoadFile(dir.Path("aspect.jpg")), 0);
    EXPECT_DOUBLE_EQ(back.Info().GetResolutionY(), 704.0);
    file[13] = 2; // dots per centimetre
    WriteBytes(dir.Path("cm.jpg"), file);
    ASSERT_EQ(back.LoadFile(dir.Path("cm.jpg")), 0);
    EXPECT_DOUBLE_EQ(back.Info().GetResolutionY(), 254000.0);
}

TEST(JpgFile, DensityOfAFileOnDisk)
{
    TempFolder dir;
    vKit::CJpgFile jpg;
    jpg.SetImage(Flat(8, 8, 0x1000));
    ASSERT_EQ(jpg.WriteJpeg(dir.Path("d.jpg")), 0);
    const std::vector<uint8_t> before = ReadBytes(dir.Path("d.jpg"));

    jpg.Image().Info().SetResolutionX(11811);
    jpg.Image().Info().SetResolutionY(80000);
    ASSERT_EQ(jpg.WriteDensity(dir.Path("d.jpg")), 0);
    const std::vector<uint8_t> after = ReadBytes(dir.Path("d.jpg"));
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin() + 20, before.end(), after.begin() + 20))
        << "only the header changes";

    vKit::CJpgFile reader;
    ASSERT_EQ(reader.ReadDensity(dir.Path("d.jpg")), 0);
    EXPECT_DOUBLE_EQ(reader.Image().Info().GetResolutionX(), 11811.0);
    EXPECT_DOUBLE_EQ(reader.Image().Info().GetResolutionY(), 80000.0);

    WriteBytes(dir.Path("x.jpg"), std::vector<uint8_t>(40, 7));
    EXPECT_EQ(jpg.WriteDensity(dir.Path("x.jpg")), CJFIF::NotJfif);
    EXPECT_EQ(ReadBytes(dir.Path("x.jpg")), std::vector<uint8_t>(40, 7));
    EXPECT_EQ(reader.ReadDensity(dir.Path("x.jpg")), CJFIF::NotJfif);
    EXPECT_DOUBLE_EQ(reader.Image().Info().GetResolutionX(), 3600.0);
}

TEST(JpgFile, ColourAndOddWidthFilesLoadAsGrey)
{
    TempFolder dir;
    WriteBytes(dir.Path("c.jpg"), jpegtest::Encode(jpegtest::ColourBands(30, 48), 95));
    CFileImageBuffer16 colour;
    ASSERT_EQ(colour.LoadFile(dir.Path("c.jpg")), 0);
    ASSERT_EQ(colour.GetSize(), std::make_pair(30, 48));
    EXPECT_NEAR(*colour.PixelPtr(15, 8) >> 8, 76, 4);  // red band: its luminance
    EXPECT_NEAR(*colour.PixelPtr(15, 40) >> 8, 29, 4); // blue band

    WriteBytes(dir.Path("w.jpg"), jpegtest::Encode(jpegtest::Ramp(1001, 4)));
    CFileImageBuffer16 wide;
    ASSERT_EQ(wide.LoadFile(dir.Path("w.jpg")), 0);
    EXPECT_EQ(wide.GetWidth(), 1001);
    EXPECT_EQ(wide.Info().GetRowPadding(), 3);
    EXPECT_NEAR(*wide.PixelPtr(1000, 3) >> 8, 255, 3);
    ASSERT_EQ(wide.SaveFile(dir.Path("w2.jpg")), 0);
    CFileImageBuffer16 again;
    ASSERT_EQ(again.LoadFile(dir.Path("w2.jpg")), 0);
    EXPECT_EQ(again.GetSize(), std::make_pair(1001, 4));
}

TEST(JpgFile, QualityIsPassedOnAndOutOfRangeKeepsTheDefault)
{
    TempFolder dir;
    auto size = [&](int32_t quality)
    {
        CFileImageBuffer16 image = EightBitRamp(64, 64);
        image.Info().SetJpegQuality(quality);
        EXPECT_EQ(image.SaveFile(dir.Path("q.jpg")), 0);
        return ReadBytes(dir.Path("q.jpg"));
    };
    const std::vector<uint8_t> byDefault = size(75);
    EXPECT_EQ(size(150), byDefault);
    EXPECT_EQ(size(-1), byDefault);
    EXPECT_LT(size(0).size(), byDefault.size());
    EXPECT_GT(size(100).size(), byDefault.size());
}

TEST(JpgFile, UnclampedEightBitDataIsClampedInACopy)
{
    TempFolder dir;
    // 65300 is in the range the clamp lowers to 65024: high byte 254 instead of 255.
    CFileImageBuffer16 fromBmp = Flat(16, 16, 65300);
    fromBmp.Info().SetGreyCeiling(65520);
    fromBmp.Info().SetClampOnExport(true);
    fromBmp.Info().SetJpegQuality(100);
    ASSERT_EQ(fromBmp.SaveFile(dir.Path("b.jpg")), 0);
    EXPECT_EQ(*fromBmp.PixelPtr(3, 3), 65300) << "the image itself is not clamped";
    CFileImageBuffer16 back;
    ASSERT_EQ(back.LoadFile(dir.Path("b.jpg")), 0);
    EXPECT_EQ(*back.PixelPtr(3, 3), 254 << 8);

    CFileImageBuffer16 fromJpeg = fromBmp;
    fromJpeg.Info().SetGreyCeiling(0xFF00);
    ASSERT_EQ(fromJpeg.SaveFile(dir.Path("j.jpg")), 0);
    ASSERT_EQ(back.LoadFile(dir.Path("j.jpg")), 0);
    EXPECT_EQ(*back.PixelPtr(3, 3), 255 << 8);
}

TEST(JpgFile, FailuresGiveEmptyImagesAndNoFiles)
{
    TempFolder dir;
    CFileImageBuffer16 image = EightBitRamp(8, 8);
    EXPECT_EQ(image.LoadFile(dir.Path("missing.jpg")), 2);
    EXPECT_TRUE(image.IsEmpty());

    WriteBytes(dir.Path("text.jpg"), std::vector<uint8_t>{'n', 'o', 't'});
    image = EightBitRamp(8, 8);
    EXPECT_EQ(image.LoadFile(dir.Path("text.jpg")), 2);
    EXPECT_TRUE(image.IsEmpty());

    std::vector<uint8_t> whole = jpegtest::Encode(jpegtest::Ramp(64, 64));
    WriteBytes(dir.Path("cut.jpg"),
               std::vector<uint8_t>(whole.begin(), whole.begin() + long(whole.size() / 2)));
    EXPECT_EQ(image.LoadFile(dir.Path("cut.jpg")), 2);
    EXPECT_TRUE(image.IsEmpty());

    CFileImageBuffer16 empty;
    EXPECT_NE(empty.SaveFile(dir.Path("empty.jpg")), 0);
    EXPECT_TRUE(ReadBytes(dir.Path("empty.jpg")).empty());
    EXPECT_NE(EightBitRamp(4, 4).SaveFile(dir.Path("no/such/folder.jpg")), 0);
}

} // namespace
