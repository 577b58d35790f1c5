#include "app/ConversionPolicy.h"

#include "Base/core/Strings.h"

namespace ConversionPolicy
{

const char* ExtensionOfFormat(int32_t format)
{
    switch (format)
    {
    case FormatBmp:
        return "bmp";
    case FormatTif:
        return "tif";
    case FormatJpg:
        return "jpg";
    default:
        return nullptr;
    }
}

int32_t FormatOfExtension(const std::string& extension)
{
    for (int32_t format : {FormatBmp, FormatTif, FormatJpg})
        if (vKit::EqualsNoCase(extension, ExtensionOfFormat(format))) return format;
    return FormatNone;
}

int32_t LimitShift(int64_t newTop, int64_t newBottom, int64_t last, int64_t first)
{
    int64_t shift = newTop - last;
    if (newTop > LayerLimit) shift = LayerLimit - last;
    if (newBottom < 0) shift = -first;
    return static_cast<int32_t>(shift);
}

std::string ProposeDestination(const std::string& folder, const std::string& sourcePrefix,
                               const std::string& sourceExtension, int32_t defaultFormat)
{
    const char* extension = ExtensionOfFormat(defaultFormat);
    return vKit::JoinPath(folder.empty() ? std::string(1, vKit::PathSeparator) : folder,
                          sourcePrefix + "_conv_????." + (extension ? extension : sourceExtension));
}

SDefaults ReadDefaults(const CUserInfo& info)
{
    SDefaults d;
    d.jpegQuality = info.m_nJpegQuality;
    d.keepFileTimes = info.m_bKeepOriginalFileDate != 0;
    d.vgi = info.m_bGenerateVgi != 0;
    d.invertRaw = info.m_bInvertRawData != 0;
    d.invertPalette = info.m_bInvertColorPalette != 0;
    d.resize = info.m_nResizeOption;
    d.interpolation = info.m_nResizeQualityOption;
    d.format = info.m_nDefaultExtension;
    return d;
}

void WriteDefaults(const SDefaults& d, CUserInfo& info)
{
    info.m_nJpegQuality = d.jpegQuality;
    info.m_bKeepOriginalFileDate = d.keepFileTimes ? 1 : 0;
    info.m_bGenerateVgi = d.vgi ? 1 : 0;
    info.m_bInvertRawData = d.invertRaw ? 1 : 0;
    info.m_bInvertColorPalette = d.invertPalette ? 1 : 0;
    info.m_nResizeOption = d.resize;
    info.m_nResizeQualityOption = d.interpolation;
    info.m_nDefaultExtension = d.format;
}

} // namespace ConversionPolicy
