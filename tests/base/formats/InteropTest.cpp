// Independent implementations against ours: ImageMagick reads what we write with the same
// picture, and the grey files libtiff's tools and ImageMagick write load.

#include "Base/formats/FileImageBuffer16.h"

#include "base/BmpBytes.h"
#include "base/CodecTools.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace
{

using bmptest::TempFolder;
using codectest::HasTool;
using codectest::Quote;
using codectest::Shell;
using vKit::CFileImageBuffer16;

constexpr int w = 37, h = 30; // every picture's size

uint16_t Sample(int x, int y)
{
    return uint16_t(x * 1777 + y * 313 + 1);
}

// Each format at 300 dpi, top row first: what ImageMagick says of it, and its samples against
// ours within the format's tolerance; 8-bit ones (a ramp under a white top row) as high bytes.
TEST(Interop, ImageMagickReadsOurFilesWithTheSamePicture)
{
    if (!HasTool("convert") || !HasTool("identify")) GTEST_SKIP() << "ImageMagick is not installed";
    TempFolder dir;
    const std::string resolution = "%[fx:round(100 * resolution.x)] %[fx:round(100 * resolution.y)]";
    // Extension, type, colour space, bits, 100 x resolution and its unit, tolerance.
    const std::tuple<std::string, std::string, int> cases[] = {
        {"bmp", "Grayscale sRGB 8 11811 11811 PixelsPerCentimeter", 0},
        {"tif", "Grayscale Gray 16 30000 30000 PixelsPerInch", 0},
        {"jpg", "Grayscale Gray 8 30000 30000 PixelsPerInch", 4},
    };
    for (const auto& [extension, identity, tolerance] : cases)
    {
        SCOPED_TRACE(extension);
        const bool sixteen = extension == "tif";
        CFileImageBuffer16 image = bmptest::Painted(
            w, h, [&](int x, int y) { return sixteen ? Sample(x, y) : (y == 0 ? 255 : 5 * x + 2 * y) << 8; });
        image.Info().SetResolutionX(11811);
        image.Info().SetResolutionY(11811);
        image.Info().SetJpegQuality(95);
        const std::string path = dir.Path("ours." + extension);
        ASSERT_EQ(image.SaveFile(path), 0);
        std::string identified, pgm;
        ASSERT_EQ(Shell("identify -format '%[type] %[colorspace] %z " + resolution + " %U' " + Quote(path),
                        &identified),
                  0);
        EXPECT_EQ(identified, identity);
        ASSERT_EQ(Shell("convert " + Quote(path) + " -compress none pgm:- 2>/dev/null", &pgm), 0);
        std::istringstream in(pgm);
        std::string magic, width, height, maxval;
        in >> magic >> width >> height >> maxval;
        ASSERT_EQ(magic + " " + width + " " + height + " " + maxval,
                  sixteen ? "P2 37 30 65535" : "P2 37 30 255");
        for (int i = 0, v = -1; i < w * h; ++i)
        {
            ASSERT_TRUE(in >> v) << "sample " << i;
            ASSERT_NEAR(v, image.GetData()[i] >> (sixteen ? 0 : 8), tolerance) << "sample " << i;
        }
    }
}

// Grey files of libtiff's tools and ImageMagick, in our layout or not (byte order, compression
// with and without predictor, tiles, strips, fill order), load with the written samples, 8-bit
// ones as v * 256, and are written as our TIFF with the same samples.
TEST(Interop, GreyFilesOfLibtiffAndImageMagickLoadInEveryLayout)
{
    if (!HasTool("raw2tiff") || !HasTool("tiffcp") || !HasTool("convert"))
        GTEST_SKIP() << "libtiff-tools or ImageMagick missing";
    TempFolder dir;
    const std::string raw = dir.Path("p.raw"), tif = dir.Path("p.tif"), other = dir.Path("o.tif");
    for (int bits : {8, 16})
    {
        std::vector<uint8_t> samples; // little-endian, or the low byte
        std::vector<uint16_t> expected;
        for (int i = 0; i < w * h; ++i)
        {
            const uint16_t v = Sample(i % w, i / w);
            bmptest::Append(samples, {{bits / 8, v}});
            expected.push_back(bits == 16 ? v : uint16_t(v << 8));
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
            CFileImageBuffer16 image = bmptest::Loaded(other);
            ASSERT_EQ(image.SaveFile(dir.Path("ours.tif")), 0);
            const CFileImageBuffer16 back = bmptest::Loaded(dir.Path("ours.tif"));
            ASSERT_EQ(back.GetSize(), std::make_pair(w, h));
            EXPECT_EQ(std::vector<uint16_t>(back.GetData(), back.GetData() + w * h), expected);
        }
    }
}

} // namespace
