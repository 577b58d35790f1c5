// A folder given as SOURCE stands for the one data set it holds.

#include "Base/core/Strings.h"
#include "Base/dataset/Dataset.h"
#include "Base/platform/Platform.h"
#include "cli/Batch.h"

#include <cstring>
#include <map>

namespace kavex::cli
{

bool SliceOfFolder(const std::string& folder, std::string& slicePath, std::string& error)
{
    std::vector<vKit::CPlatformDirEntry> entries;
    if (const int32_t e = vKit::PlatformFindFiles(vKit::JoinPath(folder, "*"), entries); e != 0)
    {
        error = "cannot read the folder " + folder + ": " + std::strerror(e);
        return false;
    }
    // Mask name -> its first slice; the extension in any letter case belongs to one data set.
    std::map<std::string, std::string> datasets;
    for (const vKit::CPlatformDirEntry& entry : entries)
    {
        const std::string extension = vKit::LowerAscii(vKit::GetPathExtension(entry.name));
        const bool image = extension == "bmp" || extension == "tif" || extension == "jpg";
        if (!entry.isFile || !image ||
            vKit::CDataset::GetFileKind(entry.name) != vKit::CDataset::EFileKind::Slice)
            continue;
        datasets.emplace(vKit::CDataset::PrefixFromFileName(entry.name) + "????." + extension, entry.name);
    }
    if (datasets.size() == 1)
    {
        slicePath = vKit::JoinPath(folder, datasets.begin()->second);
        return true;
    }
    if (datasets.empty())
    {
        error = "no data set in the folder " + folder;
        return false;
    }
    std::string names;
    for (const auto& [mask, slice] : datasets)
        names += (names.empty() ? "" : ", ") + mask;
    error = "the folder " + folder + " holds several data sets (" + names +
            "); give a file of the one to convert";
    return false;
}

} // namespace kavex::cli
