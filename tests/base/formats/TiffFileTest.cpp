// Our TIFF writer's layout and what our reader and libtiff's read: other writers' layouts,
// signed and MinIsWhite samples (several pages: the CLI tests), and libtiff's refusals of what
// cannot be one grey image, each with its reason and nothing on stderr.

#include "Base/formats/TiffFile.h"
#include "Base/formats/TiffLibReader.h"

#include "base/BmpBytes.h"
#include "base/TiffBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace
{

using bmptest::ReadBytes;
using bmptest::TempFolder;
using tifftest::Bytes16;
using tifftest::GreyImage;
using tifftest::TiffBuilder;
using vKit::CFileImageBuffer16;
using vKit::CTiffFile;

// A w x h image whose sample (x, y) is 1000 * y + x + 1.
CFileImageBuffer16 Numbered(int32_t w, int32_t h)
{
    return bmptest::Painted(w, h, [](int32_t x, int32_t y) { return 1000 * y + x + 1; });
}

using Longs = std::vector<uint32_t>;

// 24 rows fit one strip, whose offset and count sit in the entries themselves; 25 need two,
// listed in arrays after the resolutions. Our reader gets back what was written.
TEST(TiffWrite, LayoutIsByteExactWithOneAndTwoStripsAndReadsBack)
{
    TempFolder dir;
    for (const uint32_t h : {24u, 25u})
    {
        SCOPED_TRACE(h);
        const uint32_t w = 3, n = (h + 23) / 24, samples = 2 * w * h;
        CFileImageBuffer16 image = Numbered(int32_t(w), int32_t(h));
        vKit::CImageInfo& info = image.Info();
        info.SetPixelSizeXum(10.0);
        info.SetResolutionY(11811); // 300 dpi as a BMP stores it
        info.SetPrivateA(-7);
        info.SetPrivateB(8);
        info.SetPrivateC(-9);
        info.SetPrivateD(10);
        info.SetPrivateE(40000);
        const std::string path = dir.Path("a.tif");
        ASSERT_EQ(image.SaveFile(path), 0);
        // The whole file built independently: 10 um is 2540 pixels per inch, 11811 pixels per metre
        // 300, not 299; the strip arrays, copied into the entries for one strip; 8 bytes more.
        tifftest::TiffBuilder b;
        b.Add({'Q', 'u', 'o', 'r', 'e', 'l', 'l', 0});
        b.Add(tifftest::Bytes16(std::vector<uint16_t>(image.GetData(), image.GetData() + w * h)));
        const uint32_t resolutions = b.AddLongs({2540, 1, 300, 1});
        const uint32_t arrays =
            b.AddLongs(n == 1 ? Longs({16, samples}) : Longs({16, 16 + 48 * w, 48 * w, 2 * w}));
        b.entries = {{254, 4, 1, 0},
                     {256, 3, 1, w},
                     {257, 3, 1, h},
                     {258, 3, 1, 16},
                     {259, 3, 1, 1},
                     {262, 3, 1, 1},
                     {273, 4, n, n == 1 ? 16 : arrays},
                     {277, 3, 1, 1},
                     {278, 4, 1, 24},
                     {279, 4, n, n == 1 ? samples : arrays + 8},
                     {282, 5, 1, resolutions},
                     {283, 5, 1, resolutions + 8},
                     {296, 3, 1, 2},
                     {0xF001, 9, 1, uint32_t(-9)},
                     {0xF002, 9, 1, 10},
                     {0xF003, 3, 1, 40000},
                     {0xFF00, 9, 1, uint32_t(-7)},
                     {0xFF01, 9, 1, 8}};
        std::vector<uint8_t> expected = b.Build();
        expected.resize(expected.size() + 8, 0);
        EXPECT_EQ(ReadBytes(path), expected);

        CFileImageBuffer16 back;
        ASSERT_EQ(back.LoadFile(path), 0);
        ASSERT_EQ(back.GetSize(), image.GetSize());
        EXPECT_TRUE(std::equal(image.GetData(), image.GetData() + w * h, back.GetData()));
        const vKit::CImageInfo& read = back.Info();
        EXPECT_EQ(std::make_pair(read.GetBitsPerPixel(), read.GetSignificantBits()), std::make_pair(16, 16));
        EXPECT_EQ(std::make_pair(read.GetResolutionX(), read.GetResolutionY()),
                  std::make_pair(100000.0, 11811.0));
        EXPECT_EQ(std::vector<int32_t>({read.GetPrivateA(), read.GetPrivateB(), read.GetPrivateC(),
                                        read.GetPrivateD(), read.GetPrivateE()}),
                  std::vector<int32_t>({-7, 8, -9, 10, 40000}));
    }
}

TEST(TiffWrite, PaddingAddsColumnsAndRowsOfThePadValueToTheFileOnly)
{
    TempFolder dir;
    CFileImageBuffer16 image = Numbered(1001, 5);
    image.SetPadMultipleX(16);
    image.SetPadMultipleY(4);
    image.SetPadValue(7);
    ASSERT_EQ(image.SaveFile(dir.Path("p.tif")), 0);
    EXPECT_EQ(image.GetSize(), std::make_pair(1001, 5));
    CFileImageBuffer16 back;
    ASSERT_EQ(back.LoadFile(dir.Path("p.tif")), 0);
    ASSERT_EQ(back.GetSize(), std::make_pair(1008, 8));
    EXPECT_EQ(*back.PixelPtr(1000, 4), 5001);
    for (auto [x, y] : {std::pair{1001, 4}, {1007, 0}, {0, 5}, {1007, 7}})
        EXPECT_EQ(*back.PixelPtr(x, y), 7) << x << "," << y;
}

TEST(TiffRead, ResolutionUnits)
{
    // Unit (0: no tag), numerator and denominator; pixels per metre.
    const uint32_t cases[][4] = {
        {3, 400, 1, 40000}, {2, 254, 1, 10000}, {1, 5000, 2, 2500}, {0, 777, 1, 777}, {2, 7, 2, 118}};
    for (const auto& [unit, numerator, denominator, pixelsPerMetre] : cases)
    {
        tifftest::TiffBuilder b = tifftest::GreyImage(1, 1, 8, {9});
        const uint32_t r = b.AddLongs({numerator, denominator});
        b.With(282, 5, 1, r).With(283, 5, 1, r);
        if (unit != 0) b.With(296, 3, 1, unit);
        vKit::CTiffFile tiff;
        vKit::CImageBuffer16 image;
        const std::vector<uint8_t> f = b.Build();
        ASSERT_EQ(tiff.ReadTiff(f.data(), f.size(), image), 1);
        EXPECT_EQ(std::make_pair(image.Info().GetResolutionX(), image.Info().GetResolutionY()),
                  std::make_pair(double(pixelsPerMetre), double(pixelsPerMetre)))
            << "unit " << unit;
    }
}

TEST(TiffRead, StripLayoutsOfOtherWriters)
{
    vKit::CTiffFile tiff;
    vKit::CImageBuffer16 image;
    auto read = [&](const tifftest::TiffBuilder& b)
    {
        const std::vector<uint8_t> f = b.Build();
        return tiff.ReadTiff(f.data(), f.size(), image);
    };

    // 8 bits: each byte one sample, held as v * 256 with 8 significant bits.
    ASSERT_EQ(read(tifftest::GreyImage(3, 1, 8, {0, 128, 255})), 1);
    EXPECT_EQ(std::make_pair(image.Info().GetBitsPerPixel(), image.Info().GetSignificantBits()),
              std::make_pair(8, 8));
    EXPECT_EQ(*image.PixelPtr(2, 0), 0xFF00);

    // A single strip is read for the whole image whatever its byte count says.
    tifftest::TiffBuilder one = tifftest::GreyImage(2, 1, 16, tifftest::Bytes16({0x1234, 0xFEDC}));
    one.entries.back().value = 1;
    ASSERT_EQ(read(one), 1);
    EXPECT_EQ(*image.PixelPtr(1, 0), 0xFEDC);

    // Several strips: SHORT arrays that fit the value field are read from it, and counts that
    // add up to more than the image stop once it is full.
    tifftest::TiffBuilder many;
    const uint32_t s0 = many.Add(tifftest::Bytes16({1, 2, 3}));
    const uint32_t s1 = many.Add(tifftest::Bytes16({4, 5, 6, 99, 99}));
    many.Grey(2, 3, 16).With(273, 3, 2, s0 | s1 << 16).With(279, 3, 2, 6 | 10 << 16);
    ASSERT_EQ(read(many), 1);
    EXPECT_EQ(*image.PixelPtr(1, 2), 6);

    // A strip list that ends early leaves the rest 0 rather than memory garbage.
    tifftest::TiffBuilder shortStrips;
    const uint32_t s = shortStrips.Add(tifftest::Bytes16({7, 7}));
    const uint32_t offsets = shortStrips.AddLongs({s, s});
    const uint32_t counts = shortStrips.AddLongs({3, 0});
    shortStrips.Grey(2, 2, 16).With(273, 4, 2, offsets).With(279, 4, 2, counts);
    ASSERT_EQ(read(shortStrips), 1);
    EXPECT_EQ(std::vector<uint16_t>(image.GetData(), image.GetData() + 4),
              std::vector<uint16_t>({7, 7, 0, 0}))
        << "the second sample: low byte from the file, high byte zeroed";

    // A SHORT value is the first two bytes of the value field; the other two may hold anything.
    ASSERT_EQ(read(tifftest::GreyImage(3 | 0xABCD0000u, 1, 8 | 0x10000u, {1, 2, 3})), 1);
    EXPECT_EQ(image.GetSize(), std::make_pair(3, 1));

    ASSERT_EQ(read(tifftest::GreyImage(0, 5, 16, {1, 2})), 1); // width 0 is an empty image
    EXPECT_TRUE(image.IsEmpty());
}

// A SHORT field holds 16 bits: a width above them, and a private value E outside them, come
// back whole.
TEST(TiffWrite, ValuesBeyondSixteenBitsGoIntoLongFields)
{
    TempFolder dir;
    CFileImageBuffer16 image = Numbered(65536, 1);
    image.Info().SetPrivateE(-2);
    ASSERT_EQ(image.SaveFile(dir.Path("w.tif")), 0);
    CFileImageBuffer16 back;
    ASSERT_EQ(back.LoadFile(dir.Path("w.tif")), 0);
    ASSERT_EQ(back.GetSize(), std::make_pair(65536, 1));
    EXPECT_TRUE(std::equal(image.GetData(), image.GetData() + 65536, back.GetData()));
    EXPECT_EQ(back.Info().GetPrivateE(), -2);
}

TEST(TiffLibReader, SignedAndMinIsWhiteSamplesKeepTheirOrder)
{
    struct Case
    {
        uint32_t bits;
        std::vector<uint8_t> samples;
        uint16_t tag, value; // SampleFormat 2 (signed) or Photometric 0 (MinIsWhite)
        std::vector<uint16_t> expected;
    } cases[] = {
        {16, Bytes16({0x8000, 0xFFFF, 0, 0x7FFF}), 339, 2, {0, 0x7FFF, 0x8000, 0xFFFF}},
        {8, {0x80, 0xFF, 0, 0x7F}, 339, 2, {0, 0x7F00, 0x8000, 0xFF00}},
        {16, Bytes16({0, 1, 0xFFFF, 0x1234}), 262, 0, {0xFFFF, 0xFFFE, 0, 0xEDCB}},
        {8, {0, 1, 255, 16}, 262, 0, {0xFF00, 0xFE00, 0, 0xEF00}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.bits) + " bits, tag " + std::to_string(c.tag));
        const std::vector<uint8_t> f = GreyImage(4, 1, c.bits, c.samples).With(c.tag, 3, 1, c.value).Build();
        vKit::CImageBuffer16 image;
        vKit::STiffRead outcome;
        ASSERT_TRUE(vKit::ReadTiffSlice(f.data(), f.size(), image, outcome)) << outcome.reason;
        EXPECT_EQ(std::vector<uint16_t>(image.GetData(), image.GetData() + 4), c.expected);
        EXPECT_EQ(outcome.signedSamples, c.tag == 339);
        EXPECT_EQ(image.Info().GetSignificantBits(), int32_t(c.bits));
    }
}

// A grey 4 x 4 image of 16 bits in one strip with these tags set to these SHORT values.
std::vector<uint8_t> Changed(const std::vector<std::pair<uint16_t, uint32_t>>& changes)
{
    TiffBuilder b = GreyImage(4, 4, 16, std::vector<uint8_t>(32, 0x5A));
    for (const auto& [tag, value] : changes)
    {
        auto e =
            std::find_if(b.entries.begin(), b.entries.end(), [&](const auto& e) { return e.tag == tag; });
        if (e == b.entries.end())
            b.With(tag, 3, 1, value);
        else
            e->value = value;
    }
    return b.Build();
}

TEST(TiffLibReader, RefusalsGiveTheMessageAndTheReasonAndNothingOnStderr)
{
    // Each case: the file, the reader's message and a part of the reason.
    const std::tuple<std::vector<uint8_t>, const char*, const char*> cases[] = {
        {Changed({{258, 12}}), CTiffFile::MsgBadTags, "12 bits per sample, not 8 or 16"},
        {Changed({{258, 32}, {339, 3}}), CTiffFile::MsgBadTags, "floating-point samples"},
        {Changed({{262, 2}, {277, 3}}), CTiffFile::MsgBadTags, "3 samples per pixel, not one grey sample"},
        {Changed({{262, 5}}), CTiffFile::MsgBadTags, "photometric interpretation 5 is not grey"},
        {Changed({{259, 34712}}), CTiffFile::MsgCompression, "compression 34712 is not supported"},
        {Changed({{259, 5}}), CTiffFile::MsgBadTags, "libtiff: "}, // 32 bytes that are no LZW stream
        {Changed({{259, 8}, {256, 60000}, {257, 60000}}), CTiffFile::MsgBadTags,
         "are more than the limit of"},
        {Changed({{259, 8}}), CTiffFile::MsgBadTags, "libtiff: "},
        {Changed({{259, 32773}, {256, 4000}}), CTiffFile::MsgBadTags,
         "4000 x 4 pixels are more than the file can hold"},
        {bmptest::Patched(Changed({}), 0, 0x4D4D, 2), CTiffFile::MsgBadTags, "libtiff: "}, // MM
    };
    for (const auto& [file, message, reason] : cases)
    {
        SCOPED_TRACE(reason);
        vKit::CImageBuffer16 image;
        vKit::STiffRead outcome;
        testing::internal::CaptureStderr();
        const bool read = vKit::ReadTiffSlice(file.data(), file.size(), image, outcome);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_FALSE(read);
        EXPECT_TRUE(image.IsEmpty());
        EXPECT_EQ(outcome.message, message);
        EXPECT_NE(outcome.reason.find(reason), std::string::npos) << outcome.reason;
    }
}

} // namespace
