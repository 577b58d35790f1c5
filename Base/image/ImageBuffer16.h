#pragma once
// The 16-bit grey image every slice passes through: width x height samples, row 0 at the
// top, rows packed without padding. Data from 8-bit files sits in the high byte (v * 256).

#include "Base/image/Histogram.h"
#include "Base/image/ImageInfo.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace vKit
{

// Owned, aligned, uninitialised memory: allocating a slice costs no zeroing pass.
class CAlignedBlock
{
public:
    CAlignedBlock() = default;
    CAlignedBlock(const CAlignedBlock& other);
    CAlignedBlock& operator=(const CAlignedBlock& other);
    CAlignedBlock(CAlignedBlock&& other) noexcept { Swap(other); }
    CAlignedBlock& operator=(CAlignedBlock&& other) noexcept
    {
        CAlignedBlock old(std::move(*this));
        Swap(other);
        return *this;
    }
    ~CAlignedBlock() { Free(); }

    // False (and no memory) when bytes is 0 or the allocation fails. A block that holds bytes
    // already, at this alignment, is kept: an image loaded file after file allocates once.
    bool Allocate(size_t bytes, size_t alignment);
    void Free();
    uint8_t* Data() const { return m_pData; }
    // The bytes asked for by the last Allocate; the block may hold more.
    size_t Size() const { return m_nSize; }
    size_t Capacity() const { return m_nCapacity; }

private:
    void Swap(CAlignedBlock& other) noexcept
    {
        std::swap(m_pData, other.m_pData);
        std::swap(m_nSize, other.m_nSize);
        std::swap(m_nCapacity, other.m_nCapacity);
        std::swap(m_nAlignment, other.m_nAlignment);
    }

    uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    size_t m_nCapacity = 0;
    size_t m_nAlignment = 0;
};

class CImageBuffer16
{
public:
    CImageBuffer16() = default;
    CImageBuffer16(const CImageBuffer16& other) { *this = other; }
    CImageBuffer16& operator=(const CImageBuffer16& other);
    // Moves take the samples over without copying them; the source is left empty.
    CImageBuffer16(CImageBuffer16&& other) { Swap(other); }
    CImageBuffer16& operator=(CImageBuffer16&& other)
    {
        if (this != &other)
        {
            Free();
            Swap(other);
        }
        return *this;
    }
    virtual ~CImageBuffer16() = default;

    // Exchanges samples, size, description, row range and histogram with another image.
    void Swap(CImageBuffer16& other);

    // Resets the description to a 16-bit image of this size with grey-ramp palettes and
    // allocates the samples (uninitialised; memory the image holds already is used again when
    // it is large enough). False, and an empty image, when either side is below 1 or the memory
    // is not there.
    bool Create(int32_t width, int32_t height, int32_t alignment = 32);
    // Releases the samples; size and row range become 0 and the histogram is emptied.
    void Free();
    // The same, keeping the memory for the next Create: for an image read file after file.
    void Empty();
    bool IsEmpty() const { return m_pData == nullptr; }

    int32_t GetWidth() const { return m_nWidth; }
    int32_t GetHeight() const { return m_nHeight; }
    std::pair<int32_t, int32_t> GetSize() const { return {m_nWidth, m_nHeight}; }
    int64_t PixelCount() const { return int64_t(m_nWidth) * m_nHeight; }
    int64_t ByteCount() const { return 2 * PixelCount(); }

    // Row pointers for sample loops: row y has GetWidth() samples; no bounds check.
    uint16_t* Row(int32_t y) { return m_pData + ptrdiff_t(y) * m_nWidth; }
    const uint16_t* Row(int32_t y) const { return m_pData + ptrdiff_t(y) * m_nWidth; }
    uint16_t* PixelPtr(int32_t x, int32_t y) { return Row(y) + x; }
    const uint16_t* PixelPtr(int32_t x, int32_t y) const { return Row(y) + x; }
    uint16_t* GetData() { return m_pData; }
    const uint16_t* GetData() const { return m_pData; }

    CImageInfo& Info() { return m_info; }
    const CImageInfo& Info() const { return m_info; }
    virtual void SetInfo(const CImageInfo& info) { m_info = info; }

    int32_t GetRowStart() const { return m_nRowStart; }
    int32_t GetRowCount() const { return m_nRowCount; }
    virtual void SetRowCount(int32_t n) { m_nRowCount = n; }

    CHistogramBuffer& Histogram() { return m_histogram; }
    const CHistogramBuffer& Histogram() const { return m_histogram; }
    // Code that writes samples through the row pointers calls this so that the next
    // EnsureHistogram16 counts again.
    void SamplesChanged() { m_histogram.SetUpToDate(false); }

    void Fill(uint16_t value);
    // Copies height rows of width bytes (each followed by padding bytes) to columns x.. of
    // rows y.., each byte v as v * 256; with flip the last source row lands on row y.
    // False, copying nothing, when the rectangle does not fit the image.
    bool CopyFrom8(const uint8_t* source, int32_t x, int32_t y, int32_t width, int32_t height,
                   int32_t padding, bool flip);
    // Mode 0: 65535 -> 65280. Other modes also 65025..65534 -> 65024.
    void ClampTop(int32_t mode);

    // Histogram of the high bytes (256 bins) or of the full samples (65536 bins); without
    // reset the counts add to those present.
    void ComputeHistogram8(bool reset);
    void ComputeHistogram16(bool reset);
    // Counts the full samples only when the histogram is not up to date.
    void EnsureHistogram16(bool reset);
    bool IsTwoLevel(bool wide);
    bool IsThreeLevel(bool wide);
    bool IsTopThreeLevel(bool wide);

protected:
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    CImageInfo m_info;
    CAlignedBlock m_pixels;
    uint16_t* m_pData = nullptr;
    int32_t m_nRowStart = 0;
    int32_t m_nRowCount = 0;
    CHistogramBuffer m_histogram;

private:
    void ComputeHistogram(bool reset, int32_t bins, int shift);
};

} // namespace vKit
