#include "Base/files/Files.h"

#include "Base/core/Strings.h"
#include "Base/core/Wildcard.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace vKit
{
namespace
{

int64_t ToValue(CFileInfo* record)
{
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(record));
}

CFileInfo* ToRecord(int64_t value)
{
    return reinterpret_cast<CFileInfo*>(static_cast<intptr_t>(value));
}

} // namespace

std::string CFileInfo::GetFileName() const
{
    const char* name = m_FindData.cFileName;
    return std::string(name, strnlen(name, sizeof(m_FindData.cFileName)));
}

std::string CFileInfo::GetFullPath() const
{
    return m_strFolder + PathSeparator + GetFileName();
}

uint64_t CFileInfo::GetFileSize() const
{
    return (uint64_t(m_FindData.nFileSizeHigh) << 32) | m_FindData.nFileSizeLow;
}

CFiles::CFiles()
{
    Subscribe();
}

CFiles::CFiles(const CFiles& other)
{
    Subscribe();
    *this = other;
}

CFiles& CFiles::operator=(const CFiles& other)
{
    if (this == &other) return *this;
    Clear();
    m_bKeepInfo = other.m_bKeepInfo;
    m_bScanned = other.m_bScanned;
    m_Strings.SetSorted(other.m_Strings.IsSorted());
    m_Strings.SetUnique(other.m_Strings.IsUnique());
    m_Strings.SetEvents(other.m_Strings.GetEvents());
    m_Strings.SetCurrent(other.m_Strings.GetCurrent());
    AppendFrom(other.m_Strings, other.m_bKeepInfo != 0);
    return *this;
}

CFiles::~CFiles()
{
    Clear();
    if (m_bSubscribed)
    {
        m_Strings.OnAddFilter.Unsubscribe(this, &CFiles::HandleAddFilter);
        m_Strings.OnOkToAddString.Unsubscribe(this, &CFiles::HandleOkToAddString);
        m_bSubscribed = 0;
    }
}

void CFiles::Subscribe()
{
    m_Strings.OnAddFilter.Subscribe(this, &CFiles::HandleAddFilter);
    m_Strings.OnOkToAddString.Subscribe(this, &CFiles::HandleOkToAddString);
    m_bSubscribed = 1;
}

void CFiles::HandleAddFilter(CStringObject& entry)
{
    OnAddFilter.Raise(entry);
}

int32_t CFiles::HandleOkToAddString(const std::string& text, int32_t value)
{
    return OnOkToAddString.Raise(text, value);
}

void CFiles::AppendFrom(const CStringsLst& list, bool copyRecords)
{
    for (int32_t i = 0; i < list.GetCount(); ++i)
    {
        const int64_t data1 = list.GetData1(i);
        int64_t value = data1;
        if (m_bKeepInfo)
        {
            const CFileInfo* source = copyRecords ? ToRecord(data1) : nullptr;
            value = ToValue(source ? new CFileInfo(*source) : new CFileInfo());
        }
        m_Strings.Append(list.GetString(i), value, list.GetData2(i));
    }
}

void CFiles::Assign(const CFiles& other)
{
    if (this == &other) return;
    Clear();
    AppendFrom(other.m_Strings, other.m_bKeepInfo != 0);
}

void CFiles::Assign(const CStringsLst& other)
{
    if (&other == &m_Strings) return;
    Clear();
    AppendFrom(other, false);
}

void CFiles::SetKeepInfo(bool keep)
{
    if (keep == (m_bKeepInfo != 0)) return;
    for (int32_t i = 0; i < GetCount(); ++i)
    {
        if (keep)
            m_Strings.SetData1(i, ToValue(new CFileInfo()));
        else
            DeleteRecord(i);
    }
    m_bKeepInfo = keep ? 1 : 0;
}

void CFiles::DeleteRecord(int32_t index)
{
    if (CFileInfo* record = GetFileInfo(index))
    {
        delete record;
        m_Strings.SetData1(index, 0);
    }
}

void CFiles::SetString(int32_t index, const std::string& text)
{
    if (index < 0) return;
    m_Strings.SetString(index, text);
    if (!m_bKeepInfo) return;
    // Entries grown by SetString hold 0 in their first value, so every empty slot gets a record.
    for (int32_t i = 0; i <= index; ++i)
    {
        if (!GetFileInfo(i)) m_Strings.SetData1(i, ToValue(new CFileInfo()));
    }
    GetFileInfo(index)->Reset();
}

void CFiles::RemoveAt(int32_t index)
{
    if (index < 0 || index >= GetCount()) return;
    if (m_bKeepInfo) DeleteRecord(index);
    m_Strings.RemoveAt(index);
}

int32_t CFiles::NumberEntries()
{
    return m_bKeepInfo ? GetCount() : m_Strings.NumberEntries();
}

void CFiles::RemoveAllStrings()
{
    Clear();
}

void CFiles::Clear()
{
    if (m_bKeepInfo)
    {
        for (int32_t i = 0; i < GetCount(); ++i)
            DeleteRecord(i);
    }
    m_Strings.RemoveAll();
    m_notFiles.clear();
}

CFileInfo* CFiles::GetFileInfo(int32_t index) const
{
    if (!m_bKeepInfo || index < 0 || index >= GetCount()) return nullptr;
    return ToRecord(m_Strings.GetData1(index));
}

int32_t CFiles::Scan(const std::string& mask)
{
    Clear();
    return AddFiles(mask);
}

int32_t CFiles::AddFiles(const std::string& mask)
{
    m_bScanned = 1;
    std::vector<CPlatformDirEntry> entries;
    if (PlatformFindFiles(mask, entries) != 0) return GetCount();
    return AddFiles(mask, entries);
}

int32_t CFiles::AddFiles(const std::string& mask, const std::vector<CPlatformDirEntry>& entries)
{
    m_bScanned = 1;
    // "/x*" lists the root, whose folder is held as ""; a mask without a folder lists the current one.
    const size_t slash = mask.rfind(PathSeparator);
    const std::string folder = slash == std::string::npos ? std::string(".") : mask.substr(0, slash);
    const CWildcardMask wanted(slash == std::string::npos ? std::string_view(mask) : ViewPathFileName(mask));
    std::string path; // kept by a name the list refuses, for the next name
    for (const CPlatformDirEntry& e : entries)
        if (wanted.Matches(e.name)) Add(folder, e, path);
    return GetCount();
}

int32_t CFiles::AddFile(const std::string& path)
{
    CPlatformDirEntry e;
    if (PlatformDescribeEntry(path, e) != 0) return GetCount();
    const size_t slash = path.rfind(PathSeparator);
    std::string scratch;
    Add(slash == std::string::npos ? std::string(".") : path.substr(0, slash), e, scratch);
    return GetCount();
}

int32_t CFiles::AddMadeFile(const std::string& path)
{
    if (m_bKeepInfo) return AddFile(path);
    m_Strings.Add(path, 0, 0);
    return GetCount();
}

void CFiles::Add(const std::string& folder, const CPlatformDirEntry& e, std::string& path)
{
    path.assign(folder);
    path += PathSeparator;
    path += e.name;
    if (!e.isFile)
    {
        const bool folderLike = e.isDirectory || (e.data.dwFileAttributes & kAttrDirectory);
        const bool dangling = e.isLink && e.data.dwFileAttributes == kAttrReparsePoint;
        m_notFiles.emplace_back(path, folderLike ? EISDIR : dangling ? ENOENT : EINVAL);
        return;
    }
    if (!m_bKeepInfo)
    {
        m_Strings.Add(std::move(path), 0, 0);
        return;
    }
    // The record is made once the list has taken the name, which it mostly refuses.
    const int32_t position = m_Strings.Add(std::move(path), 0, 0);
    if (position < 0) return;
    auto* record = new CFileInfo();
    record->m_strFolder = folder;
    record->m_FindData = e.data;
    m_Strings.SetData1(position, ToValue(record));
}

} // namespace vKit
