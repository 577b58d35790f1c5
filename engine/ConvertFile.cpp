// Handling one file, in three parts so that images can be worked on ahead of their turn: the
// calling thread decides what a file needs (DecideFile), the work loads, transforms and saves an
// image under a temporary name beside its destination on any thread (WorkImage), and the calling
// thread completes the files in list order (CommitFile): renames the image into place, copies a
// text file, lists failures and written files. A killed run never leaves a truncated file under
// a destination name, and a file worked on ahead that is never committed is removed again.

#include "engine/DatasetConversion.h"

#include "Base/core/Strings.h"
#include "Base/core/StringsLst.h"
#include "Base/files/FileUtils.h"
#include "Base/platform/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>

void CDatasetConversion::ProcessFile(const std::string& src, const std::string& dst, vKit::CDataset& list)
{
    CFileStep step = DecideFile(src, dst, list, false);
    if (step.action == CFileStep::Image)
    {
        CLaneImages lane;
        WorkImage(step, CurrentImageSettings(), lane);
    }
    CommitFile(step, true);
}

void CDatasetConversion::ConvertFile(const std::string& src, const std::string& dst, vKit::CDataset& list)
{
    CFileStep step;
    step.src = src;
    step.dst = dst;
    PlanConversion(step, list);
    if (step.action == CFileStep::Image)
    {
        CLaneImages lane;
        WorkImage(step, CurrentImageSettings(), lane);
    }
    CompleteConversion(step, true);
}

CImageSettings CDatasetConversion::CurrentImageSettings()
{
    CImageSettings s;
    s.resizeFactor = m_nResizeFactor;
    s.resizeQuality = m_nResizeQuality;
    s.jpegQuality = m_nJpgCompression;
    s.shift = m_nShift;
    s.reversePalette = MustReversePalette();
    s.invertRawData = MustInvertRawData();
    s.generateVgi = m_bGenerateVgi != 0;
    s.keepFileTime = m_bKeepFileTime != 0;
    return s;
}

CFileStep CDatasetConversion::DecideFile(std::string src, std::string dstPath, vKit::CDataset& list,
                                         bool slicePass)
{
    CFileStep step;
    step.src = std::move(src);
    step.dst = std::move(dstPath);
    const std::string& dst = step.dst;
    if (dst.empty()) return step;
    // A name that is not there is neither present nor a file of the source: one status call,
    // none for an image whose name the destination folder did not hold.
    vKit::CPlatformStat st;
    const bool missing =
        (vKit::CDataset::IsSliceOrSideImage(dst) && m_destinationNames.IsSurelyAbsent(dst)) ||
        vKit::PlatformStat(dst, st) == ENOENT;
    if (slicePass && !missing && vKit::FileExists(dst))
        step.action = CFileStep::Present;
    else if (!missing && IsSourceFile(dst))
        step.action = CFileStep::SourceFile;
    else
        PlanConversion(step, list);
    step.keepTaken = missing;
    return step;
}

void CDatasetConversion::PlanConversion(CFileStep& step, vKit::CDataset& list)
{
    if (!vKit::CDataset::IsSliceOrSideImage(step.dst))
    {
        step.action = CFileStep::Copy;
        return;
    }
    step.action = CFileStep::Image;
    // Unique to this run and recognisable, so that a later run removes it when this one is killed.
    step.part = vKit::PlatformTemporaryName(step.dst);
    step.isSlice = GetDestination()->GetDataset()->IsSliceFile(step.dst, false);
    const int32_t f = m_nResizeFactor;
    if (m_nResizeQuality == ResizeAverage3D && (f == 2 || f == 4 || f == 8))
    {
        vKit::CStringsLst names;
        list.GetSourcesOf(names, step.dst);
        for (int32_t i = 0; i < names.GetCount(); ++i)
            step.group.push_back(names.GetString(i));
    }
}

namespace
{

// An 8-bit BMP that becomes an 8-bit BMP of its own size goes from rows to rows: widening it to
// samples and narrowing it again would cost more than reading and writing the file.
bool KeepsBmpRows(const CFileStep& step, const CImageSettings& settings)
{
    const int32_t f = settings.resizeFactor;
    const bool reduced = f == 2 || f == 4 || f == 8;
    return !reduced && (step.isSlice || settings.shift == 0) &&
           vKit::CFileImageBuffer16::IsBmpName(step.src) && vKit::CFileImageBuffer16::IsBmpName(step.part);
}

vKit::SBmpStages BmpStages(const CImageSettings& settings)
{
    vKit::SBmpStages stages;
    stages.reversePalette = settings.reversePalette;
    stages.invertSamples = settings.invertRawData;
    // What ApplyVolumeSettings does to the description.
    stages.defaultResolution = stages.dropPrivateBlock = settings.generateVgi;
    return stages;
}

} // namespace

void CDatasetConversion::WorkImage(CFileStep& step, const CImageSettings& settings, CLaneImages& lane)
{
    try
    {
        vKit::CFileImageBuffer16& image = lane.image;
        // The temporary name is this run's own; the rename at the commit is what makes the
        // file appear, so the writer needs no temporary of its own.
        image.SetSaveAtomically(false);
        const bool rows = KeepsBmpRows(step, settings);
        if (rows ? LoadSource(step, settings, image, true) : TransformImage(step, settings, lane))
        {
            step.saveCode =
                rows ? image.SaveBmpRows(step.part, BmpStages(settings)) : image.SaveFile(step.part);
            if (step.saveCode != 0) step.status = image.GetStatus();
        }
        if (step.saveCode == 0 && step.timesRead) WriteDestinationTimes(step.part, step.times);
    }
    catch (const std::exception&)
    {
        step.saveCode = ENOMEM;
        step.status = vKit::PlatformErrorStatus(ENOMEM, step.part);
    }
    ReleaseLargeScratch(lane);
}

// Scratch of a large image is not kept for the next file, where it would sit beside that file's
// new image and double what a thread holds; beside the work on such a file, allocating it again
// costs little.
void CDatasetConversion::ReleaseLargeScratch(CLaneImages& lane)
{
    constexpr size_t Large = size_t(64) << 20;
    for (vKit::CFileImageBuffer16* image : {&lane.image, &lane.member})
    {
        for (vKit::CAlignedBlock* block : {&image->FileBytes(), &image->RowBytes()})
            if (block->Capacity() >= Large) block->Free();
    }
    for (vKit::CImageBuffer16* image : {static_cast<vKit::CImageBuffer16*>(&lane.member), &lane.scratch})
    {
        if (size_t(image->PixelCount()) * sizeof(uint16_t) >= Large) image->Free();
    }
}

bool CDatasetConversion::LoadSource(CFileStep& step, const CImageSettings& settings,
                                    vKit::CFileImageBuffer16& image, bool rowsOnly)
{
    step.loadCode = rowsOnly ? image.LoadBmpRows(step.src) : image.LoadFile(step.src);
    if (step.loadCode != 0)
    {
        step.status = image.GetStatus();
        return false;
    }
    if (settings.keepFileTime) step.timesRead = ReadSourceTimes(step.src, step.times);
    return true;
}

bool CDatasetConversion::TransformImage(CFileStep& step, const CImageSettings& settings, CLaneImages& lane)
{
    vKit::CFileImageBuffer16& image = lane.image;
    if (!LoadSource(step, settings, image, false)) return false;
    ReduceImage(lane, step, settings);
    if (step.isSlice)
    {
        image.Info().SetJpegQuality(settings.jpegQuality);
        ApplyGreyStages(image, settings);
        ApplyVolumeSettings(image, settings);
        return true;
    }
    ApplyGreyStages(image, settings);
    image.Info().SetJpegQuality(settings.jpegQuality);
    ApplyVolumeSettings(image, settings);
    // A side image that the shift leaves without rows is not written at all.
    if (settings.shift != 0 && !ChangeSideImageHeight(image, settings.shift))
    {
        step.noRows = true;
        return false;
    }
    return true;
}

void CDatasetConversion::CommitFile(CFileStep& step, bool ended)
{
    switch (step.action)
    {
    case CFileStep::Nothing:
    case CFileStep::Present:
        return;
    case CFileStep::SourceFile:
        // A destination that is a file of the source itself is never replaced. For a text
        // file copied onto itself there is nothing left to do; an image would be lost.
        if (vKit::CDataset::IsSliceOrSideImage(step.dst))
            Fail(step.dst, "write", vKit::CStatus(EEXIST, step.dst, "it is a file of the source data set"));
        break;
    case CFileStep::Copy:
    case CFileStep::Image:
        // An image saved under its temporary name replaces the old file in its rename anyway.
        if (m_nResizeFactor == 1 && !IsRenamedIntoPlace(step, ended) && IsSameFormat() &&
            vKit::FileExists(step.dst))
            vKit::DeleteFile(step.dst);
        CompleteConversion(step, ended);
        // A file came to the free name meanwhile and stays: committed as if it had been there.
        if (step.action == CFileStep::Present)
        {
            ++m_nSkippedCount;
            return;
        }
        if (step.action == CFileStep::SourceFile) return CommitFile(step, ended);
        if (IsRenamedIntoPlace(step, ended) && step.status.IsOk())
        {
            m_writtenFiles.AddMadeFile(step.dst);
            return;
        }
        break;
    }
    // The destination's own name, not a scan of its folder: a folder scan per file would make a
    // run of n slices cost n * n directory entries.
    m_writtenFiles.AddFile(step.dst);
}

bool CDatasetConversion::IsRenamedIntoPlace(const CFileStep& step, bool ended)
{
    return step.action == CFileStep::Image && ended && step.loadCode == 0 && !step.noRows &&
           step.saveCode == 0;
}

void CDatasetConversion::CompleteConversion(CFileStep& step, bool ended)
{
    if (step.action == CFileStep::Copy)
    {
        CopyCompanion(step.src, step.dst);
        return;
    }
    if (step.action != CFileStep::Image) return;
    if (!ended)
    {
        step.saveCode = ENOMEM;
        step.status = vKit::PlatformErrorStatus(ENOMEM, step.dst);
    }
    if (step.loadCode != 0)
    {
        Fail(step.src, "read", step.status);
        return;
    }
    for (const vKit::CStatus& member : step.unreadable)
        Fail(member.GetPath(), "read", member);
    if (step.noRows) return;
    if (step.saveCode == 0)
    {
        int32_t err = vKit::PlatformRename(step.part, step.dst, !step.keepTaken);
        if (err == EEXIST && step.keepTaken)
        {
            if (KeepTakenName(step)) return;
            err = vKit::PlatformRename(step.part, step.dst, true);
        }
        if (err != 0) step.status = vKit::PlatformErrorStatus(err, step.dst);
    }
    if (!step.status.IsOk() || step.saveCode != 0)
    {
        vKit::PlatformUnlink(step.part);
        Fail(step.dst, "write", step.status);
        return;
    }
    ++m_nWrittenCount;
}

bool CDatasetConversion::KeepTakenName(CFileStep& step)
{
    if (step.isSlice && vKit::FileExists(step.dst))
        step.action = CFileStep::Present;
    else if (IsSourceFile(step.dst))
        step.action = CFileStep::SourceFile;
    else
        return false;
    vKit::PlatformUnlink(step.part);
    return true;
}

void CDatasetConversion::DiscardFile(CFileStep& step)
{
    if (step.action == CFileStep::Image) vKit::PlatformUnlink(step.part);
}

void CDatasetConversion::ApplyGreyStages(vKit::CFileImageBuffer16& image, const CImageSettings& settings)
{
    if (settings.reversePalette) ReversePalette(image.Info().ColorTable());
    if (settings.invertRawData) InvertRawData(image);
}

// Images of a volume description carry a default resolution and no private block.
void CDatasetConversion::ApplyVolumeSettings(vKit::CFileImageBuffer16& image, const CImageSettings& settings)
{
    if (!settings.generateVgi) return;
    image.Info().SetDefaultResolution(true);
    image.Info().SetPrivateBlock(nullptr, 0);
}

bool CDatasetConversion::ChangeSideImageHeight(vKit::CImageBuffer16& image, int32_t shift)
{
    const int32_t width = image.GetWidth();
    const int64_t height = int64_t(image.GetHeight()) + shift;
    if (shift == 0) return true;
    if (height < 1 || height > INT32_MAX || width < 1) return false;
    vKit::CImageBuffer16 changed;
    if (!changed.Create(width, int32_t(height), 32)) return false;
    vKit::CImageInfo info = image.Info();
    info.SetWidth(width);
    info.SetHeight(int32_t(height));
    changed.SetInfo(info);
    const int32_t kept = std::min(image.GetHeight(), int32_t(height));
    std::memcpy(changed.GetData(), image.GetData(), size_t(width) * size_t(kept) * sizeof(uint16_t));
    std::fill(changed.Row(kept), changed.GetData() + changed.PixelCount(), uint16_t(0));
    changed.SamplesChanged();
    image.Swap(changed);
    return true;
}

void CDatasetConversion::CopyCompanion(const std::string& src, const std::string& dst)
{
    // The copy itself goes through a temporary name and never replaces the source.
    if (const int32_t err = vKit::PlatformCopyFile(src, dst, true))
        Fail(dst, "copy", vKit::PlatformErrorStatus(err, dst));
    else
        ++m_nWrittenCount;
}
