// JPEG files we write, read by independent readers: PIL and ImageMagick see a grey JFIF file
// with the same picture, top row first.

#include "Base/formats/FileImageBuffer16.h"

#include "base/BmpBytes.h"
#include "base/CodecTools.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace
{

using bmptest::TempFolder;
using codectest::Quote;
using codectest::Shell;
using vKit::CFileImageBuffer16;

// 40 x 30, a horizontal ramp with a white top row and a black bottom row, saved at 300 dpi.
std::string SavePicture(const TempFolder& dir, CFileImageBuffer16& image)
{
    EXPECT_TRUE(image.Create(40, 30));
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 40; ++x)
            *image.PixelPtr(x, y) = uint16_t((y == 0 ? 255 : y == 29 ? 0 : 6 * x) << 8);
    image.Info().SetJpegQuality(95);
    image.Info().SetResolutionX(11811);
    image.Info().SetResolutionY(11811);
    EXPECT_EQ(image.SaveFile(dir.Path("p.jpg")), 0);
    return dir.Path("p.jpg");
}

void ExpectSamePicture(const CFileImageBuffer16& image, std::istream& samples)
{
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
        {
            int v = -1;
            samples >> v;
            ASSERT_NEAR(v, *image.PixelPtr(x, y) >> 8, 4) << x << "," << y;
        }
}

TEST(JpgInterop, PilReadsAGreyJfifFileWithTheSamePicture)
{
    const std::string python = codectest::PythonWithPil();
    if (python.empty()) GTEST_SKIP() << "python3 with PIL is not installed";
    TempFolder dir;
    CFileImageBuffer16 image;
    const std::string path = SavePicture(dir, image);
    std::string out;
    ASSERT_EQ(Shell(python + " -c \"from PIL import Image; im = Image.open('" + path +
                        "'); print(im.format, im.mode, im.size, round(im.info['dpi'][0]));"
                        " print(' '.join(str(v) for v in im.getdata()))\"",
                    out),
              0)
        << out;
    std::istringstream in(out);
    std::string header;
    std::getline(in, header);
    EXPECT_EQ(header, "JPEG L (40, 30) 300");
    ExpectSamePicture(image, in);
}

TEST(JpgInterop, ImageMagickReadsAGreyFileWithTheSamePicture)
{
    if (!codectest::HasTool("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    TempFolder dir;
    CFileImageBuffer16 image;
    const std::string path = SavePicture(dir, image);
    std::string out;
    ASSERT_EQ(Shell("identify -format '%[type] %[colorspace]' " + Quote(path) + " 2>/dev/null", out), 0);
    EXPECT_EQ(out, "Grayscale Gray");
    ASSERT_EQ(Shell("convert " + Quote(path) + " -compress none pgm:- 2>/dev/null", out), 0);
    std::istringstream in(out);
    ASSERT_EQ(codectest::PlainPgmHeader(in), "P2 40 30 255");
    ExpectSamePicture(image, in);
}

} // namespace
