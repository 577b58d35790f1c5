// Reduction throughput on a 2048 x 2048 image: megapixels of source per second for the fast,
// 2D and 3D modes by 2 and by 8. The 3D figure is per group member (reduce + accumulate).

#include "Base/ImageBuffer32.h"
#include "engine/Reduce.h"

#include <chrono>
#include <cstdio>

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

} // namespace

int main()
{
    const vKit::CImageBuffer16 source = MakeSource();
    std::printf("%-6s %8s %12s\n", "mode", "factor", "Mpixel/s");
    for (int32_t f : {2, 8})
    {
        const double fast = MegapixelsPerSecond([&] {
            vKit::CImageBuffer16 image = source;
            kavex::ReduceFast(image, f);
        });
        const double box = MegapixelsPerSecond([&] {
            vKit::CImageBuffer16 image = source;
            kavex::Reduce2D(image, f);
        });
        // One member of a 3D group: 2D reduction, then added into the accumulator.
        vKit::CImageBuffer16 first = source;
        kavex::Reduce2D(first, f);
        vKit::CImageBuffer32 sum;
        sum.FromImage16(&first);
        const double avg3d = MegapixelsPerSecond([&] {
            vKit::CImageBuffer16 image = source;
            kavex::Reduce2D(image, f);
            sum.AddScaled(&image, f);
        });
        std::printf("%-6s %8d %12.0f\n%-6s %8d %12.0f\n%-6s %8d %12.0f\n", "fast", f, fast, "2d", f, box, "3d", f,
                    avg3d);
    }
    std::puts("(each figure includes copying the 8 MiB source image, as a load would produce it)");
    return 0;
}
