// The size-reduction step of the per-image pipeline, with 3D averaging over the group of
// source slices that fold into one destination slice.

#include "Base/core/Strings.h"
#include "Base/image/ImageBuffer32.h"
#include "engine/DatasetConversion.h"
#include "engine/Reduce.h"

#include <new>
#include <utility>
#include <vector>

namespace
{

// Averages the group over the k members that could be summed: each contributes
// floor(v * 65536 / k), the result is the high 16 bits of the sum. A member that fails to load, or
// has another size once reduced, is left out and returned in unreadable, so that the result is
// neither darker by its share nor mixed with stale samples. The reduced members are kept until
// the count is known; each is 1/(f * f) of a slice.
void Average3D(CLaneImages& lane, const std::string& src, const std::vector<std::string>& names, int32_t f,
               std::vector<vKit::CStatus>& unreadable)
{
    kavex::Reduce2D(lane.image, f, lane.scratch);
    size_t kept = 0;
    for (const std::string& name : names)
    {
        if (vKit::CompareNoCase(name, src) == 0) continue;
        if (lane.member.LoadFile(name) != 0)
        {
            unreadable.push_back(lane.member.GetStatus());
            continue;
        }
        kavex::Reduce2D(lane.member, f, lane.scratch);
        if (lane.member.GetWidth() != lane.image.GetWidth() ||
            lane.member.GetHeight() != lane.image.GetHeight())
        {
            unreadable.emplace_back(vKit::CStatus::Unsupported, name,
                                    "another size than the slice it is averaged with");
            continue;
        }
        if (lane.members.size() <= kept) lane.members.emplace_back();
        lane.members[kept++] = lane.member;
    }
    if (kept == 0) return;
    const int32_t k = int32_t(kept) + 1;
    vKit::CImageBuffer32& sum = lane.sum;
    // Caught with the image's work, which then fails rather than writing a part of the average.
    if (!sum.FromImage16(&lane.image)) throw std::bad_alloc();
    sum.Clear();
    sum.AddScaled(&lane.image, k);
    for (size_t i = 0; i < kept; ++i)
        sum.AddScaled(&lane.members[i], k);
    if (!sum.ToImage16(&lane.image)) throw std::bad_alloc();
}

} // namespace

void CDatasetConversion::ReduceImage(CLaneImages& lane, CFileStep& step, const CImageSettings& settings)
{
    const int32_t f = settings.resizeFactor;
    if (f != 2 && f != 4 && f != 8) return;
    if (settings.resizeQuality == ResizeFast)
        kavex::ReduceFast(lane.image, f, lane.scratch);
    else if (settings.resizeQuality != ResizeAverage3D || step.group.size() < 2)
        kavex::Reduce2D(lane.image, f, lane.scratch);
    else
        Average3D(lane, step.src, step.group, f, step.unreadable);
}
