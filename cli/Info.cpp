// --info: what the dialog shows of a source data set, as key: value lines.

#include "Base/core/Strings.h"
#include "Base/files/FileUtils.h"
#include "cli/Cli.h"

#include <cinttypes>

namespace kavex::cli
{
namespace
{

std::string Gaps(vKit::CDataset& source)
{
    source.CollectNumberGaps();
    const vKit::CHistogramBuffer& gaps = source.GetNumberGaps();
    std::string text;
    for (int64_t d = 1; d < gaps.GetBinCount(); ++d)
    {
        const uint64_t count = gaps.GetBin(d);
        if (count == 0) continue;
        if (!text.empty()) text += ", ";
        text += std::to_string(d) + " x " + std::to_string(count);
    }
    return text.empty() ? "none" : text;
}

// Side images and text files of the data set, as file names.
void Companions(const vKit::CDataset& source, std::string& sideImages, std::string& textFiles)
{
    vKit::CDataset companions;
    companions.SetCompanionsOnly(true);
    companions.Open(source.GetFirstSliceName());
    for (int32_t i = 0; i < companions.GetCount(); ++i)
    {
        const std::string path = companions.GetEntryPath(i);
        std::string& list = vKit::CDataset::IsSliceOrSideImage(path) ? sideImages : textFiles;
        list += (list.empty() ? "" : ", ") + vKit::GetPathFileName(path);
    }
    if (sideImages.empty()) sideImages = "none";
    if (textFiles.empty()) textFiles = "none";
}

const char* PaletteKind(const vKit::CColorTable& table)
{
    if (table.GetCount() == 0) return "other";
    if (table.IsGreyFalling()) return "falling";
    return table.IsGreyRising() ? "rising" : "other";
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

} // namespace

void PrintInfo(std::FILE* out, vKit::CDataset& source, const vKit::CFileImageBuffer16& firstSlice,
               bool loaded)
{
    std::string sideImages, textFiles;
    Companions(source, sideImages, textFiles);
    const std::string log = source.GetLogFileName();
    std::fprintf(out, "mask: %s\n", source.GetMask().c_str());
    std::fprintf(out, "folder: %s\n", source.GetFolder().c_str());
    std::fprintf(out, "prefix: %s\n", source.GetPrefix().c_str());
    std::fprintf(out, "extension: %s\n", source.GetExtension().c_str());
    std::fprintf(out, "layers: %d\n", source.GetCount());
    std::fprintf(out, "first: %d\n", source.GetFirstNumber());
    std::fprintf(out, "last: %d\n", source.GetLastNumber());
    std::fprintf(out, "gaps: %s\n", Gaps(source).c_str());
    std::fprintf(out, "side images: %s\n", sideImages.c_str());
    std::fprintf(out, "text files: %s\n", textFiles.c_str());
    std::fprintf(out, "log: %s\n", vKit::FileExists(log) ? vKit::GetPathFileName(log).c_str() : "none");
    if (!loaded)
    {
        std::fprintf(out, "size: unreadable (%s)\n", firstSlice.GetStatus().GetReason().c_str());
        return;
    }
    const vKit::CImageInfo& info = firstSlice.Info();
    std::fprintf(out, "size: %dx%d\n", firstSlice.GetWidth(), firstSlice.GetHeight());
    std::fprintf(out, "bits: %d\n", info.GetSignificantBits());
    const vKit::CFileImageBuffer16::SFileNotes& notes = firstSlice.FileNotes();
    if (notes.signedSamples) std::fprintf(out, "samples: signed, offset by half the range\n");
    if (notes.pages > 1) std::fprintf(out, "pages: %d, the first one loaded\n", notes.pages);
    std::fprintf(out, "palette: %s\n", PaletteKind(info.AltColorTable()));
    const double x = info.GetPixelSizeXum(), y = info.GetPixelSizeYum();
    std::string size = x == 0.0 ? "unknown" : Number(x);
    if (y != x) size += " x " + (y == 0.0 ? std::string("unknown") : Number(y));
    std::fprintf(out, "pixel size um: %s\n", size.c_str());
    if (info.HasPrivatePair())
        std::fprintf(out, "calibration: %d %d\n", info.GetPrivateA(), info.GetPrivateB());
    else
        std::fprintf(out, "calibration: undefined\n");
}

} // namespace kavex::cli
