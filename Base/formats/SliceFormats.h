#pragma once
// The per-format load and save of a slice image, which CFileImageBuffer16 dispatches to by the
// file's extension. They sit above the format readers and writers, which know no slice image.

#include <cstdint>
#include <string>

namespace vKit
{

class CFileImageBuffer16;

// TIFF ("tif"/"tiff"). Load: 0, or 2 with the reader's message in the image's messages. Save: -1
// when 8-bit data that still needs clamping would be written (ceiling neither 0 nor 65535 and
// clamp on export set), 0 when written, else an errno value or 2; the file appears only when
// complete.
int32_t LoadTiffSlice(CFileImageBuffer16& image, const std::string& path);
int32_t SaveTiffSlice(CFileImageBuffer16& image, const std::string& path);

// JPEG ("jpg"/"jpeg"). Load: 0, or 2 with an empty image. Save: 8-bit data not yet clamped to
// 65280 is written from a clamped copy; 0 when written, else non-zero.
int32_t LoadJpegSlice(CFileImageBuffer16& image, const std::string& path);
int32_t SaveJpegSlice(CFileImageBuffer16& image, const std::string& path);

} // namespace vKit
