#include "Base/TiffFile.h"
#include "Base/FileImageBuffer16.h"

#include "BmpBytes.h"
#include "TiffBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using bmptest::ReadBytes;
using bmptest::TempFolder;
using bmptest::WriteBytes;
using tifftest::Get16;
using tifftest::Get32;
using vKit::CFileImageBuffer16;
using vKit::CTiffFile;

// A w x h image whose sample (x, y) is 1000 * y + x + 1.
CFileImageBuffer16 Numbered(int32_t w, int32_t h)
{
    CFileImageBuffer16 image;
    EXPECT_TRUE(image.Create(w, h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            *image.PixelPtr(x, y) = uint16_t(1000 * y + x + 1);
    return image;
}

std::string LoadMessage(const std::vector<uint8_t>& file)
{
    TempFolder dir;
    WriteBytes(dir.Path("t.tif"), file);
    CFileImageBuffer16 image;
    if (image.LoadFile(dir.Path("t.tif")) != 2) return "loaded";
    return image.Messages().empty() ? "" : image.Messages().front();
}

TEST(TiffWrite, LayoutOfTwoStripsIsByteExact)
{
    TempFolder dir;
    CFileImageBuffer16 image = Numbered(3, 25);
    image.Info().SetPixelSizeXum(10.0);
    image.Info().SetPixelSizeYum(20.0);
    image.Info().SetPrivateA(-7);
    image.Info().SetPrivateB(8);
    image.Info().SetPrivateC(-9);
    image.Info().SetPrivateD(10);
    image.Info().SetPrivateE(11);
    ASSERT_EQ(image.SaveFile(dir.Path("a.tif")), 0);
    const std::vector<uint8_t> f = ReadBytes(dir.Path("a.tif"));

    const uint32_t w = 3, h = 25, n = 2, samples = 2 * w * h;
    ASSERT_EQ(f.size(), samples + 8 * n + 262); // 2wh + 278
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), std::string("II*\0", 4));
    EXPECT_EQ(std::string(f.begin() + 8, f.begin() + 16), std::string("Quorell\0", 8));
    EXPECT_EQ(Get16(f, 16), 1);                        // sample (0, 0)
    EXPECT_EQ(Get16(f, 16 + 2 * (3 * 24 + 2)), 24003); // sample (2, 24)
    EXPECT_EQ(Get32(f, 16 + samples), 2540u);          // 10 um = 2540 pixels per inch
    EXPECT_EQ(Get32(f, 20 + samples), 1u);
    EXPECT_EQ(Get32(f, 24 + samples), 1270u);
    EXPECT_EQ(Get32(f, 32 + samples), 16u); // strip offsets
    EXPECT_EQ(Get32(f, 36 + samples), 16u + 48 * w);
    EXPECT_EQ(Get32(f, 40 + samples), 48 * w); // strip byte counts
    EXPECT_EQ(Get32(f, 44 + samples), 2 * w);

    const uint32_t dirAt = Get32(f, 4);
    ASSERT_EQ(dirAt, 32 + samples + 8 * n);
    ASSERT_EQ(Get16(f, dirAt), 18);
    const uint32_t expected[18][4] = {
        {254, 4, 1, 0},
        {256, 3, 1, w},
        {257, 3, 1, h},
        {258, 3, 1, 16},
        {259, 3, 1, 1},
        {262, 3, 1, 1},
        {273, 4, n, 32 + samples},
        {277, 3, 1, 1},
        {278, 4, 1, 24},
        {279, 4, n, 40 + samples},
        {282, 5, 1, 16 + samples},
        {283, 5, 1, 24 + samples},
        {296, 3, 1, 2},
        {0xF001, 9, 1, uint32_t(-9)},
        {0xF002, 9, 1, 10},
        {0xF003, 3, 1, 11},
        {0xFF00, 9, 1, uint32_t(-7)},
        {0xFF01, 9, 1, 8},
    };
    for (uint32_t i = 0; i < 18; ++i)
    {
        const size_t at = dirAt + 2 + 12 * i;
        EXPECT_EQ(Get16(f, at), expected[i][0]) << "entry " << i;
        EXPECT_EQ(Get16(f, at + 2), expected[i][1]) << "entry " << i;
        EXPECT_EQ(Get32(f, at + 4), expected[i][2]) << "entry " << i;
        EXPECT_EQ(Get32(f, at + 8), expected[i][3]) << "entry " << i;
    }
    for (size_t i = dirAt + 218; i < f.size(); ++i)
        EXPECT_EQ(f[i], 0) << "tail byte " << i;
}

TEST(TiffWrite, OneStripKeepsOffsetAndCountInTheEntries)
{
    TempFolder dir;
    ASSERT_EQ(Numbered(5, 24).SaveFile(dir.Path("a.TIFF")), 0);
    const std::vector<uint8_t> f = ReadBytes(dir.Path("a.TIFF"));
    ASSERT_EQ(f.size(), 2u * 5 * 24 + 8 + 262);
    const uint32_t dirAt = Get32(f, 4);
    EXPECT_EQ(Get32(f, dirAt + 2 + 12 * 6 + 4), 1u); // 273: one strip at 16
    EXPECT_EQ(Get32(f, dirAt + 2 + 12 * 6 + 8), 16u);
    EXPECT_EQ(Get32(f, dirAt + 2 + 12 * 9 + 8), 240u);       // 279: 2wh itself
    EXPECT_EQ(Get32(f, dirAt + 2 + 12 * 10 + 8), 16u + 240); // 282: the rationals follow the samples
}

TEST(TiffWrite, ReadBackGivesSamplesSizeResolutionAndPrivateValues)
{
    TempFolder dir;
    CFileImageBuffer16 image = Numbered(7, 50);
    image.Info().SetPixelSizeXum(10.0);
    image.Info().SetResolutionY(11811); // 300 dpi as a BMP stores it
    image.Info().SetPrivateA(123456);
    image.Info().SetPrivateB(-2);
    image.Info().SetPrivateE(40000);
    ASSERT_EQ(image.SaveFile(dir.Path("r.tif")), 0);

    CFileImageBuffer16 back;
    ASSERT_EQ(back.LoadFile(dir.Path("r.tif")), 0);
    ASSERT_EQ(back.GetSize(), image.GetSize());
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 7; ++x)
            ASSERT_EQ(*back.PixelPtr(x, y), *image.PixelPtr(x, y)) << x << "," << y;
    const vKit::CImageInfo& info = back.Info();
    EXPECT_EQ(info.GetBitsPerPixel(), 16);
    EXPECT_EQ(info.GetSignificantBits(), 16);
    EXPECT_EQ(info.GetGreyCeiling(), 65535);
    EXPECT_EQ(info.GetImageBytes(), 7 * 50 * 2);
    EXPECT_DOUBLE_EQ(info.GetResolutionX(), 100000.0);
    EXPECT_DOUBLE_EQ(info.GetResolutionY(), 11811.0); // 300 dpi both ways, not 299
    EXPECT_EQ(info.GetPrivateA(), 123456);
    EXPECT_EQ(info.GetPrivateB(), -2);
    EXPECT_EQ(info.GetPrivateE(), 40000);
    EXPECT_EQ(bmptest::Get32(info.PrivateBlock(), 8), 123456u); // mirrored into the block
    EXPECT_EQ(info.ColorTable().GetCount(), 256);
    EXPECT_EQ(info.GetFileName(), dir.Path("r.tif"));
}

TEST(TiffWrite, PaddingRoundsSizesUpWithThePadValue)
{
    TempFolder dir;
    CFileImageBuffer16 image = Numbered(1001, 5);
    image.SetPadMultipleX(16);
    ASSERT_EQ(image.SaveFile(dir.Path("p.tif")), 0);
    CFileImageBuffer16 back;
    ASSERT_EQ(back.LoadFile(dir.Path("p.tif")), 0);
    ASSERT_EQ(back.GetWidth(), 1008);
    ASSERT_EQ(back.GetHeight(), 5);
    EXPECT_EQ(*back.PixelPtr(1000, 4), 5001);
    for (int32_t x = 1001; x < 1008; ++x)
        EXPECT_EQ(*back.PixelPtr(x, 4), 65280);

    image.SetPadMultipleX(0);
    image.SetPadMultipleY(4);
    image.SetPadValue(7);
    ASSERT_EQ(image.SaveFile(dir.Path("q.tif")), 0);
    ASSERT_EQ(back.LoadFile(dir.Path("q.tif")), 0);
    ASSERT_EQ(back.GetSize(), std::make_pair(1001, 8));
    EXPECT_EQ(*back.PixelPtr(0, 5), 7);
    EXPECT_EQ(*back.PixelPtr(1000, 7), 7);
    EXPECT_EQ(*back.PixelPtr(1000, 4), 5001);
    EXPECT_EQ(image.GetSize(), std::make_pair(1001, 5)); // the image itself is not padded
}

TEST(TiffWrite, UnclampedEightBitDataIsRefusedAndNothingIsWritten)
{
    TempFolder dir;
    CFileImageBuffer16 image = Numbered(4, 4);
    image.Info().SetGreyCeiling(65520);
    image.Info().SetClampOnExport(true);
    EXPECT_EQ(image.SaveFile(dir.Path("c.tif")), -1);
    EXPECT_TRUE(ReadBytes(dir.Path("c.tif")).empty());

    image.Info().SetClampOnExport(false); // the same data without the request is written
    EXPECT_EQ(image.SaveFile(dir.Path("c.tif")), 0);
    image.Info().SetClampOnExport(true);
    image.Info().SetGreyCeiling(0);
    EXPECT_EQ(image.SaveFile(dir.Path("d.tif")), 0);

    EXPECT_NE(Numbered(4, 4).SaveFile(dir.Path("missing/e.tif")), 0);
}

TEST(TiffRead, ResolutionUnits)
{
    struct Case
    {
        uint32_t unit, numerator, denominator;
        double pixelsPerMetre;
    } cases[] = {
        {3, 400, 1, 40000}, {2, 254, 1, 10000}, {1, 5000, 2, 2500}, {0, 777, 1, 777}, {2, 7, 2, 118}};
    for (const Case& c : cases)
    {
        tifftest::TiffBuilder b = tifftest::GreyImage(1, 1, 8, {9});
        const uint32_t r = b.AddRational(c.numerator, c.denominator);
        b.With(282, 5, 1, r).With(283, 5, 1, r);
        if (c.unit != 0) b.With(296, 3, 1, c.unit);
        CTiffFile tiff;
        vKit::CImageBuffer16 image;
        const std::vector<uint8_t> f = b.Build();
        ASSERT_EQ(tiff.ReadTiff(f.data(), f.size(), image), 1);
        EXPECT_DOUBLE_EQ(image.Info().GetResolutionX(), c.pixelsPerMetre) << "unit " << c.unit;
        EXPECT_DOUBLE_EQ(image.Info().GetResolutionY(), c.pixelsPerMetre) << "unit " << c.unit;
    }
}

TEST(TiffRead, SubsetOfStripLayouts)
{
    CTiffFile tiff;
    vKit::CImageBuffer16 image;
    auto read = [&](const tifftest::TiffBuilder& b)
    {
        const std::vector<uint8_t> f = b.Build();
        return tiff.ReadTiff(f.data(), f.size(), image);
    };

    // 8 bits: each byte one sample, not shifted.
    ASSERT_EQ(read(tifftest::GreyImage(3, 1, 8, {0, 128, 255})), 1);
    EXPECT_EQ(image.Info().GetBitsPerPixel(), 8);
    EXPECT_EQ(image.Info().GetImageBytes(), 3);
    EXPECT_EQ(*image.PixelPtr(2, 0), 255);

    // A single strip is read for the whole image whatever its byte count says.
    tifftest::TiffBuilder one = tifftest::GreyImage(2, 1, 16, tifftest::Bytes16({0x1234, 0xFEDC}));
    one.entries.back().value = 1;
    ASSERT_EQ(read(one), 1);
    EXPECT_EQ(*image.PixelPtr(1, 0), 0xFEDC);

    // Several strips: counts that add up to more than the image stop once it is full; SHORT
    // arrays that fit the value field are read from it.
    tifftest::TiffBuilder many;
    const uint32_t s0 = many.Add(tifftest::Bytes16({1, 2, 3}));
    const uint32_t s1 = many.Add(tifftest::Bytes16({4, 5, 6, 99, 99}));
    many.With(256, 3, 1, 2).With(257, 3, 1, 3).With(258, 3, 1, 16).With(259, 3, 1, 1);
    many.With(273, 3, 2, s0 | s1 << 16).With(279, 3, 2, 6 | 10 << 16);
    ASSERT_EQ(read(many), 1);
    EXPECT_EQ(*image.PixelPtr(1, 2), 6);

    // No strips at all: the size of the file, and samples that stay 0.
    tifftest::TiffBuilder none;
    none.Add(std::vector<uint8_t>(16, 0xAB));
    none.With(256, 3, 1, 2).With(257, 3, 1, 2).With(258, 3, 1, 16).With(259, 3, 1, 1);
    ASSERT_EQ(read(none), 1);
    ASSERT_EQ(image.GetSize(), std::make_pair(2, 2));
    EXPECT_EQ(*image.PixelPtr(1, 1), 0);

    // A strip list that ends early leaves the rest 0 rather than memory garbage.
    tifftest::TiffBuilder shortStrips;
    const uint32_t s = shortStrips.Add(tifftest::Bytes16({7, 7}));
    const uint32_t offsets = shortStrips.AddLongs({s, s});
    const uint32_t counts = shortStrips.AddLongs({3, 0});
    shortStrips.With(256, 3, 1, 2).With(257, 3, 1, 2).With(258, 3, 1, 16).With(259, 3, 1, 1);
    shortStrips.With(273, 4, 2, offsets).With(279, 4, 2, counts);
    ASSERT_EQ(read(shortStrips), 1);
    EXPECT_EQ(*image.PixelPtr(0, 0), 7);
    EXPECT_EQ(*image.PixelPtr(1, 0), 7); // low byte from the file, high byte zeroed
    EXPECT_EQ(*image.PixelPtr(1, 1), 0);

    // Width 0: an empty image and success.
    ASSERT_EQ(read(tifftest::GreyImage(0, 5, 16, {1, 2})), 1);
    EXPECT_TRUE(image.IsEmpty());
}

TEST(TiffRead, TheFourMessages)
{
    EXPECT_EQ(LoadMessage({}), CTiffFile::MsgNotFound);
    CFileImageBuffer16 image;
    EXPECT_EQ(image.LoadFile("/nonexistent/folder/x.tif"), 2);
    ASSERT_EQ(image.Messages().size(), 1u);
    EXPECT_EQ(image.Messages()[0], CTiffFile::MsgNotFound);

    std::vector<uint8_t> mm = tifftest::GreyImage(1, 1, 8, {1}).Build();
    mm[0] = mm[1] = 'M';
    EXPECT_EQ(LoadMessage(mm), CTiffFile::MsgNotIntel);

    tifftest::TiffBuilder lzw = tifftest::GreyImage(1, 1, 8, {1});
    lzw.entries[3].value = 5;
    EXPECT_EQ(LoadMessage(lzw.Build()), CTiffFile::MsgCompression);
    tifftest::TiffBuilder noCompression = tifftest::GreyImage(1, 1, 8, {1});
    noCompression.entries.erase(noCompression.entries.begin() + 3);
    EXPECT_EQ(LoadMessage(noCompression.Build()), CTiffFile::MsgCompression);

    std::vector<uint8_t> noEntries = tifftest::GreyImage(1, 1, 8, {1}).Build();
    tifftest::Put16(noEntries, Get32(noEntries, 4), 0);
    EXPECT_EQ(LoadMessage(noEntries), CTiffFile::MsgBadTags);
}

} // namespace
