#include "jpeg/IntelImageJPEGLib.h"

#include "JpegTestStreams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace
{

using jpegtest::Picture;

// A DIB of the picture with `pad` bytes after each row, bottom row first.
std::vector<uint8_t> BottomFirstDib(const Picture& p, int pad)
{
    const size_t stride = size_t(p.width + pad);
    std::vector<uint8_t> dib(stride * p.height, 0xEE);
    for (int y = 0; y < p.height; ++y)
        std::memcpy(&dib[stride * (p.height - 1 - y)], &p.samples[size_t(y) * p.width], p.width);
    return dib;
}

struct Codec
{
    CIntelImageJPEGLib lib;
    JPEG_CORE_PROPERTIES props{};

    Codec() { EXPECT_EQ(lib.JpegInit(&props), IJL_OK); }
    ~Codec() { lib.JpegFree(&props); }

    // Encodes a bottom-first DIB through the memory mode and returns the stream.
    std::vector<uint8_t> Write(const Picture& p, int pad, int quality)
    {
        std::vector<uint8_t> dib = BottomFirstDib(p, pad);
        props.DIBBytes = dib.data();
        props.DIBWidth = p.width;
        props.DIBHeight = -p.height;
        props.DIBPadBytes = pad;
        props.JPGWidth = p.width;
        props.JPGHeight = p.height;
        props.jquality = quality;
        EXPECT_EQ(lib.JpegWrite(&props, IJL_JBUFF_WRITEWHOLEIMAGE), IJL_OK)
            << CIntelImageJPEGLib::LastMessage(&props);
        return std::vector<uint8_t>(props.JPGBytes, props.JPGBytes + props.JPGSizeBytes);
    }

    // Decodes a stream into a DIB of the given row order and padding; the codec's result.
    int Read(const std::vector<uint8_t>& stream, std::vector<uint8_t>& dib, int pad, bool bottomFirst)
    {
        props.JPGBytes = stream.data();
        props.JPGSizeBytes = stream.size();
        const int header = lib.JpegRead(&props, IJL_JBUFF_READPARAMS);
        if (header != IJL_OK) return header;
        dib.assign(size_t(props.JPGWidth + pad) * props.JPGHeight, 0xEE);
        props.DIBBytes = dib.data();
        props.DIBWidth = props.JPGWidth;
        props.DIBHeight = bottomFirst ? -props.JPGHeight : props.JPGHeight;
        props.DIBPadBytes = pad;
        props.DIBChannels = 1;
        props.DIBColor = IJL_G;
        return lib.JpegRead(&props, IJL_JBUFF_READWHOLEIMAGE);
    }
};

TEST(JpegCodec, GreyRoundTripKeepsSamplesRowOrderAndPadding)
{
    const Picture ramp = jpegtest::Ramp(37, 23);
    Codec writer;
    const std::vector<uint8_t> stream = writer.Write(ramp, 3, 100);
    ASSERT_GT(stream.size(), 20u);
    EXPECT_EQ(0, std::memcmp(stream.data(), "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11));

    Codec reader;
    std::vector<uint8_t> dib;
    ASSERT_EQ(reader.Read(stream, dib, 3, true), IJL_OK);
    EXPECT_EQ(reader.props.JPGWidth, 37);
    EXPECT_EQ(reader.props.JPGHeight, 23);
    EXPECT_EQ(reader.props.JPGChannels, 1);
    EXPECT_EQ(reader.props.JPGColor, IJL_G);
    const std::vector<uint8_t> expected = BottomFirstDib(ramp, 3);
    for (size_t row = 0; row < 23; ++row)
        for (size_t x = 0; x < 40; ++x)
        {
            const size_t i = row * 40 + x;
            if (x >= 37)
                ASSERT_EQ(dib[i], 0xEE) << "padding written at row " << row;
            else
                ASSERT_NEAR(dib[i], expected[i], 2) << "row " << row << " x " << x;
        }
}

TEST(JpegCodec, PositiveDibHeightMeansTopRowFirst)
{
    Picture p = jpegtest::Ramp(16, 16);
    std::fill(p.samples.begin(), p.samples.end(), 0);
    std::fill(p.samples.begin(), p.samples.begin() + 16, 255); // white top row
    Codec writer;
    const std::vector<uint8_t> stream = writer.Write(p, 0, 100);
    Codec reader;
    std::vector<uint8_t> top, bottom;
    ASSERT_EQ(reader.Read(stream, top, 0, false), IJL_OK);
    ASSERT_EQ(reader.Read(stream, bottom, 0, true), IJL_OK);
    EXPECT_GT(top[0], 240);
    EXPECT_LT(top[15 * 16], 15);
    EXPECT_GT(bottom[15 * 16], 240);
    EXPECT_LT(bottom[0], 15);
}

TEST(JpegCodec, QualityOutsideZeroToHundredKeepsTheDefault)
{
    const Picture ramp = jpegtest::Ramp(64, 64);
    const std::vector<uint8_t> byDefault = Codec().Write(ramp, 0, 75);
    EXPECT_EQ(Codec().Write(ramp, 0, 101), byDefault);
    EXPECT_EQ(Codec().Write(ramp, 0, -1), byDefault);
    EXPECT_LT(Codec().Write(ramp, 0, 0).size(), byDefault.size());
}

TEST(JpegCodec, FileModesWriteAndReadThePath)
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kavex-jpeg-" + std::to_string(::getpid()) + ".jpg");
    const Picture ramp = jpegtest::Ramp(20, 10);
    std::vector<uint8_t> dib = BottomFirstDib(ramp, 0);
    {
        Codec writer;
        writer.props.DIBBytes = dib.data();
        writer.props.DIBWidth = 20;
        writer.props.DIBHeight = -10;
        writer.props.JPGWidth = 20;
        writer.props.JPGHeight = 10;
        const std::string name = path.string();
        writer.props.JPGFile = name.c_str();
        ASSERT_EQ(writer.lib.JpegWrite(&writer.props, IJL_JFILE_WRITEWHOLEIMAGE), IJL_OK);
    }
    Codec reader;
    const std::string name = path.string();
    reader.props.JPGFile = name.c_str();
    ASSERT_EQ(reader.lib.JpegRead(&reader.props, IJL_JFILE_READPARAMS), IJL_OK);
    EXPECT_EQ(reader.props.JPGWidth, 20);
    EXPECT_EQ(reader.props.JPGHeight, 10);
    std::vector<uint8_t> back(200);
    reader.props.DIBBytes = back.data();
    reader.props.DIBWidth = 20;
    reader.props.DIBHeight = -10;
    ASSERT_EQ(reader.lib.JpegRead(&reader.props, IJL_JFILE_READWHOLEIMAGE), IJL_OK);
    EXPECT_NEAR(back[19], dib[19], 3);
    std::filesystem::remove(path);

    reader.props.JPGFile = "/nonexistent/kavex.jpg";
    EXPECT_EQ(reader.lib.JpegRead(&reader.props, IJL_JFILE_READPARAMS), IJL_FILE_ERROR);
    reader.props.JPGFile = "/nonexistent/kavex.jpg";
    reader.props.DIBBytes = dib.data();
    reader.props.JPGWidth = 20;
    reader.props.JPGHeight = 10;
    reader.props.JPGChannels = 1;
    reader.props.JPGColor = IJL_G;
    EXPECT_EQ(reader.lib.JpegWrite(&reader.props, IJL_JFILE_WRITEWHOLEIMAGE), IJL_FILE_ERROR);
}

TEST(JpegCodec, MisuseIsRefusedWithoutTouchingMemory)
{
    CIntelImageJPEGLib lib;
    JPEG_CORE_PROPERTIES props{};
    EXPECT_EQ(lib.JpegRead(&props, IJL_JBUFF_READPARAMS), IJL_INVALID_PARAM); // no init
    EXPECT_EQ(lib.JpegFree(&props), IJL_OK);
    EXPECT_EQ(lib.JpegInit(nullptr), IJL_INVALID_PARAM);

    ASSERT_EQ(lib.JpegInit(&props), IJL_OK);
    EXPECT_EQ(props.jquality, 75);
    EXPECT_EQ(lib.JpegRead(&props, 7), IJL_INVALID_PARAM);
    EXPECT_EQ(lib.JpegWrite(&props, IJL_JFILE_READPARAMS), IJL_INVALID_PARAM);
    EXPECT_EQ(lib.JpegWrite(&props, IJL_JBUFF_WRITEWHOLEIMAGE), IJL_INVALID_PARAM); // no DIB

    // A DIB whose width does not match the stream is refused before any row is written.
    const std::vector<uint8_t> stream = jpegtest::Encode(jpegtest::Ramp(8, 8));
    props.JPGBytes = stream.data();
    props.JPGSizeBytes = stream.size();
    ASSERT_EQ(lib.JpegRead(&props, IJL_JBUFF_READPARAMS), IJL_OK);
    std::vector<uint8_t> small(4 * 8);
    props.DIBBytes = small.data();
    props.DIBWidth = 4;
    props.DIBHeight = -8;
    EXPECT_EQ(lib.JpegRead(&props, IJL_JBUFF_READWHOLEIMAGE), IJL_INVALID_PARAM);
    EXPECT_EQ(lib.JpegFree(&props), IJL_OK);
    EXPECT_EQ(props.pCodecState, nullptr);
}

} // namespace
