#pragma once
// A string list whose entries own an object of type T, kept in the entry's first value.

#include "Base/core/Base.h"
#include "Base/core/StringsLst.h"

#include <cstdint>
#include <mutex>

namespace vKit
{

template <typename T> class CTypedStringList : public CStringsLst
{
public:
    CTypedStringList() = default;
    // The base destructor would only see its own RemoveAt; the objects go here.
    ~CTypedStringList() override { RemoveAll(); }

    virtual void SetCreateOnDemand(bool create) { m_bCreateOnDemand = create ? 1 : 0; }

    // The entry's object; with create-on-demand a missing one is made (and the list grown to the
    // index), else null.
    T* GetObject(int32_t index)
    {
        if (index < 0) return nullptr;
        T* object = index < GetCount() ? ToObject(GetData1(index)) : nullptr;
        if (!object && m_bCreateOnDemand)
        {
            object = new T();
            SetData1(index, FromObject(object));
        }
        return object;
    }

    // Stores object (owned from now on) in the entry, deleting the one it replaces.
    void SetObject(int32_t index, T* object)
    {
        if (index < 0) return;
        if (index < GetCount()) delete ToObject(GetData1(index));
        SetData1(index, FromObject(object));
    }

    // Deletes the entry's object first.
    void RemoveAt(int32_t index) override
    {
        if (index < 0 || index >= GetCount()) return;
        delete ToObject(GetData1(index));
        SetData1(index, 0);
        CStringsLst::RemoveAt(index);
    }

protected:
    static T* ToObject(int64_t value) { return reinterpret_cast<T*>(static_cast<intptr_t>(value)); }
    static int64_t FromObject(T* object) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(object)); }

    int32_t m_bCreateOnDemand = 0;
};

class CLogInfo : public CBase
{
};

class CLogList : public CTypedStringList<CLogInfo>
{
public:
    virtual int32_t GetCapacity() const { return m_nCapacity; }
    void Lock() { m_Lock.lock(); }
    void Unlock() { m_Lock.unlock(); }

private:
    int32_t m_nCapacity = 100;
    std::recursive_mutex m_Lock;
};

} // namespace vKit
