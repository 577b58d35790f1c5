// Streams the codec must refuse with a nonzero result, never by ending the process or by
// handing back rows it did not decode.

#include "jpeg/IntelImageJPEGLib.h"

#include "JpegTestStreams.h"

#include <gtest/gtest.h>

namespace
{

using jpegtest::Encode;
using jpegtest::FindMarker;
using jpegtest::Ramp;
using Stream = std::vector<uint8_t>;

// Reads a stream completely into a grey DIB; the first nonzero result of the two reads.
int Decode(const Stream& stream)
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

// Sets the precision, height and width fields of the first frame header with this marker.
Stream WithFrame(Stream stream, int precision, int height, int width, uint8_t marker = 0xC0)
{
    const size_t sof = FindMarker(stream, marker);
    EXPECT_GT(sof, 0u);
    const uint8_t fields[] = {uint8_t(precision), uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8),
                              uint8_t(width)};
    std::copy(std::begin(fields), std::end(fields), stream.begin() + long(sof + 2));
    return stream;
}

Stream Cut(const Stream& stream, size_t keep)
{
    return Stream(stream.begin(), stream.begin() + long(keep));
}

TEST(JpegHostile, RefusedStreamsAndTheirResults)
{
    const Stream base = Encode(Ramp(16, 16));
    const Stream full = Encode(Ramp(64, 64));
    const size_t sos = FindMarker(full, 0xDA);
    // A progressive stream cut between two complete scans.
    const Stream progressive = Encode(Ramp(16, 16), 90, 1);
    const size_t secondScan = FindMarker(progressive, 0xDA, FindMarker(progressive, 0xDA));
    // Found by fuzzing: an arithmetic-coded stream cut, closed with an end marker and given a
    // frame of 63239 x 45 decoded about a hundred bytes as 2.8 million zero pixels, at length.
    const Stream arithmetic = Encode(Ramp(64, 64), 90, 0, true);
    const size_t arithmeticSos = FindMarker(arithmetic, 0xDA);
    Stream closed = Cut(arithmetic, arithmeticSos + 12);
    closed.insert(closed.end(), {0xFF, 0xD9});
    ASSERT_GT(sos * secondScan * arithmeticSos, 0u);

    const std::pair<Stream, int> cases[] = {
        {full, IJL_OK},
        {closed, IJL_OK},
        {arithmetic, IJL_OK},
        {Encode(Ramp(2100, 2100), 10), IJL_OK}, // beyond the free floor, large enough for its pixels
        {Encode(Ramp(16, 16), 90, 4), IJL_OK},  // 253 scans
        {{}, IJL_INVALID_PARAM},
        {{'B', 'M', 0, 0, 0, 0}, IJL_DECODE_ERROR},
        {{0xFF, 0xD8}, IJL_DECODE_ERROR},
        {{0xFF, 0xD8, 0xFF, 0xD9}, IJL_DECODE_ERROR},
        // Cut inside the entropy-coded data: libjpeg itself would only warn and pad with grey.
        {Cut(full, sos + 20), IJL_DECODE_ERROR},
        {Cut(full, (sos + full.size()) / 2), IJL_DECODE_ERROR},
        {Cut(full, full.size() - 2), IJL_DECODE_ERROR},
        {Cut(progressive, secondScan - 2), IJL_DECODE_ERROR},
        {Cut(arithmetic, arithmeticSos + 20), IJL_DECODE_ERROR},
        {WithFrame(base, 12, 16, 16), IJL_UNSUPPORTED},
        {WithFrame(base, 16, 16, 16), IJL_UNSUPPORTED},
        // A few hundred bytes cannot hold the pixels they declare.
        {WithFrame(base, 8, 65000, 65000), IJL_TOO_LARGE},
        {WithFrame(base, 8, 5000, 5000), IJL_TOO_LARGE},
        {WithFrame(closed, 8, 45, 63239, 0xC9), IJL_TOO_LARGE},
        {WithFrame(base, 8, 0, 16), IJL_DECODE_ERROR},
        {WithFrame(base, 8, 16, 0), IJL_DECODE_ERROR},
        {Encode(Ramp(16, 16), 90, 5), IJL_TOO_LARGE}, // 316 progressive scans
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(Decode(cases[i].first), cases[i].second) << "case " << i;
}

TEST(JpegHostile, EveryCutAndFlippedByteEndsCleanly)
{
    // Not a fuzzer, but a quick sweep that runs in every build: each prefix and each byte
    // flipped must give a result, never a crash (the sanitizer build checks memory).
    const Stream base = Encode(Ramp(24, 16), 50);
    for (size_t keep = 0; keep < base.size(); ++keep)
        Decode(Cut(base, keep));
    for (size_t i = 0; i < base.size(); ++i)
    {
        Stream flipped = base;
        flipped[i] ^= 0xFF;
        Decode(flipped);
    }
}

} // namespace
