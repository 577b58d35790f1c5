#include "Base/threads/WorkQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

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

// Each job writes its own plain slot; what Wait returns for must be visible to the consumer.
// Without helpers, jobs run only inside Wait, on the consumer.
TEST(WorkQueueThread, EveryJobRunsOnceAndItsResultIsVisibleAfterWait)
{
    constexpr int Jobs = 300;
    for (int32_t helpers : {0, 3})
    {
        CWorkQueue queue(helpers);
        std::vector<int64_t> results(Jobs, -1);
        std::vector<int32_t> lanes(Jobs, -1);
        std::vector<std::thread::id> threads(Jobs);
        std::atomic<int> runs{0};
        std::vector<uint64_t> tickets;
        for (int i = 0; i < Jobs; ++i)
            tickets.push_back(queue.Post(
                [&, i](int32_t lane)
                {
                    int64_t sum = 0;
                    for (int k = 0; k <= i * 50; ++k)
                        sum += k;
                    results[size_t(i)] = sum;
                    lanes[size_t(i)] = lane;
                    threads[size_t(i)] = std::this_thread::get_id();
                    ++runs;
                }));
        EXPECT_TRUE(helpers > 0 || runs == 0);
        for (int i = 0; i < Jobs; ++i)
        {
            ASSERT_TRUE(queue.Wait(tickets[size_t(i)]));
            const int64_t n = int64_t(i) * 50;
            EXPECT_EQ(results[size_t(i)], n * (n + 1) / 2);
            EXPECT_TRUE(lanes[size_t(i)] >= 0 && lanes[size_t(i)] < queue.GetLanes());
            EXPECT_TRUE(helpers > 0 || (runs == i + 1 && threads[size_t(i)] == std::this_thread::get_id()));
        }
        EXPECT_EQ(runs.load(), Jobs);
        EXPECT_EQ(queue.GetLanes(), helpers + 1);
        EXPECT_FALSE(queue.Wait(tickets[0])); // a ticket is waited for once
    }
}

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

TEST(WorkQueueThread, AbandonDropsQueuedJobsAndWaitsForTheRunningOne)
{
    CWorkQueue queue(1);
    std::atomic<bool> started{false}, release{false}, ended{false};
    std::atomic<int> laterRuns{0};
    const uint64_t running = queue.Post(
        [&](int32_t)
        {
            started = true;
            Await(release);
            std::this_thread::sleep_for(20ms);
            ended = true;
        });
    ASSERT_TRUE(Await(started));
    std::vector<uint64_t> queued;
    for (int i = 0; i < 5; ++i)
        queued.push_back(queue.Post([&](int32_t) { ++laterRuns; }));
    std::thread releaser(
        [&]
        {
            std::this_thread::sleep_for(30ms);
            release = true;
        });
    queue.Abandon();
    releaser.join();
    EXPECT_TRUE(ended.load());
    EXPECT_EQ(laterRuns.load(), 0);
    EXPECT_FALSE(queue.Wait(running));
    EXPECT_FALSE(queue.Wait(queued.back()));

    bool after = false;
    EXPECT_TRUE(queue.Wait(queue.Post([&](int32_t) { after = true; })));
    EXPECT_TRUE(after);
}

} // namespace
