#include "Base/image/ImageBuffer32.h"

#include <cstring>

namespace vKit
{

CImageBuffer32& CImageBuffer32::operator=(const CImageBuffer32& other)
{
    if (this == &other) return *this;
    m_pixels = other.m_pixels;
    const bool ok = other.m_pData == nullptr || m_pixels.Data() != nullptr;
    m_pData = ok ? reinterpret_cast<uint32_t*>(m_pixels.Data()) : nullptr;
    m_nWidth = ok ? other.m_nWidth : 0;
    m_nHeight = ok ? other.m_nHeight : 0;
    m_nRowStart = other.m_nRowStart;
    m_nRowCount = other.m_nRowCount;
    m_info = other.m_info;
    return *this;
}

void CImageBuffer32::Free()
{
    m_pixels.Free();
    m_pData = nullptr;
    m_nWidth = m_nHeight = 0;
    m_nRowStart = m_nRowCount = 0;
}

bool CImageBuffer32::FromImage16(const CImageBuffer16* image)
{
    if (!image || image->IsEmpty()) return false;
    const int64_t count = image->PixelCount();
    const size_t bytes = size_t(count) * 4;
    // The memory of an earlier group is used again when it is large enough; new memory replaces
    // it only once it was allocated, so that a failure changes nothing.
    if (bytes <= m_pixels.Capacity())
        m_pixels.Allocate(bytes, 32);
    else
    {
        CAlignedBlock block;
        if (!block.Allocate(bytes, 32)) return false;
        m_pixels = std::move(block);
    }
    m_pData = reinterpret_cast<uint32_t*>(m_pixels.Data());
    m_nWidth = image->GetWidth();
    m_nHeight = image->GetHeight();
    m_nRowStart = 0;
    m_nRowCount = m_nHeight;
    m_info = image->Info();
    m_info.SetBitsPerPixel(32);
    const uint16_t* s = image->GetData();
    for (int64_t i = 0; i < count; ++i)
        m_pData[i] = uint32_t(s[i]) << 16;
    return true;
}

void CImageBuffer32::Clear()
{
    if (m_pData) std::memset(m_pData, 0, size_t(PixelCount()) * 4);
}

// floor(v * 65536 / n) without a division per sample. With m = ceil(2^48 / n) = 2^48 / n + e,
// 0 <= e < 1, the product v * m / 2^32 exceeds v * 65536 / n by v * e / 2^32 < 2^-16, while
// the fraction of v * 65536 / n is at most 1 - 1/n; for n <= 65536 the error never reaches the
// next integer, so the high bits are the exact quotient. m is split in 32-bit halves so that
// the loop needs only 32 x 32 -> 64-bit products, which vectorise.
bool CImageBuffer32::AddScaled(const CImageBuffer16* image, int32_t n)
{
    if (!image || n < 1 || !m_pData || image->IsEmpty() || image->PixelCount() != PixelCount()) return false;
    const uint16_t* s = image->GetData();
    uint32_t* d = m_pData;
    const int64_t count = PixelCount();
    if (n > 65536)
    {
        for (int64_t i = 0; i < count; ++i)
            d[i] += (uint32_t(s[i]) << 16) / uint32_t(n);
        return true;
    }
    const uint64_t m = ((uint64_t(1) << 48) + uint64_t(n) - 1) / uint64_t(n);
    const uint32_t high = uint32_t(m >> 32);
    const uint32_t low = uint32_t(m);
    for (int64_t i = 0; i < count; ++i)
    {
        const uint32_t v = s[i];
        d[i] += v * high + uint32_t((uint64_t(v) * low) >> 32);
    }
    return true;
}

bool CImageBuffer32::ToImage16(CImageBuffer16* image) const
{
    if (!image || !m_pData || !image->Create(m_nWidth, m_nHeight, 32)) return false;
    CImageInfo info = m_info;
    info.SetBitsPerPixel(16);
    image->SetInfo(info);
    uint16_t* d = image->GetData();
    const int64_t count = PixelCount();
    for (int64_t i = 0; i < count; ++i)
        d[i] = uint16_t(m_pData[i] >> 16);
    return true;
}

} // namespace vKit
