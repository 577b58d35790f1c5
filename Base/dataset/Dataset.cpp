// Opening and listing a data set: the state of a new data set, the scan of its mask through the
// file list with the membership answered here, slice numbers and their gaps.

#include "Base/dataset/Dataset.h"

#include "Base/core/Strings.h"

namespace vKit
{

CDataset::CDataset()
{
    Init();
}

CDataset::~CDataset()
{
    // The list outlives this body; it must not call back into a half-destroyed data set.
    Unsubscribe();
}

void CDataset::ResetFields()
{
    m_strPrefix.clear();
    m_strFolder.clear();
    m_strExtension.clear();
    m_bSlices = 1;
    m_bArc = 1;
    m_bCfg = 0;
    m_bSpr = 1;
    m_bVpr = 0;
    m_bSp2 = 0;
    m_bDicom = 0;
    m_nLastIndex = 0;
    m_nFirstIndex = 0;
    m_nRangeLast = 0;
    m_nRangeFirst = 0;
    m_nLastNumber = 0;
    m_nFirstNumber = 0;
    m_bHasSpr = 0;
    m_bHasSp2 = 0;
    m_bHasVpr = 0;
    m_bHasSideImages = 0;
    m_bHasCfg = 0;
    m_bHasDicom = 0;
    m_bOpened = 0;
    m_bInLoadDialog = 0;
    m_bInSaveDialog = 0;
    m_NumberGaps.SetBinCount(kNumberGapBins);
}

void CDataset::Subscribe()
{
    m_Files.OnOkToAddString.Subscribe(this, &CDataset::OkToAddFile);
    m_Files.OnAddFilter.Subscribe(this, &CDataset::OnListAddFilter);
    m_Files.OnProgress.Subscribe(this, &CDataset::OnListProgress);
}

void CDataset::Unsubscribe()
{
    m_Files.OnOkToAddString.Unsubscribe(this, &CDataset::OkToAddFile);
    m_Files.OnAddFilter.Unsubscribe(this, &CDataset::OnListAddFilter);
    m_Files.OnProgress.Unsubscribe(this, &CDataset::OnListProgress);
}

void CDataset::Init()
{
    ResetFields();
    m_Files.SetScanned(false);
    m_Files.SetKeepInfo(true);
    m_Files.GetStrings().SetCurrent(-1);
    m_Files.SetUnique(false);
    m_Files.SetSorted(true);
    m_Files.SetEvents(true);
    Unsubscribe();
    Subscribe();
}

void CDataset::OnListAddFilter(CStringObject& entry)
{
    OnAddFilter.Raise(entry);
}

void CDataset::OnListProgress(CProgressInfo info)
{
    OnProgress.Raise(info);
}

int32_t CDataset::Open(const std::string& path)
{
    SetFileName(path);
    m_bOpened = 1;
    return Load();
}

int32_t CDataset::Open(const std::string& path, const std::vector<CPlatformDirEntry>& listing)
{
    SetFileName(path);
    m_bOpened = 1;
    return LoadFrom(&listing);
}

int32_t CDataset::Load()
{
    return LoadFrom(nullptr);
}

int32_t CDataset::LoadFrom(const std::vector<CPlatformDirEntry>* listing)
{
    m_nLastIndex = m_nFirstIndex = m_nRangeLast = m_nRangeFirst = m_nLastNumber = m_nFirstNumber = 0;
    m_Files.Clear();
    m_Files.SetSorted(true);
    m_Files.SetEvents(true);

    if (listing)
        m_Files.AddFiles(GetMask(), *listing);
    else
        m_Files.Scan(GetMask());
    // The text files carry no image extension, so the mask cannot find them; the listing has them.
    for (const std::string& text :
         {m_bDicom ? GetDicomFileName() : std::string(), m_bCfg ? GetCfgFileName() : std::string()})
    {
        if (text.empty()) continue;
        if (listing)
            m_Files.AddFiles(text, *listing);
        else
            m_Files.AddFiles(text);
    }
    m_unlisted.clear();
    for (const auto& [path, reason] : m_Files.GetNotFiles())
        if (OkToAddFile(path, 0)) m_unlisted.emplace_back(path, reason);

    const int32_t count = GetCount();
    if (count > 0)
    {
        AssignNumbers(count);
        m_nLastIndex = m_nRangeLast = count - 1;
        m_nFirstIndex = m_nRangeFirst = 0;
        m_nLastNumber = GetEntryNumber(count - 1);
        m_nFirstNumber = GetEntryNumber(0);
    }

    m_bHasSpr = HasSprFile();
    m_bHasVpr = HasVprFile();
    m_bHasSp2 = HasSp2File();
    m_bHasCfg = HasCfgFile();
    m_bHasSideImages = m_bHasSpr || m_bHasVpr || m_bHasSp2;
    // Only the existence is recorded here: scanning the DICOM name again would list it twice.
    m_bHasDicom = HasDicomFile();
    return count;
}

void CDataset::AssignNumbers(int32_t count)
{
    CProgressInfo record;
    record.SetMinimum(0);
    record.SetMaximum(count);
    // A record is filled only for a listener: the loop runs once per file of the folder.
    const CStringsLst& names = m_Files.GetStrings();
    for (int32_t i = 0; i < count; ++i)
    {
        if (!OnProgress.IsEmpty() && IsNotifying())
        {
            record.SetPosition(i);
            OnProgress.Raise(record);
        }
        const CStringObject* entry = names.GetAt(i);
        SetEntryNumber(i, GetNumber(entry ? std::string_view(entry->m_strText) : std::string_view()));
    }
    record.SetFinished(true);
    if (IsNotifying()) OnProgress.Raise(record);
}

void CDataset::CollectNumberGaps()
{
    m_NumberGaps.SetBinCount(kNumberGapBins);
    const int32_t count = GetCount();
    for (int32_t i = 0; i + 1 < count; ++i)
    {
        const int64_t d = int64_t(GetEntryNumber(i + 1)) - GetEntryNumber(i);
        if (d > 0 && d < kNumberGapBins) m_NumberGaps.Add(uint32_t(d));
    }
}

// ---- Entries

int32_t CDataset::GetCount() const
{
    return m_Files.GetStrings().GetCount();
}

std::string CDataset::GetEntryPath(int32_t index) const
{
    return m_Files.GetString(index);
}

void CDataset::SetEntryPath(int32_t index, const std::string& path)
{
    m_Files.SetString(index, path);
}

int32_t CDataset::GetEntryNumber(int32_t index) const
{
    return int32_t(m_Files.GetData2(index));
}

void CDataset::SetEntryNumber(int32_t index, int32_t number)
{
    m_Files.SetData2(index, number);
}

std::string CDataset::GetDestinationName(int32_t index) const
{
    const CFileInfo* info = m_Files.GetFileInfo(index);
    return info ? info->m_strDestination : std::string();
}

// ---- Include presets

bool CDataset::IsSlicesOnly() const
{
    return m_bSlices && !m_bArc && !m_bCfg && !m_bSpr && !m_bVpr && !m_bSp2 && !m_bDicom;
}

void CDataset::SetSlicesOnly(bool on)
{
    if (!on) return;
    m_bSlices = 1;
    m_bArc = m_bCfg = m_bSpr = m_bVpr = m_bSp2 = m_bDicom = 0;
}

bool CDataset::IsCompanionsOnly() const
{
    return !m_bSlices && m_bArc && m_bCfg && m_bSpr && m_bVpr && m_bSp2 && m_bDicom;
}

void CDataset::SetCompanionsOnly(bool on)
{
    if (!on) return;
    m_bSlices = 0;
    m_bArc = m_bCfg = m_bSpr = m_bVpr = m_bSp2 = m_bDicom = 1;
}

bool CDataset::IsAllFiles() const
{
    return m_bSlices && m_bArc && m_bCfg && m_bSpr && m_bVpr && m_bSp2 && m_bDicom;
}

void CDataset::SetAllFiles(bool on)
{
    if (!on) return;
    m_bSlices = m_bArc = m_bCfg = m_bSpr = m_bVpr = m_bSp2 = m_bDicom = 1;
}

} // namespace vKit
