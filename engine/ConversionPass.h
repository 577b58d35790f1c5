#pragma once
// One of the two passes of a run over its files (the companion files, then the slices) as the
// slice runner drives it. The calling thread announces, decides and commits through the job;
// the work on an image touches only the file's own step, the fixed image settings and the
// image of its lane.

#include "engine/DatasetConversion.h"
#include "engine/SliceRunner.h"

#include <cstdint>
#include <string>
#include <vector>

class CConversionPass : public IFilePass
{
public:
    // firstPosition: the progress position of the first entry. In the slice pass an entry whose
    // destination exists already is skipped and counted once per destination.
    CConversionPass(CDatasetConversion& job, vKit::CDataset& list, int32_t firstPosition, bool slicePass,
                    const CImageSettings& settings, std::vector<CLaneImages>& laneImages);

    int32_t GetCount() override { return int32_t(m_steps.size()); }
    std::string GetName(int32_t i) override { return m_list.GetDestinationName(i); }
    void Announce(int32_t i) override;
    bool Decide(int32_t i) override;
    void Work(int32_t i, int32_t lane) override;
    void Commit(int32_t i, bool ended) override;
    void Discard(int32_t i) override;
    bool IsStopRequested() override { return m_job.IsCancelPending(); }

private:
    void CountPresent(const std::string& dst);

    CDatasetConversion& m_job;
    vKit::CDataset& m_list;
    const int32_t m_nFirstPosition;
    const bool m_bSlicePass;
    const CImageSettings& m_settings;
    std::vector<CLaneImages>& m_laneImages;
    std::vector<CFileStep> m_steps;
    std::string m_lastPresent;
};
