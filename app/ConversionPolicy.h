#pragma once
// The conversion choices that the dialog and kavex-convert make alike: the layer range's shift
// limit, the format list's values and their extensions, the proposed destination and the user's
// stored defaults.

#include "app/UserSettings.h"

#include <cstdint>
#include <string>

namespace ConversionPolicy
{

// Values of the format list and of the stored default format.
enum EFormat : int32_t
{
    FormatNone = 0,
    FormatBmp = 1,
    FormatTif = 2,
    FormatJpg = 3,
};

// The highest slice number a destination may reach.
inline constexpr int32_t LayerLimit = 9999;

// "bmp", "tif" or "jpg" for a format value, nullptr for another value.
const char* ExtensionOfFormat(int32_t format);
// The format value of an extension (letter case ignored), FormatNone for another one.
int32_t FormatOfExtension(const std::string& extension);

// The shift that moves the destination's slice range [first, last] to the asked top and
// bottom: a top beyond LayerLimit stops the top there, a bottom below 0 stops the bottom at 0.
int32_t LimitShift(int64_t newTop, int64_t newBottom, int64_t last, int64_t first);

// The destination proposed for a source: its prefix + "_conv_" in the folder (the root when
// empty), with the default format's extension, or the source's for a value without one.
std::string ProposeDestination(const std::string& folder, const std::string& sourcePrefix,
                               const std::string& sourceExtension, int32_t defaultFormat);

// The options that "Save as default" keeps.
struct SDefaults
{
    int32_t jpegQuality = 33;
    bool keepFileTimes = false;
    bool vgi = false;
    bool invertRaw = false;
    bool invertPalette = false;
    int32_t resize = 1;
    int32_t interpolation = 1;
    int32_t format = FormatBmp; // another value keeps the source's extension
};

SDefaults ReadDefaults(const CUserInfo& info);
void WriteDefaults(const SDefaults& defaults, CUserInfo& info);

} // namespace ConversionPolicy
