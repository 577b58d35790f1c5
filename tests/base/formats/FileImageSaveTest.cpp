// The two ways a slice image reaches the disk: atomically (temporary name, then rename) and
// straight to a name the caller chose as its own temporary; and the way it stays in memory.

#include "Base/formats/FileImageBuffer16.h"
#include "base/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace
{

vKit::CFileImageBuffer16 Ramp()
{
    vKit::CFileImageBuffer16 image;
    EXPECT_TRUE(image.Create(9, 30)); // 30 rows: two TIFF strips
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 9; ++x)
            *image.PixelPtr(x, y) = uint16_t((x * 20 + y * 7) << 8);
    return image;
}

size_t EntriesIn(const std::string& folder)
{
    size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        n += entry.path().filename() != "target";
    return n;
}

TEST(FileImageSave, StraightWriteGivesTheSameBytesAndLeavesNoOtherFile)
{
    for (const char* extension : {"bmp", "tif", "jpg"})
    {
        CScratchFolder scratch;
        vKit::CFileImageBuffer16 image = Ramp();
        const std::string atomic = scratch.Path(std::string("atomic.") + extension);
        const std::string straight = scratch.Path(std::string(".part.") + extension);
        ASSERT_EQ(image.SaveFile(atomic), 0) << extension;
        image.SetSaveAtomically(false);
        ASSERT_EQ(image.SaveFile(straight), 0) << extension;
        EXPECT_EQ(CScratchFolder::Read(straight), CScratchFolder::Read(atomic)) << extension;
        EXPECT_EQ(EntriesIn(scratch.Path()), 2u) << extension;

        // The third way: into memory, the same bytes, read back as the file reads.
        std::vector<uint8_t> bytes;
        image.SetSaveSink(&bytes);
        ASSERT_EQ(image.SaveFile(scratch.Path(std::string("memory.") + extension)), 0) << extension;
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), CScratchFolder::Read(atomic)) << extension;
        EXPECT_EQ(EntriesIn(scratch.Path()), 2u) << "no file for " << extension;
        vKit::CFileImageBuffer16 fromFile, fromBytes;
        ASSERT_EQ(fromFile.LoadFile(atomic), 0);
        ASSERT_EQ(fromBytes.LoadBytes(atomic, bytes.data(), bytes.size()), 0) << extension;
        ASSERT_EQ(fromBytes.PixelCount(), fromFile.PixelCount());
        EXPECT_EQ(std::memcmp(fromBytes.GetData(), fromFile.GetData(), size_t(fromFile.PixelCount()) * 2), 0);
        EXPECT_NE(fromBytes.LoadBytes(atomic, bytes.data(), bytes.size() / 3), 0)
            << "cut short: " << extension;
    }
}

// A link planted at the temporary name is replaced, not written through.
TEST(FileImageSave, StraightWriteReplacesALinkAtTheNameInsteadOfItsTarget)
{
    CScratchFolder scratch;
    const std::string target = scratch.Write("target", "keep me");
    const std::string part = scratch.Path(".slice.kavex-part.bmp");
    std::filesystem::create_symlink(target, part);
    vKit::CFileImageBuffer16 image = Ramp();
    image.SetSaveAtomically(false);
    ASSERT_EQ(image.SaveFile(part), 0);
    EXPECT_EQ(CScratchFolder::Read(target), "keep me");
    EXPECT_FALSE(std::filesystem::is_symlink(part));
    vKit::CFileImageBuffer16 back;
    ASSERT_EQ(back.LoadFile(part), 0);
    EXPECT_EQ(*back.PixelPtr(8, 29), *image.PixelPtr(8, 29));
}

} // namespace
