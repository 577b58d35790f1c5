// The per-image pipeline of one file, and how its result reaches the destination name: every
// image is saved under a temporary name beside the destination and renamed into place when it
// is complete, so a killed run never leaves a truncated file that a resumed run would keep.

#include "engine/DatasetConversion.h"

#include "Base/FileUtils.h"
#include "Base/Platform.h"
#include "Base/Strings.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

void CDatasetConversion::ConvertFile(const std::string& src, const std::string& dst, vKit::CDataset& list)
{
    if (!vKit::CDataset::IsSliceOrSideImage(dst))
    {
        CopyCompanion(src, dst);
        return;
    }
    CCarriedTimes times;
    vKit::CFileImageBuffer16 image;
    const int32_t rc = image.LoadFile(src);
    if (rc != 0)
    {
        Fail(src, "read", rc);
        return;
    }
    if (m_bKeepFileTime) ReadSourceTimes(src, times);
    ReduceImage(image, src, dst, list);

    if (GetDestination()->GetDataset()->IsSliceFile(dst, false))
    {
        image.Info().SetJpegQuality(m_nJpgCompression);
        ApplyGreyStages(image);
        ApplyVolumeSettings(image);
    }
    else
    {
        ApplyGreyStages(image);
        image.Info().SetJpegQuality(m_nJpgCompression);
        ApplyVolumeSettings(image);
        // A side image that the shift leaves without rows is not written at all.
        if (m_nShift != 0 && !ChangeSideImageHeight(image, m_nShift)) return;
    }
    const int32_t saved = SaveInPlace(image, dst);
    if (saved != 0)
    {
        Fail(dst, "write", saved);
        return;
    }
    ++m_nWrittenCount;
    if (m_bKeepFileTime) WriteDestinationTimes(dst, times);
}

void CDatasetConversion::ApplyGreyStages(vKit::CFileImageBuffer16& image)
{
    if (MustReversePalette()) ReversePalette(image.Info().ColorTable());
    if (MustInvertRawData()) InvertRawData(image);
}

// Images of a volume description carry a default resolution and no private block.
void CDatasetConversion::ApplyVolumeSettings(vKit::CFileImageBuffer16& image) const
{
    if (!m_bGenerateVgi) return;
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
    changed.Fill(0);
    const int32_t kept = std::min(image.GetHeight(), int32_t(height));
    std::memcpy(changed.GetData(), image.GetData(), size_t(width) * size_t(kept) * sizeof(uint16_t));
    image = changed;
    return true;
}

int32_t CDatasetConversion::SaveInPlace(vKit::CFileImageBuffer16& image, const std::string& dst)
{
    // Hidden, and unlike any member name, so that no scan of the data set lists it; the
    // extension stays, since it chooses the writer.
    const std::string name = vKit::GetPathFileName(dst);
    const std::string temp = dst.substr(0, dst.size() - name.size()) + "." + vKit::GetPathTitle(dst) +
                             ".kavex-part." + vKit::GetPathExtension(dst);
    int32_t rc = image.SaveFile(temp);
    if (rc == 0) rc = vKit::PlatformRename(temp, dst, true);
    if (rc != 0) vKit::PlatformUnlink(temp);
    return rc;
}

void CDatasetConversion::CopyCompanion(const std::string& src, const std::string& dst)
{
    // The copy itself goes through a temporary name and never replaces the source.
    if (vKit::CopyFile(src, dst, true))
        ++m_nWrittenCount;
    else
        Fail(dst, "copy", 0);
}
