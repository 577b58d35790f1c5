#include "Base/files/FileIds.h"

#include "Base/core/Strings.h"
#include "Base/platform/Platform.h"

#include <algorithm>

namespace vKit
{

bool CFileIdSet::Add(const std::string& path)
{
    CPlatformStat st;
    if (PlatformStat(path, st) != 0 || !st.isRegular) return false;
    Add(st.device, st.inode);
    return true;
}

void CFileIdSet::Add(uint64_t device, uint64_t inode)
{
    m_ids.emplace_back(device, inode);
    m_sorted = false;
}

bool CFileIdSet::Contains(const std::string& path) const
{
    CPlatformStat st;
    return !m_ids.empty() && PlatformStat(path, st) == 0 && Contains(st.device, st.inode);
}

bool CFileIdSet::Contains(uint64_t device, uint64_t inode) const
{
    if (!m_sorted)
    {
        std::sort(m_ids.begin(), m_ids.end());
        m_sorted = true;
    }
    return std::binary_search(m_ids.begin(), m_ids.end(), std::make_pair(device, inode));
}

bool IsSamePlace(const std::string& a, const std::string& b)
{
    const std::string pa = a.empty() ? std::string(1, PathSeparator) : RemoveTrailingSeparator(a);
    const std::string pb = b.empty() ? std::string(1, PathSeparator) : RemoveTrailingSeparator(b);
    CPlatformStat sa, sb;
    const bool hasA = PlatformStat(pa, sa) == 0, hasB = PlatformStat(pb, sb) == 0;
    if (hasA && hasB) return sa.device == sb.device && sa.inode == sb.inode;
    return !hasA && !hasB && pa == pb;
}

} // namespace vKit
