// The name operations of a data set: what a file name says about its data set (prefix, kind,
// number) and the names of the member files.

#include "Base/core/Strings.h"
#include "Base/dataset/Dataset.h"
#include "Base/files/FileUtils.h"
#include "Base/platform/Platform.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace vKit
{

namespace
{

constexpr size_t kNumberDigits = 4;

// The title ends with upper-case suffix (ASCII case ignored) and is longer than it; strict also
// wants exactly prefixLength characters in front of the suffix.
bool TitleEndsWith(std::string_view title, std::string_view suffix, size_t prefixLength, bool strict)
{
    if (title.size() <= suffix.size()) return false;
    if (strict && title.size() != prefixLength + suffix.size()) return false;
    return EqualsNoCase(title.substr(title.size() - suffix.size()), suffix);
}

bool TitleIsSlice(std::string_view title, size_t prefixLength, bool strict)
{
    if (title.size() <= kNumberDigits) return false;
    if (strict && title.size() != prefixLength + kNumberDigits) return false;
    const std::string_view last = title.substr(title.size() - kNumberDigits);
    return AllDigits(last) || last == "????";
}

bool IsTextExtension(std::string_view path)
{
    return EqualsNoCase(ViewPathExtension(path), "txt");
}

// Extensions whose titles carry a slice number or a side-image suffix after the prefix.
bool IsImageExtension(std::string_view extension)
{
    return extension.empty() || EqualsNoCase(extension, "bmp") || EqualsNoCase(extension, "tif") ||
           EqualsNoCase(extension, "jpg") || EqualsNoCase(extension, "dcm");
}

std::string FormatNumber(int32_t number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d", number);
    return text;
}

} // namespace

std::string CDataset::InFolder(std::string_view folder, std::string_view name)
{
    std::string out(folder);
    out += PathSeparator;
    out += name;
    return out;
}

// ---- Kinds

namespace
{
// Side images carry the slices' extension, text files ".txt".
bool HasKindExtension(bool textExtension, const CDataset::SMemberKind& k)
{
    return !k.textFile || textExtension;
}
} // namespace

CDataset::EFileKind CDataset::GetFileKind(std::string_view path)
{
    const std::string_view title = ViewPathTitle(path);
    if (TitleIsSlice(title, 0, false)) return EFileKind::Slice;
    const bool text = IsTextExtension(path);
    for (const SMemberKind& k : MemberKinds)
        if (HasKindExtension(text, k) && TitleEndsWith(title, k.suffix, 0, false)) return k.kind;
    return EFileKind::None;
}

const CDataset::SMemberKind* CDataset::FindMemberKind(EFileKind kind)
{
    for (const SMemberKind& k : MemberKinds)
        if (k.kind == kind) return &k;
    return nullptr;
}

const char* CDataset::GetKindSuffix(EFileKind kind)
{
    const SMemberKind* k = FindMemberKind(kind);
    return k ? k->suffix : "";
}

bool CDataset::IsSliceFile(std::string_view path, bool strict) const
{
    return TitleIsSlice(ViewPathTitle(path), m_strPrefix.size(), strict);
}

bool CDataset::IsMemberFile(std::string_view path, EFileKind kind, bool strict) const
{
    const SMemberKind& k = *FindMemberKind(kind);
    return HasKindExtension(IsTextExtension(path), k) &&
           TitleEndsWith(ViewPathTitle(path), k.suffix, m_strPrefix.size(), strict);
}

int32_t CDataset::OkToAddFile(const std::string& path, int32_t strict)
{
    const bool s = strict != 0;
    // The scan ignores letter case as Windows does; here names differ by it.
    const std::string_view name = ViewPathFileName(path);
    if (!HasOwnPrefix(name)) return 0;
    // Every name of the folder passes here: its title and extension are looked at once.
    const std::string_view title = ViewPathTitle(name);
    if (m_bSlices && TitleIsSlice(title, m_strPrefix.size(), s)) return 1;
    const bool text = IsTextExtension(path);
    const std::pair<int32_t, EFileKind> wanted[] = {{m_bArc, EFileKind::Arc},     {m_bSpr, EFileKind::Spr},
                                                    {m_bVpr, EFileKind::Vpr},     {m_bSp2, EFileKind::Sp2},
                                                    {m_bDicom, EFileKind::Dicom}, {m_bCfg, EFileKind::Cfg}};
    for (const auto& [on, kind] : wanted)
    {
        const SMemberKind& k = *FindMemberKind(kind);
        if (on && HasKindExtension(text, k) && TitleEndsWith(title, k.suffix, m_strPrefix.size(), s))
            return 1;
    }
    return 0;
}

#define VKIT_MEMBER_TEST(Name, Kind)                                                                         \
    bool CDataset::Name(std::string_view path, bool strict) const                                            \
    {                                                                                                        \
        return IsMemberFile(path, EFileKind::Kind, strict);                                                  \
    }

VKIT_MEMBER_TEST(IsArcFile, Arc)
VKIT_MEMBER_TEST(IsSprFile, Spr)
VKIT_MEMBER_TEST(IsSp2File, Sp2)
VKIT_MEMBER_TEST(IsVprFile, Vpr)
VKIT_MEMBER_TEST(IsCfgFile, Cfg)
VKIT_MEMBER_TEST(IsDicomFile, Dicom)

#undef VKIT_MEMBER_TEST

bool CDataset::IsSliceOrSideImage(std::string_view path)
{
    const EFileKind kind = GetFileKind(path);
    return kind != EFileKind::None && kind != EFileKind::Cfg && kind != EFileKind::Dicom;
}

// ---- Pieces of a name

std::string CDataset::PrefixFromFileName(std::string_view path)
{
    if (path.empty()) return std::string();
    const std::string extension = GetPathExtension(path);
    const std::string title = GetPathTitle(path);
    if (IsImageExtension(extension))
    {
        if (title.size() <= kNumberDigits) return title;
        const std::string_view last = std::string_view(title).substr(title.size() - kNumberDigits);
        bool cut = AllDigits(last) || last == "????";
        for (const SMemberKind& k : MemberKinds)
            cut = cut || (!k.textFile && EqualsNoCase(last, k.suffix));
        return cut ? title.substr(0, title.size() - kNumberDigits) : title;
    }
    if (EqualsNoCase(extension, "txt"))
    {
        // Only the DICOM text names its prefix; "_cfg.txt" gives none.
        const std::string_view dicom = GetKindSuffix(EFileKind::Dicom);
        if (title.size() <= dicom.size() || !EndsWithNoCase(title, dicom)) return std::string();
        return title.substr(0, title.size() - dicom.size());
    }
    return title;
}

int32_t CDataset::GetNumber(std::string_view path)
{
    const std::string_view title = ViewPathTitle(path);
    if (title.size() < kNumberDigits) return -1;
    const std::string_view last = std::string_view(title).substr(title.size() - kNumberDigits);
    if (!AllDigits(last)) return -1;
    int32_t value = 0;
    for (char c : last)
        value = value * 10 + (c - '0');
    return value;
}

std::string CDataset::GetNumberText(std::string_view path)
{
    const std::string title = GetPathTitle(path);
    if (title.size() < kNumberDigits ||
        !AllDigits(std::string_view(title).substr(title.size() - kNumberDigits)))
        return "-1";
    return title.substr(title.size() - kNumberDigits);
}

std::string CDataset::MakeSliceName(std::string_view path, int32_t number)
{
    return InFolder(GetPathFolder(path),
                    PrefixFromFileName(path) + FormatNumber(number) + "." + GetPathExtension(path));
}

bool CDataset::IsPlainSliceName(std::string_view path)
{
    const std::string_view title = ViewPathTitle(path);
    const size_t slash = path.rfind(PathSeparator);
    const size_t dot = path.rfind('.');
    return TitleIsSlice(title, 0, false) && slash != std::string_view::npos &&
           dot != std::string_view::npos && dot > slash &&
           AllDigits(title.substr(title.size() - kNumberDigits)) && IsImageExtension(path.substr(dot + 1));
}

std::string CDataset::ShiftNumber(std::string_view path, int32_t delta)
{
    if (!TitleIsSlice(ViewPathTitle(path), 0, false)) return std::string(path);
    // Rebuilding a numbered image name in its folder without a shift gives back the same text,
    // which a plain conversion asks for once per slice.
    if (delta == 0 && IsPlainSliceName(path)) return std::string(path);
    return MakeSliceName(path, GetNumber(path) + delta);
}

std::string CDataset::RenameWithPrefix(std::string_view path, std::string_view newPrefix)
{
    const EFileKind kind = GetFileKind(path);
    if (kind == EFileKind::None) return std::string();
    const bool text = kind == EFileKind::Cfg || kind == EFileKind::Dicom;
    const std::string_view rest = kind == EFileKind::Slice ? std::string_view() : GetKindSuffix(kind);
    const std::string_view extension = text ? std::string_view("txt") : ViewPathExtension(path);
    std::string out(ViewPathFolder(path));
    out.reserve(out.size() + newPrefix.size() + rest.size() + extension.size() + 8);
    out += PathSeparator;
    out += newPrefix;
    if (kind == EFileKind::Slice)
        out += GetNumberText(path);
    else
        out += rest;
    out += '.';
    out += extension;
    return out;
}

std::string CDataset::MaskFromFileName(std::string_view path)
{
    return InFolder(GetPathFolder(path), PrefixFromFileName(path) + "????." + GetPathExtension(path));
}

bool CDataset::MaskExists(std::string_view path)
{
    // The mask matches names in any letter case; only those with the prefix's own letters count.
    const std::string prefix = PrefixFromFileName(path);
    std::vector<CPlatformDirEntry> entries;
    PlatformFindFiles(MaskFromFileName(path), entries);
    for (const CPlatformDirEntry& e : entries)
        if (e.name.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

// ---- Names of this data set

void CDataset::SetFileName(const std::string& path)
{
    m_strPrefix = PrefixFromFileName(path);
    m_strExtension = GetPathExtension(path);
    m_strFolder = GetPathFolder(path);
}

std::string CDataset::GetMask() const
{
    return InFolder(m_strFolder, m_strPrefix + "????." + m_strExtension);
}

std::string CDataset::GetListingMask() const
{
    return InFolder(m_strFolder, m_strPrefix + "*");
}

std::string CDataset::GetFirstSliceName() const
{
    return InFolder(m_strFolder, m_strPrefix + "0000." + m_strExtension);
}

std::string CDataset::GetLogFileName() const
{
    return InFolder(m_strFolder, m_strPrefix + ".log");
}

std::string CDataset::GetMemberFileName(EFileKind kind) const
{
    const SMemberKind& k = *FindMemberKind(kind);
    return InFolder(m_strFolder, m_strPrefix + k.suffix + "." + (k.textFile ? "txt" : m_strExtension));
}

#define VKIT_MEMBER_NAME(Name, Kind)                                                                         \
    std::string CDataset::Name() const                                                                       \
    {                                                                                                        \
        return GetMemberFileName(EFileKind::Kind);                                                           \
    }
#define VKIT_MEMBER_EXISTS(Name, NameGetter)                                                                 \
    bool CDataset::Name() const                                                                              \
    {                                                                                                        \
        return FileExists(NameGetter());                                                                     \
    }

VKIT_MEMBER_NAME(GetSprFileName, Spr)
VKIT_MEMBER_NAME(GetSp2FileName, Sp2)
VKIT_MEMBER_NAME(GetVprFileName, Vpr)
VKIT_MEMBER_NAME(GetArcFileName, Arc)
VKIT_MEMBER_NAME(GetCfgFileName, Cfg)
VKIT_MEMBER_NAME(GetDicomFileName, Dicom)

VKIT_MEMBER_EXISTS(HasSprFile, GetSprFileName)
VKIT_MEMBER_EXISTS(HasSp2File, GetSp2FileName)
VKIT_MEMBER_EXISTS(HasVprFile, GetVprFileName)
VKIT_MEMBER_EXISTS(HasCfgFile, GetCfgFileName)
VKIT_MEMBER_EXISTS(HasDicomFile, GetDicomFileName)

#undef VKIT_MEMBER_NAME
#undef VKIT_MEMBER_EXISTS

// ---- One arbitrary name through every operation

CDatasetNameReport ExamineDatasetName(std::string_view path)
{
    CDatasetNameReport r;
    CDataset dataset;
    dataset.SetFileName(std::string(path));
    r.prefix = dataset.GetPrefix();
    r.folder = dataset.GetFolder();
    r.extension = dataset.GetExtension();
    r.mask = dataset.GetMask();
    r.firstSlice = dataset.GetFirstSliceName();
    r.logFile = dataset.GetLogFileName();
    r.number = CDataset::GetNumber(path);
    r.numberText = CDataset::GetNumberText(path);
    r.shifted = CDataset::ShiftNumber(path, 1);
    r.renamed = CDataset::RenameWithPrefix(path, "q");

    const bool tests[] = {dataset.IsSliceFile(path), dataset.IsArcFile(path),
                          dataset.IsSprFile(path),   dataset.IsSp2File(path),
                          dataset.IsVprFile(path),   dataset.IsCfgFile(path),
                          dataset.IsDicomFile(path), CDataset::IsSliceOrSideImage(path)};
    int kindCount = 0;
    for (uint32_t bit = 0; bit < 8; ++bit)
    {
        if (tests[bit]) r.kinds |= 1u << bit;
        if (bit < 7 && tests[bit]) ++kindCount;
    }

    // A title ends in at most one recognised way, and every recognised member can be renamed.
    r.consistent = kindCount <= 1 && (kindCount == 1) == !r.renamed.empty() &&
                   tests[7] == (tests[0] || tests[1] || tests[2] || tests[3] || tests[4]) &&
                   (r.number < 0) == (r.numberText == "-1") &&
                   StartsWithNoCase(GetPathTitle(path), r.prefix) &&
                   (r.number < 0 || CDataset::GetNumber(CDataset::MakeSliceName(path, r.number)) == r.number);
    return r;
}

} // namespace vKit
