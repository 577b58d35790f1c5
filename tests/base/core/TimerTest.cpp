#include "Base/core/Timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(Timer, NeverStartedReadsZeroAndStopFreezesTime)
{
    vKit::CTimer t;
    EXPECT_EQ(t.GetElapsedMilliseconds(), 0);
    t.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    t.Stop();
    const int64_t ms = t.GetElapsedMilliseconds();
    EXPECT_GE(ms, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(t.GetElapsedMilliseconds(), ms);
}
