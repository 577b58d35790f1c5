#pragma once
// A list of files: scans a folder with a wildcard mask and keeps, in every entry's first value, a
// CFileInfo record that the entry owns (unless keeping records is switched off).

#include "Base/core/Event.h"
#include "Base/core/Progress.h"
#include "Base/core/StringsLst.h"
#include "Base/platform/Platform.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vKit
{

class CFileInfo
{
public:
    CFileInfo() = default;
    CFileInfo(const CFileInfo&) = default;
    CFileInfo& operator=(const CFileInfo&) = default;
    virtual ~CFileInfo() = default;

    virtual int32_t GetTag() const { return m_nTag; }
    virtual void SetTag(int32_t tag) { m_nTag = tag; }
    virtual std::string GetFolder() const { return m_strFolder; }
    virtual void SetFolder(const std::string& folder) { m_strFolder = folder; }
    virtual std::string GetDestination() const { return m_strDestination; }
    virtual void SetDestination(const std::string& destination) { m_strDestination = destination; }
    virtual std::string GetAuxName() const { return m_strAuxName; }
    virtual void SetAuxName(const std::string& name) { m_strAuxName = name; }

    // The name of the directory record, never read past its buffer.
    std::string GetFileName() const;
    // m_strFolder + "/" + file name; the root folder is held as "".
    std::string GetFullPath() const;
    uint64_t GetFileSize() const;
    // Back to the empty state of a new record.
    void Reset() { *this = CFileInfo(); }

    int32_t m_nTag = 0;
    std::string m_strFolder;
    std::string m_strDestination;
    std::string m_strAuxName;
    CFindData m_FindData;
    int32_t m_nExtra1 = 0;
    int32_t m_nExtra2 = 0;
};

class CFiles
{
public:
    using AddFilterEvent = CStringsLst::AddFilterEvent;
    using OkToAddEvent = CStringsLst::OkToAddEvent;
    using ProgressEvent = CEvent<void, CProgressInfo>;

    CFiles();
    // A copy owns copies of the records; subscriptions are not copied.
    CFiles(const CFiles& other);
    CFiles& operator=(const CFiles& other);
    virtual ~CFiles();

    virtual CStringsLst& GetStrings() { return m_Strings; }
    const CStringsLst& GetStrings() const { return m_Strings; }
    // Empties this list, then appends every entry of other with its string and values; records of
    // another file list are copied, so that each list owns its own.
    virtual void Assign(const CFiles& other);
    virtual bool GetEvents() const { return m_Strings.GetEvents(); }
    virtual void SetEvents(bool events) { m_Strings.SetEvents(events); }
    virtual bool IsScanned() const { return m_bScanned != 0; }
    virtual void SetScanned(bool scanned) { m_bScanned = scanned ? 1 : 0; }
    virtual bool IsKeepInfo() const { return m_bKeepInfo != 0; }
    // Switching records off deletes them (first values 0); switching on gives every entry an
    // empty record.
    virtual void SetKeepInfo(bool keep);
    virtual bool IsSorted() const { return m_Strings.IsSorted(); }
    virtual void SetSorted(bool sorted) { m_Strings.SetSorted(sorted); }
    virtual bool IsUnique() const { return m_Strings.IsUnique(); }
    virtual void SetUnique(bool unique) { m_Strings.SetUnique(unique); }
    virtual int64_t GetData2(int32_t index) const { return m_Strings.GetData2(index); }
    virtual void SetData2(int32_t index, int64_t value) { m_Strings.SetData2(index, value); }
    virtual int64_t GetData1(int32_t index) const { return m_Strings.GetData1(index); }
    virtual void SetData1(int32_t index, int64_t value) { m_Strings.SetData1(index, value); }
    virtual std::string GetString(int32_t index) const { return m_Strings.GetString(index); }
    // Sets the string; the entry's record is then empty (attached when missing, reset otherwise).
    virtual void SetString(int32_t index, const std::string& text);
    // Deletes the entry's record first, then the entry.
    virtual void RemoveAt(int32_t index);
    // Numbers the entries only when no records are kept, since the first values hold them otherwise.
    virtual int32_t NumberEntries();
    // Same as Clear.
    virtual void RemoveAllStrings();

    void Assign(const CStringsLst& other);
    int32_t GetCount() const { return m_Strings.GetCount(); }
    // Empties the list, then AddFiles.
    int32_t Scan(const std::string& mask);
    // Adds the files (never folders, devices or dangling links; links to files are followed) of one
    // folder whose names match the wildcard part of mask. Returns the new count.
    int32_t AddFiles(const std::string& mask);
    // The same with the entries of one scan of mask's folder that the caller made already, with
    // mask or a mask that takes in every name mask matches; only the names mask matches are added.
    int32_t AddFiles(const std::string& mask, const std::vector<CPlatformDirEntry>& entries);
    // Adds the one file at path (a file, or a link to one), as AddFiles would list it, without
    // reading its folder. Returns the new count.
    int32_t AddFile(const std::string& path);
    // Adds path as a file without looking at it, for a file the caller has just made there; a list
    // that keeps find data looks, as AddFile does.
    int32_t AddMadeFile(const std::string& path);
    // What AddFiles and AddFile found but did not list because it is no file, since the last
    // Clear: the path and why it cannot be read as a file (EISDIR, ENOENT for a dangling link,
    // EINVAL for a pipe, socket or device).
    const std::vector<std::pair<std::string, int32_t>>& GetNotFiles() const { return m_notFiles; }
    // The entry's record, or null when no records are kept or the index is out of range.
    CFileInfo* GetFileInfo(int32_t index) const;
    // Deletes every record, then every entry.
    void Clear();

    AddFilterEvent OnAddFilter;
    OkToAddEvent OnOkToAddString;
    // Never raised by the list itself: it is there for the subscribers of a data set.
    ProgressEvent OnProgress;

private:
    void HandleAddFilter(CStringObject& entry);
    int32_t HandleOkToAddString(const std::string& text, int32_t value);
    void Subscribe();
    void DeleteRecord(int32_t index);
    void AppendFrom(const CStringsLst& list, bool copyRecords);
    // Adds folder/entry; path is scratch for the full name, which the list takes when it keeps it.
    void Add(const std::string& folder, const CPlatformDirEntry& entry, std::string& path);

    int32_t m_bSubscribed = 0;
    CStringsLst m_Strings;
    int32_t m_bScanned = 0;
    int32_t m_bKeepInfo = 1;
    std::vector<std::pair<std::string, int32_t>> m_notFiles;
};

} // namespace vKit
