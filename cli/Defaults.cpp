// The user's stored defaults, shared with the dialog: read at start-up as the dialog reads them,
// and stored by --save-defaults as its "Save as default" stores them.

#include "Base/core/Strings.h"
#include "cli/Cli.h"

namespace kavex::cli
{

Defaults StoredDefaults()
{
    Defaults d;
    const CUserInfo* info = CUserConfig::GetUserInfo();
    if (info == nullptr) return d;
    d.jpegQuality = info->m_nJpegQuality;
    d.keepFileTimes = info->m_bKeepOriginalFileDate != 0;
    d.vgi = info->m_bGenerateVgi != 0;
    d.invertRaw = info->m_bInvertRawData != 0;
    d.invertPalette = info->m_bInvertColorPalette != 0;
    d.resize = info->m_nResizeOption;
    d.interpolation = info->m_nResizeQualityOption;
    d.extension = info->m_nDefaultExtension;
    return d;
}

int32_t ExtensionValue(const std::string& extension)
{
    const std::string e = vKit::LowerAscii(extension);
    return e == "bmp" ? 1 : e == "tif" ? 2 : e == "jpg" ? 3 : 0;
}

void StoreDefaults(CUserConfig& config, const Options& o, const Defaults& current, int32_t extension)
{
    CUserInfo* info = CUserConfig::GetUserInfo();
    if (info == nullptr) return;
    info->m_nJpegQuality = o.jpegQuality.value_or(current.jpegQuality);
    info->m_bKeepOriginalFileDate = o.keepFileTimes.value_or(current.keepFileTimes);
    info->m_bGenerateVgi = o.vgi.value_or(current.vgi);
    info->m_bInvertRawData = o.invertRaw.value_or(current.invertRaw);
    info->m_bInvertColorPalette = o.invertPalette.value_or(current.invertPalette);
    info->m_nResizeOption = o.resize.value_or(current.resize);
    info->m_nResizeQualityOption = o.interpolation.value_or(current.interpolation);
    if (extension != 0) info->m_nDefaultExtension = extension;
    config.SaveUserSettings();
}

} // namespace kavex::cli
