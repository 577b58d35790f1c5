#pragma once
// The library's general container: strings with two 64-bit values each, kept in insertion or
// sorted order, with events that let subscribers refuse or rewrite a string before it is added.

#include "Base/core/Event.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vKit
{

class CStringObject
{
public:
    CStringObject() = default;
    explicit CStringObject(std::string text, int64_t data1 = 0, int64_t data2 = 0)
        : m_strText(std::move(text)), m_nData1(data1), m_nData2(data2)
    {
    }
    CStringObject(const CStringObject&) = default;
    CStringObject& operator=(const CStringObject&) = default;
    virtual ~CStringObject() = default;

    std::string m_strText;
    int64_t m_nData1 = 0;
    int64_t m_nData2 = 0;
};

class CStringsLst
{
public:
    // Subscribers may replace the string of the entry about to be added.
    using AddFilterEvent = CEvent<void, CStringObject&>;
    // (string, 0) -> nonzero accepts, 0 refuses; nobody subscribed refuses too.
    using OkToAddEvent = CEvent<int32_t, const std::string&, int32_t>;

    CStringsLst() = default;
    CStringsLst(const CStringsLst&) = delete;
    CStringsLst& operator=(const CStringsLst&) = delete;
    virtual ~CStringsLst();

    virtual int32_t GetCurrent() const { return m_nCurrent; }
    virtual void SetCurrent(int32_t current) { m_nCurrent = current; }
    virtual bool IsSorted() const { return m_bSorted != 0; }
    virtual void SetSorted(bool sorted) { m_bSorted = sorted ? 1 : 0; }
    virtual bool IsUnique() const { return m_bUnique != 0; }
    virtual void SetUnique(bool unique) { m_bUnique = unique ? 1 : 0; }
    virtual bool GetEvents() const { return m_bEvents != 0; }
    virtual void SetEvents(bool events) { m_bEvents = events ? 1 : 0; }

    // Deletes the entry and closes the gap; an index out of range does nothing.
    virtual void RemoveAt(int32_t index);
    // A missing entry reads as "" and its values as -1. Setting at an index at or past the end first
    // grows the list with empty entries up to that index.
    virtual std::string GetString(int32_t index) const;
    virtual void SetString(int32_t index, const std::string& text);
    virtual int64_t GetData1(int32_t index) const;
    virtual void SetData1(int32_t index, int64_t value);
    virtual int64_t GetData2(int32_t index) const;
    virtual void SetData2(int32_t index, int64_t value);
    // Sets every entry's first value to its index; returns the count.
    virtual int32_t NumberEntries();

    int32_t GetCount() const { return int32_t(m_Items.size()); }
    // Index of the new entry, or -1 when an event or the unique rule refused it.
    int32_t Add(const std::string& text, int64_t data1 = 0, int64_t data2 = 0);
    // The same, taking the text over instead of copying it.
    int32_t Add(std::string&& text, int64_t data1 = 0, int64_t data2 = 0);
    // Stores at the end, without events or sorting.
    int32_t Append(const std::string& text, int64_t data1 = 0, int64_t data2 = 0);
    int32_t AppendString(const std::string& text);
    // Appends every string of "a\0b\0\0"; reads nothing past the terminating empty string.
    void AppendMultiString(const char* text);
    // RemoveAt from the last entry down, so a subclass's RemoveAt runs for each.
    void RemoveAll();
    int32_t FindData2(int64_t value) const;
    // Appends a copy of every entry to other.
    void CopyTo(CStringsLst& other) const;
    // The entry itself, or null when the index is out of range or the slot empty.
    CStringObject* GetAt(int32_t index) const;

    // Where Add would put text in a sorted list, or -1 when the unique rule refuses it.
    int32_t FindInsertPosition(const std::string& text) const;

    AddFilterEvent OnAddFilter;
    OkToAddEvent OnOkToAddString;

protected:
    // The entry at index, growing the list as needed.
    CStringObject& Slot(int32_t index);

private:
    int32_t Insert(std::unique_ptr<CStringObject> entry, int64_t data1, int64_t data2);

    int32_t m_nCurrent = -1;
    int32_t m_bSorted = 0;
    int32_t m_bUnique = 0;
    int32_t m_bEvents = 0;
    std::vector<std::unique_ptr<CStringObject>> m_Items;
};

} // namespace vKit
