#include "Base/formats/BMPFile.h"
#include "Base/formats/FileImageBuffer16.h"

#include "base/BmpBytes.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <filesystem>
#include <sys/stat.h>

using namespace bmptest;
using vKit::CBMPFile;
using vKit::CFileImageBuffer16;

namespace
{

int32_t Load(CFileImageBuffer16& image, const TempFolder& dir, const std::vector<uint8_t>& bytes)
{
    WriteBytes(dir.Path("in.bmp"), bytes);
    return image.LoadFile(dir.Path("in.bmp"));
}

std::vector<uint8_t> SaveBytes(CFileImageBuffer16& image, const TempFolder& dir)
{
    const std::string path = dir.Path("out.bmp");
    EXPECT_EQ(image.SaveFile(path), 0);
    return ReadBytes(path);
}

// Read top row first; written again with the default 56-byte private block: the file grows by 56
// bytes, the pixel offset moves by 56, everything else stays.
TEST(BMPFile, FileWithoutBlockLoadsAndIsWrittenWithDefaultBlock)
{
    TempFolder dir;
    CFileImageBuffer16 image;
    BmpLayout layout = Ramp(3, 2);
    layout.resolutionX = layout.resolutionY = 3937; // 100 um
    const std::vector<uint8_t> in = MakeBmp(layout);
    ASSERT_EQ(Load(image, dir, in), 0);
    ASSERT_EQ(image.GetSize(), std::make_pair(3, 2));
    const uint16_t rows[] = {0x0B00, 0x0C00, 0x0D00, 0x0100, 0x0200, 0x0300};
    EXPECT_TRUE(std::equal(rows, rows + 6, image.GetData()));
    EXPECT_EQ(image.Info().GetSignificantBits(), 8);
    EXPECT_EQ(image.Info().GetGreyCeiling(), 65520);
    EXPECT_NEAR(image.Info().GetPixelSizeYum(), 254.0, 0.1);

    std::vector<uint8_t> expected = in, block(56, 0);
    std::copy_n("Quorell", 8, block.begin());
    expected.insert(expected.begin() + 1078, block.begin(), block.end());
    expected = Patched(Patched(expected, 2, 1086 + 56), 10, 1078 + 56);
    EXPECT_EQ(SaveBytes(image, dir), expected);
}

// Every padding (widths 1 to 9) and a falling palette come back byte for byte, and so does every
// private block: signed with room for the pair, which is read, or short or unsigned, which is not.
TEST(BMPFile, RoundTripKeepsPixelsPaletteAndPrivateBlock)
{
    TempFolder dir;
    const std::pair<std::vector<uint8_t>, int32_t> blocks[] = {
        {PrivateBlock(56, 1234, -5), -5},
        {PrivateBlock(120, 1234, -5), -5},
        {PrivateBlock(20, 1234, -5), 0},
        {Patched(PrivateBlock(56, 1234, -5), 0, 'X', 1), 0}}; // unsigned
    for (const auto& [block, pairB] : blocks)
    {
        for (int32_t width = 1; width <= 9; ++width)
        {
            BmpLayout layout = Ramp(width, 3);
            layout.resolutionX = 11811;
            layout.resolutionY = 5906;
            layout.privateBlock = block;
            const std::vector<uint8_t> in = MakeBmp(layout);
            CFileImageBuffer16 image;
            ASSERT_EQ(Load(image, dir, in), 0) << width;
            EXPECT_EQ(image.Info().GetPrivateB(), pairB);
            EXPECT_EQ(SaveBytes(image, dir), in) << "width " << width << " block " << block.size();
        }
    }
}

// Each case changes one or two header fields (offset, bytes, value) of a valid 5 x 3 file of
// 1102 bytes whose rows start at 1078.
const std::pair<std::vector<std::array<uint32_t, 3>>, const char*> Refusals[] = {
    {{{28, 2, 1}}, "1 bit per pixel; only 8-bit palette images load"},
    {{{28, 2, 24}}, "24 bits per pixel; only 8-bit palette images load"},
    {{{46, 4, 257}}, "a palette of 257 colours; an 8-bit palette holds 1 to 256"},
    {{{30, 4, 1}}, "RLE8 compression; only uncompressed images load"},
    {{{18, 4, 0}}, "a size of 0 x 3; width and height must be at least 1"},
    {{{18, 4, uint32_t(-5)}}, "a size of -5 x 3; width and height must be at least 1"},
    {{{22, 4, 0}}, "a size of 5 x 0; width and height must be at least 1"},
    {{{22, 4, 0x80000000u}}, "a size of 5 x -2147483648; width and height must be at least 1"},
    {{{18, 4, INT32_MAX}, {22, 4, INT32_MAX}},
     "2147483647 x 2147483647 pixels are more than a BMP file can hold"},
    {{{22, 4, 4}}, "the file ends at byte 1102, its pixel rows need 1110"},
    {{{1, 1, 'A'}}, "not a BMP file: starts with 0x42 0x41"},
    {{{10, 4, 1102}}, "the file ends at byte 1102, its pixel rows start at 1102"},
    {{{10, 4, 0xFFFFFFF0u}}, "the file ends at byte 1102, its pixel rows start at 4294967280"},
    {{{14, 4, 12}}, "an info header of 12 bytes; only Windows headers of 40 bytes or more load"},
    {{{14, 4, 0xFFFFFFFFu}}, "the file ends at byte 1102, its info header needs 4294967309"},
};

// The valid file, with colours used 0 (a full palette for 8 bits), loads; every shorter part of
// it and every case above is refused.
TEST(BMPFile, MalformedHeadersAndTruncationsAreRefused)
{
    BmpLayout layout = Ramp(5, 3);
    layout.coloursUsed = 0;
    const std::vector<uint8_t> good = MakeBmp(layout);
    CBMPFile valid;
    ASSERT_TRUE(valid.ParseBmp(good.data(), good.size())) << valid.GetError();
    EXPECT_EQ(valid.GetColourCount(), 256);
    for (size_t size = 0; size < good.size(); ++size)
        EXPECT_FALSE(CBMPFile().ParseBmp(good.data(), size)) << size;
    EXPECT_FALSE(valid.ParseBmp(good.data(), 14));
    EXPECT_EQ(valid.GetError(), "the file holds 14 bytes, too few for a BMP header");
    for (const auto& [patches, reason] : Refusals)
    {
        std::vector<uint8_t> f = good;
        for (const auto& [at, bytes, value] : patches)
            f = Patched(f, at, value, int(bytes));
        CBMPFile bmp;
        EXPECT_FALSE(bmp.ParseBmp(f.data(), f.size())) << reason;
        EXPECT_EQ(bmp.GetPixelRows(), bmp.GetFileData()) << reason; // no layout was kept
        EXPECT_EQ(bmp.GetError(), reason);
    }
}

// A top-down file (negative height) loads as its bottom-up twin and is written as it.
TEST(BMPFile, TopDownRowsLoadAsTheirBottomUpTwin)
{
    TempFolder dir;
    CFileImageBuffer16 image;
    const BmpLayout bottomUp = Ramp(5, 3);
    BmpLayout topDown = bottomUp;
    topDown.height = -3;
    for (int32_t r = 0; r < 3; ++r)
        std::copy_n(bottomUp.rows.begin() + 8 * (2 - r), 8, topDown.rows.begin() + 8 * r);
    ASSERT_EQ(Load(image, dir, MakeBmp(bottomUp)), 0);
    const std::vector<uint8_t> expected = SaveBytes(image, dir);
    ASSERT_EQ(Load(image, dir, MakeBmp(topDown)), 0) << image.Messages()[0];
    EXPECT_EQ(*image.PixelPtr(0, 0), 21 << 8);
    EXPECT_EQ(SaveBytes(image, dir), expected);
}

// Image tools write few greys as a short palette in the order they meet them: each index becomes
// its grey, so that every format shows the same picture, and BMP writes rising greys. A short
// colour palette keeps its indices and is written padded with black entries.
TEST(BMPFile, ShortPalettesOfGreysOrColours)
{
    TempFolder dir;
    BmpLayout layout = Ramp(5, 3);
    layout.coloursUsed = layout.paletteEntries = 16;
    for (uint8_t& index : layout.rows)
        index %= 16;
    for (const bool colour : {false, true})
    {
        std::vector<uint8_t> in = MakeBmp(layout);
        for (uint8_t i = 0; i < 16; ++i)
            std::fill_n(in.begin() + 54 + 4 * i, 3, uint8_t(i * 7 % 16 * 17));
        in[56] += colour; // entry 0 no longer grey
        CFileImageBuffer16 image;
        ASSERT_EQ(Load(image, dir, in), 0);
        const std::vector<uint8_t> out = SaveBytes(image, dir);
        for (size_t i = 0; i < 24; ++i)
        {
            const uint8_t index = in[in.size() - 24 + i], written = colour ? index : in[54 + 4 * index];
            EXPECT_EQ(out[out.size() - 24 + i], i % 8 < 5 ? written : 0) << colour << " " << i; // 3 padding
        }
        std::vector<uint8_t> palette(1024, 0); // the colours then black, or a rising grey ramp
        for (size_t i = 0; i < 1024; ++i)
            palette[i] = colour ? (i < 64 ? in[54 + i] : 0) : (i % 4 == 3 ? 0 : uint8_t(i / 4));
        EXPECT_EQ(std::vector<uint8_t>(out.begin() + 54, out.begin() + 54 + 1024), palette) << colour;
    }
}

// A BMP written as a BMP keeps its rows 8 bits wide: the bytes are those of the trip through
// samples (load, the stages on the image, save) for every stage, on the layouts that a load
// changes: padding, rows stored top first without a private block, short grey and colour palettes
// with indices past their end.
TEST(BMPFile, RowCopyGivesTheBytesOfTheTripThroughSamples)
{
    BmpLayout padded = Ramp(7, 3), topDown = Ramp(5, 2), greys = Ramp(6, 3);
    padded.privateBlock = PrivateBlock(56, 3, 4);
    topDown.height = -2;
    greys.coloursUsed = greys.paletteEntries = 16;
    const std::vector<uint8_t> colours = Patched(MakeBmp(greys), 56, 7, 1);
    for (const std::vector<uint8_t>& bytes : {MakeBmp(padded), MakeBmp(topDown), MakeBmp(greys), colours})
        for (int32_t mask = 0; mask < 16; ++mask)
        {
            const vKit::SBmpStages stages{(mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0};
            CBMPFile source, viaSamples, viaRows;
            vKit::CImageBuffer16 image;
            ASSERT_TRUE(source.ParseBmp(bytes.data(), bytes.size()) && source.ToImage(image));
            vKit::CColorTable& table = image.Info().ColorTable();
            std::vector<uint8_t> reversed;
            for (int32_t i = table.GetCount() - 1; i >= 0 && stages.reversePalette; --i)
                reversed.insert(reversed.end(), table.GetEntries() + 4 * i, table.GetEntries() + 4 * i + 4);
            if (stages.reversePalette) table.SetEntries(reversed.data(), table.GetCount());
            for (int64_t i = 0; i < image.PixelCount() && stages.invertSamples; ++i)
                image.GetData()[i] = uint16_t(~image.GetData()[i]);
            image.Info().SetDefaultResolution(stages.defaultResolution);
            if (stages.dropPrivateBlock) image.Info().SetPrivateBlock(nullptr, 0);
            ASSERT_TRUE(viaSamples.FromImage(image) && viaRows.FromBmp(source, stages));
            EXPECT_EQ(
                std::vector<uint8_t>(viaRows.GetFileData(), viaRows.GetFileData() + viaRows.GetFileSize()),
                std::vector<uint8_t>(viaSamples.GetFileData(),
                                     viaSamples.GetFileData() + viaSamples.GetFileSize()))
                << bytes.size() << " stages " << mask;
        }
}

// The high bytes of the samples; resolution fields truncated, clamped or the default.
TEST(BMPFile, SaveWritesHighBytesAndResolution)
{
    TempFolder dir;
    const uint16_t samples[] = {65535, 65300, 65100, 0x12FF};
    CFileImageBuffer16 image = Painted(4, 1, [&](int32_t x, int32_t) { return samples[x]; });
    image.Info().SetResolutionX(3937.9);
    image.Info().SetResolutionY(1e12); // a nonsense pixel size must not overflow the field
    std::vector<uint8_t> out = SaveBytes(image, dir);
    EXPECT_EQ(std::vector<uint8_t>(out.end() - 4, out.end()), (std::vector<uint8_t>{0xFF, 0xFF, 0xFE, 0x12}));
    EXPECT_EQ(Get32(out, 34), 4u);
    EXPECT_EQ(Get32(out, 38), 3937u);
    EXPECT_EQ(Get32(out, 42), uint32_t(INT32_MAX));

    image.Info().SetDefaultResolution(true); // for an unknown resolution only
    image.Info().SetResolutionX(0.0);
    out = SaveBytes(image, dir);
    EXPECT_EQ(Get32(out, 34), 0u);
    EXPECT_EQ(Get32(out, 38), 72u);
}

// The extension, in any letter case, chooses the format; the file is replaced in one step, with
// the permissions of any new file, not those of a private temporary file.
TEST(FileImageBuffer16, ExtensionChoosesFormatAndSaveReplacesInOneStep)
{
    TempFolder dir;
    CFileImageBuffer16 image = Painted(3, 3, [](int32_t, int32_t) { return 0x4000; });
    dir.Write("UP.BmP", "old bytes");
    std::filesystem::create_hard_link(dir.Path("UP.BmP"), dir.Path("old"));
    EXPECT_EQ(image.SaveFile(dir.Path("UP.BmP")), 0);
    EXPECT_EQ(CScratchFolder::Read(dir.Path("old")), "old bytes"); // a new file, not rewritten in place
    EXPECT_EQ(std::filesystem::file_size(dir.Path("UP.BmP")), 54u + 1024 + 56 + 12);
    EXPECT_EQ(image.LoadFile(dir.Path("UP.BmP")), 0);
    struct stat made, plain;
    ASSERT_EQ(stat(dir.Path("UP.BmP").c_str(), &made), 0);
    ASSERT_EQ(stat(dir.Write("plain", "").c_str(), &plain), 0);
    EXPECT_EQ(made.st_mode & 0777, plain.st_mode & 0777);

    // Only three-letter extensions count; unknown or missing ones touch nothing, nor does a dot in
    // a folder name.
    std::filesystem::copy_file(dir.Path("UP.BmP"), dir.Path("a.tiff"));
    for (const char* name : {"a.tiff", "a.png"})
    {
        EXPECT_EQ(image.LoadFile(dir.Path(name)), 2) << name;
        EXPECT_EQ(image.GetStatus().GetCode(), vKit::CStatus::NotHandled) << name;
    }
    dir.Folder("x.bmp");
    for (const char* name : {"b.png", "b", "x.bmp/c"})
        EXPECT_EQ(image.SaveFile(dir.Path(name)), 2) << name;
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"UP.BmP", "a.tiff", "old", "plain", "x.bmp"}));
    EXPECT_EQ(*image.PixelPtr(2, 2), 0x4000);
}

} // namespace
