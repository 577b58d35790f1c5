#include "Base/image/ImageBuffer16.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

namespace vKit
{

CAlignedBlock::CAlignedBlock(const CAlignedBlock& other)
{
    *this = other;
}

CAlignedBlock& CAlignedBlock::operator=(const CAlignedBlock& other)
{
    if (this == &other) return *this;
    if (other.m_nSize == 0)
        Free();
    else if (Allocate(other.m_nSize, other.m_nAlignment))
        std::memcpy(m_pData, other.m_pData, m_nSize);
    return *this;
}

bool CAlignedBlock::Allocate(size_t bytes, size_t alignment)
{
    // operator new needs a power of two no smaller than a pointer.
    size_t align = alignof(std::max_align_t);
    while (align < alignment)
        align *= 2;
    if (m_pData && bytes > 0 && bytes <= m_nCapacity && align == m_nAlignment)
    {
        m_nSize = bytes;
        return true;
    }
    Free();
    if (bytes == 0) return false;
    void* p = ::operator new(bytes, std::align_val_t(align), std::nothrow);
    if (!p) return false;
    m_pData = static_cast<uint8_t*>(p);
    m_nSize = bytes;
    m_nCapacity = bytes;
    m_nAlignment = align;
    return true;
}

void CAlignedBlock::Free()
{
    if (m_pData) ::operator delete(m_pData, std::align_val_t(m_nAlignment));
    m_pData = nullptr;
    m_nSize = 0;
    m_nCapacity = 0;
}

CImageBuffer16& CImageBuffer16::operator=(const CImageBuffer16& other)
{
    if (this == &other) return *this;
    m_pixels = other.m_pixels;
    const bool ok = other.m_pData == nullptr || m_pixels.Data() != nullptr;
    m_pData = ok ? reinterpret_cast<uint16_t*>(m_pixels.Data()) : nullptr;
    m_nWidth = ok ? other.m_nWidth : 0;
    m_nHeight = ok ? other.m_nHeight : 0;
    m_nRowStart = other.m_nRowStart;
    m_nRowCount = other.m_nRowCount;
    m_histogram = other.m_histogram;
    m_info = other.m_info;
    return *this;
}

void CImageBuffer16::Swap(CImageBuffer16& other)
{
    if (this == &other) return;
    std::swap(m_pixels, other.m_pixels);
    std::swap(m_pData, other.m_pData);
    std::swap(m_nWidth, other.m_nWidth);
    std::swap(m_nHeight, other.m_nHeight);
    std::swap(m_nRowStart, other.m_nRowStart);
    std::swap(m_nRowCount, other.m_nRowCount);
    std::swap(m_info, other.m_info);
    CHistogramBuffer histogram(m_histogram);
    m_histogram = other.m_histogram;
    other.m_histogram = histogram;
}

bool CImageBuffer16::Create(int32_t width, int32_t height, int32_t alignment)
{
    // The samples go, but not their memory: Allocate below uses it again when it is large enough.
    m_pData = nullptr;
    m_nWidth = m_nHeight = 0;
    m_nRowStart = m_nRowCount = 0;
    m_histogram.Clear();
    m_info.Reset();
    m_info.SetWidth(width);
    m_info.SetHeight(height);
    m_info.SetBitsPerPixel(16);
    m_info.SetSignificantBits(16);
    m_info.ColorTable().SetGreyRamp(256);
    m_info.AltColorTable().SetGreyRamp(256);
    m_info.SetGreyCeiling(65535);
    m_info.SetClampOnExport(false);
    // Both sides must be positive: two negative sides multiply to a positive count.
    if (width < 1 || height < 1)
    {
        m_pixels.Free();
        return false;
    }
    if (!m_pixels.Allocate(size_t(width) * size_t(height) * 2, size_t(std::max(alignment, 0)))) return false;
    m_pData = reinterpret_cast<uint16_t*>(m_pixels.Data());
    m_nWidth = width;
    m_nHeight = height;
    m_nRowStart = 0;
    m_nRowCount = height;
    return true;
}

void CImageBuffer16::Free()
{
    m_pixels.Free();
    Empty();
}

void CImageBuffer16::Empty()
{
    m_pData = nullptr;
    m_nWidth = m_nHeight = 0;
    m_nRowStart = m_nRowCount = 0;
    m_histogram.Clear();
}

void CImageBuffer16::Fill(uint16_t value)
{
    std::fill_n(m_pData, PixelCount(), value);
    SamplesChanged();
}

bool CImageBuffer16::CopyFrom8(const uint8_t* source, int32_t x, int32_t y, int32_t width, int32_t height,
                               int32_t padding, bool flip)
{
    if (!source || !m_pData || x < 0 || y < 0 || width < 0 || height < 0 || padding < 0 ||
        int64_t(x) + width > m_nWidth || int64_t(y) + height > m_nHeight)
        return false;
    const ptrdiff_t stride = ptrdiff_t(width) + padding;
    for (int32_t r = 0; r < height; ++r)
    {
        const uint8_t* s = source + stride * (flip ? height - 1 - r : r);
        uint16_t* d = PixelPtr(x, y + r);
        for (int32_t c = 0; c < width; ++c)
            d[c] = uint16_t(s[c] << 8);
    }
    m_info.SetBitsPerPixel(8);
    SamplesChanged();
    return true;
}

void CImageBuffer16::ClampTop(int32_t mode)
{
    uint16_t* p = m_pData;
    const int64_t n = PixelCount();
    if (mode == 0)
    {
        for (int64_t i = 0; i < n; ++i)
            p[i] = p[i] == 65535 ? 65280 : p[i];
    }
    else
    {
        for (int64_t i = 0; i < n; ++i)
        {
            const uint16_t v = p[i];
            p[i] = v == 65535 ? 65280 : (v > 65024 ? 65024 : v);
        }
    }
    m_info.SetBitsPerPixel(8);
    SamplesChanged();
}

void CImageBuffer16::ComputeHistogram(bool reset, int32_t bins, int shift)
{
    // Counting without reset into a histogram too small for these values starts afresh:
    // the loop below indexes the bins without a test.
    if (reset || m_histogram.StoredBins() < bins)
    {
        m_histogram.SetBinCount(bins);
        m_histogram.ResetCounts();
    }
    std::lock_guard<std::recursive_mutex> guard(m_histogram.GetLock());
    uint64_t* bin = m_histogram.Bins();
    if (!bin) return;
    for (int32_t y = 0; y < m_nHeight; ++y)
    {
        const uint16_t* row = Row(y);
        for (int32_t x = 0; x < m_nWidth; ++x)
            ++bin[row[x] >> shift];
    }
}

void CImageBuffer16::ComputeHistogram8(bool reset)
{
    ComputeHistogram(reset, 256, 8);
}

void CImageBuffer16::ComputeHistogram16(bool reset)
{
    ComputeHistogram(reset, 65536, 0);
}

void CImageBuffer16::EnsureHistogram16(bool reset)
{
    if (m_histogram.GetUpToDate()) return;
    ComputeHistogram16(reset);
    m_histogram.SetUpToDate(true);
}

bool CImageBuffer16::IsTwoLevel(bool wide)
{
    EnsureHistogram16(true);
    return m_histogram.IsTwoLevel(wide);
}

bool CImageBuffer16::IsThreeLevel(bool wide)
{
    EnsureHistogram16(true);
    return m_histogram.IsThreeLevel(wide);
}

bool CImageBuffer16::IsTopThreeLevel(bool wide)
{
    EnsureHistogram16(true);
    return m_histogram.IsTopThreeLevel(wide);
}

} // namespace vKit
