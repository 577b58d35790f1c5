// TIFF files checked against independent implementations: libtiff's tools read what we write,
// and what libtiff's tools and ImageMagick write in our subset loads with the same samples.

#include "Base/FileImageBuffer16.h"
#include "Base/TiffFile.h"

#include "BmpBytes.h"
#include "CodecTools.h"

#include <gtest/gtest.h>

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

// Raw samples of the test pattern, row after row: 16-bit little-endian, or the low byte.
std::vector<uint8_t> RawPattern(int w, int h, int bits)
{
    std::vector<uint8_t> raw;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            raw.push_back(uint8_t(Sample(x, y)));
            if (bits == 16) raw.push_back(uint8_t(Sample(x, y) >> 8));
        }
    return raw;
}

void ExpectPattern(const std::string& path, int w, int h, int bits)
{
    CFileImageBuffer16 image;
    ASSERT_EQ(image.LoadFile(path), 0) << (image.Messages().empty() ? "" : image.Messages()[0]);
    ASSERT_EQ(image.GetSize(), std::make_pair(w, h));
    EXPECT_EQ(image.Info().GetBitsPerPixel(), bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(*image.PixelPtr(x, y), bits == 16 ? Sample(x, y) : Sample(x, y) & 0xFF)
                << x << "," << y;
}

std::string Message(const std::string& path)
{
    CFileImageBuffer16 image;
    EXPECT_EQ(image.LoadFile(path), 2);
    return image.Messages().empty() ? "" : image.Messages()[0];
}

TEST(TiffInterop, WrittenFileIsReadByLibtiffWithTheSameSamples)
{
    if (!HasTool("tiffinfo")) GTEST_SKIP() << "tiffinfo (libtiff-tools) is not installed";
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
    EXPECT_NE(info.find("Image Width: 37 Image Length: 50"), std::string::npos) << info;
    EXPECT_NE(info.find("Bits/Sample: 16"), std::string::npos) << info;
    EXPECT_NE(info.find("Compression Scheme: None"), std::string::npos) << info;
    EXPECT_NE(info.find("Rows/Strip: 24"), std::string::npos) << info;
    EXPECT_NE(info.find("Resolution: 2540, 2540 pixels/inch"), std::string::npos) << info;

    // The samples as a libtiff-based converter sees them.
    std::string command;
    if (HasTool("tifftopnm"))
        command = "tifftopnm -byrow " + Quote(path) + " 2>/dev/null";
    else if (HasTool("convert"))
        command = "convert " + Quote(path) + " -depth 16 pgm:- 2>/dev/null";
    else
        GTEST_SKIP() << "neither tifftopnm nor ImageMagick is installed";
    std::string pgmBytes;
    ASSERT_EQ(Shell(command, pgmBytes), 0);
    codectest::Pgm pgm;
    ASSERT_TRUE(codectest::ParsePgm(pgmBytes, pgm));
    ASSERT_EQ(pgm.width, w);
    ASSERT_EQ(pgm.height, h);
    EXPECT_EQ(pgm.maxval, 65535);
    for (int i = 0; i < w * h; ++i)
        ASSERT_EQ(pgm.samples[size_t(i)], Sample(i % w, i / w)) << "sample " << i;
}

TEST(TiffInterop, LibtiffFilesLoadOrAreRefusedWithTheirMessage)
{
    if (!HasTool("raw2tiff") || !HasTool("tiffcp"))
        GTEST_SKIP() << "raw2tiff / tiffcp (libtiff-tools) are not installed";
    TempFolder dir;
    const int w = 5, h = 13;
    for (int bits : {8, 16})
    {
        const std::string raw = dir.Path("p.raw");
        const std::string tif = dir.Path(bits == 16 ? "p16.tif" : "p8.tif");
        bmptest::WriteBytes(raw, RawPattern(w, h, bits));
        const std::string type = bits == 16 ? "short" : "byte";
        ASSERT_EQ(
            Shell("raw2tiff -M -c none -r 4 -d " + type + " -w 5 -l 13 " + Quote(raw) + " " + Quote(tif)), 0);
        SCOPED_TRACE(bits);
        ExpectPattern(tif, w, h, bits); // four strips, the last one short
    }
    const std::string source = dir.Path("p16.tif");
    ASSERT_EQ(Shell("tiffcp -c none -r 13 " + Quote(source) + " " + Quote(dir.Path("one.tif"))), 0);
    ExpectPattern(dir.Path("one.tif"), w, h, 16);

    ASSERT_EQ(Shell("tiffcp -B " + Quote(source) + " " + Quote(dir.Path("mm.tif"))), 0);
    EXPECT_EQ(Message(dir.Path("mm.tif")), vKit::CTiffFile::MsgNotIntel);
    for (const char* scheme : {"lzw", "packbits", "zip"})
    {
        const std::string packed = dir.Path(std::string(scheme) + ".tif");
        ASSERT_EQ(Shell("tiffcp -c " + std::string(scheme) + " " + Quote(source) + " " + Quote(packed)), 0);
        EXPECT_EQ(Message(packed), vKit::CTiffFile::MsgCompression) << scheme;
    }
}

TEST(TiffInterop, ImageMagickGreyFilesLoad)
{
    if (!HasTool("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    TempFolder dir;
    const int w = 9, h = 30;
    for (int bits : {8, 16})
    {
        const std::string raw = dir.Path("m.raw");
        const std::string tif = dir.Path(bits == 16 ? "m16.tif" : "m8.tif");
        bmptest::WriteBytes(raw, RawPattern(w, h, bits));
        const std::string depth = std::to_string(bits);
        ASSERT_EQ(Shell("convert -size 9x30 -depth " + depth + " -endian LSB gray:" + Quote(raw) +
                        " -compress None -endian LSB " + Quote(tif) + " 2>/dev/null"),
                  0);
        SCOPED_TRACE(bits);
        ExpectPattern(tif, w, h, bits);
    }
}

} // namespace
