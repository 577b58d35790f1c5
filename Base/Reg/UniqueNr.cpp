#include "Base/Reg/UniqueNr.h"

#include <mutex>

namespace vKit
{

CUniqueNr::CUniqueNr(int32_t capacity)
{
    if (capacity > 0 && Allocate(capacity)) Fill(0);
}

int32_t CUniqueNr::GetCapacity() const
{
    return static_cast<int32_t>(GetSize());
}

void CUniqueNr::MarkUsed(int64_t n)
{
    std::lock_guard<std::recursive_mutex> guard(GetLock());
    if (n >= 1 && n < GetSize()) GetData()[n] = 1;
}

void CUniqueNr::MarkFree(int64_t n)
{
    std::lock_guard<std::recursive_mutex> guard(GetLock());
    if (n >= 1 && n < GetSize()) GetData()[n] = 0;
}

bool CUniqueNr::IsUsed(int64_t n) const
{
    std::lock_guard<std::recursive_mutex> guard(GetLock());
    return n >= 1 && n < GetSize() && GetData()[n] != 0;
}

int64_t CUniqueNr::FirstFree(int64_t from) const
{
    std::lock_guard<std::recursive_mutex> guard(GetLock());
    for (int64_t n = from < 0 ? 0 : from; n < GetSize(); ++n)
    {
        if (!IsUsed(n)) return n;
    }
    return -1;
}

} // namespace vKit
