// The user's stored defaults, shared with the dialog: read at start-up as the dialog reads them,
// and stored by --save-defaults as its "Save as default" stores them.

#include "cli/Cli.h"

namespace kavex::cli
{

Defaults StoredDefaults()
{
    const CUserInfo* info = CUserConfig::GetUserInfo();
    return info ? ConversionPolicy::ReadDefaults(*info) : Defaults();
}

void StoreDefaults(CUserConfig& config, const Options& o, const Defaults& current, int32_t format)
{
    CUserInfo* info = CUserConfig::GetUserInfo();
    if (info == nullptr) return;
    Defaults d;
    d.jpegQuality = o.jpegQuality.value_or(current.jpegQuality);
    d.keepFileTimes = o.keepFileTimes.value_or(current.keepFileTimes);
    d.vgi = o.vgi.value_or(current.vgi);
    d.invertRaw = o.invertRaw.value_or(current.invertRaw);
    d.invertPalette = o.invertPalette.value_or(current.invertPalette);
    d.resize = o.resize.value_or(current.resize);
    d.interpolation = o.interpolation.value_or(current.interpolation);
    d.format = format != ConversionPolicy::FormatNone ? format : info->m_nDefaultExtension;
    ConversionPolicy::WriteDefaults(d, *info);
    config.SaveUserSettings();
}

} // namespace kavex::cli
