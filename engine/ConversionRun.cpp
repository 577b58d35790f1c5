// The run of a conversion: listing, deleting an old destination, the two passes over the files,
// and the log copy at the end. What could not be done is counted and listed, and the run goes on.

#include "engine/DatasetConversion.h"

#include "Base/files/FileUtils.h"
#include "Base/platform/Platform.h"
#include "Base/threads/WorkQueue.h"
#include "engine/ConversionPass.h"
#include "engine/SliceRunner.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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
    m_sourceFiles.clear();
}

void CDatasetConversion::Fail(const std::string& path, const char* action, int32_t code)
{
    m_failedFiles.push_back({path, action, code});
}

void CDatasetConversion::Convert()
{
    ResetOutcome();
    m_progress.StartProgress(0, 100);
    DeterminePlan();
    if (m_nPlan == PlanConvert) ConvertFiles();
    if (m_bGenerateVgi) WriteVgiFile();
    if (IsCancelPending())
    {
        m_progress.AbortProgress();
        return;
    }
    m_progress.EndProgress();
    // Without a conversion plan the destination names nothing real (or names the source in
    // other letters), so there is no log to copy.
    if (m_nPlan == PlanConvert) CopyLogFile();
}

void CDatasetConversion::PrepareLists()
{
    vKit::CDataset* destination = GetDestination()->GetDataset();
    const std::string srcFirst = GetSource()->GetDataset()->GetFirstSliceName();
    const std::string& folder = destination->GetFolder();
    const std::string& prefix = destination->GetPrefix();
    const std::string& extension = destination->GetExtension();

    // Both lists come from one read of the source folder.
    m_companions.Init();
    m_companions.SetCompanionsOnly(true);
    m_companions.SetFileName(srcFirst);
    std::vector<vKit::CPlatformDirEntry> listing;
    vKit::PlatformFindFiles(m_companions.GetMask(), listing);
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
    PrepareLists();
    RememberSourceFiles();
    if (m_bOverwrite) DeleteOldDestination(GetDestination()->GetDataset()->GetFirstSliceName());
    RemoveStaleParts();

    const int32_t cc = m_companions.GetCount();
    const int32_t sc = m_slices.GetCount();
    m_progress.StartProgress(0, cc + sc);
    const int32_t helpers = GetEffectiveThreads() - 1;
    CSliceRunner runner(helpers, helpers > 0 ? CSliceRunner::DefaultLookAhead(helpers) : 0);
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
    std::string text;
    if (vKit::PlatformGetEnv("KAVEX_THREADS", text))
    {
        char* end = nullptr;
        const long n = std::strtol(text.c_str(), &end, 10);
        if (end != text.c_str() && *end == '\0' && n >= 1) return int32_t(std::min<long>(n, Most));
    }
    // Each thread keeps a few images of its own; beyond a handful the disk, not the processors,
    // sets the pace, so more would only hold memory.
    constexpr int32_t MostByDefault = 8;
    return std::min(vKit::CWorkQueue::DefaultHelpers() + 1, MostByDefault);
}

// A killed run can leave the temporary file of an image it was writing; the files of this
// run's destinations go before anything is written.
void CDatasetConversion::RemoveStaleParts()
{
    std::string previous;
    for (vKit::CDataset* list : {&m_companions, &m_slices})
    {
        for (int32_t i = 0; i < list->GetCount(); ++i)
        {
            const std::string dst = list->GetDestinationName(i);
            if (dst.empty() || dst == previous || !vKit::CDataset::IsSliceOrSideImage(dst)) continue;
            vKit::PlatformUnlink(PartName(dst));
            previous = dst;
        }
    }
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
    old.DeleteFiles(source);
    for (int32_t i = 0; i < old.GetCount(); ++i)
    {
        const std::string path = old.GetEntryPath(i);
        if (old.IsExactMember(path) && !source->IsExactMember(path) && !IsSourceFile(path) &&
            vKit::FileExists(path))
            Fail(path, "delete", EACCES);
    }
}

void CDatasetConversion::RememberSourceFiles()
{
    m_sourceFiles.clear();
    auto remember = [this](const std::string& path)
    {
        vKit::CPlatformStat st;
        if (vKit::PlatformStat(path, st) == 0 && st.isRegular)
            m_sourceFiles.emplace_back(st.device, st.inode);
    };
    for (int32_t i = 0; i < m_companions.GetCount(); ++i)
        remember(m_companions.GetEntryPath(i));
    for (int32_t i = 0; i < m_slices.GetCount(); ++i)
        remember(m_slices.GetEntryPath(i));
    remember(GetSource()->GetDataset()->GetLogFileName());
    std::sort(m_sourceFiles.begin(), m_sourceFiles.end());
}

bool CDatasetConversion::IsSourceFile(const std::string& path) const
{
    vKit::CPlatformStat st;
    if (m_sourceFiles.empty() || vKit::PlatformStat(path, st) != 0) return false;
    return std::binary_search(m_sourceFiles.begin(), m_sourceFiles.end(),
                              std::make_pair(st.device, st.inode));
}

void CDatasetConversion::CopyLogFile()
{
    const std::string src = GetSource()->GetDataset()->GetLogFileName();
    const std::string dst = GetDestination()->GetDataset()->GetLogFileName();
    if (src == dst || !vKit::FileExists(src) || IsSourceFile(dst)) return;
    if (!vKit::CopyFile(src, dst, true)) Fail(dst, "copy", 0);
}
