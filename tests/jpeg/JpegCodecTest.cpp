// Round trips through the codec (row order, padding, the JFIF header) run through the JPEG image
// files of the library; here, what they do not reach.

#include "JpegCodecRig.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using jpegtest::Codec;
using jpegtest::Picture;

TEST(JpegCodec, QualityOutsideZeroToHundredKeepsTheDefault)
{
    const Picture ramp = jpegtest::Ramp(64, 64);
    const std::vector<uint8_t> byDefault = Codec().Write(ramp, 75);
    EXPECT_EQ(Codec().Write(ramp, 101), byDefault);
    EXPECT_EQ(Codec().Write(ramp, -1), byDefault);
    EXPECT_LT(Codec().Write(ramp, 0).size(), byDefault.size());
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
