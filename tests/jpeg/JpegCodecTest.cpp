#include "jpeg/IntelImageJPEGLib.h"

#include "JpegTestStreams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

using jpegtest::Picture;

// A DIB of the picture with `pad` bytes of 0xEE after each row, in either row order.
std::vector<uint8_t> Dib(const Picture& p, int pad, bool bottomFirst = true)
{
    const size_t stride = size_t(p.width + pad);
    std::vector<uint8_t> dib(stride * p.height, 0xEE);
    for (int y = 0; y < p.height; ++y)
        std::memcpy(&dib[stride * (bottomFirst ? p.height - 1 - y : y)], &p.samples[size_t(y) * p.width],
                    p.width);
    return dib;
}

struct Codec
{
    CIntelImageJPEGLib lib;
    JPEG_CORE_PROPERTIES props{};
    std::vector<uint8_t> dib;

    Codec() { EXPECT_EQ(lib.JpegInit(&props), IJL_OK); }
    ~Codec() { lib.JpegFree(&props); }

    // The geometry of a bottom-first DIB of w x h.
    void Describe(int w, int h, int pad)
    {
        props.DIBBytes = dib.data();
        props.DIBWidth = props.JPGWidth = w;
        props.DIBHeight = -h;
        props.JPGHeight = h;
        props.DIBPadBytes = pad;
    }

    // Encodes a bottom-first DIB through the memory mode and returns the stream.
    std::vector<uint8_t> Write(const Picture& p, int pad, int quality)
    {
        dib = Dib(p, pad);
        Describe(p.width, p.height, pad);
        props.jquality = quality;
        EXPECT_EQ(lib.JpegWrite(&props, IJL_JBUFF_WRITEWHOLEIMAGE), IJL_OK)
            << CIntelImageJPEGLib::LastMessage(&props);
        return std::vector<uint8_t>(props.JPGBytes, props.JPGBytes + props.JPGSizeBytes);
    }

    // Decodes a stream into `dib` with the given row order and padding; the codec's result.
    int Read(const std::vector<uint8_t>& stream, int pad, bool bottomFirst)
    {
        props.JPGBytes = stream.data();
        props.JPGSizeBytes = stream.size();
        const int header = lib.JpegRead(&props, IJL_JBUFF_READPARAMS);
        if (header != IJL_OK) return header;
        dib.assign(size_t(props.JPGWidth + pad) * props.JPGHeight, 0xEE);
        Describe(props.JPGWidth, props.JPGHeight, pad);
        if (!bottomFirst) props.DIBHeight = props.JPGHeight;
        return lib.JpegRead(&props, IJL_JBUFF_READWHOLEIMAGE);
    }
};

TEST(JpegCodec, GreyRoundTripKeepsSamplesRowOrderAndPadding)
{
    Picture ramp = jpegtest::Ramp(37, 23);
    std::fill(ramp.samples.begin(), ramp.samples.begin() + 37, 255); // a white top row
    const std::vector<uint8_t> stream = Codec().Write(ramp, 3, 100);
    ASSERT_GT(stream.size(), 20u);
    EXPECT_EQ(0, std::memcmp(stream.data(), "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11));

    for (bool bottomFirst : {true, false})
    {
        SCOPED_TRACE(bottomFirst ? "bottom row first" : "top row first");
        Codec reader;
        ASSERT_EQ(reader.Read(stream, 3, bottomFirst), IJL_OK);
        EXPECT_EQ(reader.props.JPGWidth, 37);
        EXPECT_EQ(reader.props.JPGHeight, 23);
        EXPECT_EQ(reader.props.JPGChannels, 1);
        const std::vector<uint8_t> expected = Dib(ramp, 3, bottomFirst);
        for (size_t i = 0; i < expected.size(); ++i)
            if (i % 40 >= 37)
                ASSERT_EQ(reader.dib[i], 0xEE) << "padding written at " << i;
            else
                ASSERT_NEAR(reader.dib[i], expected[i], 2) << "byte " << i;
    }
}

TEST(JpegCodec, QualityOutsideZeroToHundredKeepsTheDefault)
{
    const Picture ramp = jpegtest::Ramp(64, 64);
    const std::vector<uint8_t> byDefault = Codec().Write(ramp, 0, 75);
    EXPECT_EQ(Codec().Write(ramp, 0, 101), byDefault);
    EXPECT_EQ(Codec().Write(ramp, 0, -1), byDefault);
    EXPECT_LT(Codec().Write(ramp, 0, 0).size(), byDefault.size());
}

TEST(JpegCodec, MisuseIsRefusedWithoutTouchingMemory)
{
    CIntelImageJPEGLib lib;
    JPEG_CORE_PROPERTIES props{};
    EXPECT_EQ(lib.JpegRead(&props, IJL_JBUFF_READPARAMS), IJL_INVALID_PARAM); // no init
    EXPECT_EQ(lib.JpegInit(nullptr), IJL_INVALID_PARAM);
    ASSERT_EQ(lib.JpegInit(&props), IJL_OK);
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
