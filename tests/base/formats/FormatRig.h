#pragma once
// Images painted by a rule for the format tests, and loads that must succeed.

#include "Base/formats/FileImageBuffer16.h"
#include "base/BmpBytes.h"

#include <gtest/gtest.h>

#include <string>

namespace formattest
{

// A w x h image whose sample (x, y) is paint(x, y).
template <typename Paint> vKit::CFileImageBuffer16 Painted(int32_t w, int32_t h, Paint paint)
{
    vKit::CFileImageBuffer16 image;
    EXPECT_TRUE(image.Create(w, h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            *image.PixelPtr(x, y) = uint16_t(paint(x, y));
    return image;
}

inline vKit::CFileImageBuffer16 Loaded(const std::string& path)
{
    vKit::CFileImageBuffer16 image;
    EXPECT_EQ(image.LoadFile(path), 0) << path << ": " << image.GetStatus().GetReason();
    return image;
}

} // namespace formattest
