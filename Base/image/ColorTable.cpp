#include "Base/image/ColorTable.h"

#include <algorithm>
#include <cstring>

namespace vKit
{

CColorTable::CColorTable(int32_t count)
{
    SetGreyRamp(count);
}

void CColorTable::SetGreyRamp(int32_t count)
{
    m_nCount = std::max<int32_t>(count, 0);
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
    m_entries.resize(size_t(m_nCount) * 4);
    if (m_nCount > 0) std::memcpy(m_entries.data(), entries, m_entries.size());
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

} // namespace vKit
