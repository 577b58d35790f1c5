#include "Base/Timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(Timer, NeverStartedReadsZeroAndStopFreezesTime)
{
    vKit::CTimer t;
    EXPECT_EQ(t.GetFrequency(), 1000000000);
    EXPECT_EQ(t.GetElapsedCount(), 0);
    t.Stop();
    EXPECT_FALSE(t.IsStopped());

    t.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    t.Stop();
    const int64_t ms = t.GetElapsedMilliseconds();
    EXPECT_GE(ms, 20);
    EXPECT_LT(ms, 5000);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(t.GetElapsedMilliseconds(), ms);
    EXPECT_EQ(t.GetElapsedCount(), t.GetStopCount() - t.GetStartCount());

    // A copy carries the start, so times count from the original's start.
    vKit::CTimer copy = t;
    EXPECT_EQ(copy.GetElapsedCount(), t.GetElapsedCount());
    t.Reset();
    EXPECT_EQ(t.GetElapsedCount(), 0);
    EXPECT_FALSE(t.IsStarted());
}
