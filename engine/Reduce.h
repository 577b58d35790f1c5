#pragma once
// Size reduction of an image by f (2, 4 or 8) in both directions.
//
// The image becomes (W / f) x (H / f), truncated; source columns and rows that do not fill a
// whole f x f block are dropped. The description is kept, with the new width and height, the
// pixel-array byte count the new image was created with, and both pixel sizes multiplied by f
// (an unknown pixel size, 0, stays 0). When the reduced size is below 1 x 1 the image is left
// empty, its description still carrying the new size.
//
// ReduceFast keeps sample (x * f, y * f). Reduce2D stores the 32-bit sum of the f x f block
// divided by f * f, truncated: the block 1, 2, 3, 5 gives 2.

#include "Base/image/ImageBuffer16.h"

#include <cstdint>

namespace kavex
{

// Each returns false, leaving the image as it was, for a factor other than 2, 4 or 8.
bool ReduceFast(vKit::CImageBuffer16& image, int32_t f);
bool Reduce2D(vKit::CImageBuffer16& image, int32_t f);

// The same, building the reduced image in scratch, which is left holding the old samples: an
// image and a scratch reduced file after file allocate nothing once both are large enough.
bool ReduceFast(vKit::CImageBuffer16& image, int32_t f, vKit::CImageBuffer16& scratch);
bool Reduce2D(vKit::CImageBuffer16& image, int32_t f, vKit::CImageBuffer16& scratch);

} // namespace kavex
