#include "Base/threads/WorkQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using vKit::CWorkQueue;

namespace
{

using namespace std::chrono_literals;

// Spins (politely) until the flag is set; false after a generous limit, so a broken queue
// fails the test instead of hanging it.
bool Await(const std::atomic<bool>& flag)
{
    for (int i = 0; i < 20000 && !flag.load(); ++i)
        std::this_thread::sleep_for(1ms);
    return flag.load();
}

// Every job running once, on a lane in range, and seen after Wait is checked end to end by the
// engine's conversions (a Wait that returns early or a lane out of range breaks them).

// The job waited for is held up on the helper until a later job has run: only a consumer that
// takes queued work while it waits gets out of this.
TEST(WorkQueueThread, WaitingConsumerRunsQueuedJobsMeanwhile)
{
    CWorkQueue queue(1);
    std::atomic<bool> firstStarted{false}, secondDone{false};
    std::atomic<int32_t> secondLane{-1};
    const uint64_t first = queue.Post(
        [&](int32_t)
        {
            firstStarted = true;
            Await(secondDone);
        });
    ASSERT_TRUE(Await(firstStarted));
    const uint64_t second = queue.Post(
        [&](int32_t lane)
        {
            secondLane = lane;
            secondDone = true;
        });
    EXPECT_TRUE(queue.Wait(first));
    EXPECT_TRUE(secondDone.load());
    EXPECT_EQ(secondLane.load(), 0);
    EXPECT_TRUE(queue.Wait(second));
}

// The running job outlasts the posting of the later ones by far, so they are still queued when
// Abandon drops them.
TEST(WorkQueueThread, AbandonDropsQueuedJobsAndWaitsForTheRunningOne)
{
    CWorkQueue queue(1);
    std::atomic<bool> started{false}, ended{false};
    std::atomic<int> laterRuns{0};
    const uint64_t running = queue.Post(
        [&](int32_t)
        {
            started = true;
            std::this_thread::sleep_for(200ms);
            ended = true;
        });
    ASSERT_TRUE(Await(started));
    uint64_t queued = 0;
    for (int i = 0; i < 5; ++i)
        queued = queue.Post([&](int32_t) { ++laterRuns; });
    queue.Abandon();
    EXPECT_TRUE(ended.load());
    EXPECT_EQ(laterRuns.load(), 0);
    EXPECT_FALSE(queue.Wait(running));
    EXPECT_FALSE(queue.Wait(queued));

    bool after = false;
    EXPECT_TRUE(queue.Wait(queue.Post([&](int32_t) { after = true; })));
    EXPECT_TRUE(after);
}

} // namespace
