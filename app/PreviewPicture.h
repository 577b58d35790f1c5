#pragma once
// What the preview paints of an image: the grey of every sample as the file's palette shows it.

#include "Base/image/ImageBuffer16.h"

#include <cstdint>
#include <vector>

// One byte a sample, rows top-down without padding: the palette's grey for the sample's high
// byte when the image has a full colour table, else the high byte itself.
std::vector<uint8_t> DisplayGrey(const vKit::CImageBuffer16& image);
// The image's 256-bin histogram of high bytes (ComputeHistogram8) counted by the grey they are
// shown as; zeros when it was not computed.
std::vector<uint64_t> DisplayHistogram(const vKit::CImageBuffer16& image);
