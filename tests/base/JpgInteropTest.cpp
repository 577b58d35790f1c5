// JPEG files checked against independent readers and writers: PIL and ImageMagick read what
// we write as a grey JFIF file with the same picture; a colour file ImageMagick writes loads
// as its luminance.

#include "Base/FileImageBuffer16.h"

#include "BmpBytes.h"
#include "CodecTools.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace
{

using bmptest::TempFolder;
using codectest::HasTool;
using codectest::Quote;
using codectest::Shell;
using vKit::CFileImageBuffer16;

// 40 x 30, a horizontal ramp with a white top row and a black bottom row.
CFileImageBuffer16 Picture()
{
    CFileImageBuffer16 image;
    EXPECT_TRUE(image.Create(40, 30));
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 40; ++x)
            *image.PixelPtr(x, y) = uint16_t((y == 0 ? 255 : y == 29 ? 0 : 6 * x) << 8);
    image.Info().SetJpegQuality(95);
    image.Info().SetResolutionX(11811);
    image.Info().SetResolutionY(11811);
    return image;
}

TEST(JpgInterop, PilReadsAGreyJfifFileWithTheSamePicture)
{
    const std::string python = codectest::PythonWithPil();
    if (python.empty()) GTEST_SKIP() << "python3 with PIL is not installed";
    TempFolder dir;
    const CFileImageBuffer16 image = Picture();
    const std::string path = dir.Path("p.jpg");
    ASSERT_EQ(CFileImageBuffer16(image).SaveFile(path), 0);

    const std::string script = "from PIL import Image\n"
                               "im = Image.open('" +
                               path +
                               "')\n"
                               "print(im.format, im.mode, im.size[0], im.size[1], round(im.info['dpi'][0]))\n"
                               "print(' '.join(str(v) for v in im.getdata()))\n";
    bmptest::WriteBytes(dir.Path("read.py"), std::vector<uint8_t>(script.begin(), script.end()));
    std::string out;
    ASSERT_EQ(Shell(python + " " + Quote(dir.Path("read.py")), out), 0) << out;
    std::istringstream in(out);
    std::string format, mode;
    int width = 0, height = 0, dpi = 0;
    in >> format >> mode >> width >> height >> dpi;
    EXPECT_EQ(format, "JPEG");
    EXPECT_EQ(mode, "L");
    ASSERT_EQ(width, 40);
    ASSERT_EQ(height, 30);
    EXPECT_EQ(dpi, 300);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
        {
            int v = -1;
            in >> v;
            ASSERT_NEAR(v, *image.PixelPtr(x, y) >> 8, 4) << x << "," << y;
        }
}

TEST(JpgInterop, ImageMagickReadsTheSamePictureTopRowFirst)
{
    if (!HasTool("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    TempFolder dir;
    const CFileImageBuffer16 image = Picture();
    const std::string path = dir.Path("m.jpg");
    ASSERT_EQ(CFileImageBuffer16(image).SaveFile(path), 0);
    std::string pgmBytes;
    ASSERT_EQ(Shell("convert " + Quote(path) + " pgm:- 2>/dev/null", pgmBytes), 0);
    codectest::Pgm pgm;
    ASSERT_TRUE(codectest::ParsePgm(pgmBytes, pgm));
    ASSERT_EQ(pgm.width, 40);
    ASSERT_EQ(pgm.height, 30);
    for (int i = 0; i < 40 * 30; ++i)
        ASSERT_NEAR(pgm.samples[size_t(i)], *image.PixelPtr(i % 40, i / 40) >> 8, 4) << "sample " << i;
    std::string type;
    ASSERT_EQ(Shell("identify -format '%[type] %[colorspace]' " + Quote(path) + " 2>/dev/null", type), 0);
    EXPECT_EQ(type, "Grayscale Gray");
}

TEST(JpgInterop, ImageMagickColourFileLoadsAsItsLuminance)
{
    if (!HasTool("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    TempFolder dir;
    const std::string path = dir.Path("c.jpg");
    // Left half pure green, right half pure blue, 16 rows.
    ASSERT_EQ(Shell("convert -size 16x16 xc:'#00FF00' -size 16x16 xc:'#0000FF' +append -quality 95 " +
                    Quote(path) + " 2>/dev/null"),
              0);
    CFileImageBuffer16 image;
    ASSERT_EQ(image.LoadFile(path), 0);
    ASSERT_EQ(image.GetSize(), std::make_pair(32, 16));
    EXPECT_NEAR(*image.PixelPtr(4, 8) >> 8, 150, 5);
    EXPECT_NEAR(*image.PixelPtr(28, 8) >> 8, 29, 5);
    EXPECT_EQ(image.Info().GetSignificantBits(), 8);
}

} // namespace
