#pragma once
// Streams for the codec tests, made with libjpeg directly so that the codec under test is
// checked against an encoder it does not share code with.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace jpegtest
{

struct Picture
{
    int width = 0;
    int height = 0;
    int components = 1;
    std::vector<uint8_t> samples; // top row first, no padding, components interleaved
};

inline Picture Ramp(int width, int height)
{
    Picture p{width, height, 1, std::vector<uint8_t>(size_t(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.samples[size_t(y) * width + x] = uint8_t((x * 255) / (width > 1 ? width - 1 : 1));
    return p;
}

// Three horizontal bands of pure red, green and blue.
inline Picture ColourBands(int width, int height)
{
    Picture p{width, height, 3, std::vector<uint8_t>(size_t(width) * height * 3)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.samples[(size_t(y) * width + x) * 3 + size_t(3 * y / height)] = 255;
    return p;
}

// progressiveScans > 0 writes a progressive stream: one DC scan, then each AC coefficient
// refined bit by bit from bit `progressiveScans - 1`, so a grey picture gets
// 1 + 63 * progressiveScans scans.
inline std::vector<uint8_t> Encode(const Picture& picture, int quality = 90, int progressiveScans = 0,
                                   bool arithmetic = false, unsigned restartRows = 0)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(picture.width);
    cinfo.image_height = JDIMENSION(picture.height);
    cinfo.input_components = picture.components;
    cinfo.in_color_space = picture.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.arith_code = arithmetic ? TRUE : FALSE;
    cinfo.restart_in_rows = int(restartRows);
    std::vector<jpeg_scan_info> script;
    if (progressiveScans > 0 && picture.components == 1)
    {
        script.push_back({1, {0}, 0, 0, 0, 0});
        for (int k = 1; k < 64; ++k)
        {
            script.push_back({1, {0}, k, k, 0, progressiveScans - 1});
            for (int al = progressiveScans - 1; al > 0; --al)
                script.push_back({1, {0}, k, k, al, al - 1});
        }
        cinfo.scan_info = script.data();
        cinfo.num_scans = int(script.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    const size_t stride = size_t(picture.width) * picture.components;
    while (cinfo.next_scanline < cinfo.image_height)
    {
        JSAMPROW row = const_cast<uint8_t*>(picture.samples.data()) + stride * cinfo.next_scanline;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> bytes(out, out + size);
    std::free(out);
    return bytes;
}

// Offset of the byte after the first marker FF `code` at or after `from`, or 0 when none.
inline size_t FindMarker(const std::vector<uint8_t>& bytes, uint8_t code, size_t from = 0)
{
    for (size_t i = from; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == code) return i + 2;
    return 0;
}

} // namespace jpegtest
