// What the three formats share: the three ways a slice leaves (atomically, straight to a name the
// caller chose as its own temporary, into memory) give the same bytes, which read back as the
// picture; failed loads say why; 8-bit data with an open top is clamped in a copy, or refused by
// TIFF. Then what is JPEG's own: quality, density and colour files.

#include "base/BmpBytes.h"
#include "jpeg/JpegTestStreams.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
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

CFileImageBuffer16 Ramp()
{
    return Painted(9, 30, [](int32_t x, int32_t y) { return (x * 10 + y * 4) << 8; }); // two TIFF strips
}

TEST(FileImageSave, ThreeWaysGiveTheSameBytesAndFailedLoadsSayWhy)
{
    const std::pair<std::string, std::string> formats[] = {
        {"bmp", "BM"},
        {"tif", std::string("II*\0", 4)},
        {"jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 11)}};
    for (const auto& [extension, magic] : formats)
    {
        SCOPED_TRACE(extension);
        CScratchFolder scratch;
        CFileImageBuffer16 image = Ramp();
        image.Info().SetJpegQuality(100);
        const std::string atomic = scratch.Path("atomic." + extension);
        const std::string straight = scratch.Path(".part." + extension);
        ASSERT_EQ(image.SaveFile(atomic), 0);
        image.SetSaveAtomically(false);
        ASSERT_EQ(image.SaveFile(straight), 0);
        EXPECT_EQ(CScratchFolder::Read(straight), CScratchFolder::Read(atomic));
        EXPECT_EQ(CScratchFolder::Read(atomic).substr(0, magic.size()), magic);
        EXPECT_EQ(scratch.Names().size(), 2u);

        // Into memory: the same bytes, no file, read back as the file reads.
        std::vector<uint8_t> bytes;
        image.SetSaveSink(&bytes);
        ASSERT_EQ(image.SaveFile(scratch.Path("memory." + extension)), 0);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), CScratchFolder::Read(atomic));
        EXPECT_EQ(scratch.Names().size(), 2u);
        CFileImageBuffer16 fromFile = Loaded(atomic), fromBytes;
        ASSERT_EQ(fromBytes.LoadBytes(atomic, bytes.data(), bytes.size()), 0);
        ASSERT_EQ(fromBytes.PixelCount(), fromFile.PixelCount());
        EXPECT_EQ(std::memcmp(fromBytes.GetData(), fromFile.GetData(), size_t(fromFile.PixelCount()) * 2), 0);
        EXPECT_EQ(fromFile.Info().GetSignificantBits(), extension == "tif" ? 16 : 8);
        for (int64_t i = 0; i < image.PixelCount(); ++i) // the picture, top row first, 8-bit data high
        {
            ASSERT_EQ(fromFile.GetData()[i] & 0xFF, 0) << i;
            ASSERT_NEAR(fromFile.GetData()[i], image.GetData()[i], extension == "jpg" ? 3 << 8 : 0) << i;
        }
        EXPECT_NE(fromBytes.LoadBytes(atomic, bytes.data(), bytes.size() / 3), 0) << "cut short";

        scratch.Write("text." + extension, "not");
        scratch.Write("cut." + extension, std::string(bytes.begin(), bytes.begin() + long(bytes.size() / 2)));
        scratch.Folder("folder." + extension);
        // The status names the file and the reason; the system's text for what the system refused.
        const std::pair<std::string, std::string> failures[] = {{"missing.", "No such file or directory"},
                                                                {"folder.", "Is a directory"},
                                                                {"text.", ""},
                                                                {"cut.", ""}};
        for (const auto& [name, reason] : failures)
        {
            CFileImageBuffer16 failed = Ramp();
            const std::string path = scratch.Path(name + extension);
            EXPECT_EQ(failed.LoadFile(path), 2) << name;
            const std::string message = failed.GetStatus().GetMessage();
            EXPECT_EQ(message.rfind(path + ": " + reason, 0), 0u) << message;
            EXPECT_GT(failed.GetStatus().GetReason().size(), 8u) << message;
            EXPECT_TRUE(failed.IsEmpty() || extension == "bmp") << name; // BMP keeps the last image
            EXPECT_TRUE(failed.Messages().size() == 1 || extension == "jpg") << name;
        }
        EXPECT_NE(Ramp().SaveFile(scratch.Path("no/such." + extension)), 0);
    }
}

// 65300 lies in the range clamp mode 1 lowers to 65024: high byte 254 instead of 255. Data
// whose top is already the file's white, written without the request or in mode 0 is not.
TEST(FileImageSave, OpenTopIsClampedInACopyOrRefusedByTiff)
{
    CScratchFolder scratch;
    // Per format the sample read back after each step, -1 for refused.
    const std::pair<std::string, std::array<int32_t, 4>> cases[] = {
        {"bmp", {254 << 8, 255 << 8, 255 << 8, 255 << 8}},
        {"jpg", {254 << 8, 255 << 8, 255 << 8, 255 << 8}},
        {"tif", {-1, -1, 65300, -1}},
    };
    for (const auto& [extension, expected] : cases)
    {
        CFileImageBuffer16 image = Painted(8, 8, [](int32_t, int32_t) { return 65300; });
        image.Info().SetJpegQuality(100);
        image.Info().SetResolutionX(11811);
        for (int32_t step = 0; step < 4; ++step)
        {
            SCOPED_TRACE(extension + " step " + std::to_string(step));
            image.Info().SetGreyCeiling(step == 1 ? 0xFF00 : 65520);
            image.Info().SetClampOnExport(step != 2);
            image.Info().SetClampMode(step == 3 ? 0 : 1); // mode 0 lowers only 65535
            const std::string path = scratch.Path(std::to_string(step) + "." + extension);
            if (expected[step] < 0)
            {
                EXPECT_EQ(image.SaveFile(path), -1);
                EXPECT_FALSE(CScratchFolder::Exists(path));
                continue;
            }
            ASSERT_EQ(image.SaveFile(path), 0);
            const CFileImageBuffer16 back = Loaded(path);
            EXPECT_EQ(*back.PixelPtr(3, 3), expected[step]);
            EXPECT_EQ(back.Info().GetResolutionX(), 11811.0) << "the copy keeps the description";
            EXPECT_EQ(*image.PixelPtr(3, 3), 65300) << "the image itself is not clamped";
        }
    }
}

// A link planted at the temporary name is replaced, not written through.
TEST(FileImageSave, StraightWriteReplacesALinkAtTheNameInsteadOfItsTarget)
{
    CScratchFolder scratch;
    const std::string target = scratch.Write("target", "keep me");
    const std::string part = scratch.Path(".slice.kavex-part.bmp");
    std::filesystem::create_symlink(target, part);
    CFileImageBuffer16 image = Ramp();
    image.SetSaveAtomically(false);
    ASSERT_EQ(image.SaveFile(part), 0);
    EXPECT_EQ(CScratchFolder::Read(target), "keep me");
    EXPECT_FALSE(std::filesystem::is_symlink(part));
    EXPECT_EQ(*Loaded(part).PixelPtr(8, 29), *image.PixelPtr(8, 29));
}

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
