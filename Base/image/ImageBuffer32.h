#pragma once
// 32-bit accumulator image for averaging slices: samples hold 16-bit values scaled by 65536,
// so a group of n images is summed as floor(v * 65536 / n) per member and the high 16 bits
// of the sum are the average (truncated). 100 and 201 in a group of two: 3276800 + 6586368
// = 9863168, high bits 150.

#include "Base/image/ImageBuffer16.h"

#include <cstdint>

namespace vKit
{

class CImageBuffer32 : public CImagePlane<uint32_t>
{
public:
    CImageBuffer32() = default;
    CImageBuffer32(const CImageBuffer32& other) { *this = other; }
    CImageBuffer32& operator=(const CImageBuffer32& other);
    ~CImageBuffer32() override = default;

    // Takes the image's size and description (bits per pixel 32); each sample v as v * 65536.
    // False, changing nothing, for a missing or empty image or a failed allocation.
    bool FromImage16(const CImageBuffer16* image);
    void Clear();
    // Adds floor(v * 65536 / n) of each image sample. False, adding nothing, when the image is
    // missing, its sample count differs from the accumulator's, or n is below 1.
    bool AddScaled(const CImageBuffer16* image, int32_t n);
    // Re-creates the image at this size with this description (bits per pixel 16) and the
    // high 16 bits of each sample. False when the image is missing or cannot be created.
    bool ToImage16(CImageBuffer16* image) const;
    void Free();
};

} // namespace vKit
