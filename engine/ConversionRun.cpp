// The run of a conversion: listing, deleting an old destination, the two passes over the files,
// and the log copy at the end. What could not be done is counted and listed, and the run goes on.

#include "engine/DatasetConversion.h"

#include "Base/core/Strings.h"
#include "Base/files/FileUtils.h"
#include "Base/platform/Platform.h"
#include "Base/threads/WorkQueue.h"
#include "engine/ConversionPass.h"
#include "engine/SliceRunner.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <vector>

bool CDatasetConversion::IsCancelPending()
{
    if (m_pCancelFlag != nullptr && m_pCancelFlag->load()) m_progress.SetCancelRequested(true);
    return m_progress.IsCancelRequested();
}

void CDatasetConversion::ResetOutcome()
{
    m_writtenFiles.Clear();
    m_failedFiles.clear();
    m_nWrittenCount = 0;
    m_nSkippedCount = 0;
    m_nListedCount = 0;
    m_sourceFiles.Clear();
    m_sourceScan.clear();
    m_bSourceFilesKnown = true;
    m_bRefused = false;
}

void CDatasetConversion::Fail(const std::string& path, const char* action, const vKit::CStatus& why)
{
    m_failedFiles.push_back({path, action, why.GetCode(), why.GetReason()});
}

void CDatasetConversion::Convert()
{
    ResetOutcome();
    m_progress.StartProgress(0, 100);
    DeterminePlan();
    if (m_nPlan != PlanNone && !LockDestination())
    {
        m_bRefused = true;
        m_strMessage = std::string(BusyMessage) + ": " + GetDestination()->GetDataset()->GetMask();
        m_progress.AbortProgress();
        return;
    }
    struct SUnlock
    {
        vKit::CPlatformLock& lock;
        ~SUnlock() { lock.Release(); }
    } unlock{m_lock};
    RemoveLeftovers();
    if (m_nPlan == PlanConvert) ConvertFiles();
    if (m_bGenerateVgi && m_nPlan != PlanNone) WriteVgiFile();
    if (IsCancelPending())
    {
        m_progress.AbortProgress();
        return;
    }
    m_progress.EndProgress();
    // Without a conversion plan the destination is the source itself, so there is no log to copy.
    if (m_nPlan == PlanConvert) CopyLogFile();
}

// A hidden file beside the destination, named after its prefix, whatever its format: two runs
// on one prefix would share names. Without a lock file (no folder, no permission) nothing can
// be written either, and every file of the run says so.
bool CDatasetConversion::LockDestination()
{
    const vKit::CDataset& destination = *GetDestination()->GetDataset();
    const std::string path =
        destination.GetFolder() + vKit::PathSeparator + "." + destination.GetPrefix() + ".kavex.lock";
    return m_lock.TryAcquire(path) != EWOULDBLOCK;
}

// What killed runs left under temporary names of this destination goes. Only while the lock is
// held: a live run's temporary files look just the same.
void CDatasetConversion::RemoveLeftovers()
{
    if (!m_lock.IsHeld()) return;
    const vKit::CDataset& destination = *GetDestination()->GetDataset();
    const std::string folder = destination.GetFolder() + vKit::PathSeparator;
    std::vector<vKit::CPlatformDirEntry> entries;
    vKit::PlatformFindFiles(folder + "." + destination.GetPrefix() + "*", entries);
    for (const vKit::CPlatformDirEntry& e : entries)
    {
        if (e.isDirectory) continue;
        const std::string target = vKit::PlatformTemporaryTarget(e.name);
        if (!target.empty() && destination.IsOwnFileName(target)) vKit::PlatformUnlink(folder + e.name);
    }
}

// Anything named like a member that is no file cannot be converted; it is not left out silently.
void CDatasetConversion::ReportUnlisted(const vKit::CDataset& list)
{
    for (const auto& [path, reason] : list.GetUnlisted())
        Fail(path, "read", vKit::PlatformErrorStatus(reason, path));
}

void CDatasetConversion::PrepareLists()
{
    std::vector<vKit::CPlatformDirEntry> listing;
    PrepareLists(listing);
}

void CDatasetConversion::PrepareLists(std::vector<vKit::CPlatformDirEntry>& listing)
{
    vKit::CDataset* destination = GetDestination()->GetDataset();
    const std::string srcFirst = GetSource()->GetDataset()->GetFirstSliceName();
    const std::string& folder = destination->GetFolder();
    const std::string& prefix = destination->GetPrefix();
    const std::string& extension = destination->GetExtension();

    // Both lists and the text files come from one read of the source folder.
    m_companions.Init();
    m_companions.SetCompanionsOnly(true);
    m_companions.SetFileName(srcFirst);
    if (!m_sourceListingMask.empty() && m_sourceListingMask == m_companions.GetListingMask())
        listing = std::move(m_sourceListing);
    else
        vKit::PlatformFindFiles(m_companions.GetListingMask(), listing);
    m_sourceListingMask.clear();
    m_sourceListing.clear();
    m_companions.Open(srcFirst, listing);
    m_companions.BuildDestinationNames(folder, prefix, extension, 0);

    m_slices.Init();
    m_slices.SetSlicesOnly(true);
    m_slices.Open(srcFirst, listing);
    m_slices.BuildDestinationNames(folder, prefix, extension, m_nShift);
    m_slices.DivideNumbers(m_nResizeFactor);

    m_nListedCount = m_companions.GetCount() + m_slices.GetCount();
}

void CDatasetConversion::ConvertFiles()
{
    if (IsCancelPending()) return;
    std::vector<vKit::CPlatformDirEntry> listing;
    PrepareLists(listing);
    ReportUnlisted(m_companions);
    ReportUnlisted(m_slices);
    RememberSourceFiles(std::move(listing));
    if (m_bOverwrite) DeleteOldDestination(GetDestination()->GetDataset()->GetFirstSliceName());
    struct SForget
    {
        CDestinationNames& names;
        ~SForget() { names.Clear(); }
    } forget{m_destinationNames};
    // Read under the lock and after the deletion: what this run itself writes it keeps track of.
    m_destinationNames.Read(GetDestination()->GetDataset()->GetFolder());

    const int32_t cc = m_companions.GetCount();
    const int32_t sc = m_slices.GetCount();
    m_progress.StartProgress(0, cc + sc);
    const kavex::CLanePlan plan = GetLanePlan();
    CSliceRunner runner(plan.lanes - 1, plan.lookAhead);
    std::vector<CLaneImages> laneImages(size_t(runner.GetLanes()));
    const CImageSettings settings = CurrentImageSettings();
    // Each pass ends after the file during which a cancel was requested; a cancel during the
    // companions still lets the slice pass handle its first slice.
    CConversionPass companions(*this, m_companions, 0, false, settings, laneImages);
    runner.Run(companions);
    CConversionPass slices(*this, m_slices, cc, true, settings, laneImages);
    runner.Run(slices);
}

int32_t CDatasetConversion::GetEffectiveThreads() const
{
    constexpr int32_t Most = 64;
    if (m_nThreads > 0) return std::min(m_nThreads, Most);
    if (const int64_t n = kavex::PositiveEnvNumber("KAVEX_THREADS"); n > 0)
        return int32_t(std::min<int64_t>(n, Most));
    // Each thread keeps a few images of its own; beyond a handful the disk, not the processors,
    // sets the pace, so more would only hold memory.
    constexpr int32_t MostByDefault = 8;
    return std::min(vKit::CWorkQueue::DefaultHelpers() + 1, MostByDefault);
}

kavex::CLanePlan CDatasetConversion::GetLanePlan()
{
    const int64_t pixels = int64_t(m_nSliceWidth) * m_nSliceHeight;
    const int64_t bytes = kavex::ImageWorkBytes(pixels, SourceExtension(), DestinationExtension(),
                                                m_nResizeFactor, m_nResizeQuality);
    return kavex::PlanLanes(bytes, GetEffectiveThreads(),
                            m_nMemoryBudget > 0 ? m_nMemoryBudget : kavex::DefaultMemoryBudget());
}

// The old destination goes file by file, and only files named exactly as its members: a
// neighbouring data set whose prefix begins with the destination's, and every file of the source,
// stay. A file that survives the deletion is listed, since the run would otherwise keep it.
void CDatasetConversion::DeleteOldDestination(const std::string& dstFirst)
{
    vKit::CDataset old;
    old.SetAllFiles(true);
    old.Open(dstFirst);
    vKit::CDataset* source = GetSource()->GetDataset();
    KnowSourceFiles();
    old.DeleteFiles(source, &m_sourceFiles);
    for (int32_t i = 0; i < old.GetCount(); ++i)
    {
        const std::string path = old.GetEntryPath(i);
        if (old.IsExactMember(path) && !source->IsExactMember(path) && !IsSourceFile(path) &&
            vKit::FileExists(path))
            Fail(path, "delete", vKit::CStatus(EACCES, path, "the old file could not be deleted"));
    }
}

void CDatasetConversion::RememberSourceFiles(std::vector<vKit::CPlatformDirEntry> listing)
{
    m_sourceFiles.Clear();
    m_sourceScan = std::move(listing);
    m_bSourceFilesKnown = false;
}

// The files listed from the scan are known by the ids it read; only the others, such as the
// log, take a status call each.
void CDatasetConversion::KnowSourceFiles()
{
    if (m_bSourceFilesKnown) return;
    m_bSourceFilesKnown = true;
    std::unordered_map<std::string_view, const vKit::CPlatformDirEntry*> scanned;
    scanned.reserve(m_sourceScan.size());
    for (const vKit::CPlatformDirEntry& e : m_sourceScan)
        if (e.isFile) scanned.emplace(e.name, &e);
    for (const vKit::CDataset* list : {&m_companions, &m_slices})
        for (int32_t i = 0; i < list->GetCount(); ++i)
        {
            const std::string path = list->GetEntryPath(i);
            const auto it = scanned.find(vKit::ViewPathFileName(path));
            if (it != scanned.end())
                m_sourceFiles.Add(it->second->device, it->second->inode);
            else
                m_sourceFiles.Add(path);
        }
    m_sourceFiles.Add(GetSource()->GetDataset()->GetLogFileName());
    m_sourceScan.clear();
}

// A name that is not there is no file of the source, and asks nothing of the list.
bool CDatasetConversion::IsSourceFile(const std::string& path)
{
    vKit::CPlatformStat st;
    if (vKit::PlatformStat(path, st) != 0) return false;
    KnowSourceFiles();
    return m_sourceFiles.Contains(st.device, st.inode);
}

void CDatasetConversion::CopyLogFile()
{
    const std::string src = GetSource()->GetDataset()->GetLogFileName();
    const std::string dst = GetDestination()->GetDataset()->GetLogFileName();
    if (src == dst || !vKit::FileExists(src) || IsSourceFile(dst)) return;
    if (const int32_t err = vKit::PlatformCopyFile(src, dst, true))
        Fail(dst, "copy", vKit::PlatformErrorStatus(err, dst));
}
