// Files whose tags point outside them: the reader refuses them as corrupted without reading a
// byte beyond the file (the sanitizer build checks the "without").

#include "Base/ImageBuffer16.h"
#include "Base/TiffFile.h"

#include "TiffBytes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

using tifftest::TiffBuilder;
using vKit::CTiffFile;

// Reads the bytes from an exact-size heap copy, so that any read past the end is caught.
std::string Refusal(const std::vector<uint8_t>& file)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size() + 1]);
    std::copy(file.begin(), file.end(), exact.get());
    CTiffFile tiff;
    vKit::CImageBuffer16 image;
    if (tiff.ReadTiff(exact.get(), file.size(), image) == 1) return "accepted";
    EXPECT_TRUE(image.IsEmpty());
    return tiff.Messages().size() == 1 ? tiff.Messages()[0] : "no single message";
}

// A valid 4 x 3 16-bit image in two strips (rows 0-1 and row 2) with a resolution.
TiffBuilder TwoStrips()
{
    TiffBuilder b;
    const uint32_t s0 = b.Add(std::vector<uint8_t>(16, 1));
    const uint32_t s1 = b.Add(std::vector<uint8_t>(8, 2));
    const uint32_t offsets = b.AddLongs({s0, s1});
    const uint32_t counts = b.AddLongs({16, 8});
    const uint32_t resolution = b.AddRational(300, 1);
    b.With(256, 3, 1, 4).With(257, 3, 1, 3).With(258, 3, 1, 16).With(259, 3, 1, 1).With(277, 3, 1, 1);
    b.With(273, 4, 2, offsets).With(279, 4, 2, counts).With(282, 5, 1, resolution).With(296, 3, 1, 2);
    return b;
}

TiffBuilder Changed(uint16_t tag, uint32_t count, uint32_t value)
{
    TiffBuilder b = TwoStrips();
    for (tifftest::Entry& e : b.entries)
        if (e.tag == tag)
        {
            e.count = count;
            e.value = value;
        }
    return b;
}

TEST(TiffHostile, ValidBaseIsAccepted)
{
    EXPECT_EQ(Refusal(TwoStrips().Build()), "accepted");
}

TEST(TiffHostile, DirectoryOutsideOddInsideTheHeaderOrPastTheEnd)
{
    const std::vector<uint8_t> good = TwoStrips().Build();
    for (uint32_t directory : {uint32_t(good.size()), uint32_t(good.size() - 1), 0xFFFFFFFFu, 0u, 4u, 9u})
    {
        std::vector<uint8_t> f = good;
        tifftest::Put32(f, 4, directory);
        EXPECT_EQ(Refusal(f), CTiffFile::MsgBadTags) << "directory at " << directory;
    }
    std::vector<uint8_t> manyEntries = good;
    tifftest::Put16(manyEntries, tifftest::Get32(good, 4), 0xFFFF);
    EXPECT_EQ(Refusal(manyEntries), CTiffFile::MsgBadTags);
    EXPECT_EQ(Refusal(std::vector<uint8_t>(good.begin(), good.begin() + 7)), CTiffFile::MsgBadTags);
    EXPECT_EQ(Refusal({'I'}), CTiffFile::MsgNotIntel);
}

TEST(TiffHostile, RationalsOutsideOrWithZeroDenominator)
{
    EXPECT_EQ(Refusal(Changed(282, 1, 0xFFFFFFF0u).Build()), CTiffFile::MsgBadTags);
    TiffBuilder partly = TwoStrips();
    partly.With(283, 5, 1, 0);
    partly.entries.back().value = uint32_t(partly.Build().size() - 4); // 4 of the 8 bytes inside
    EXPECT_EQ(Refusal(partly.Build()), CTiffFile::MsgBadTags);
    TiffBuilder zero = TwoStrips();
    zero.With(283, 5, 1, zero.AddRational(300, 0));
    EXPECT_EQ(Refusal(zero.Build()), CTiffFile::MsgBadTags);
}

TEST(TiffHostile, StripArraysAndStripsOutsideTheFile)
{
    const std::vector<uint8_t> good = TwoStrips().Build();
    const uint32_t size = uint32_t(good.size());
    const uint32_t offsets = TwoStrips().entries[5].value;
    // Arrays outside, arrays longer than the file, a byte-count list shorter than the strips.
    EXPECT_EQ(Refusal(Changed(273, 2, size - 4).Build()), CTiffFile::MsgBadTags);
    EXPECT_EQ(Refusal(Changed(273, 0x40000000, offsets).Build()), CTiffFile::MsgBadTags);
    EXPECT_EQ(Refusal(Changed(279, 1, 16).Build()), CTiffFile::MsgBadTags);
    // A single strip whose image runs past the end, or starts past it.
    EXPECT_EQ(Refusal(Changed(273, 1, size - 10).Build()), CTiffFile::MsgBadTags);
    EXPECT_EQ(Refusal(Changed(273, 1, 0xFFFFFFF0u).Build()), CTiffFile::MsgBadTags);

    // Strip offset + count wrapping around 32 bits, a strip starting at the last possible
    // offset, a strip running past the end of this 134-byte file.
    for (const auto& strip : {std::pair<uint32_t, uint32_t>{0xFFFFFFF0u, 0x20}, {0xFFFFFFFFu, 1}, {120, 24}})
    {
        TiffBuilder b;
        const uint32_t arrays = b.AddLongs({strip.first, strip.first, strip.second, strip.second});
        b.Add(std::vector<uint8_t>(32, 0));
        b.With(256, 3, 1, 4).With(257, 3, 1, 3).With(258, 3, 1, 16).With(259, 3, 1, 1);
        b.With(273, 4, 2, arrays).With(279, 4, 2, arrays + 8);
        EXPECT_EQ(Refusal(b.Build()), CTiffFile::MsgBadTags) << strip.first << " + " << strip.second;
    }
}

TEST(TiffHostile, DeclaredSizeBeyondTheFileIsRefusedBeforeAllocation)
{
    EXPECT_EQ(Refusal(Changed(256, 1, 0x7FFFFFFF).Build()), CTiffFile::MsgBadTags);
    EXPECT_EQ(Refusal(Changed(257, 1, 0x80000000u).Build()), CTiffFile::MsgBadTags);
    TiffBuilder huge = Changed(256, 1, 65535);
    for (tifftest::Entry& e : huge.entries)
        if (e.tag == 257) e.value = 65535;
    EXPECT_EQ(Refusal(huge.Build()), CTiffFile::MsgBadTags);
}

TEST(TiffHostile, FilesOutsideTheSubsetAreNotLoadedAsWrongPictures)
{
    // Three samples per pixel: tag 258 would hold an offset, not the bits.
    EXPECT_EQ(Refusal(Changed(277, 1, 3).Build()), CTiffFile::MsgBadTags);
    for (uint32_t bits : {0u, 1u, 4u, 12u, 24u, 32u})
        EXPECT_EQ(Refusal(Changed(258, 1, bits).Build()), CTiffFile::MsgBadTags) << bits << " bits";
    // Tiles instead of strips would load as a black image.
    TiffBuilder tiled;
    const uint32_t tile = tiled.Add(std::vector<uint8_t>(32, 1));
    tiled.With(256, 3, 1, 4).With(257, 3, 1, 4).With(258, 3, 1, 16).With(259, 3, 1, 1);
    tiled.With(322, 3, 1, 16).With(323, 3, 1, 16).With(324, 4, 1, tile).With(325, 4, 1, 32);
    EXPECT_EQ(Refusal(tiled.Build()), CTiffFile::MsgBadTags);
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
    SUCCEED();
}

} // namespace
