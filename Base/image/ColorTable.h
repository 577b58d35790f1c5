#pragma once
// A palette of 4-byte entries (blue, green, red, reserved) as stored in a BMP file.

#include <cstdint>
#include <vector>

namespace vKit
{

class CColorTable
{
public:
    // A table of n entries is the grey ramp: entry i is (i, i, i, 0).
    explicit CColorTable(int32_t count = 0);
    CColorTable(const CColorTable&) = default;
    CColorTable& operator=(const CColorTable&) = default;
    virtual ~CColorTable() = default;

    int32_t GetCount() const { return m_nCount; }
    const uint8_t* GetEntries() const { return m_entries.data(); }
    uint8_t* GetEntries() { return m_entries.data(); }

    void SetGreyRamp(int32_t count);
    // Takes count entries of 4 bytes from a file palette.
    void SetEntries(const uint8_t* entries, int32_t count);
    void Clear() { SetEntries(nullptr, 0); }

    // Grey (blue = green = red in every entry) and the first half darker than the second.
    bool IsGreyRising() const;
    // Grey and the first half at least as bright as the second; an empty table is falling.
    bool IsGreyFalling() const;

    bool operator==(const CColorTable& other) const
    {
        return m_nCount == other.m_nCount && m_entries == other.m_entries;
    }

private:
    // false when some entry is not grey; else the blue sums of both halves.
    bool HalfSums(uint64_t& first, uint64_t& second) const;

    std::vector<uint8_t> m_entries;
    int32_t m_nCount = 0;
};

// Reverses the order of count 4-byte palette entries in place.
void ReverseColorEntries(uint8_t* entries, int32_t count);

} // namespace vKit
