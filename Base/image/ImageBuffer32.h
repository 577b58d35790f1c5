#pragma once
// 32-bit accumulator image for averaging slices: samples hold 16-bit values scaled by 65536,
// so a group of n images is summed as floor(v * 65536 / n) per member and the high 16 bits
// of the sum are the average (truncated). 100 and 201 in a group of two: 3276800 + 6586368
// = 9863168, high bits 150.

#include "Base/image/ImageBuffer16.h"

#include <cstdint>
#include <utility>

namespace vKit
{

class CImageBuffer32
{
public:
    CImageBuffer32() = default;
    CImageBuffer32(const CImageBuffer32& other) { *this = other; }
    CImageBuffer32& operator=(const CImageBuffer32& other);
    virtual ~CImageBuffer32() = default;

    // Takes the image's size and description (bits per pixel 32); each sample v as v * 65536.
    // False, changing nothing, for a missing or empty image or a failed allocation.
    bool FromImage16(const CImageBuffer16* image);
    void Clear();
    // Adds floor(v * 65536 / n) of each image sample. False, adding nothing, when the image is
    // missing, its sample count differs from the accumulator's, or n is below 1.
    bool AddScaled(const CImageBuffer16* image, int32_t n);
    // Re-creates the image at this size with this description (bits per pixel 16) and the
    // high 16 bits of each sample. False when the image is missing or cannot be created.
    bool ToImage16(CImageBuffer16* image) const;
    void Free();

    int32_t GetWidth() const { return m_nWidth; }
    int32_t GetHeight() const { return m_nHeight; }
    std::pair<int32_t, int32_t> GetSize() const { return {m_nWidth, m_nHeight}; }
    int64_t PixelCount() const { return int64_t(m_nWidth) * m_nHeight; }
    uint32_t* Row(int32_t y) { return m_pData + ptrdiff_t(y) * m_nWidth; }
    const uint32_t* Row(int32_t y) const { return m_pData + ptrdiff_t(y) * m_nWidth; }
    uint32_t* PixelPtr(int32_t x, int32_t y) { return Row(y) + x; }
    uint32_t* GetData() { return m_pData; }
    const uint32_t* GetData() const { return m_pData; }

    CImageInfo& Info() { return m_info; }
    const CImageInfo& Info() const { return m_info; }
    virtual void SetInfo(const CImageInfo& info) { m_info = info; }
    int32_t GetRowStart() const { return m_nRowStart; }
    int32_t GetRowCount() const { return m_nRowCount; }
    virtual void SetRowCount(int32_t n) { m_nRowCount = n; }

private:
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    CImageInfo m_info;
    CAlignedBlock m_pixels;
    uint32_t* m_pData = nullptr;
    int32_t m_nRowStart = 0;
    int32_t m_nRowCount = 0;
};

} // namespace vKit
