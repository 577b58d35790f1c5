#pragma once
// Builders for small BMP files in memory and a temporary folder per test.

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace bmptest
{

inline void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    v[at] = uint8_t(x);
    v[at + 1] = uint8_t(x >> 8);
}
inline void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    Put16(v, at, x);
    Put16(v, at + 2, x >> 16);
}
inline uint32_t Get32(const std::vector<uint8_t>& v, size_t at)
{
    return uint32_t(v[at]) | uint32_t(v[at + 1]) << 8 | uint32_t(v[at + 2]) << 16 | uint32_t(v[at + 3]) << 24;
}

// What goes into a file; rows are given as stored (bottom row first, padded).
struct BmpLayout
{
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitsPerPixel = 8;
    uint32_t compression = 0;
    uint32_t coloursUsed = 256;
    uint32_t paletteEntries = 256; // entries actually stored
    int32_t resolutionX = 0;
    int32_t resolutionY = 0;
    std::vector<uint8_t> privateBlock;
    std::vector<uint8_t> rows;
};

// Palette entry i is (255 - i, 255 - i, 255 - i, 0): a falling grey scale, as scanners write.
inline std::vector<uint8_t> MakeBmp(const BmpLayout& s)
{
    const size_t pixelOffset = 54 + 4 * s.paletteEntries + s.privateBlock.size();
    std::vector<uint8_t> f(pixelOffset, 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 10, uint32_t(pixelOffset));
    Put32(f, 14, 40);
    Put32(f, 18, uint32_t(s.width));
    Put32(f, 22, uint32_t(s.height));
    Put16(f, 26, 1);
    Put16(f, 28, s.bitsPerPixel);
    Put32(f, 30, s.compression);
    Put32(f, 34, uint32_t(s.rows.size()));
    Put32(f, 38, uint32_t(s.resolutionX));
    Put32(f, 42, uint32_t(s.resolutionY));
    Put32(f, 46, s.coloursUsed);
    Put32(f, 50, s.coloursUsed);
    for (uint32_t i = 0; i < s.paletteEntries; ++i)
        f[54 + 4 * i] = f[55 + 4 * i] = f[56 + 4 * i] = uint8_t(255 - i);
    std::copy(s.privateBlock.begin(), s.privateBlock.end(), f.begin() + 54 + 4 * s.paletteEntries);
    f.insert(f.end(), s.rows.begin(), s.rows.end());
    Put32(f, 2, uint32_t(f.size()));
    return f;
}

// A width x height 8-bit file whose stored byte at (column c, stored row r) is 10 * r + c + 1.
inline BmpLayout Ramp(int32_t width, int32_t height)
{
    BmpLayout s;
    s.width = width;
    s.height = height;
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
    std::vector<uint8_t> block(size, 0);
    const char sig[] = "Quorell";
    for (size_t i = 0; i < 8 && i < size; ++i)
        block[i] = uint8_t(sig[i]);
    if (size >= 16)
    {
        Put32(block, 8, uint32_t(a));
        Put32(block, 12, uint32_t(b));
    }
    for (size_t i = 16; i < size; ++i)
        block[i] = uint8_t(i);
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

} // namespace bmptest
