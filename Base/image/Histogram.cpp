#include "Base/image/Histogram.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace vKit
{

namespace
{
// Bins that only data from 8-bit files (v * 256) and its clamped tops can reach.
constexpr int64_t WideBins = 65536;
using Guard = std::lock_guard<std::recursive_mutex>;
} // namespace

CHistogramBuffer& CHistogramBuffer::operator=(const CHistogramBuffer& other)
{
    if (this == &other) return *this;
    // Freed first: copying a smaller or empty buffer would otherwise keep our bins behind it.
    Free();
    CBuffer::operator=(other);
    m_bSized = other.m_bSized;
    m_nBinCount = other.m_nBinCount;
    m_nExtent = other.m_nExtent;
    m_bUpToDate = other.m_bUpToDate;
    return *this;
}

void CHistogramBuffer::Clear()
{
    Free();
    m_bUpToDate = false;
}

void CHistogramBuffer::SetBinCount(int32_t n)
{
    Guard g(GetLock());
    m_bUpToDate = false;
    m_nBinCount = std::max<int32_t>(n, 0);
    if (Allocate(int64_t(m_nBinCount) * 8, 8))
        std::memset(GetData(), 0, size_t(GetSize()));
    else
        m_nBinCount = 0; // no memory: an empty histogram, never bins that are not there
    m_nExtent = m_nBinCount;
    m_bSized = true;
}

void CHistogramBuffer::ResetCounts()
{
    Guard g(GetLock());
    m_nExtent = 0;
    m_bUpToDate = false;
    if (GetSize() > 0) std::memset(GetData(), 0, size_t(GetSize()));
}

void CHistogramBuffer::Add(uint32_t value)
{
    Guard g(GetLock());
    if (int64_t(value) < StoredBins()) ++Bins()[value];
}

uint64_t CHistogramBuffer::GetBin(int64_t i) const
{
    Guard g(GetLock());
    return i >= 0 && i < StoredBins() ? Bins()[i] : 0;
}

int64_t CHistogramBuffer::NthUsedBin(int64_t n) const
{
    Guard g(GetLock());
    const uint64_t* bins = Bins();
    const int64_t count = StoredBins();
    for (int64_t i = 0; i < count; ++i)
        if (bins[i] != 0 && n-- == 0) return i;
    return -1;
}

bool CHistogramBuffer::EmptyRange(int64_t first, int64_t last) const
{
    Guard g(GetLock());
    const uint64_t* bins = Bins();
    first = std::max<int64_t>(first, 0);
    last = std::min<int64_t>(last, StoredBins() - 1);
    for (int64_t i = first; i <= last; ++i)
        if (bins[i] != 0) return false;
    return true;
}

// Only the lowest and the highest bin are used.
bool CHistogramBuffer::TwoLevel() const
{
    return EmptyRange(1, m_nBinCount - 2);
}

// Lowest, highest and bin 1 used; a used bin higher up hands over to the high test.
bool CHistogramBuffer::LowThreeLevel() const
{
    if (!EmptyRange(2, m_nBinCount - 2)) return HighThreeLevel();
    return !TwoLevel();
}

// Lowest and the two highest bins used.
bool CHistogramBuffer::HighThreeLevel() const
{
    if (!EmptyRange(1, m_nBinCount - 3)) return false;
    return m_nBinCount != 256 || !TwoLevel();
}

// Only 0, 65279 and 65280 used (black and the white of 8-bit data, clamped or not).
bool CHistogramBuffer::WideTwoLevel() const
{
    return EmptyRange(1, 65278) && EmptyRange(65281, WideBins - 1);
}

// Only 0, 65023, 65024, 65279 and 65280 used.
bool CHistogramBuffer::WideThreeLevel() const
{
    if (!(EmptyRange(1, 65022) && EmptyRange(65025, 65278) && EmptyRange(65281, WideBins - 1)))
        return WideTopLevel();
    return !WideTwoLevel();
}

// Only 0, 511 and 512 used.
bool CHistogramBuffer::WideTopLevel() const
{
    return EmptyRange(1, 510) && EmptyRange(513, WideBins - 1);
}

bool CHistogramBuffer::IsTwoLevel(bool wide) const
{
    if (TwoLevel()) return true;
    return m_nBinCount != 256 && wide && WideTwoLevel();
}

bool CHistogramBuffer::IsThreeLevel(bool wide) const
{
    if (LowThreeLevel()) return true;
    return m_nBinCount != 256 && wide && WideThreeLevel();
}

bool CHistogramBuffer::IsTopThreeLevel(bool wide) const
{
    if (HighThreeLevel()) return true;
    return m_nBinCount != 256 && wide && WideTopLevel();
}

} // namespace vKit
