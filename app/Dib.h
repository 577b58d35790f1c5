#pragma once
// vKit::CDib: a small 8-bit indexed picture with its 256-entry palette, as the palette bars of the
// main dialog show it. The window layer paints it stretched into a control.

#include "Base/core/Base.h"
#include "Base/image/ColorTable.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vKit
{

class CDib : public CBase
{
public:
    static constexpr int32_t PaletteSize = 256;

    CDib();
    virtual ~CDib() = default;

    // An empty picture (every pixel 0) with a grey-ramp palette. Only 8 bits per pixel exist here;
    // keepSettings keeps the displayed palette range. False for other depths or sizes below 1.
    bool Create(int32_t width, int32_t height, int32_t bitsPerPixel = 8, bool keepSettings = false);
    bool IsValid() const { return m_nWidth > 0 && m_nHeight > 0; }

    int32_t GetWidth() const { return m_nWidth; }
    int32_t GetHeight() const { return m_nHeight; }
    const uint8_t* GetRow(int32_t y) const { return m_pixels.data() + static_cast<size_t>(y) * m_nWidth; }
    uint8_t* GetRow(int32_t y) { return m_pixels.data() + static_cast<size_t>(y) * m_nWidth; }
    uint8_t GetPixel(int32_t x, int32_t y) const { return GetRow(y)[x]; }

    // Always 256 entries: a shorter table is padded with black, a longer one cut.
    void SetPalette(const CColorTable& table);
    const CColorTable& GetPalette() const { return m_palette; }
    // Palette entry as 0x00BBGGRR.
    uint32_t GetPaletteColor(int32_t index) const;

    int32_t GetFirstIndex() const { return m_nFirstIndex; }
    int32_t GetLastIndex() const { return m_nLastIndex; }
    void SetIndexRange(int32_t first, int32_t last);

    // Column x holds the palette index x (scaled to 0..255 over the width); reversed, 255 - that.
    void FillRamp(bool reversed);

private:
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    std::vector<uint8_t> m_pixels;
    CColorTable m_palette;
    int32_t m_nFirstIndex = 0;
    int32_t m_nLastIndex = PaletteSize - 1;
};

} // namespace vKit
