#include "engine/MemoryBudget.h"

#include "Base/core/Strings.h"
#include "Base/platform/Platform.h"
#include "engine/SliceRunner.h"

#include <algorithm>
#include <cstdlib>

namespace kavex
{

int64_t ImageWorkBytes(int64_t pixels, const std::string& sourceExtension,
                       const std::string& destinationExtension, int32_t resizeFactor, int32_t resizeQuality)
{
    // Large file bytes are let go after each file, so reading and writing do not add up.
    const int64_t read = vKit::LowerAscii(sourceExtension) == "tif" ? 2 : 1;
    const int64_t written = vKit::LowerAscii(destinationExtension) == "tif" ? 2 : 1;
    int64_t perPixel = 2 + std::max(read, written);
    if (resizeFactor == 2 || resizeFactor == 4 || resizeFactor == 8)
    {
        perPixel += 2; // the samples a reduction is built from
        // Another member of the group, the members kept reduced and the accumulator.
        if (resizeQuality == 3) perPixel += 4;
    }
    return std::max<int64_t>(pixels, 0) * perPixel;
}

CLanePlan PlanLanes(int64_t bytesPerImage, int32_t threads, int64_t budget)
{
    CLanePlan plan;
    plan.lanes = std::max(threads, 1);
    if (bytesPerImage > 0) plan.lanes = int32_t(std::clamp<int64_t>(budget / bytesPerImage, 1, plan.lanes));
    plan.lookAhead = plan.lanes > 1 ? CSliceRunner::DefaultLookAhead(plan.lanes - 1) : 0;
    return plan;
}

int64_t DefaultMemoryBudget()
{
    constexpr int64_t MiB = int64_t(1) << 20;
    if (const int64_t mb = PositiveEnvNumber("KAVEX_MEMORY_MB"); mb > 0 && mb < (INT64_MAX / MiB))
        return mb * MiB;
    // A quarter of the machine, but no more than 2 GiB: beyond that only very large slices gain,
    // and a run should leave a shared server's memory to its other users.
    constexpr int64_t Cap = 2048 * MiB;
    const int64_t physical = vKit::PlatformPhysicalMemory();
    return physical > 0 ? std::min(physical / 4, Cap) : 1024 * MiB;
}

int64_t PositiveEnvNumber(const char* name)
{
    std::string text;
    if (!vKit::PlatformGetEnv(name, text)) return 0;
    char* end = nullptr;
    const long long n = std::strtoll(text.c_str(), &end, 10);
    return end != text.c_str() && *end == '\0' && n >= 1 ? int64_t(n) : 0;
}

} // namespace kavex
