#include "engine/ConversionPass.h"

#include <algorithm>
#include <utility>

CConversionPass::CConversionPass(CDatasetConversion& job, vKit::CDataset& list, int32_t firstPosition,
                                 bool slicePass, const CImageSettings& settings,
                                 std::vector<CLaneImages>& laneImages)
    : m_job(job), m_list(list), m_nFirstPosition(firstPosition), m_bSlicePass(slicePass),
      m_settings(settings), m_laneImages(laneImages), m_steps(size_t(std::max(list.GetCount(), 0)))
{
}

void CConversionPass::Announce(int32_t i)
{
    m_job.m_progress.GetProgressInfo().SetPosition(m_nFirstPosition + i);
    m_job.m_progress.FireProgress();
}

bool CConversionPass::Decide(int32_t i)
{
    CFileStep& step = m_steps[size_t(i)];
    step = m_job.DecideFile(m_list.GetEntryPath(i), m_list.GetDestinationName(i), m_list, m_bSlicePass);
    return step.action == CFileStep::Image;
}

void CConversionPass::Work(int32_t i, int32_t lane)
{
    CDatasetConversion::WorkImage(m_steps[size_t(i)], m_settings, m_laneImages[size_t(lane)]);
}

void CConversionPass::Commit(int32_t i, bool ended)
{
    CFileStep& step = m_steps[size_t(i)];
    if (step.action == CFileStep::Present)
        CountPresent(step.dst);
    else
        m_job.CommitFile(step, ended);
    step = CFileStep();
}

void CConversionPass::Discard(int32_t i)
{
    CDatasetConversion::DiscardFile(m_steps[size_t(i)]);
}

// Several source slices can share one destination (a reduction folds them); only the first of
// such a run writes it, so a present destination counts as skipped once.
void CConversionPass::CountPresent(const std::string& dst)
{
    const vKit::CFiles& written = m_job.m_writtenFiles;
    if (dst == m_lastPresent || (written.GetCount() > 0 && written.GetString(written.GetCount() - 1) == dst))
        return;
    ++m_job.m_nSkippedCount;
    m_lastPresent = dst;
}
