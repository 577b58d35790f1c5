// TIFF files checked against independent implementations: libtiff's tools read what we write
// with the same samples, and the grey files libtiff's tools and ImageMagick write load.

#include "Base/formats/FileImageBuffer16.h"
#include "Base/formats/TiffFile.h"

#include "base/BmpBytes.h"
#include "base/CodecTools.h"
#include "base/TiffBytes.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace
{

using bmptest::TempFolder;
using codectest::HasTool;
using codectest::Quote;
using codectest::Shell;
using vKit::CFileImageBuffer16;

uint16_t Sample(int x, int y)
{
    return uint16_t(x * 1777 + y * 313 + 1);
}

std::string Message(const std::string& path)
{
    CFileImageBuffer16 image;
    EXPECT_EQ(image.LoadFile(path), 2);
    return image.Messages().empty() ? "" : image.Messages()[0];
}

TEST(TiffInterop, WrittenFileIsReadByLibtiffWithTheSameSamples)
{
    if (!HasTool("tiffinfo") || !HasTool("tifftopnm")) GTEST_SKIP() << "libtiff-tools or netpbm missing";
    TempFolder dir;
    const int w = 37, h = 50;
    CFileImageBuffer16 image;
    ASSERT_TRUE(image.Create(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            *image.PixelPtr(x, y) = Sample(x, y);
    image.Info().SetPixelSizeXum(10.0);
    image.Info().SetPixelSizeYum(10.0);
    const std::string path = dir.Path("ours.tif");
    ASSERT_EQ(image.SaveFile(path), 0);

    std::string info;
    ASSERT_EQ(Shell("tiffinfo " + Quote(path) + " 2>/dev/null", info), 0);
    for (const char* line :
         {"Image Width: 37 Image Length: 50", "Bits/Sample: 16", "Compression Scheme: None", "Rows/Strip: 24",
          "Resolution: 2540, 2540 pixels/inch"})
        EXPECT_NE(info.find(line), std::string::npos) << line << " in\n" << info;

    std::string pgm;
    ASSERT_EQ(Shell("tifftopnm -byrow " + Quote(path) + " 2>/dev/null | pnmtopnm -plain", pgm), 0);
    std::istringstream in(pgm);
    ASSERT_EQ(codectest::PlainPgmHeader(in), "P2 37 50 65535");
    for (int i = 0, v = -1; i < w * h; ++i)
        ASSERT_TRUE(in >> v && v == Sample(i % w, i / w)) << "sample " << i << " is " << v;
}

// What a load of the file gives, saved as our TIFF and read back: the samples must survive.
std::vector<uint16_t> LoadedThroughOurTiff(const std::string& path, const std::string& ours)
{
    CFileImageBuffer16 image;
    EXPECT_EQ(image.LoadFile(path), 0) << Message(path);
    EXPECT_EQ(image.SaveFile(ours), 0);
    CFileImageBuffer16 back;
    EXPECT_EQ(back.LoadFile(ours), 0) << Message(ours);
    EXPECT_EQ(back.GetSize(), image.GetSize());
    return std::vector<uint16_t>(back.GetData(), back.GetData() + back.PixelCount());
}

// Grey files of libtiff's tools and ImageMagick, in our layout or not (byte order, compression
// with and without predictor, tiles, strips, fill order), load with the written samples, 8-bit
// ones as v * 256, and are written as our TIFF with the same samples.
TEST(TiffInterop, GreyFilesOfLibtiffAndImageMagickLoadInEveryLayout)
{
    if (!HasTool("raw2tiff") || !HasTool("tiffcp") || !HasTool("convert"))
        GTEST_SKIP() << "libtiff-tools or ImageMagick missing";
    TempFolder dir;
    const std::string raw = dir.Path("p.raw"), tif = dir.Path("p.tif"), other = dir.Path("o.tif");
    const int w = 37, h = 30;
    for (int bits : {8, 16})
    {
        std::vector<uint8_t> samples; // little-endian, or the low byte
        std::vector<uint16_t> expected;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                for (int byte = 0; byte < bits / 8; ++byte)
                    samples.push_back(uint8_t(Sample(x, y) >> 8 * byte));
                expected.push_back(bits == 16 ? Sample(x, y) : uint16_t(Sample(x, y) << 8));
            }
        bmptest::WriteBytes(raw, samples);
        const std::string depth = std::to_string(bits), type = bits == 16 ? "short" : "byte";
        const std::string size = " -w " + std::to_string(w) + " -l " + std::to_string(h) + " ";
        auto copy = [&](const std::string& options)
        { return "tiffcp " + options + " " + Quote(tif) + " " + Quote(other); };
        const std::string writers[] = {
            // strips of 4 rows, the last one short (our reader); then libtiff's layouts
            "raw2tiff -M -c none -r 4 -d " + type + size + Quote(raw) + " " + Quote(other) + " && cp " +
                Quote(other) + " " + Quote(tif),
            copy("-c none -r 30"),
            copy("-B"),
            copy("-B -c lzw"),
            copy("-c lzw:2"),
            copy("-c zip"),
            copy("-L -c zip:2"),
            copy("-c packbits"),
            copy("-t -w 16 -l 16"),
            copy("-r 5 -c lzw"),
            copy("-f lsb2msb"),
            "convert -size " + std::to_string(w) + "x" + std::to_string(h) + " -depth " + depth +
                " -endian LSB gray:" + Quote(raw) + " -compress None -endian MSB " + Quote(other),
        };
        for (const std::string& writer : writers)
        {
            SCOPED_TRACE(writer);
            ASSERT_EQ(Shell(writer + " 2>/dev/null"), 0);
            EXPECT_EQ(LoadedThroughOurTiff(other, dir.Path("ours.tif")), expected);
        }
    }
}

// The fault of holding 8-bit samples as v: an 8-bit TIFF written as BMP came out black.
TEST(TiffInterop, EightBitTiffConvertsToBmpWithItsValues)
{
    TempFolder dir;
    bmptest::WriteBytes(dir.Path("e.tif"), tifftest::GreyImage(4, 1, 8, {0, 1, 2, 255}).Build());
    CFileImageBuffer16 image;
    ASSERT_EQ(image.LoadFile(dir.Path("e.tif")), 0);
    ASSERT_EQ(image.SaveFile(dir.Path("e.bmp")), 0);
    const std::vector<uint8_t> bmp = bmptest::ReadBytes(dir.Path("e.bmp"));
    EXPECT_EQ(std::vector<uint8_t>(bmp.end() - 4, bmp.end()), std::vector<uint8_t>({0, 1, 2, 255}));
}

} // namespace
