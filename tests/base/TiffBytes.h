#pragma once
// Hand-made little-endian TIFF files for the reader tests: a header, the caller's data blocks
// and one directory of the caller's entries, every offset known to the test.

#include "BmpBytes.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tifftest
{

struct Entry
{
    uint16_t tag, type;
    uint32_t count, value;
};

// "II", 42, the data blocks from offset 8, then the directory at an even offset with the
// entries as given (unsorted, so duplicates can be placed) and a next-directory 0.
struct TiffBuilder
{
    std::vector<uint8_t> bytes = std::vector<uint8_t>(8, 0);
    std::vector<Entry> entries;

    uint32_t Add(const std::vector<uint8_t>& block) // the block's offset
    {
        const uint32_t at = uint32_t(bytes.size());
        bytes.resize(at + block.size()); // not insert: GCC 12 warns wrongly of its bounds
        std::copy(block.begin(), block.end(), bytes.begin() + at);
        return at;
    }
    uint32_t AddLongs(const std::vector<uint32_t>& values)
    {
        std::vector<uint8_t> block;
        for (uint32_t v : values)
            bmptest::Append(block, {{4, v}});
        return Add(block);
    }
    TiffBuilder& With(uint16_t tag, uint16_t type, uint32_t count, uint32_t value)
    {
        entries.push_back({tag, type, count, value});
        return *this;
    }
    // Width, height, bits and compression "none" as SHORT values.
    TiffBuilder& Grey(uint32_t width, uint32_t height, uint32_t bits)
    {
        return With(256, 3, 1, width).With(257, 3, 1, height).With(258, 3, 1, bits).With(259, 3, 1, 1);
    }

    std::vector<uint8_t> Build() const
    {
        std::vector<uint8_t> f = bytes;
        if (f.size() % 2) f.push_back(0);
        f = bmptest::Patched(bmptest::Patched(f, 0, 0x002A4949), 4, uint32_t(f.size())); // "II", 42
        bmptest::Append(f, {{2, uint32_t(entries.size())}});
        for (const Entry& e : entries)
            bmptest::Append(f, {{2, e.tag}, {2, e.type}, {4, e.count}, {4, e.value}});
        bmptest::Append(f, {{4, 0}});
        return f;
    }
};

// A grey image of w x h samples at 8 or 16 bits in one strip.
inline TiffBuilder GreyImage(uint32_t width, uint32_t height, uint32_t bits,
                             const std::vector<uint8_t>& samples)
{
    TiffBuilder b;
    const uint32_t data = b.Add(samples);
    b.Grey(width, height, bits).With(273, 4, 1, data).With(279, 4, 1, uint32_t(samples.size()));
    return b;
}

inline std::vector<uint8_t> Bytes16(const std::vector<uint16_t>& samples) // little-endian
{
    std::vector<uint8_t> bytes;
    for (uint16_t v : samples)
        bmptest::Append(bytes, {{2, v}});
    return bytes;
}

} // namespace tifftest
