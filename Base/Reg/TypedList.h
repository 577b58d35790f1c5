#pragma once
// An owning list of items addressed by index: the list deletes what it holds.

#include <cstdint>
#include <memory>
#include <vector>

namespace vKit
{

template <typename T> class CTypedList
{
public:
    CTypedList() = default;
    CTypedList(const CTypedList&) = delete;
    CTypedList& operator=(const CTypedList&) = delete;
    virtual ~CTypedList() = default;

    int32_t GetCount() const { return static_cast<int32_t>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }

    // The item at index, or null outside the list.
    T* GetAt(int32_t index) const
    {
        return index >= 0 && index < GetCount() ? m_items[static_cast<size_t>(index)].get() : nullptr;
    }

    // Appends the item and returns its index.
    int32_t Add(std::unique_ptr<T> item)
    {
        m_items.push_back(std::move(item));
        return GetCount() - 1;
    }

    // Deletes the item at index; false outside the list.
    bool RemoveAt(int32_t index)
    {
        if (index < 0 || index >= GetCount()) return false;
        m_items.erase(m_items.begin() + index);
        return true;
    }

    void RemoveAll() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<T>> m_items;
};

} // namespace vKit
