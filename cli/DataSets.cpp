// Source and destination of a command-line conversion, named the way the dialog names them.

#include "Base/core/Strings.h"
#include "Base/platform/Platform.h"
#include "cli/Cli.h"

#include <algorithm>

namespace kavex::cli
{
namespace
{

// Prefix of a text or log file: "_cfg.txt" names no prefix by itself, so its suffix is cut here.
std::string CompanionPrefix(const std::string& path)
{
    const std::string title = vKit::GetPathTitle(path);
    for (const vKit::CDataset::SMemberKind& k : vKit::CDataset::MemberKinds)
    {
        const std::string_view suffix = k.suffix;
        if (k.textFile && title.size() > suffix.size() && vKit::EndsWithNoCase(title, suffix))
            return title.substr(0, title.size() - suffix.size());
    }
    return title;
}

bool IsImageExtension(const std::string& extension)
{
    return ConversionPolicy::FormatOfExtension(extension) != ConversionPolicy::FormatNone;
}

int32_t OpenSlices(const std::string& path, vKit::CDataset& source,
                   std::vector<vKit::CPlatformDirEntry>* listing)
{
    source.Init();
    source.SetSlicesOnly(true);
    // Names and numbers are all the command line reads of its source; the run makes its own lists.
    source.GetFiles().SetKeepInfo(false);
    if (!listing) return source.Open(path);
    source.SetFileName(path);
    vKit::PlatformFindFiles(source.GetListingMask(), *listing);
    return source.Open(path, *listing);
}

} // namespace

int32_t OpenSource(const std::string& path, vKit::CDataset& source,
                   std::vector<vKit::CPlatformDirEntry>* listing)
{
    if (IsImageExtension(vKit::GetPathExtension(path))) return OpenSlices(path, source, listing);
    const std::string folder = vKit::GetPathFolder(path);
    const std::string prefix = CompanionPrefix(path);
    using namespace ConversionPolicy;
    for (int32_t format : {FormatBmp, FormatTif, FormatJpg})
    {
        const char* extension = ExtensionOfFormat(format);
        if (OpenSlices(vKit::JoinPath(folder, prefix + "????." + extension), source, listing) > 0)
            return source.GetCount();
    }
    return 0;
}

bool NameDestination(const Options& options, const Defaults& defaults, const vKit::CDataset& source,
                     vKit::CDataset& destination, std::string& error)
{
    std::string path = options.destination;
    vKit::CPlatformStat st;
    if (options.destinationIsFolder || (vKit::PlatformStat(path, st) == 0 && st.isDirectory))
        path = ConversionPolicy::ProposeDestination(vKit::RemoveTrailingSeparator(path), source.GetPrefix(),
                                                    source.GetExtension(), defaults.format);
    destination.Init();
    destination.SetFileName(path);
    if (options.format) destination.SetExtension(*options.format);
    if (!IsImageExtension(destination.GetExtension()))
    {
        error = "the destination " + options.destination +
                " needs the extension bmp, tif or jpg, or give --format";
        return false;
    }
    if (vKit::GetPathFileName(path).empty())
    {
        error = "the destination " + options.destination + " names no file";
        return false;
    }
    // Named, not listed: the job lists only the source.
    destination.SetOpened(true);
    return true;
}

int32_t ShiftFromOptions(const Options& options, int32_t last, int32_t first)
{
    using ConversionPolicy::LimitShift;
    const int64_t v = options.layerValue;
    switch (options.layer)
    {
    case LayerOption::Shift:
        return LimitShift(last + v, first + v, last, first);
    case LayerOption::Top:
        return LimitShift(v, first + (v - last), last, first);
    case LayerOption::Bottom:
        return LimitShift(last + (v - first), v, last, first);
    case LayerOption::None:
        break;
    }
    return 0;
}

std::string LayerLimitNote(const Options& options, int32_t last, int32_t first, int32_t shift)
{
    const char* name = nullptr;
    int64_t granted = 0;
    switch (options.layer)
    {
    case LayerOption::Shift:
        name = "--shift";
        granted = shift;
        break;
    case LayerOption::Top:
        name = "--top";
        granted = int64_t(last) + shift;
        break;
    case LayerOption::Bottom:
        name = "--bottom";
        granted = int64_t(first) + shift;
        break;
    case LayerOption::None:
        return "";
    }
    if (granted == options.layerValue) return "";
    return std::string(name) + " " + std::to_string(options.layerValue) + " is limited to " +
           std::to_string(granted) + ": the slices are numbered " + std::to_string(int64_t(first) + shift) +
           " to " + std::to_string(int64_t(last) + shift) + ", within 0 to 9999";
}

} // namespace kavex::cli
