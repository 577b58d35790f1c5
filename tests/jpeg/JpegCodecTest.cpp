#include "JpegCodecRig.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

using jpegtest::Codec;
using jpegtest::Picture;

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
        const std::vector<uint8_t> expected = jpegtest::Dib(ramp, 3, bottomFirst);
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
    ASSERT_EQ(lib.JpegInit(&props), IJL_OK);
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
