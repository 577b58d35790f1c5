#include "Base/image/ColorTable.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

namespace vKit
{

CColorTable::CColorTable(int32_t count)
{
    SetGreyRamp(count);
}

void CColorTable::SetGreyRamp(int32_t count)
{
    // Every image made or loaded sets two ramps: the common one is copied, not computed.
    constexpr int32_t Grey = 256;
    using Ramp = std::array<uint8_t, size_t(Grey) * 4>;
    static const Ramp ramp = []
    {
        Ramp r{};
        for (size_t i = 0; i < r.size(); i += 4)
            r[i] = r[i + 1] = r[i + 2] = uint8_t(i / 4);
        return r;
    }();
    m_nCount = std::max<int32_t>(count, 0);
    if (m_nCount <= Grey)
    {
        m_entries.assign(ramp.begin(), ramp.begin() + std::ptrdiff_t(m_nCount) * 4);
        return;
    }
    m_entries.assign(size_t(m_nCount) * 4, 0);
    for (int32_t i = 0; i < m_nCount; ++i)
    {
        uint8_t* e = &m_entries[size_t(i) * 4];
        e[0] = e[1] = e[2] = uint8_t(i);
    }
}

void CColorTable::SetEntries(const uint8_t* entries, int32_t count)
{
    m_nCount = entries ? std::max<int32_t>(count, 0) : 0;
    // Assigned, not resized and copied: a palette taken file after file is not zeroed first.
    if (m_nCount == 0)
        m_entries.clear();
    else
        m_entries.assign(entries, entries + size_t(m_nCount) * 4);
}

bool CColorTable::HalfSums(uint64_t& first, uint64_t& second) const
{
    first = second = 0;
    const int32_t half = m_nCount / 2;
    for (int32_t i = 0; i < m_nCount; ++i)
    {
        const uint8_t* e = &m_entries[size_t(i) * 4];
        if (e[0] != e[1] || e[1] != e[2]) return false;
        (i < half ? first : second) += e[0];
    }
    return true;
}

bool CColorTable::IsGreyRising() const
{
    uint64_t first, second;
    return HalfSums(first, second) && first < second;
}

bool CColorTable::IsGreyFalling() const
{
    uint64_t first, second;
    return HalfSums(first, second) && first >= second;
}

void ReverseColorEntries(uint8_t* entries, int32_t count)
{
    // Whole entries at a time: a byte-wise swap costs five times as much per palette.
    for (int32_t i = 0, j = count - 1; i < j; ++i, --j)
    {
        uint32_t first, last;
        std::memcpy(&first, entries + 4 * i, 4);
        std::memcpy(&last, entries + 4 * j, 4);
        std::memcpy(entries + 4 * i, &last, 4);
        std::memcpy(entries + 4 * j, &first, 4);
    }
}

} // namespace vKit
