// What a conversion needs of a data set beyond its listing: the destination name of every entry,
// the groups of sources that fold into one destination slice, and the deletion of an old
// destination that never reaches beyond its exact member names.

#include "Base/core/Strings.h"
#include "Base/core/Wildcard.h"
#include "Base/dataset/Dataset.h"
#include "Base/files/FileIds.h"
#include "Base/files/FileUtils.h"
#include "Base/platform/Platform.h"

namespace vKit
{

void CDataset::BuildDestinationNames(const std::string& folder, const std::string& prefix,
                                     const std::string& extension, int32_t shift)
{
    const int32_t count = GetCount();
    std::string source; // the entry's name in the destination folder, before the renaming
    for (int32_t i = 0; i < count; ++i)
    {
        CFileInfo* info = m_Files.GetFileInfo(i);
        if (!info) continue;
        source.assign(folder);
        source += PathSeparator;
        source += info->GetFileName();
        std::string name = RenameWithPrefix(source, prefix);
        if (!name.empty())
        {
            if (shift != 0 || !IsPlainSliceName(name)) name = ShiftNumber(name, shift);
            // An image takes the destination's extension in place of its own.
            if (IsSliceOrSideImage(name))
            {
                const size_t start = name.rfind(PathSeparator) + 1;
                const size_t dot = name.rfind('.');
                if (dot != std::string::npos && dot >= start) name.resize(dot);
                name += '.';
                name += extension;
            }
        }
        info->m_strDestination = std::move(name);
    }
}

void CDataset::DivideNumbers(int32_t step)
{
    if (step <= 1) return;
    const int32_t count = GetCount();
    for (int32_t i = 0; i < count; ++i)
    {
        CFileInfo* info = m_Files.GetFileInfo(i);
        // Only numbered slices fold; a side file has no number to divide.
        if (!info || GetFileKind(info->m_strDestination) != EFileKind::Slice) continue;
        const int32_t number = GetNumber(info->m_strDestination);
        if (number >= 0) info->m_strDestination = MakeSliceName(info->m_strDestination, number / step);
    }
}

void CDataset::GetSourcesOf(CStringsLst& list, const std::string& destination) const
{
    list.RemoveAll();
    if (destination.empty()) return;
    const int32_t count = GetCount();
    for (int32_t i = 0; i < count; ++i)
    {
        if (EqualsNoCase(GetDestinationName(i), destination)) list.Append(GetEntryPath(i));
    }
}

// ---- Membership by name

bool CDataset::IsSameFolder(const std::string& folder) const
{
    return IsSamePlace(m_strFolder, folder);
}

// What follows the prefix in a member's title decides which extensions the member may have.
CDataset::EMemberRest CDataset::RestAfterPrefix(std::string_view fileName) const
{
    if (!HasOwnPrefix(fileName)) return EMemberRest::None;
    const std::string_view title = ViewPathTitle(fileName);
    const std::string_view rest = std::string_view(title).substr(m_strPrefix.size());
    if (rest.size() == 4 && AllDigits(rest)) return EMemberRest::Image;
    for (const SMemberKind& k : MemberKinds)
        if (EqualsNoCase(rest, k.suffix)) return k.textFile ? EMemberRest::Text : EMemberRest::Image;
    return rest.empty() ? EMemberRest::Nothing : EMemberRest::None;
}

bool CDataset::HasOwnPrefix(std::string_view fileName) const
{
    return fileName.substr(0, m_strPrefix.size()) == m_strPrefix;
}

bool CDataset::IsExactMemberName(std::string_view fileName) const
{
    const std::string_view extension = ViewPathExtension(fileName);
    switch (RestAfterPrefix(fileName))
    {
    case EMemberRest::Image:
        return EqualsNoCase(extension, m_strExtension);
    case EMemberRest::Text:
        return EqualsNoCase(extension, "txt");
    case EMemberRest::Nothing:
        return EqualsNoCase(extension, "log");
    case EMemberRest::None:
        break;
    }
    return false;
}

bool CDataset::IsOwnFileName(std::string_view fileName) const
{
    const std::string extension = LowerAscii(GetPathExtension(fileName));
    switch (RestAfterPrefix(fileName))
    {
    case EMemberRest::Image:
        return extension == "bmp" || extension == "tif" || extension == "jpg";
    case EMemberRest::Text:
        return extension == "txt";
    case EMemberRest::Nothing:
        return extension == "log" || extension == "vgi";
    case EMemberRest::None:
        break;
    }
    return false;
}

bool CDataset::IsExactMember(const std::string& path) const
{
    return IsExactMemberName(ViewPathFileName(path)) && IsSameFolder(GetPathFolder(path));
}

bool CDataset::IsMemberCandidate(const std::string& path) const
{
    const std::string_view fileName = ViewPathFileName(path);
    const bool byName =
        IsExactMemberName(fileName) ||
        (HasOwnPrefix(fileName) && WildcardMatch(m_strPrefix + "????." + m_strExtension, fileName) &&
         IsSliceOrSideImage(fileName));
    return byName && IsSameFolder(GetPathFolder(path));
}

int32_t CDataset::DeleteFiles(const CDataset* protect, const CFileIdSet* keep)
{
    const int32_t count = GetCount();
    StartProgress(0, count);
    for (int32_t i = 0; i < count; ++i)
    {
        GetProgressInfo().SetPosition(i);
        FireProgress();
        // The scan matches loosely ("scan2????.bmp" takes "scan2000.bmp"), so a listed file is
        // deleted only when its name is exactly ours and it belongs to no protected data set,
        // neither by name nor, whatever its name, as a file kept (a link goes as a link).
        const std::string path = GetEntryPath(i);
        if (FileExists(path) && IsExactMember(path) && !(protect && protect->IsMemberCandidate(path)) &&
            !(keep && keep->Contains(path)))
            DeleteFile(path);
        if (IsCancelRequested()) break;
    }
    if (IsCancelRequested())
        AbortProgress();
    else
        EndProgress();
    return IsAborted() ? 1 : 0;
}

} // namespace vKit
