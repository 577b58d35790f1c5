#pragma once
// Reasons for refused files that the BMP and TIFF readers word alike.

#include <cstdint>
#include <cstdio>
#include <string>

namespace vKit
{

// "the file ends at byte 100, its pixel rows need 1078"
inline std::string EndsBefore(uint64_t fileSize, uint64_t needed, const char* what)
{
    return "the file ends at byte " + std::to_string(fileSize) + ", " + what + " " + std::to_string(needed);
}

// "not a BMP file: starts with 0x42 0x41", as libjpeg says it of a file that is not a JPEG.
inline std::string NotAFile(const char* format, const uint8_t* data)
{
    char text[64];
    std::snprintf(text, sizeof text, "not a %s file: starts with 0x%02x 0x%02x", format, data[0], data[1]);
    return text;
}

} // namespace vKit
