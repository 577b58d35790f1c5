// What the three formats share: the three ways a slice leaves (atomically, straight to a name the
// caller chose as its own temporary, into memory) give the same bytes, which read back as the
// picture; failed loads say why;
// 8-bit data with an open top is clamped in a copy, or refused by TIFF.

#include "base/BmpBytes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <vector>

namespace
{

using bmptest::Loaded;
using bmptest::Painted;
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
            EXPECT_EQ(*Loaded(path).PixelPtr(3, 3), expected[step]);
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

} // namespace
