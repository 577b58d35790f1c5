// Reduction throughput on a 2048 x 2048 image, in megapixels of source per second, for the
// fast, 2D and 3D modes by 2 and by 8. Two figures per mode: the kernel alone (source and
// destination rows stay allocated, as in a run that reuses its buffers) and the whole image
// step as the pipeline calls it (a fresh copy of the 8 MiB source, as a load would produce it,
// reduced in place). The 3D figure is per group member: 2D reduction, then added into the
// accumulator.

#include "Base/image/ImageBuffer32.h"
#include "engine/Reduce.h"
#include "engine/ReduceKernels.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace
{

constexpr int32_t kSize = 2048;

vKit::CImageBuffer16 MakeSource()
{
    vKit::CImageBuffer16 image;
    image.Create(kSize, kSize, 32);
    uint32_t state = 12345;
    for (int64_t i = 0; i < image.PixelCount(); ++i)
    {
        state = state * 1664525u + 1013904223u;
        image.GetData()[i] = uint16_t(state >> 16);
    }
    return image;
}

template <typename Step> double MegapixelsPerSecond(Step step)
{
    using Clock = std::chrono::steady_clock;
    int runs = 0;
    const auto start = Clock::now();
    double seconds = 0;
    do
    {
        step();
        ++runs;
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    } while (seconds < 1.0);
    return double(kSize) * kSize * runs / seconds / 1e6;
}

struct SFigures
{
    double kernel = 0;
    double image = 0;
};

void Print(const char* mode, int32_t f, const SFigures& x)
{
    std::printf("%-6s %6d %12.0f %12.0f\n", mode, f, x.kernel, x.image);
}

} // namespace

int main()
{
    const vKit::CImageBuffer16 source = MakeSource();
    std::printf("%-6s %6s %12s %12s\n", "mode", "factor", "kernel Mp/s", "image Mp/s");
    for (int32_t f : {2, 8})
    {
        const int32_t w = kSize / f;
        vKit::CImageBuffer16 reduced;
        reduced.Create(w, w, 32);
        std::vector<uint32_t> sums(size_t(w), 0);
        vKit::CImageBuffer32 sum;
        sum.FromImage16(&reduced);

        SFigures fast, box, avg3d;
        fast.kernel = MegapixelsPerSecond(
            [&] { kavex::ReduceFastRows(source.GetData(), kSize, reduced.GetData(), w, w, f); });
        box.kernel = MegapixelsPerSecond(
            [&] { kavex::Reduce2DRows(source.GetData(), kSize, reduced.GetData(), w, w, f, sums.data()); });
        avg3d.kernel = MegapixelsPerSecond(
            [&]
            {
                kavex::Reduce2DRows(source.GetData(), kSize, reduced.GetData(), w, w, f, sums.data());
                sum.AddScaled(&reduced, f);
            });
        fast.image = MegapixelsPerSecond(
            [&]
            {
                vKit::CImageBuffer16 image = source;
                kavex::ReduceFast(image, f);
            });
        box.image = MegapixelsPerSecond(
            [&]
            {
                vKit::CImageBuffer16 image = source;
                kavex::Reduce2D(image, f);
            });
        avg3d.image = MegapixelsPerSecond(
            [&]
            {
                vKit::CImageBuffer16 image = source;
                kavex::Reduce2D(image, f);
                sum.AddScaled(&image, f);
            });
        Print("fast", f, fast);
        Print("2d", f, box);
        Print("3d", f, avg3d);
    }
    return 0;
}
