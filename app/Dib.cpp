#include "app/Dib.h"

#include <algorithm>

namespace vKit
{

CDib::CDib() : m_palette(PaletteSize) {}

bool CDib::Create(int32_t width, int32_t height, int32_t bitsPerPixel, bool keepSettings)
{
    // A bar is a few hundred pixels; refuse anything absurd rather than allocate it.
    constexpr int32_t kMaxSide = 1 << 14;
    if (bitsPerPixel != 8 || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    m_nWidth = width;
    m_nHeight = height;
    m_pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    m_palette.SetGreyRamp(PaletteSize);
    if (!keepSettings) SetIndexRange(0, PaletteSize - 1);
    return true;
}

void CDib::SetPalette(const CColorTable& table)
{
    uint8_t entries[PaletteSize * 4] = {};
    const int32_t count = std::min(table.GetCount(), PaletteSize);
    if (count > 0) std::copy(table.GetEntries(), table.GetEntries() + count * 4, entries);
    m_palette.SetEntries(entries, PaletteSize);
}

uint32_t CDib::GetPaletteColor(int32_t index) const
{
    if (index < 0 || index >= m_palette.GetCount()) return 0;
    const uint8_t* e = m_palette.GetEntries() + index * 4; // blue, green, red, reserved
    return static_cast<uint32_t>(e[2]) | (static_cast<uint32_t>(e[1]) << 8) |
           (static_cast<uint32_t>(e[0]) << 16);
}

void CDib::SetIndexRange(int32_t first, int32_t last)
{
    m_nFirstIndex = std::clamp(first, 0, PaletteSize - 1);
    m_nLastIndex = std::clamp(last, 0, PaletteSize - 1);
}

void CDib::FillRamp(bool reversed)
{
    if (!IsValid()) return;
    std::vector<uint8_t> row(static_cast<size_t>(m_nWidth));
    for (int32_t x = 0; x < m_nWidth; ++x)
    {
        const int32_t v = static_cast<int32_t>(static_cast<int64_t>(x) * PaletteSize / m_nWidth);
        row[static_cast<size_t>(x)] = static_cast<uint8_t>(reversed ? 255 - v : v);
    }
    for (int32_t y = 0; y < m_nHeight; ++y)
        std::copy(row.begin(), row.end(), GetRow(y));
}

} // namespace vKit
