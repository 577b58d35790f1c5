#pragma once
// Box kernels behind the image reductions. Images are rows of 16-bit samples without padding.
//
// Size rule: a W x H source gives W/f x H/f (truncated); the columns and rows of a block that
// does not fit whole are dropped.
// ReduceFastRows keeps the top-left sample of every f x f block.
// Reduce2DRows stores the block sum (32-bit accumulator: at most 64 x 65535) divided by f x f,
// truncated.

#include <cstdint>

namespace kavex
{

// Both return false, writing nothing, for a factor other than 2, 4 or 8.
bool ReduceFastRows(const uint16_t* src, int32_t srcWidth, uint16_t* dst, int32_t dstWidth, int32_t dstHeight,
                    int32_t f);

// rowSums is caller-owned scratch of dstWidth entries, so the kernel itself never allocates.
bool Reduce2DRows(const uint16_t* src, int32_t srcWidth, uint16_t* dst, int32_t dstWidth, int32_t dstHeight,
                  int32_t f, uint32_t* rowSums);

} // namespace kavex
