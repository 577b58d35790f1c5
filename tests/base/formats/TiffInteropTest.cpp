// TIFF files checked against independent implementations: libtiff's tools read what we write
// with the same samples, and the grey files libtiff's tools and ImageMagick write load.

#include "Base/formats/FileImageBuffer16.h"
#include "Base/formats/TiffFile.h"

#include "base/BmpBytes.h"
#include "base/CodecTools.h"

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

TEST(TiffInterop, GreyFilesOfLibtiffAndImageMagickLoadOthersAreRefused)
{
    if (!HasTool("raw2tiff") || !HasTool("tiffcp") || !HasTool("convert"))
        GTEST_SKIP() << "libtiff-tools or ImageMagick missing";
    TempFolder dir;
    const std::string raw = dir.Path("p.raw"), tif = dir.Path("p.tif");
    for (int bits : {8, 16})
    {
        std::vector<uint8_t> samples; // little-endian, or the low byte
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 9; ++x)
                for (int byte = 0; byte < bits / 8; ++byte)
                    samples.push_back(uint8_t(Sample(x, y) >> 8 * byte));
        bmptest::WriteBytes(raw, samples);
        const std::string depth = std::to_string(bits), type = bits == 16 ? "short" : "byte";
        const std::string writers[] = {
            // strips of 4 rows, the last one short; then the same as one strip
            "raw2tiff -M -c none -r 4 -d " + type + " -w 9 -l 30 " + Quote(raw) + " " + Quote(tif),
            "tiffcp -c none -r 30 " + Quote(tif) + " " + Quote(dir.Path("one.tif")) + " && mv " +
                Quote(dir.Path("one.tif")) + " " + Quote(tif),
            "convert -size 9x30 -depth " + depth + " -endian LSB gray:" + Quote(raw) +
                " -compress None -endian LSB " + Quote(tif),
        };
        for (const std::string& writer : writers)
        {
            SCOPED_TRACE(writer);
            ASSERT_EQ(Shell(writer + " 2>/dev/null"), 0);
            CFileImageBuffer16 image;
            ASSERT_EQ(image.LoadFile(tif), 0) << Message(tif);
            ASSERT_EQ(image.GetSize(), std::make_pair(9, 30));
            EXPECT_EQ(image.Info().GetBitsPerPixel(), bits);
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 9; ++x)
                    ASSERT_EQ(*image.PixelPtr(x, y), bits == 16 ? Sample(x, y) : Sample(x, y) & 0xFF)
                        << x << "," << y;
        }
    }
    ASSERT_EQ(Shell("tiffcp -B " + Quote(tif) + " " + Quote(dir.Path("mm.tif"))), 0);
    EXPECT_EQ(Message(dir.Path("mm.tif")), vKit::CTiffFile::MsgNotIntel);
    ASSERT_EQ(Shell("tiffcp -c lzw " + Quote(tif) + " " + Quote(dir.Path("lzw.tif"))), 0);
    EXPECT_EQ(Message(dir.Path("lzw.tif")), vKit::CTiffFile::MsgCompression);
}

} // namespace
