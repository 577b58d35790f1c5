#pragma once
// The codec under test driven through its memory mode with bottom-first DIBs, as the image files
// drive it.

#include "JpegTestStreams.h"
#include "jpeg/IntelImageJPEGLib.h"

#include <gtest/gtest.h>

#include <vector>

namespace jpegtest
{

struct Codec
{
    CIntelImageJPEGLib lib;
    JPEG_CORE_PROPERTIES props{};
    std::vector<uint8_t> dib;

    Codec() { EXPECT_EQ(lib.JpegInit(&props), IJL_OK); }
    ~Codec() { lib.JpegFree(&props); }

    void Describe(int w, int h, int pad)
    {
        props.DIBBytes = dib.data();
        props.DIBWidth = props.JPGWidth = w;
        props.DIBHeight = -h;
        props.JPGHeight = h;
        props.DIBPadBytes = pad;
    }

    // Encodes the picture without row padding; the stream.
    std::vector<uint8_t> Write(const Picture& p, int quality)
    {
        dib.clear();
        for (int y = p.height - 1; y >= 0; --y)
            dib.insert(dib.end(), p.samples.begin() + y * p.width, p.samples.begin() + (y + 1) * p.width);
        Describe(p.width, p.height, 0);
        props.jquality = quality;
        EXPECT_EQ(lib.JpegWrite(&props, IJL_JBUFF_WRITEWHOLEIMAGE), IJL_OK)
            << CIntelImageJPEGLib::LastMessage(&props);
        return std::vector<uint8_t>(props.JPGBytes, props.JPGBytes + props.JPGSizeBytes);
    }

    // Decodes a stream into `dib` with pad bytes after each row; the first nonzero result.
    int Read(const std::vector<uint8_t>& stream, int pad)
    {
        props.JPGBytes = stream.data();
        props.JPGSizeBytes = stream.size();
        const int header = lib.JpegRead(&props, IJL_JBUFF_READPARAMS);
        if (header != IJL_OK) return header;
        dib.assign(size_t(props.JPGWidth + pad) * props.JPGHeight, 0xEE);
        Describe(props.JPGWidth, props.JPGHeight, pad);
        return lib.JpegRead(&props, IJL_JBUFF_READWHOLEIMAGE);
    }
};

} // namespace jpegtest
