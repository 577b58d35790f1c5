#pragma once
// The set of small numbers in use: one byte flag per number below the capacity. Numbers below 1
// are never marked and count as free, as do numbers at or past the capacity for MarkUsed.

#include "Base/core/Buffer.h"

#include <cstdint>

namespace vKit
{

class CUniqueNr : public CBuffer
{
public:
    explicit CUniqueNr(int32_t capacity = 256);

    int32_t GetCapacity() const;

    void MarkUsed(int64_t n);
    void MarkFree(int64_t n);
    bool IsUsed(int64_t n) const;
    // The first n >= from below the capacity that is not used, or -1.
    int64_t FirstFree(int64_t from) const;
};

} // namespace vKit
