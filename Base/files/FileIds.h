#pragma once
// Files known by device and inode, so that a file is recognised however it is named: another
// spelling of its folder, a symbolic link, a hard link.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vKit
{

class CFileIdSet
{
public:
    // Adds the regular file at path (links followed); false when there is none.
    bool Add(const std::string& path);
    // Adds a file known by its device and inode already.
    void Add(uint64_t device, uint64_t inode);
    // True when path (links followed) is one of the files added.
    bool Contains(const std::string& path) const;
    // True when the file of this device and inode is one of those added.
    bool Contains(uint64_t device, uint64_t inode) const;
    void Clear() { m_ids.clear(); }
    bool IsEmpty() const { return m_ids.empty(); }

private:
    mutable std::vector<std::pair<uint64_t, uint64_t>> m_ids;
    mutable bool m_sorted = true;
};

// Two paths name one file or folder: device and inode agree when both exist; paths of which one
// does not exist are the same only when spelt the same. An empty path is the root folder.
bool IsSamePlace(const std::string& a, const std::string& b);

} // namespace vKit
