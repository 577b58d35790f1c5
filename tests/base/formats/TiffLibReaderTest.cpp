// TIFF files that only libtiff reads: signed and MinIsWhite samples (several pages: the CLI
// tests), and the refusals of what cannot be one grey image, each with its reason and nothing on stderr.

#include "Base/formats/TiffLibReader.h"
#include "Base/formats/TiffFile.h"

#include "base/TiffBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

using tifftest::Bytes16;
using tifftest::GreyImage;
using tifftest::TiffBuilder;
using vKit::CTiffFile;

TEST(TiffLibReader, SignedAndMinIsWhiteSamplesKeepTheirOrder)
{
    struct Case
    {
        uint32_t bits;
        std::vector<uint8_t> samples;
        uint16_t tag, value; // SampleFormat 2 (signed) or Photometric 0 (MinIsWhite)
        std::vector<uint16_t> expected;
    } cases[] = {
        {16, Bytes16({0x8000, 0xFFFF, 0, 0x7FFF}), 339, 2, {0, 0x7FFF, 0x8000, 0xFFFF}},
        {8, {0x80, 0xFF, 0, 0x7F}, 339, 2, {0, 0x7F00, 0x8000, 0xFF00}},
        {16, Bytes16({0, 1, 0xFFFF, 0x1234}), 262, 0, {0xFFFF, 0xFFFE, 0, 0xEDCB}},
        {8, {0, 1, 255, 16}, 262, 0, {0xFF00, 0xFE00, 0, 0xEF00}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.bits) + " bits, tag " + std::to_string(c.tag));
        const std::vector<uint8_t> f = GreyImage(4, 1, c.bits, c.samples).With(c.tag, 3, 1, c.value).Build();
        vKit::CImageBuffer16 image;
        vKit::STiffRead outcome;
        ASSERT_TRUE(vKit::ReadTiffSlice(f.data(), f.size(), image, outcome)) << outcome.reason;
        EXPECT_EQ(std::vector<uint16_t>(image.GetData(), image.GetData() + 4), c.expected);
        EXPECT_EQ(outcome.signedSamples, c.tag == 339);
        EXPECT_EQ(image.Info().GetSignificantBits(), int32_t(c.bits));
    }
}

// A grey 4 x 4 image of 16 bits in one strip with these tags set to these SHORT values.
std::vector<uint8_t> Changed(const std::vector<std::pair<uint16_t, uint32_t>>& changes)
{
    TiffBuilder b = GreyImage(4, 4, 16, std::vector<uint8_t>(32, 0x5A));
    for (const auto& [tag, value] : changes)
    {
        auto e =
            std::find_if(b.entries.begin(), b.entries.end(), [&](const auto& e) { return e.tag == tag; });
        if (e == b.entries.end())
            b.With(tag, 3, 1, value);
        else
            e->value = value;
    }
    return b.Build();
}

TEST(TiffLibReader, RefusalsGiveTheMessageAndTheReasonAndNothingOnStderr)
{
    std::vector<uint8_t> mm = Changed({});
    mm[0] = mm[1] = 'M';
    const struct
    {
        std::vector<uint8_t> file;
        const char* message;
        const char* reason; // a part of it
    } cases[] = {
        {Changed({{258, 12}}), CTiffFile::MsgBadTags, "12 bits per sample, not 8 or 16"},
        {Changed({{258, 32}, {339, 3}}), CTiffFile::MsgBadTags, "floating-point samples"},
        {Changed({{262, 2}, {277, 3}}), CTiffFile::MsgBadTags, "3 samples per pixel, not one grey sample"},
        {Changed({{262, 5}}), CTiffFile::MsgBadTags, "photometric interpretation 5 is not grey"},
        {Changed({{259, 34712}}), CTiffFile::MsgCompression, "compression 34712 is not supported"},
        {Changed({{259, 5}}), CTiffFile::MsgBadTags, "libtiff: "}, // 32 bytes that are no LZW stream
        {Changed({{259, 8}, {256, 60000}, {257, 60000}}), CTiffFile::MsgBadTags,
         "are more than the limit of"},
        {Changed({{259, 8}}), CTiffFile::MsgBadTags, "libtiff: "},
        {Changed({{259, 32773}, {256, 4000}}), CTiffFile::MsgBadTags,
         "4000 x 4 pixels are more than the file can hold"},
        {mm, CTiffFile::MsgBadTags, "libtiff: "},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
    {
        SCOPED_TRACE(i);
        vKit::CImageBuffer16 image;
        vKit::STiffRead outcome;
        testing::internal::CaptureStderr();
        const bool read = vKit::ReadTiffSlice(cases[i].file.data(), cases[i].file.size(), image, outcome);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_FALSE(read);
        EXPECT_TRUE(image.IsEmpty());
        EXPECT_EQ(outcome.message, cases[i].message);
        EXPECT_NE(outcome.reason.find(cases[i].reason), std::string::npos) << outcome.reason;
    }
}

} // namespace
