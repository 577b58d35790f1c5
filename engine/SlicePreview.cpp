// The preview of one slice: the run's own per-image pipeline, then the destination writer with
// its output caught in memory and read back by the destination reader, so that the preview shows
// exactly the samples the file would hold (8-bit reduction, JPEG artefacts included).

#include "engine/SlicePreview.h"

#include "Base/core/Strings.h"
#include "Base/core/StringsLst.h"
#include "Base/dataset/Dataset.h"
#include "engine/DatasetConversion.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

bool CPreviewRequest::operator==(const CPreviewRequest& o) const
{
    const vKit::CColorTable& a = sourcePalette;
    const vKit::CColorTable& b = o.sourcePalette;
    const bool samePalette =
        a.GetCount() == b.GetCount() &&
        (a.GetCount() == 0 || std::memcmp(a.GetEntries(), b.GetEntries(), size_t(a.GetCount()) * 4) == 0);
    return sourceMask == o.sourceMask && destinationMask == o.destinationMask && slice == o.slice &&
           resizeFactor == o.resizeFactor && resizeQuality == o.resizeQuality &&
           jpegQuality == o.jpegQuality && shift == o.shift && invertPalette == o.invertPalette &&
           invertRawData == o.invertRawData && samePalette;
}

namespace
{
int32_t Refuse(CSlicePreview& preview, const std::string& reason)
{
    preview.reason = reason;
    return 1;
}
} // namespace

std::string LoadFailureReason(const vKit::CFileImageBuffer16& image, const std::string& path)
{
    // The reader's reason first; its message where a reader gave none.
    std::string detail = image.GetStatus().GetReason();
    if (detail.empty()) detail = image.Messages().empty() ? "not a readable slice" : image.Messages().front();
    return vKit::GetPathFileName(path) + ": " + detail;
}

int32_t MakeSlicePreview(const CPreviewRequest& request, CSlicePreview& preview)
{
    try
    {
        vKit::CDataset source;
        vKit::CDataset destination;
        source.SetSlicesOnly(true);
        source.Open(request.sourceMask);
        destination.SetFileName(request.destinationMask);
        CDatasetConversion job;
        job.GetSource()->SetDataset(&source);
        job.GetDestination()->SetDataset(&destination);
        job.UpdateDestinationBits();
        job.SetSourcePalette(request.sourcePalette);
        job.SetResizeFactor(request.resizeFactor).SetResizeQuality(request.resizeQuality);
        job.SetJpgCompression(request.jpegQuality).SetShift(request.shift);
        job.SetInvertPalette(request.invertPalette).SetInvertRawData(request.invertRawData);
        return job.PreviewSlice(request.slice, preview);
    }
    catch (const std::exception&)
    {
        return Refuse(preview, "Not enough memory for the preview");
    }
}

int32_t CDatasetConversion::PreviewSlice(int32_t index, CSlicePreview& preview)
{
    PrepareLists();
    preview.sliceCount = m_slices.GetCount();
    if (preview.sliceCount == 0) return Refuse(preview, "The source data set has no slice");
    index = std::clamp(index, 0, preview.sliceCount - 1);
    preview.slice = index;
    preview.sourcePath = m_slices.GetEntryPath(index);
    preview.sliceNumber = vKit::CDataset::GetNumber(preview.sourcePath);
    if (preview.source.LoadFile(preview.sourcePath) != 0)
        return Refuse(preview, LoadFailureReason(preview.source, preview.sourcePath));

    CFileStep step;
    step.src = preview.sourcePath;
    step.dst = m_slices.GetDestinationName(index);
    preview.destinationPath = step.dst;
    if (step.dst.empty()) return Refuse(preview, "This slice is not written with these settings");
    // Of the slices that fold into one destination file, the run writes it from the first and
    // finds it present for the others.
    vKit::CStringsLst sources;
    m_slices.GetSourcesOf(sources, step.dst);
    if (sources.GetCount() > 0) step.src = sources.GetString(0);
    PlanConversion(step, m_slices);

    CImageSettings settings = CurrentImageSettings();
    settings.keepFileTime = false;
    settings.generateVgi = false;
    CLaneImages lane;
    if (!TransformImage(step, settings, lane))
        return Refuse(preview, LoadFailureReason(lane.image, step.src));
    std::vector<uint8_t> bytes;
    lane.image.SetSaveSink(&bytes);
    if (lane.image.SaveFile(step.dst) != 0) return Refuse(preview, "The destination image could not be made");
    if (preview.destination.LoadBytes(step.dst, bytes.data(), bytes.size()) != 0)
        return Refuse(preview, "The destination image could not be read back");
    return 0;
}
