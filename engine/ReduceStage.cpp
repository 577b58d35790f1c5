// The size-reduction step of the per-image pipeline, with 3D averaging over the group of
// source slices that fold into one destination slice.

#include "Base/core/Strings.h"
#include "Base/image/ImageBuffer32.h"
#include "engine/DatasetConversion.h"
#include "engine/Reduce.h"

#include <utility>
#include <vector>

namespace
{

// Averages the group: each member contributes floor(v * 65536 / n), the result is the high 16
// bits of the sum. A member that fails to load, or has another size, is left out, so the result
// is darker by its share rather than mixed with stale samples. Members that did not load are
// returned in unreadable with the reason.
void Average3D(CLaneImages& lane, const std::string& src, const std::vector<std::string>& names, int32_t f,
               std::vector<vKit::CStatus>& unreadable)
{
    const int32_t n = int32_t(names.size());
    kavex::Reduce2D(lane.image, f, lane.scratch);
    vKit::CImageBuffer32& sum = lane.sum;
    if (!sum.FromImage16(&lane.image)) return;
    sum.Clear();
    sum.AddScaled(&lane.image, n);
    for (const std::string& name : names)
    {
        if (vKit::CompareNoCase(name, src) == 0) continue;
        if (lane.member.LoadFile(name) != 0)
        {
            unreadable.push_back(lane.member.GetStatus());
            continue;
        }
        kavex::Reduce2D(lane.member, f, lane.scratch);
        sum.AddScaled(&lane.member, n);
    }
    sum.ToImage16(&lane.image);
}

} // namespace

void CDatasetConversion::ReduceImage(CLaneImages& lane, CFileStep& step, const CImageSettings& settings)
{
    const int32_t f = settings.resizeFactor;
    if (f != 2 && f != 4 && f != 8) return;
    if (settings.resizeQuality == 1)
        kavex::ReduceFast(lane.image, f, lane.scratch);
    else if (settings.resizeQuality != 3 || step.group.size() < 2)
        kavex::Reduce2D(lane.image, f, lane.scratch);
    else
        Average3D(lane, step.src, step.group, f, step.unreadable);
}
