// Streams the codec must refuse with a nonzero result, never by ending the process or by
// handing back rows it did not decode.

#include "JpegCodecRig.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace
{

using jpegtest::Encode;
using jpegtest::FindMarker;
using jpegtest::Ramp;
using Stream = std::vector<uint8_t>;

// Reads a stream completely into a grey DIB; the first nonzero result of the two reads, and
// libjpeg's or the codec's text for it.
int Decode(const Stream& stream, std::string* message = nullptr)
{
    jpegtest::Codec codec;
    const int result = codec.Read(stream, 3);
    if (message) *message = CIntelImageJPEGLib::LastMessage(&codec.props);
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

// The stream with an APP1 segment after its start marker: an EXIF block whose first directory
// lies far outside it, as in a third-party file that every other reader opens.
Stream WithBadExif(const Stream& stream)
{
    const uint8_t app1[] = {0xFF, 0xE1, 0,   16, 'E', 'x',  'i',  'f',  0,
                            0,    'M',  'M', 0,  42,  0xFF, 0xFF, 0xFF, 0xF0};
    Stream out(stream.begin(), stream.begin() + 2);
    out.insert(out.end(), std::begin(app1), std::end(app1));
    out.insert(out.end(), stream.begin() + 2, stream.end());
    return out;
}

// The stream with the entropy-coded data of its first restart interval cut short before its
// restart marker: libjpeg warns and resumes at the marker, as in the same third-party file.
Stream WithShortInterval(Stream stream)
{
    const size_t marker = FindMarker(stream, 0xD0, FindMarker(stream, 0xDA)) - 2;
    stream.erase(stream.begin() + long(marker) - 4, stream.begin() + long(marker));
    return stream;
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

    const Stream restarts = Encode(Ramp(64, 64), 90, 0, false, 1);
    // Each case: the stream, the result and the text a user is shown for it (libjpeg's own).
    const std::tuple<Stream, int, const char*> cases[] = {
        {full, IJL_OK, ""},
        {WithBadExif(full), IJL_OK, ""},
        {WithShortInterval(restarts), IJL_OK, ""},
        {closed, IJL_OK, ""},
        {arithmetic, IJL_OK, ""},
        {Encode(Ramp(2100, 2100), 10), IJL_OK, ""}, // beyond the free floor, large enough for its pixels
        {Encode(Ramp(16, 16), 90, 4), IJL_OK, ""},  // 253 scans
        {{}, IJL_INVALID_PARAM, ""},
        {{'B', 'M', 0, 0, 0, 0}, IJL_DECODE_ERROR, "Not a JPEG file: starts with 0x42 0x4d"},
        {{0xFF, 0xD8}, IJL_DECODE_ERROR, "Premature end of JPEG file"},
        {{0xFF, 0xD8, 0xFF, 0xD9}, IJL_DECODE_ERROR, "JPEG datastream contains no image"},
        // Cut inside the entropy-coded data: libjpeg itself would only warn and pad with grey.
        {Cut(full, sos + 20), IJL_DECODE_ERROR, "Premature end of JPEG file"},
        {Cut(full, (sos + full.size()) / 2), IJL_DECODE_ERROR, "Premature end of JPEG file"},
        {Cut(full, full.size() - 2), IJL_DECODE_ERROR, "Premature end of JPEG file"},
        {Cut(progressive, secondScan - 2), IJL_DECODE_ERROR, "Premature end of JPEG file"},
        {Cut(arithmetic, arithmeticSos + 20), IJL_DECODE_ERROR, "Premature end of JPEG file"},
        {WithFrame(base, 12, 16, 16), IJL_UNSUPPORTED, "Unsupported JPEG data precision 12"},
        {WithFrame(base, 16, 16, 16), IJL_UNSUPPORTED, "Unsupported JPEG data precision 16"},
        // A few hundred bytes cannot hold the pixels they declare.
        {WithFrame(base, 8, 65000, 65000), IJL_TOO_LARGE,
         "Image of 65000 x 65000 pixels: more than 256 Mpixel"},
        {WithFrame(base, 8, 5000, 5000), IJL_TOO_LARGE,
         "Image of 5000 x 5000 pixels: far more than its data can hold"},
        {WithFrame(closed, 8, 45, 63239, 0xC9), IJL_TOO_LARGE,
         "Image of 63239 x 45 pixels: far more than its data can hold"},
        {WithFrame(base, 8, 0, 16), IJL_DECODE_ERROR, "Empty JPEG image (DNL not supported)"},
        {WithFrame(base, 8, 16, 0), IJL_DECODE_ERROR, "Empty JPEG image (DNL not supported)"},
        {Encode(Ramp(16, 16), 90, 5), IJL_TOO_LARGE, "Too many progressive scans"}, // 316 progressive scans
    };
    for (size_t i = 0; i < std::size(cases); ++i)
    {
        const auto& [stream, result, text] = cases[i];
        std::string message;
        EXPECT_EQ(Decode(stream, &message), result) << "case " << i;
        EXPECT_EQ(message, text) << "case " << i;
    }
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
