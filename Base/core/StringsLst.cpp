#include "Base/core/StringsLst.h"

#include "Base/core/Strings.h"

#include <cstring>

namespace vKit
{

CStringsLst::~CStringsLst()
{
    RemoveAll();
}

void CStringsLst::RemoveAt(int32_t index)
{
    if (index < 0 || index >= GetCount()) return;
    m_Items.erase(m_Items.begin() + index);
}

std::string CStringsLst::GetString(int32_t index) const
{
    const CStringObject* item = GetAt(index);
    return item ? item->m_strText : std::string();
}

void CStringsLst::SetString(int32_t index, const std::string& text)
{
    if (index >= 0) Slot(index).m_strText = text;
}

int64_t CStringsLst::GetData1(int32_t index) const
{
    const CStringObject* item = GetAt(index);
    return item ? item->m_nData1 : -1;
}

void CStringsLst::SetData1(int32_t index, int64_t value)
{
    if (index >= 0) Slot(index).m_nData1 = value;
}

int64_t CStringsLst::GetData2(int32_t index) const
{
    const CStringObject* item = GetAt(index);
    return item ? item->m_nData2 : -1;
}

void CStringsLst::SetData2(int32_t index, int64_t value)
{
    if (index >= 0) Slot(index).m_nData2 = value;
}

int32_t CStringsLst::NumberEntries()
{
    for (int32_t i = 0; i < GetCount(); ++i)
        Slot(i).m_nData1 = i;
    return GetCount();
}

CStringObject* CStringsLst::GetAt(int32_t index) const
{
    if (index < 0 || index >= GetCount()) return nullptr;
    return m_Items[size_t(index)].get();
}

CStringObject& CStringsLst::Slot(int32_t index)
{
    while (GetCount() <= index)
        m_Items.push_back(std::make_unique<CStringObject>());
    std::unique_ptr<CStringObject>& item = m_Items[size_t(index)];
    if (!item) item = std::make_unique<CStringObject>();
    return *item;
}

int32_t CStringsLst::FindInsertPosition(const std::string& text) const
{
    // Halving that re-checks its last probe: it stops when the middle repeats and answers the
    // bound it moved last, which is always a place that keeps the list sorted.
    const int32_t n = GetCount();
    if (n < 1) return 0;
    int32_t lo = 0, hi = n, previous = -1, result = -1;
    for (;;)
    {
        if (hi < 0) return 0;
        const int32_t mid = (lo + hi) / 2;
        if (mid == previous) return result;
        previous = mid;
        if (lo >= n) return n;
        const int32_t c = CompareNoCase(text, GetString(mid));
        if (c < 0)
            result = hi = mid - 1;
        else if (c > 0)
            result = lo = mid + 1;
        else
            return m_bUnique ? -1 : mid;
    }
}

int32_t CStringsLst::Add(const std::string& text, int64_t data1, int64_t data2)
{
    // A refused text is never copied: a scan offers every name of its folder to a list that may
    // keep a handful.
    if (m_bEvents && OnOkToAddString.Raise(text, 0) == 0) return -1;
    return Insert(std::make_unique<CStringObject>(text, data1, data2), data1, data2);
}

int32_t CStringsLst::Add(std::string&& text, int64_t data1, int64_t data2)
{
    if (m_bEvents && OnOkToAddString.Raise(text, 0) == 0) return -1;
    return Insert(std::make_unique<CStringObject>(std::move(text), data1, data2), data1, data2);
}

int32_t CStringsLst::Insert(std::unique_ptr<CStringObject> entry, int64_t data1, int64_t data2)
{
    if (m_bEvents)
    {
        OnAddFilter.Raise(*entry);
        // The values are those passed in, whatever a filter did to them.
        entry->m_nData1 = data1;
        entry->m_nData2 = data2;
    }
    int32_t position = GetCount();
    // Texts that come in order, as a folder scan lists them, go to the end without a search.
    const CStringObject* last = position > 0 ? GetAt(position - 1) : nullptr;
    if (m_bSorted && last && CompareNoCase(entry->m_strText, last->m_strText) <= 0)
    {
        position = FindInsertPosition(entry->m_strText);
        if (position < 0) return -1;
    }
    m_Items.insert(m_Items.begin() + position, std::move(entry));
    return position;
}

int32_t CStringsLst::Append(const std::string& text, int64_t data1, int64_t data2)
{
    m_Items.push_back(std::make_unique<CStringObject>(text, data1, data2));
    return GetCount() - 1;
}

int32_t CStringsLst::AppendString(const std::string& text)
{
    const int32_t index = GetCount();
    SetString(index, text);
    return index;
}

void CStringsLst::AppendMultiString(const char* text)
{
    if (!text) return;
    while (*text)
    {
        const size_t n = std::strlen(text);
        Append(std::string(text, n));
        text += n + 1;
    }
}

void CStringsLst::RemoveAll()
{
    for (int32_t i = GetCount() - 1; i >= 0; --i)
        RemoveAt(i);
}

int32_t CStringsLst::FindData2(int64_t value) const
{
    for (int32_t i = 0; i < GetCount(); ++i)
    {
        const CStringObject* item = GetAt(i);
        if (item && item->m_nData2 == value) return i;
    }
    return -1;
}

void CStringsLst::CopyTo(CStringsLst& other) const
{
    if (&other == this) return;
    for (int32_t i = 0; i < GetCount(); ++i)
    {
        const CStringObject* item = GetAt(i);
        if (item)
            other.m_Items.push_back(std::make_unique<CStringObject>(*item));
        else
            other.m_Items.push_back(nullptr);
    }
}

} // namespace vKit
