// How many images a run works on at a time: threads and look-ahead shrink for large slices.

#include "engine/MemoryBudget.h"
#include "Base/platform/Platform.h"
#include "engine/DatasetConversion.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

constexpr int64_t MiB = int64_t(1) << 20;
constexpr int64_t Huge = int64_t(16384) * 16384; // pixels of a 16384 x 16384 slice

TEST(MemoryBudget, LanesShrinkToTheBudgetNeverBelowOne)
{
    // Samples, file and scratch of one slice: 4 bytes a pixel from JPEG to TIFF, 9 for a JPEG
    // reduced by 4 with averaging.
    const int64_t slice = kavex::ImageWorkBytes(Huge, "jpg", "tif", 1, 1);
    ASSERT_EQ(slice, 4 * Huge);
    ASSERT_EQ(kavex::ImageWorkBytes(Huge, "jpg", "jpg", 4, 3), 9 * Huge);
    struct SCase
    {
        int64_t bytes;
        int32_t threads;
        int64_t budget;
        int32_t lanes, lookAhead;
    };
    for (const SCase& c :
         {SCase{slice, 8, 2500 * MiB, 2, 4}, SCase{slice, 8, 6 * 1024 * MiB, 6, 12},
          SCase{slice, 2, 100 * 1024 * MiB, 2, 4}, SCase{slice, 8, 100 * MiB, 1, 0},
          SCase{slice, 64, 0, 1, 0}, SCase{0, 4, 1, 4, 8}, SCase{64 * MiB, 0, 1024 * MiB, 1, 0}})
    {
        const kavex::CLanePlan plan = kavex::PlanLanes(c.bytes, c.threads, c.budget);
        EXPECT_EQ(plan.lanes, c.lanes) << c.threads << " threads, budget " << c.budget;
        EXPECT_EQ(plan.lookAhead, c.lookAhead) << c.threads << " threads, budget " << c.budget;
    }
}

TEST(MemoryBudget, DefaultIsAQuarterOfMemoryOrTheEnvironment)
{
    const int64_t quarter = std::min(vKit::PlatformPhysicalMemory() / 4, 2048 * MiB);
    ASSERT_GT(quarter, 0);
    unsetenv("KAVEX_MEMORY_MB");
    EXPECT_EQ(kavex::DefaultMemoryBudget(), quarter);
    setenv("KAVEX_MEMORY_MB", "300", 1);
    EXPECT_EQ(kavex::DefaultMemoryBudget(), 300 * MiB);
    setenv("KAVEX_MEMORY_MB", "0", 1);
    EXPECT_EQ(kavex::DefaultMemoryBudget(), quarter);
    unsetenv("KAVEX_MEMORY_MB");

    // The job reckons its run from the slice size its caller gives it.
    CDatasetConversion job;
    job.SetThreads(8);
    job.SetMemoryBudget(2048 * MiB);
    EXPECT_EQ(job.GetLanePlan().lanes, 8);
    job.SetSourceSliceSize(16384, 16384);
    EXPECT_EQ(job.GetLanePlan().lanes, 2);
}

} // namespace
