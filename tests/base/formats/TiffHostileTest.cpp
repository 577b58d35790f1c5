// Files the reader refuses, each with its one message and without reading a byte beyond the
// file (the sanitizer build checks the "without").

#include "Base/formats/TiffFile.h"
#include "Base/image/ImageBuffer16.h"

#include "base/TiffBytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace
{

using bmptest::Patched;
using tifftest::TiffBuilder;
using vKit::CTiffFile;

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

// The file with one entry changed; type 0 keeps the entry's type.
std::vector<uint8_t> Changed(uint16_t tag, uint32_t count, uint32_t value, uint16_t type = 0)
{
    TiffBuilder b = TwoStrips();
    for (tifftest::Entry& e : b.entries)
        if (e.tag == tag) e = {tag, type ? type : e.type, count, value};
    return b.Build();
}

// Strip offset and count given in arrays, for strips that wrap around or run past the end.
std::vector<uint8_t> StripAt(uint32_t offset, uint32_t count)
{
    TiffBuilder b;
    const uint32_t arrays = b.AddLongs({offset, offset, count, count});
    b.Add(std::vector<uint8_t>(32, 0));
    return b.Grey(4, 3, 16).With(273, 4, 2, arrays).With(279, 4, 2, arrays + 8).Build();
}

TEST(TiffHostile, RefusalsAndTheirMessages)
{
    const std::vector<uint8_t> good = TwoStrips().Build();
    const uint32_t size = uint32_t(good.size()), directory = bmptest::Get32(good, 4);
    const uint32_t offsets = TwoStrips().entries[5].value;
    TiffBuilder lzw = tifftest::GreyImage(1, 1, 8, {1}), noCompression = lzw, tiled;
    lzw.entries[3].value = 5;
    noCompression.entries.erase(noCompression.entries.begin() + 3);
    TiffBuilder partlyOutside = TwoStrips(), zeroDenominator = TwoStrips(), huge = TwoStrips();
    partlyOutside.With(283, 5, 1, size + 12 - 4); // 4 of the 8 bytes inside
    zeroDenominator.With(283, 5, 1, zeroDenominator.AddLongs({300, 0}));
    huge.entries[0].value = huge.entries[1].value = 65535;
    const uint32_t tile = tiled.Add(std::vector<uint8_t>(32, 1));
    tiled.Grey(4, 4, 16).With(322, 3, 1, 16).With(323, 3, 1, 16).With(324, 4, 1, tile).With(325, 4, 1, 32);
    std::vector<uint8_t> mm = good, odd(good.size() + 1, 0); // odd: the directory one byte later
    mm[0] = mm[1] = 'M';
    std::copy(good.begin(), good.begin() + directory, odd.begin());
    std::copy(good.begin() + directory, good.end(), odd.begin() + directory + 1);
    odd = Patched(odd, 4, directory + 1);

    const std::string bad = CTiffFile::MsgBadTags;
    // Each case: the file, the reader's message and a part of the reason beside it.
    const std::tuple<std::vector<uint8_t>, std::string, std::string> cases[] = {
        {good, "accepted", ""},
        {{}, CTiffFile::MsgNotFound, "the file is empty"},
        {{'I'}, CTiffFile::MsgNotIntel, "the file holds 1 byte"},
        {mm, CTiffFile::MsgNotIntel, "big-endian (MM) byte order; only little-endian (II) files load"},
        {lzw.Build(), CTiffFile::MsgCompression, "LZW compression; only uncompressed files load"},
        {noCompression.Build(), CTiffFile::MsgCompression, "no compression tag"},
        // The directory: past the end, odd, pointing back into the header, cut, without entries,
        // with more entries than the file holds.
        {std::vector<uint8_t>(good.begin(), good.begin() + 7), bad,
         "the file holds 7 bytes, too few for a TIFF header"},
        {Patched(good, 4, size), bad,
         "the first directory is said to start at byte 170, which the file of 170 bytes cannot hold"},
        {Patched(good, 4, 0xFFFFFFFF), bad, "the first directory is said"},
        {Patched(good, 4, 0), bad, "the first directory is said"},
        {Patched(good, 4, 4), bad, "the first directory is said"},
        {odd, bad, "the first directory is said"},
        {Patched(good, directory, 0, 2), bad, "the first directory has no entries"},
        {Patched(good, directory, 0xFFFF, 2), bad, "the file ends at byte 170, its directory needs 786478"},
        // Resolutions outside the file, partly outside, with a zero denominator.
        {Changed(282, 1, 0xFFFFFFF0u), bad, "a resolution lies outside the file or divides by zero"},
        {partlyOutside.Build(), bad, "a resolution"},
        {zeroDenominator.Build(), bad, "a resolution"},
        // Strip arrays outside, longer than the file, a byte-count list shorter than the strips.
        {Changed(273, 2, size - 4), bad, "the list of strips lies outside the file"},
        {Changed(273, 0x40000000, offsets), bad, "the list of strips"},
        {Changed(279, 1, 16), bad, "the list of strips"},
        // A single strip whose image runs past the end or starts past it; strips that wrap
        // around 32 bits, start at the last offset or run past the end.
        {Changed(273, 1, size - 10), bad, "a strip of samples lies outside the file of 170 bytes"},
        {Changed(273, 1, 0xFFFFFFF0u), bad, "a strip of samples"},
        {StripAt(0xFFFFFFF0u, 0x20), bad, "a strip of samples"},
        {StripAt(0xFFFFFFFFu, 1), bad, "a strip of samples"},
        {StripAt(120, 24), bad, "a strip of samples"},
        // Sizes the file cannot hold, refused before anything is allocated.
        {Changed(256, 1, 0x7FFFFFFF), bad, "the file ends at byte 170, its samples need 393210"},
        {Changed(257, 1, 0x80000000u, 4), bad,
         "a size of 4 x 2147483648 pixels is more than an image can hold"},
        {huge.Build(), bad, "its samples need"},
        // Outside the subset, which would load as wrong pictures: colour, other bit depths, tiles.
        {Changed(277, 1, 3), bad, "3 samples per pixel; only one grey sample loads"},
        {Changed(258, 1, 0), bad, "0 bits per sample"},
        {Changed(258, 1, 1), bad, "1 bit per sample"},
        {Changed(258, 1, 12), bad, "12 bits per sample; only 8 and 16 load"},
        {Changed(258, 1, 32), bad, "32 bits per sample"},
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
