#pragma once
// Histogram of an image's samples: 64-bit bins, 256 (high bytes) or 65536 (full values),
// with the tests that tell a two- or three-level (segmented) image from a grey picture.

#include "Base/core/Buffer.h"

#include <cstdint>

namespace vKit
{

// The buffer's bytes are the bins: bin i is a 64-bit count at byte offset 8 * i.
class CHistogramBuffer : public CBuffer
{
public:
    CHistogramBuffer() = default;
    CHistogramBuffer(const CHistogramBuffer& other) : CBuffer() { *this = other; }
    CHistogramBuffer& operator=(const CHistogramBuffer& other);
    virtual ~CHistogramBuffer() = default;

    // Empties the bins and makes the counts stale.
    virtual void Clear();
    bool GetSized() const { return m_bSized; }
    virtual void SetSized(bool v) { m_bSized = v; }
    int32_t GetBinCount() const { return m_nBinCount; }
    int64_t GetExtent() const { return m_nExtent; }
    virtual void SetExtent(int64_t v) { m_nExtent = v; }
    bool GetUpToDate() const { return m_bUpToDate; }
    virtual void SetUpToDate(bool v) { m_bUpToDate = v; }

    // Sizes the buffer to n zeroed bins.
    void SetBinCount(int32_t n);
    // Zeroes every bin; the extent and the up-to-date flag become 0.
    void ResetCounts();
    // Counts one value; a value outside the bins is ignored.
    void Add(uint32_t value);
    // A bin outside the buffer (or of an empty buffer) reads 0.
    uint64_t GetBin(int64_t i) const;
    // Index of the (n + 1)-th used bin from bin 0 upwards; -1 when there are fewer.
    int64_t NthUsedBin(int64_t n) const;
    // Number of bins the buffer holds memory for (0 when empty).
    int64_t StoredBins() const { return GetSize() / 8; }
    // Direct bin memory for one-pass counting loops, StoredBins() entries; the caller holds
    // the buffer's lock while it works on them.
    uint64_t* Bins() const { return reinterpret_cast<uint64_t*>(GetData()); }

    bool IsTwoLevel(bool wide) const;
    bool IsThreeLevel(bool wide) const;
    bool IsTopThreeLevel(bool wide) const;

private:
    // True when bins first..last (inclusive) are all 0.
    bool EmptyRange(int64_t first, int64_t last) const;
    bool TwoLevel() const;
    bool LowThreeLevel() const;
    bool HighThreeLevel() const;
    bool WideTwoLevel() const;
    bool WideThreeLevel() const;
    bool WideTopLevel() const;

    bool m_bSized = false;
    int32_t m_nBinCount = 256;
    int64_t m_nExtent = 0;
    bool m_bUpToDate = false;
};

} // namespace vKit
