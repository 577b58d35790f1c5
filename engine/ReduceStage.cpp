// The size-reduction step of the per-image pipeline, with 3D averaging over the group of
// source slices that fold into one destination slice.

#include "Base/ImageBuffer32.h"
#include "Base/Strings.h"
#include "Base/StringsLst.h"
#include "engine/DatasetConversion.h"
#include "engine/Reduce.h"

namespace
{

// Averages the group: each member contributes floor(v * 65536 / n), the result is the high 16
// bits of the sum. A member that fails to load, or has another size, is left out, so the result
// is darker by its share rather than mixed with stale samples.
void Average3D(vKit::CFileImageBuffer16& image, const std::string& src, const vKit::CStringsLst& names,
               int32_t f)
{
    const int32_t n = names.GetCount();
    kavex::Reduce2D(image, f);
    vKit::CImageBuffer32 sum;
    if (!sum.FromImage16(&image))
        return;
    sum.Clear();
    sum.AddScaled(&image, n);
    vKit::CFileImageBuffer16 member;
    for (int32_t i = 0; i < n; ++i)
    {
        const std::string name = names.GetString(i);
        if (vKit::CompareNoCase(name, src) == 0)
            continue;
        if (member.LoadFile(name) != 0)
            continue;
        kavex::Reduce2D(member, f);
        sum.AddScaled(&member, n);
    }
    sum.ToImage16(&image);
}

} // namespace

void CDatasetConversion::ReduceImage(vKit::CFileImageBuffer16& image, const std::string& src,
                                     const std::string& dst, vKit::CDataset& list)
{
    const int32_t f = m_nResizeFactor;
    if (f != 2 && f != 4 && f != 8)
        return;
    if (m_nResizeQuality == 1)
    {
        kavex::ReduceFast(image, f);
        return;
    }
    if (m_nResizeQuality != 3)
    {
        kavex::Reduce2D(image, f);
        return;
    }
    vKit::CStringsLst names;
    list.GetSourcesOf(names, dst);
    if (names.GetCount() < 2)
        kavex::Reduce2D(image, f);
    else
        Average3D(image, src, names, f);
}
