// Our TIFF writer's layout and what our reader and libtiff's read: other writers' layouts,
// signed and MinIsWhite samples (several pages: the CLI tests); the refusals of our reader and
// of libtiff's, each with its reason.

#include "Base/formats/TiffFile.h"
#include "Base/formats/TiffLibReader.h"

#include "base/BmpBytes.h"
#include "base/TiffBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace
{

using bmptest::Patched;
using bmptest::ReadBytes;
using bmptest::TempFolder;
using tifftest::Bytes16;
using tifftest::GreyImage;
using tifftest::TiffBuilder;
using vKit::CFileImageBuffer16;
using vKit::CTiffFile;

const auto Numbered = [](int32_t x, int32_t y) { return 1000 * y + x + 1; }; // a picture's samples

// 24 rows fit one strip, whose offset and count sit in the entries themselves; 25 need two,
// listed in arrays after the resolutions.
TEST(TiffWrite, LayoutIsByteExactWithOneAndTwoStrips)
{
    TempFolder dir;
    for (const uint32_t h : {24u, 25u})
    {
        SCOPED_TRACE(h);
        const uint32_t w = 3, n = (h + 23) / 24, samples = 2 * w * h;
        CFileImageBuffer16 image = bmptest::Painted(int32_t(w), int32_t(h), Numbered);
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
            n == 1 ? b.AddLongs({16, samples}) : b.AddLongs({16, 16 + 48 * w, 48 * w, 2 * w});
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
    }
}

// Padding adds columns and rows of the pad value to the file only. A width and a private value E
// beyond a SHORT's 16 bits come back whole, with the samples, resolutions and other private values.
TEST(TiffWrite, PaddingAndValuesBeyondSixteenBitsReadBack)
{
    TempFolder dir;
    CFileImageBuffer16 image = bmptest::Painted(65537, 2, Numbered);
    image.SetPadMultipleX(16);
    image.SetPadMultipleY(4);
    image.SetPadValue(7);
    vKit::CImageInfo& info = image.Info();
    info.SetPixelSizeXum(10.0);
    info.SetResolutionY(11811);
    info.SetPrivateA(-7);
    info.SetPrivateB(8);
    info.SetPrivateC(-9);
    info.SetPrivateD(10);
    info.SetPrivateE(-2);
    ASSERT_EQ(image.SaveFile(dir.Path("p.tif")), 0);
    EXPECT_EQ(image.GetSize(), std::make_pair(65537, 2));
    CFileImageBuffer16 back = bmptest::Loaded(dir.Path("p.tif"));
    ASSERT_EQ(back.GetSize(), std::make_pair(65552, 4));
    for (int32_t y = 0; y < 2; ++y)
        EXPECT_TRUE(std::equal(image.Row(y), image.Row(y) + 65537, back.Row(y))) << y;
    for (auto [x, y] : {std::pair{65537, 1}, {65551, 0}, {0, 2}, {65551, 3}})
        EXPECT_EQ(*back.PixelPtr(x, y), 7) << x << "," << y;
    const vKit::CImageInfo& read = back.Info();
    EXPECT_EQ(std::make_pair(read.GetResolutionX(), read.GetResolutionY()),
              std::make_pair(100000.0, 11811.0));
    EXPECT_EQ(std::vector<int32_t>({read.GetPrivateA(), read.GetPrivateB(), read.GetPrivateC(),
                                    read.GetPrivateD(), read.GetPrivateE()}),
              std::vector<int32_t>({-7, 8, -9, 10, -2}));
}

TEST(TiffRead, ResolutionUnitsAndStripLayoutsOfOtherWriters)
{
    vKit::CTiffFile tiff;
    vKit::CImageBuffer16 image;
    auto read = [&](const tifftest::TiffBuilder& b)
    {
        const std::vector<uint8_t> f = b.Build();
        return tiff.ReadTiff(f.data(), f.size(), image);
    };
    // Unit (0: no tag), numerator and denominator; pixels per metre.
    const uint32_t units[][4] = {
        {3, 400, 1, 40000}, {2, 254, 1, 10000}, {1, 5000, 2, 2500}, {0, 777, 1, 777}, {2, 7, 2, 118}};
    for (const auto& [unit, numerator, denominator, pixelsPerMetre] : units)
    {
        tifftest::TiffBuilder b = tifftest::GreyImage(1, 1, 8, {9});
        const uint32_t r = b.AddLongs({numerator, denominator});
        b.With(282, 5, 1, r).With(283, 5, 1, r);
        if (unit != 0) b.With(296, 3, 1, unit);
        ASSERT_EQ(read(b), 1);
        EXPECT_EQ(std::make_pair(image.Info().GetResolutionX(), image.Info().GetResolutionY()),
                  std::make_pair(double(pixelsPerMetre), double(pixelsPerMetre)))
            << "unit " << unit;
    }

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
    // 8 bits: each byte one sample, held as v * 256 with 8 significant bits.
    ASSERT_EQ(read(tifftest::GreyImage(3 | 0xABCD0000u, 1, 8 | 0x10000u, {1, 2, 255})), 1);
    EXPECT_EQ(image.GetSize(), std::make_pair(3, 1));
    EXPECT_EQ(std::make_pair(image.Info().GetSignificantBits(), int(*image.PixelPtr(2, 0))),
              std::make_pair(8, 0xFF00));

    ASSERT_EQ(read(tifftest::GreyImage(0, 5, 16, {1, 2})), 1); // width 0 is an empty image
    EXPECT_TRUE(image.IsEmpty());
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

// A valid 4 x 3 16-bit image in two strips (rows 0-1 and row 2) with a resolution.
TiffBuilder TwoStrips()
{
    TiffBuilder b;
    const uint32_t s0 = b.Add(std::vector<uint8_t>(16, 1));
    const uint32_t s1 = b.Add(std::vector<uint8_t>(8, 2));
    const uint32_t offsets = b.AddLongs({s0, s1});
    const uint32_t counts = b.AddLongs({16, 8});
    const uint32_t resolution = b.AddLongs({300, 1});
    b.Grey(4, 3, 16).With(277, 3, 1, 1).With(273, 4, 2, offsets).With(279, 4, 2, counts);
    b.With(282, 5, 1, resolution).With(296, 3, 1, 2);
    return b;
}

// The file with these entries changed or, for tags it lacks, added; type 0 keeps the entry's
// type or, added, is SHORT.
std::vector<uint8_t> Changed(const std::vector<tifftest::Entry>& changes)
{
    TiffBuilder b = TwoStrips();
    for (const tifftest::Entry& c : changes)
    {
        auto e =
            std::find_if(b.entries.begin(), b.entries.end(), [&](const auto& e) { return e.tag == c.tag; });
        if (e == b.entries.end()) e = b.entries.insert(e, {c.tag, 3, 0, 0});
        *e = {c.tag, c.type ? c.type : e->type, c.count, c.value};
    }
    return b.Build();
}

TEST(TiffLibReader, RefusalsGiveTheMessageAndTheReasonAndNothingOnStderr)
{
    // Each case: the file, the reader's message and a part of the reason.
    const std::tuple<std::vector<uint8_t>, const char*, const char*> cases[] = {
        {Changed({{258, 0, 1, 12}}), CTiffFile::MsgBadTags, "12 bits per sample, not 8 or 16"},
        {Changed({{258, 0, 1, 32}, {339, 0, 1, 3}}), CTiffFile::MsgBadTags, "floating-point samples"},
        {Changed({{262, 0, 1, 2}, {277, 0, 1, 3}}), CTiffFile::MsgBadTags, "3 samples per pixel, not one"},
        {Changed({{262, 0, 1, 5}}), CTiffFile::MsgBadTags, "photometric interpretation 5 is not grey"},
        {Changed({{259, 0, 1, 34712}}), CTiffFile::MsgCompression, "compression 34712 is not supported"},
        {Changed({{259, 0, 1, 5}}), CTiffFile::MsgBadTags, "libtiff: "}, // bytes that are no LZW stream
        {Changed({{259, 0, 1, 8}, {256, 0, 1, 60000}, {257, 0, 1, 60000}}), CTiffFile::MsgBadTags,
         "are more than the limit of"},
        {Changed({{259, 0, 1, 32773}, {256, 0, 1, 4000}}), CTiffFile::MsgBadTags,
         "4000 x 3 pixels are more than the file can hold"},
        {Patched(TwoStrips().Build(), 0, 0x4D4D, 2), CTiffFile::MsgBadTags, "libtiff: "}, // MM
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

// ---- files our reader refuses, each with its one message and without reading a byte beyond
// the file (the sanitizer build checks the "without") ----

// Reads the bytes from an exact-size heap copy, so that any read past the end is caught.
std::string Refusal(const std::vector<uint8_t>& file)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size() + 1]);
    std::copy(file.begin(), file.end(), exact.get());
    CTiffFile tiff;
    vKit::CImageBuffer16 image;
    if (tiff.ReadTiff(file.empty() ? nullptr : exact.get(), file.size(), image) == 1) return "accepted | ";
    EXPECT_TRUE(image.IsEmpty());
    if (tiff.Messages().size() != 1) return "no single message";
    return tiff.Messages()[0] + " | " + tiff.GetStatus().GetReason();
}

TEST(TiffHostile, RefusalsAndTheirMessages)
{
    const std::vector<uint8_t> good = TwoStrips().Build();
    const uint32_t size = uint32_t(good.size()), directory = bmptest::Get32(good, 4);
    const uint32_t offsets = TwoStrips().entries[5].value;
    TiffBuilder noCompression = TwoStrips(), tiled;
    noCompression.entries.erase(noCompression.entries.begin() + 3);
    const uint32_t tile = tiled.Add(std::vector<uint8_t>(32, 1));
    tiled.Grey(4, 4, 16).With(322, 3, 1, 16).With(323, 3, 1, 16).With(324, 4, 1, tile).With(325, 4, 1, 32);
    std::vector<uint8_t> odd = good; // the directory one byte later
    odd.insert(odd.begin() + directory, 0);
    odd = Patched(odd, 4, directory + 1);

    const std::string bad = CTiffFile::MsgBadTags;
    // Each case: the file, the reader's message and a part of the reason beside it.
    const std::tuple<std::vector<uint8_t>, std::string, std::string> cases[] = {
        {good, "accepted", ""},
        {{}, CTiffFile::MsgNotFound, "the file is empty"},
        {{'I'}, CTiffFile::MsgNotIntel, "the file holds 1 byte"},
        {Patched(good, 0, 0x4D4D, 2), CTiffFile::MsgNotIntel,
         "big-endian (MM) byte order; only little-endian (II) files load"},
        {Changed({{259, 0, 1, 5}}), CTiffFile::MsgCompression,
         "LZW compression; only uncompressed files load"},
        {noCompression.Build(), CTiffFile::MsgCompression, "no compression tag"},
        // The directory: past the end, odd, pointing back into the header, cut, without entries,
        // with more entries than the file holds.
        {std::vector<uint8_t>(good.begin(), good.begin() + 7), bad,
         "the file holds 7 bytes, too few for a TIFF header"},
        {Patched(good, 4, size), bad,
         "the first directory is said to start at byte 170, which the file of 170 bytes cannot hold"},
        {Patched(good, 4, 0xFFFFFFFF), bad, "the first directory is said"}, // no wrap past 32 bits
        {Patched(good, 4, 4), bad, "the first directory is said"},
        {odd, bad, "the first directory is said"},
        {Patched(good, directory, 0, 2), bad, "the first directory has no entries"},
        {Patched(good, directory, 0xFFFF, 2), bad, "the file ends at byte 170, its directory needs 786478"},
        // Resolutions outside the file, partly outside, with a zero denominator.
        // (A new entry moves the end by 12 bytes: 4 of the rational's 8 inside, or a denominator
        // that is the next-directory 0.)
        {Changed({{282, 0, 1, 0xFFFFFFF0u}}), bad, "a resolution lies outside the file or divides by zero"},
        {Changed({{283, 5, 1, size + 12 - 4}}), bad, "a resolution"},
        {Changed({{283, 5, 1, size + 12 - 8}}), bad, "a resolution"},
        // Strip arrays outside, longer than the file, a byte-count list shorter than the strips.
        {Changed({{273, 0, 2, size - 4}}), bad, "the list of strips lies outside the file"},
        {Changed({{273, 0, 0x40000000, offsets}}), bad, "the list of strips"},
        {Changed({{279, 0, 1, 16}}), bad, "the list of strips"},
        // A single strip whose image runs past the end or starts past it; strips that wrap
        // around 32 bits, start at the last offset or run past the end.
        {Changed({{273, 0, 1, size - 10}}), bad, "a strip of samples lies outside the file of 170 bytes"},
        {Changed({{273, 0, 1, 0xFFFFFFF0u}}), bad, "a strip of samples"},
        {Patched(good, offsets, 0xFFFFFFF0u), bad, "a strip of samples"},
        {Patched(good, offsets, 0xFFFFFFFFu), bad, "a strip of samples"},
        {Patched(good, offsets + 4, size - 4), bad, "a strip of samples"},
        // Sizes the file cannot hold, refused before anything is allocated.
        {Changed({{256, 0, 1, 0x7FFFFFFF}}), bad, "the file ends at byte 170, its samples need 393210"},
        {Changed({{257, 4, 1, 0x80000000u}}), bad,
         "a size of 4 x 2147483648 pixels is more than an image can hold"},
        // Outside the subset, which would load as wrong pictures: colour, other bit depths, tiles.
        {Changed({{277, 0, 1, 3}}), bad, "3 samples per pixel; only one grey sample loads"},
        {Changed({{258, 0, 1, 1}}), bad, "1 bit per sample"},
        {Changed({{258, 0, 1, 12}}), bad, "12 bits per sample; only 8 and 16 load"},
        {tiled.Build(), bad, "the samples are in tiles; only strips load"},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
    {
        const auto& [file, message, reason] = cases[i];
        const std::string got = Refusal(file);
        EXPECT_EQ(got.substr(0, got.find(" | ")), message) << "case " << i;
        EXPECT_NE(got.find(reason, got.find(" | ")), std::string::npos) << "case " << i << ": " << got;
    }
}

TEST(TiffHostile, EveryPrefixAndFlippedByteEndsCleanly)
{
    const std::vector<uint8_t> good = TwoStrips().Build();
    for (size_t keep = 0; keep < good.size(); ++keep)
        Refusal(std::vector<uint8_t>(good.begin(), good.begin() + long(keep)));
    for (size_t i = 0; i < good.size(); ++i)
        for (uint8_t flip : {0x01, 0x80, 0xFF})
        {
            std::vector<uint8_t> f = good;
            f[i] ^= flip;
            Refusal(f);
        }
}

} // namespace
