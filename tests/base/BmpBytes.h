#pragma once
// Builders for small BMP files in memory, written field by field at offsets the test knows; a
// temporary folder per test; images painted by a rule and loads that must succeed.

#include "ScratchFolder.h"

#include "Base/formats/BMPFile.h"
#include "Base/formats/FileImageBuffer16.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace bmptest
{

inline uint32_t Get32(const std::vector<uint8_t>& v, size_t at)
{
    return uint32_t(v[at]) | uint32_t(v[at + 1]) << 8 | uint32_t(v[at + 2]) << 16 | uint32_t(v[at + 3]) << 24;
}
// The bytes with a little-endian field of so many bytes changed.
inline std::vector<uint8_t> Patched(std::vector<uint8_t> f, size_t at, uint32_t value, int bytes = 4)
{
    for (int i = 0; i < bytes; ++i)
        f[at + i] = uint8_t(value >> 8 * i);
    return f;
}
// Little-endian fields of so many bytes, one after another.
inline void Append(std::vector<uint8_t>& v, std::initializer_list<std::pair<int, uint32_t>> fields)
{
    for (const auto& [bytes, value] : fields)
        for (int i = 0; i < bytes; ++i)
            v.push_back(uint8_t(value >> 8 * i));
}

// What goes into a file: the header's values (sizes and offsets are worked out from the parts),
// the palette entries actually stored and the rows as stored (bottom row first, padded).
struct BmpLayout : vKit::SBmpHeader
{
    uint32_t paletteEntries = 256;
    std::vector<uint8_t> privateBlock;
    std::vector<uint8_t> rows;
};

// Palette entry i is (255 - i, 255 - i, 255 - i, 0): a falling grey scale, as scanners write.
inline std::vector<uint8_t> MakeBmp(const BmpLayout& s)
{
    const uint32_t pixelOffset = uint32_t(54 + 4 * s.paletteEntries + s.privateBlock.size());
    const uint32_t imageSize = uint32_t(s.rows.size());
    std::vector<uint8_t> f = {'B', 'M'};
    for (uint32_t v : {pixelOffset + imageSize, 0u, pixelOffset, 40u, uint32_t(s.width), uint32_t(s.height)})
        Append(f, {{4, v}});
    Append(f, {{2, 1}, {2, s.bitsPerPixel}});
    for (uint32_t v : {s.compression, imageSize, uint32_t(s.resolutionX), uint32_t(s.resolutionY),
                       s.coloursUsed, s.coloursUsed})
        Append(f, {{4, v}});
    for (uint32_t i = 0; i < s.paletteEntries; ++i)
        Append(f, {{1, 255 - i}, {1, 255 - i}, {1, 255 - i}, {1, 0}});
    f.insert(f.end(), s.privateBlock.begin(), s.privateBlock.end());
    f.insert(f.end(), s.rows.begin(), s.rows.end());
    return f;
}

// A width x height 8-bit file with a full palette whose stored byte at (column c, stored row r)
// is 10 * r + c + 1.
inline BmpLayout Ramp(int32_t width, int32_t height)
{
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.bitsPerPixel = 8;
    s.coloursUsed = 256;
    const int32_t stride = (width + 3) / 4 * 4;
    s.rows.assign(size_t(stride) * height, 0);
    for (int32_t r = 0; r < height; ++r)
        for (int32_t c = 0; c < width; ++c)
            s.rows[size_t(r) * stride + c] = uint8_t(10 * r + c + 1);
    return s;
}

// A private block of size bytes starting with the signature, pair values a and b.
inline std::vector<uint8_t> PrivateBlock(size_t size, int32_t a, int32_t b)
{
    std::vector<uint8_t> block = {'Q', 'u', 'o', 'r', 'e', 'l', 'l', 0};
    if (size >= 16) Append(block, {{4, uint32_t(a)}, {4, uint32_t(b)}});
    for (size_t i = block.size(); i < size; ++i)
        block.push_back(uint8_t(i));
    block.resize(size);
    return block;
}

// A fresh folder per test, removed with everything in it.
using TempFolder = CScratchFolder;

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A w x h image whose sample (x, y) is paint(x, y).
template <typename Paint> vKit::CFileImageBuffer16 Painted(int32_t w, int32_t h, Paint paint)
{
    vKit::CFileImageBuffer16 image;
    EXPECT_TRUE(image.Create(w, h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            *image.PixelPtr(x, y) = uint16_t(paint(x, y));
    return image;
}

inline vKit::CFileImageBuffer16 Loaded(const std::string& path)
{
    vKit::CFileImageBuffer16 image;
    EXPECT_EQ(image.LoadFile(path), 0) << path << ": " << image.GetStatus().GetReason();
    return image;
}

} // namespace bmptest
