#include "engine/ReduceKernels.h"

#include <cstring>

namespace kavex
{
namespace
{

template <int F>
void FastRows(const uint16_t* src, int32_t srcWidth, uint16_t* dst, int32_t dstWidth, int32_t dstHeight)
{
    for (int32_t y = 0; y < dstHeight; ++y)
    {
        const uint16_t* s = src + int64_t(y) * F * srcWidth;
        uint16_t* d = dst + int64_t(y) * dstWidth;
        for (int32_t x = 0; x < dstWidth; ++x)
            d[x] = s[x * F];
    }
}

// Adds the F horizontal neighbours of each block of one source row into sums.
template <int F> inline void AddRow(const uint16_t* s, int32_t dstWidth, uint32_t* sums)
{
    for (int32_t x = 0; x < dstWidth; ++x)
    {
        uint32_t acc = 0;
        for (int i = 0; i < F; ++i)
            acc += s[x * F + i];
        sums[x] += acc;
    }
}

template <int F>
void BoxRows(const uint16_t* src, int32_t srcWidth, uint16_t* dst, int32_t dstWidth, int32_t dstHeight,
             uint32_t* sums)
{
    constexpr int kShift = F == 2 ? 2 : F == 4 ? 4 : 6; // log2(F * F)
    for (int32_t y = 0; y < dstHeight; ++y)
    {
        std::memset(sums, 0, sizeof(uint32_t) * size_t(dstWidth));
        const uint16_t* s = src + int64_t(y) * F * srcWidth;
        for (int j = 0; j < F; ++j)
            AddRow<F>(s + int64_t(j) * srcWidth, dstWidth, sums);
        uint16_t* d = dst + int64_t(y) * dstWidth;
        for (int32_t x = 0; x < dstWidth; ++x)
            d[x] = uint16_t(sums[x] >> kShift);
    }
}

// The factor-2 case is the common one: both source rows in one pass, no scratch traffic.
template <>
void BoxRows<2>(const uint16_t* src, int32_t srcWidth, uint16_t* dst, int32_t dstWidth, int32_t dstHeight,
                uint32_t*)
{
    for (int32_t y = 0; y < dstHeight; ++y)
    {
        const uint16_t* a = src + int64_t(y) * 2 * srcWidth;
        const uint16_t* b = a + srcWidth;
        uint16_t* d = dst + int64_t(y) * dstWidth;
        for (int32_t x = 0; x < dstWidth; ++x)
        {
            uint32_t sum = uint32_t(a[2 * x]) + a[2 * x + 1] + b[2 * x] + b[2 * x + 1];
            d[x] = uint16_t(sum >> 2);
        }
    }
}

} // namespace

void ReduceFastRows(const uint16_t* src, int32_t srcWidth, uint16_t* dst, int32_t dstWidth, int32_t dstHeight,
                    int32_t f)
{
    switch (f)
    {
    case 2: FastRows<2>(src, srcWidth, dst, dstWidth, dstHeight); break;
    case 4: FastRows<4>(src, srcWidth, dst, dstWidth, dstHeight); break;
    case 8: FastRows<8>(src, srcWidth, dst, dstWidth, dstHeight); break;
    default: break;
    }
}

void Reduce2DRows(const uint16_t* src, int32_t srcWidth, uint16_t* dst, int32_t dstWidth, int32_t dstHeight,
                  int32_t f, uint32_t* rowSums)
{
    switch (f)
    {
    case 2: BoxRows<2>(src, srcWidth, dst, dstWidth, dstHeight, rowSums); break;
    case 4: BoxRows<4>(src, srcWidth, dst, dstWidth, dstHeight, rowSums); break;
    case 8: BoxRows<8>(src, srcWidth, dst, dstWidth, dstHeight, rowSums); break;
    default: break;
    }
}

} // namespace kavex
