// Streams the codec must refuse with a nonzero result, never by ending the process or by
// handing back rows it did not decode.

#include "jpeg/IntelImageJPEGLib.h"

#include "JpegTestStreams.h"

#include <gtest/gtest.h>

namespace
{

// Reads a stream completely into a grey DIB; the first nonzero result of the two reads.
int Decode(const std::vector<uint8_t>& stream)
{
    CIntelImageJPEGLib lib;
    JPEG_CORE_PROPERTIES props{};
    lib.JpegInit(&props);
    props.JPGBytes = stream.data();
    props.JPGSizeBytes = stream.size();
    int result = lib.JpegRead(&props, IJL_JBUFF_READPARAMS);
    std::vector<uint8_t> dib;
    if (result == IJL_OK)
    {
        const int pad = (props.JPGWidth + 3) / 4 * 4 - props.JPGWidth;
        dib.resize(size_t(props.JPGWidth + pad) * props.JPGHeight);
        props.DIBBytes = dib.data();
        props.DIBWidth = props.JPGWidth;
        props.DIBHeight = -props.JPGHeight;
        props.DIBPadBytes = pad;
        result = lib.JpegRead(&props, IJL_JBUFF_READWHOLEIMAGE);
    }
    lib.JpegFree(&props);
    return result;
}

// Sets the precision, height and width fields of the first baseline frame header.
std::vector<uint8_t> WithFrame(std::vector<uint8_t> stream, int precision, int height, int width)
{
    const size_t sof = jpegtest::FindMarker(stream, 0xC0);
    EXPECT_GT(sof, 0u);
    stream[sof + 2] = uint8_t(precision);
    stream[sof + 3] = uint8_t(height >> 8);
    stream[sof + 4] = uint8_t(height);
    stream[sof + 5] = uint8_t(width >> 8);
    stream[sof + 6] = uint8_t(width);
    return stream;
}

TEST(JpegHostile, NotAJpegOrEmptyIsRefused)
{
    EXPECT_NE(Decode({}), IJL_OK);
    EXPECT_NE(Decode({'B', 'M', 0, 0, 0, 0}), IJL_OK);
    EXPECT_NE(Decode({0xFF, 0xD8}), IJL_OK);
    EXPECT_NE(Decode({0xFF, 0xD8, 0xFF, 0xD9}), IJL_OK);
}

TEST(JpegHostile, TruncatedDataIsAFailedLoadNotGreyRows)
{
    const std::vector<uint8_t> full = jpegtest::Encode(jpegtest::Ramp(64, 64));
    ASSERT_EQ(Decode(full), IJL_OK);
    // Cut inside the entropy-coded data: libjpeg itself would only warn and pad with grey.
    const size_t sos = jpegtest::FindMarker(full, 0xDA);
    ASSERT_GT(sos, 0u);
    for (size_t keep : {sos + 20, (sos + full.size()) / 2, full.size() - 2})
    {
        std::vector<uint8_t> cut(full.begin(), full.begin() + long(keep));
        EXPECT_EQ(Decode(cut), IJL_DECODE_ERROR) << "kept " << keep << " of " << full.size();
    }
    // A progressive stream cut between two complete scans is as incomplete.
    const std::vector<uint8_t> progressive = jpegtest::Encode(jpegtest::Ramp(16, 16), 90, 1);
    const size_t secondScan =
        jpegtest::FindMarker(progressive, 0xDA, jpegtest::FindMarker(progressive, 0xDA));
    ASSERT_GT(secondScan, 0u);
    const std::vector<uint8_t> firstScanOnly(progressive.begin(), progressive.begin() + long(secondScan - 2));
    EXPECT_EQ(Decode(firstScanOnly), IJL_DECODE_ERROR);
}

TEST(JpegHostile, PrecisionOtherThanEightBitsIsUnsupported)
{
    const std::vector<uint8_t> base = jpegtest::Encode(jpegtest::Ramp(16, 16));
    EXPECT_EQ(Decode(WithFrame(base, 12, 16, 16)), IJL_UNSUPPORTED);
    EXPECT_EQ(Decode(WithFrame(base, 16, 16, 16)), IJL_UNSUPPORTED);
}

TEST(JpegHostile, AbsurdDimensionsAreRefusedBeforeAllocation)
{
    const std::vector<uint8_t> base = jpegtest::Encode(jpegtest::Ramp(16, 16));
    // A few hundred bytes cannot hold 65 000 x 65 000 pixels, nor 5000 x 5000.
    EXPECT_EQ(Decode(WithFrame(base, 8, 65000, 65000)), IJL_TOO_LARGE);
    EXPECT_EQ(Decode(WithFrame(base, 8, 5000, 5000)), IJL_TOO_LARGE);
    EXPECT_NE(Decode(WithFrame(base, 8, 0, 16)), IJL_OK);
    EXPECT_NE(Decode(WithFrame(base, 8, 16, 0)), IJL_OK);
    // Beyond the free floor, a stream large enough for its pixel count still loads.
    EXPECT_EQ(Decode(jpegtest::Encode(jpegtest::Ramp(2100, 2100), 10)), IJL_OK);
}

TEST(JpegHostile, ArithmeticStreamsLoadWhenWholeAndAreBoundedWhenShort)
{
    const std::vector<uint8_t> whole = jpegtest::Encode(jpegtest::Ramp(64, 64), 90, 0, true);
    EXPECT_EQ(Decode(whole), IJL_OK);
    // Cut without an end marker: the data ends early as in any other stream.
    const size_t sos = jpegtest::FindMarker(whole, 0xDA);
    EXPECT_EQ(Decode(std::vector<uint8_t>(whole.begin(), whole.begin() + long(sos + 20))), IJL_DECODE_ERROR);
    // Found by fuzzing: cut, closed with an end marker and given a frame of 63239 x 45, a stream
    // of about a hundred bytes decoded as 2.8 million zero pixels, each time at length.
    std::vector<uint8_t> closed(whole.begin(), whole.begin() + long(sos + 12));
    closed.push_back(0xFF);
    closed.push_back(0xD9);
    EXPECT_EQ(Decode(closed), IJL_OK);
    const size_t sof = jpegtest::FindMarker(closed, 0xC9);
    ASSERT_GT(sof, 0u);
    closed[sof + 3] = 0;
    closed[sof + 4] = 45;
    closed[sof + 5] = 63239 >> 8;
    closed[sof + 6] = 63239 & 0xFF;
    EXPECT_EQ(Decode(closed), IJL_TOO_LARGE);
}

TEST(JpegHostile, ProgressiveScanCountIsBounded)
{
    const jpegtest::Picture ramp = jpegtest::Ramp(16, 16);
    EXPECT_EQ(Decode(jpegtest::Encode(ramp, 90, 1)), IJL_OK);        // 64 scans
    EXPECT_EQ(Decode(jpegtest::Encode(ramp, 90, 4)), IJL_OK);        // 253 scans
    EXPECT_EQ(Decode(jpegtest::Encode(ramp, 90, 5)), IJL_TOO_LARGE); // 316 scans
}

TEST(JpegHostile, EveryCutAndFlippedByteEndsCleanly)
{
    // Not a fuzzer, but a quick sweep that runs in every build: each prefix and each byte
    // flipped to 0xFF must give a result, never a crash (the sanitizer build checks memory).
    const std::vector<uint8_t> base = jpegtest::Encode(jpegtest::Ramp(24, 16), 50);
    for (size_t keep = 0; keep < base.size(); ++keep)
        Decode(std::vector<uint8_t>(base.begin(), base.begin() + long(keep)));
    for (size_t i = 0; i < base.size(); ++i)
    {
        std::vector<uint8_t> flipped = base;
        flipped[i] ^= 0xFF;
        Decode(flipped);
    }
    SUCCEED();
}

} // namespace
