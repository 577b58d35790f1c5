#include "engine/ReduceKernels.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

#ifdef __SSE2__
// Eight 32-bit values below 65536 as eight 16-bit samples. The signed pack saturates, so the
// values are moved into its range and back.
inline __m128i PackLow16(__m128i lo, __m128i hi)
{
    const __m128i bias = _mm_set1_epi32(32768);
    const __m128i packed = _mm_packs_epi32(_mm_sub_epi32(lo, bias), _mm_sub_epi32(hi, bias));
    return _mm_xor_si128(packed, _mm_set1_epi16(int16_t(0x8000)));
}

// The sums of the horizontal pairs of eight samples, as four 32-bit values.
inline __m128i PairSums(__m128i v)
{
    return _mm_add_epi32(_mm_and_si128(v, _mm_set1_epi32(0xFFFF)), _mm_srli_epi32(v, 16));
}
#endif

// The factor-2 case is the common one: both source rows in one pass, no scratch traffic, eight
// destination samples a step where the processor has 128-bit integer vectors.
template <>
void BoxRows<2>(const uint16_t* src, int32_t srcWidth, uint16_t* dst, int32_t dstWidth, int32_t dstHeight,
                uint32_t*)
{
    for (int32_t y = 0; y < dstHeight; ++y)
    {
        const uint16_t* a = src + int64_t(y) * 2 * srcWidth;
        const uint16_t* b = a + srcWidth;
        uint16_t* d = dst + int64_t(y) * dstWidth;
        int32_t x = 0;
#ifdef __SSE2__
        for (; x + 8 <= dstWidth; x += 8)
        {
            const auto load = [](const uint16_t* p)
            { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
            const __m128i lo = _mm_add_epi32(PairSums(load(a + 2 * x)), PairSums(load(b + 2 * x)));
            const __m128i hi = _mm_add_epi32(PairSums(load(a + 2 * x + 8)), PairSums(load(b + 2 * x + 8)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x),
                             PackLow16(_mm_srli_epi32(lo, 2), _mm_srli_epi32(hi, 2)));
        }
#endif
        for (; x < dstWidth; ++x)
        {
            uint32_t sum = uint32_t(a[2 * x]) + a[2 * x + 1] + b[2 * x] + b[2 * x + 1];
            d[x] = uint16_t(sum >> 2);
        }
    }
}

// Every other sample of every other row: the low halves of the 32-bit pairs.
template <>
void FastRows<2>(const uint16_t* src, int32_t srcWidth, uint16_t* dst, int32_t dstWidth, int32_t dstHeight)
{
    for (int32_t y = 0; y < dstHeight; ++y)
    {
        const uint16_t* s = src + int64_t(y) * 2 * srcWidth;
        uint16_t* d = dst + int64_t(y) * dstWidth;
        int32_t x = 0;
#ifdef __SSE2__
        const __m128i low = _mm_set1_epi32(0xFFFF);
        for (; x + 8 <= dstWidth; x += 8)
        {
            const __m128i v0 =
                _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * x)), low);
            const __m128i v1 =
                _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * x + 8)), low);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), PackLow16(v0, v1));
        }
#endif
        for (; x < dstWidth; ++x)
            d[x] = s[2 * x];
    }
}

} // namespace

bool ReduceFastRows(const uint16_t* src, int32_t srcWidth, uint16_t* dst, int32_t dstWidth, int32_t dstHeight,
                    int32_t f)
{
    switch (f)
    {
    case 2:
        FastRows<2>(src, srcWidth, dst, dstWidth, dstHeight);
        break;
    case 4:
        FastRows<4>(src, srcWidth, dst, dstWidth, dstHeight);
        break;
    case 8:
        FastRows<8>(src, srcWidth, dst, dstWidth, dstHeight);
        break;
    default:
        return false;
    }
    return true;
}

bool Reduce2DRows(const uint16_t* src, int32_t srcWidth, uint16_t* dst, int32_t dstWidth, int32_t dstHeight,
                  int32_t f, uint32_t* rowSums)
{
    switch (f)
    {
    case 2:
        BoxRows<2>(src, srcWidth, dst, dstWidth, dstHeight, rowSums);
        break;
    case 4:
        BoxRows<4>(src, srcWidth, dst, dstWidth, dstHeight, rowSums);
        break;
    case 8:
        BoxRows<8>(src, srcWidth, dst, dstWidth, dstHeight, rowSums);
        break;
    default:
        return false;
    }
    return true;
}

} // namespace kavex
