#pragma once
// The codec under test driven through its memory mode, as the image files drive it.

#include "JpegTestStreams.h"
#include "jpeg/IntelImageJPEGLib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace jpegtest
{

// A DIB of the picture with `pad` bytes of 0xEE after each row, in either row order.
inline std::vector<uint8_t> Dib(const Picture& p, int pad, bool bottomFirst = true)
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

} // namespace jpegtest
