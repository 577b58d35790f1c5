#include "engine/Reduce.h"

#include "engine/ReduceKernels.h"

#include <vector>

namespace kavex
{
namespace
{

enum class Kernel
{
    Fast,
    Box
};

bool Reduce(vKit::CImageBuffer16& image, int32_t f, Kernel kernel, vKit::CImageBuffer16& reduced)
{
    if (f != 2 && f != 4 && f != 8) return false;
    const int32_t w = image.GetWidth() / f;
    const int32_t h = image.GetHeight() / f;

    const bool created = reduced.Create(w, h, 32);
    vKit::CImageInfo info = image.Info();
    info.SetWidth(w);
    info.SetHeight(h);
    info.SetImageBytes(reduced.Info().GetImageBytes());
    info.SetPixelSizeXmm(info.GetPixelSizeXmm() * f);
    info.SetPixelSizeYmm(info.GetPixelSizeYmm() * f);

    if (created && !image.IsEmpty())
    {
        if (kernel == Kernel::Fast)
            ReduceFastRows(image.GetData(), image.GetWidth(), reduced.GetData(), w, h, f);
        else
        {
            std::vector<uint32_t> rowSums(static_cast<size_t>(w));
            Reduce2DRows(image.GetData(), image.GetWidth(), reduced.GetData(), w, h, f, rowSums.data());
        }
    }
    reduced.SetInfo(info);
    // The reduced samples take the place of the old ones; nothing is copied.
    image.Swap(reduced);
    return true;
}

} // namespace

bool ReduceFast(vKit::CImageBuffer16& image, int32_t f, vKit::CImageBuffer16& scratch)
{
    return Reduce(image, f, Kernel::Fast, scratch);
}

bool Reduce2D(vKit::CImageBuffer16& image, int32_t f, vKit::CImageBuffer16& scratch)
{
    return Reduce(image, f, Kernel::Box, scratch);
}

bool ReduceFast(vKit::CImageBuffer16& image, int32_t f)
{
    vKit::CImageBuffer16 scratch;
    return ReduceFast(image, f, scratch);
}

bool Reduce2D(vKit::CImageBuffer16& image, int32_t f)
{
    vKit::CImageBuffer16 scratch;
    return Reduce2D(image, f, scratch);
}

} // namespace kavex
