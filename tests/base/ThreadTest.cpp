#include "Base/Thread.h"
#include "Base/FileThread.h"
#include "SettingsTestDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

namespace
{

using Clock = std::chrono::steady_clock;

int64_t MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

bool WaitUntil(const std::function<bool()>& done, int32_t timeoutMs = 5000)
{
    const auto start = Clock::now();
    while (!done())
    {
        if (MillisecondsSince(start) > timeoutMs) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Loops like a worker: waits on its event until a stop is requested.
class CIdleThread : public vKit::CBaseThread
{
public:
    ~CIdleThread() override
    {
        Stop(-1);
        WaitForEnd(-1);
    }
    void ThreadMain() override
    {
        ++m_nRuns;
        while (!IsStopRequested())
            m_Event.Wait(10000);
    }
    std::atomic<int32_t> m_nRuns{0};
};

// Ignores stop requests until the test lets it go, or throws when told to.
class CBusyThread : public vKit::CBaseThread
{
public:
    ~CBusyThread() override
    {
        m_bGo = true;
        Stop(-1);
        WaitForEnd(-1);
    }
    void ThreadMain() override
    {
        m_bEntered = true;
        while (!m_bGo)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (m_bThrow) throw std::runtime_error("failed");
    }
    std::atomic<bool> m_bEntered{false};
    std::atomic<bool> m_bGo{false};
    std::atomic<bool> m_bThrow{false};
};

} // namespace

TEST(BaseThread, StopOnAnIdleWorkerReturnsPromptlyAndAgainAtOnce)
{
    CIdleThread thread;
    ASSERT_TRUE(thread.CreateThread(true));
    thread.ResumeThread();
    ASSERT_TRUE(WaitUntil([&] { return thread.m_nRuns == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // let it settle in its wait

    const auto start = Clock::now();
    EXPECT_EQ(thread.Stop(0), 0);
    EXPECT_LT(MillisecondsSince(start), 2000);
    EXPECT_TRUE(thread.IsFinished());
    EXPECT_TRUE(thread.WaitForEnd(2000));
    EXPECT_FALSE(thread.HasThread());
    EXPECT_EQ(thread.Stop(5000), 0) << "a finished loop stops at once";
}

TEST(BaseThread, StopWithTimeoutOnABusyWorkerReturnsMinusOne)
{
    CBusyThread thread;
    ASSERT_TRUE(thread.CreateThread(false));
    ASSERT_TRUE(WaitUntil([&] { return thread.m_bEntered.load(); }));
    EXPECT_EQ(thread.Stop(1), -1);
    EXPECT_TRUE(thread.IsStopRequested());
    EXPECT_FALSE(thread.IsFinished());
    thread.m_bGo = true;
    EXPECT_EQ(thread.Stop(-1), 0);
    EXPECT_TRUE(thread.IsFinished());
}

TEST(BaseThread, AnExceptionEndsTheLoopAsAStopRequest)
{
    CBusyThread thread;
    thread.m_bThrow = true;
    thread.m_bGo = true;
    ASSERT_TRUE(thread.CreateThread(false));
    EXPECT_EQ(thread.Stop(0), 0);
    EXPECT_TRUE(thread.IsStopRequested());
    EXPECT_FALSE(thread.IsFinished());
}

// A stop requested before the new thread reached its loop must not be forgotten.
TEST(BaseThread, StopRightAfterTheStartIsNotLost)
{
    for (int i = 0; i < 30; ++i)
    {
        CIdleThread thread;
        ASSERT_TRUE(thread.CreateThread(false));
        const auto start = Clock::now();
        EXPECT_EQ(thread.Stop(-1), 0);
        EXPECT_LT(MillisecondsSince(start), 2000) << "round " << i;
    }
}

TEST(BaseThread, AThreadNeverResumedStopsWithoutRunningAndCanBeCreatedAgain)
{
    CIdleThread thread;
    ASSERT_TRUE(thread.CreateThread(true));
    EXPECT_FALSE(thread.CreateThread(true)) << "one thread at a time";
    EXPECT_EQ(thread.Stop(0), 0);
    EXPECT_EQ(thread.m_nRuns, 0);

    ASSERT_TRUE(thread.CreateThread(false));
    ASSERT_TRUE(WaitUntil([&] { return thread.m_nRuns == 1; }));
    EXPECT_FALSE(thread.IsStopRequested()) << "a new start clears the old request";
    EXPECT_EQ(thread.Stop(-1), 0);
}

namespace
{

class CInspectableFileThread : public vKit::CFileThread
{
public:
    void SetCurrent(int32_t n) { m_nCurrent = n; }
    void Fill(int32_t slot, bool done)
    {
        m_Slots[slot] = std::make_unique<vKit::CFileBuffer>();
        m_Slots[slot]->SetFile("/nonexistent");
        m_Slots[slot]->SetDone(done);
    }
};

struct CRunningWorker
{
    CRunningWorker() { worker.CreateThread(false); }
    vKit::CFileThread worker;
};

} // namespace

TEST(FileThread, QueuedWritesAndReadsArePerformed)
{
    CSettingsTestDir dir;
    CRunningWorker run;
    vKit::CFileThread& worker = run.worker;
    const std::string kept = dir.Path() + "/kept.bin";
    const std::string released = dir.Path() + "/released.bin";

    const int32_t write = worker.QueueWrite(kept, "hello", 5, false);
    ASSERT_GE(write, 0);
    vKit::CBuffer source;
    ASSERT_TRUE(source.AppendText("world!"));
    const int32_t write2 = worker.QueueWrite(released, source, true);
    ASSERT_GE(write2, 0);
    EXPECT_NE(write, write2);

    ASSERT_TRUE(WaitUntil([&] { return worker.IsSlotDone(write) && worker.IsSlotDone(write2); }));
    EXPECT_EQ(CSettingsTestDir::Read(kept), "hello");
    EXPECT_EQ(worker.DoneCount(), 1) << "the released job is gone, the kept one waits for its owner";
    ASSERT_TRUE(WaitUntil([&] { return vKit::FileExists(released); }));
    EXPECT_EQ(CSettingsTestDir::Read(released), "world!");

    const int32_t read = worker.QueueRead(kept);
    const int32_t missing = worker.QueueRead(dir.Path() + "/missing.bin");
    ASSERT_TRUE(WaitUntil([&] { return worker.IsSlotDone(read) && worker.IsSlotDone(missing); }));
    std::unique_ptr<vKit::CFileBuffer> got = worker.TakeSlot(read);
    ASSERT_TRUE(got);
    ASSERT_EQ(got->GetUsed(), 5);
    EXPECT_EQ(std::memcmp(got->GetData(), "hello", 5), 0);
    std::unique_ptr<vKit::CFileBuffer> none = worker.TakeSlot(missing);
    ASSERT_TRUE(none) << "a failed job is done too";
    EXPECT_FALSE(none->IsLoaded());

    worker.ReleaseSlot(write);
    EXPECT_FALSE(worker.HasDone());
    EXPECT_FALSE(worker.HasPending());
    EXPECT_EQ(worker.Stop(0), 0);
    EXPECT_EQ(worker.QueueRead(kept), -1) << "nothing is queued after a stop";
}

TEST(FileThread, FindFreeSlotSearchesDownFromTheCurrentSlot)
{
    CInspectableFileThread worker;
    worker.SetCurrent(5);
    worker.Fill(3, false);
    EXPECT_EQ(worker.FindFreeSlot(), 5);
    for (int32_t i = 0; i <= 5; ++i)
        worker.Fill(i, false);
    EXPECT_EQ(worker.FindFreeSlot(), 199);
    EXPECT_EQ(worker.AcquireSlot(), 199);
    EXPECT_EQ(worker.FindFreeSlot(), 198) << "an acquired slot is taken";
    EXPECT_EQ(worker.PendingCount(), 6) << "an empty reserved slot is no job";
}

TEST(FileThread, SetSlotCountClearsTheJobsAndLimitsTheCounters)
{
    CInspectableFileThread worker;
    worker.Fill(5, false);
    worker.Fill(50, true);
    EXPECT_EQ(worker.PendingCount(), 1);
    EXPECT_EQ(worker.DoneCount(), 1);

    worker.SetSlotCount(0);
    EXPECT_EQ(worker.GetSlotCount(), 200);
    EXPECT_EQ(worker.PendingCount() + worker.DoneCount(), 0);

    worker.SetCurrent(150);
    worker.SetSlotCount(10);
    EXPECT_EQ(worker.GetSlotCount(), 10);
    EXPECT_EQ(worker.GetCurrentSlot(), 0) << "the worker stays within the slots in use";
    worker.Fill(5, false);
    worker.Fill(50, true);
    EXPECT_EQ(worker.PendingCount(), 1);
    EXPECT_EQ(worker.DoneCount(), 0);
    EXPECT_EQ(worker.FindFreeSlot(), 0);
    worker.Fill(0, false);
    EXPECT_EQ(worker.FindFreeSlot(), 9);

    worker.SetSlotCount(200);
    EXPECT_EQ(worker.GetSlotCount(), 200) << "the full count can be had back";
    EXPECT_EQ(worker.PendingCount(), 0);
}

TEST(FileThread, AcquireSlotWaitsForTheWorkerAndGivesUpWhenAllSlotsAreDone)
{
    CSettingsTestDir dir;
    CRunningWorker run;
    vKit::CFileThread& worker = run.worker;
    worker.SetSlotCount(2);
    const int32_t a = worker.QueueWrite(dir.Path() + "/a", "a", 1, false);
    const int32_t b = worker.QueueWrite(dir.Path() + "/b", "b", 1, false);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    ASSERT_TRUE(WaitUntil([&] { return worker.DoneCount() == 2; }));
    const auto start = Clock::now();
    EXPECT_EQ(worker.QueueWrite(dir.Path() + "/c", "c", 1, false), -1);
    EXPECT_LT(MillisecondsSince(start), 400) << "nothing will free a slot: no waiting";

    // With a job still to do, the queue waits until the worker released it.
    worker.ClearSlots();
    worker.SetSlotCount(1);
    ASSERT_GE(worker.QueueWrite(dir.Path() + "/d", "d", 1, true), 0);
    ASSERT_GE(worker.QueueWrite(dir.Path() + "/e", "e", 1, true), 0);
    ASSERT_TRUE(WaitUntil([&] { return vKit::FileExists(dir.Path() + "/e"); }));
    EXPECT_EQ(CSettingsTestDir::Read(dir.Path() + "/d"), "d");
}

TEST(FileThread, OwnersOnSeveralThreadsQueueWithoutLosingAJob)
{
    CSettingsTestDir dir;
    CRunningWorker run;
    const int kPerOwner = 40;
    std::atomic<int32_t> refused{0};
    auto owner = [&](int id)
    {
        for (int i = 0; i < kPerOwner; ++i)
        {
            const std::string text = std::to_string(id * 1000 + i);
            if (run.worker.QueueWrite(dir.Path() + "/f" + text, text.data(), int64_t(text.size()), true) < 0)
                ++refused;
        }
    };
    std::thread first(owner, 1), second(owner, 2);
    first.join();
    second.join();
    EXPECT_EQ(refused, 0);
    ASSERT_TRUE(WaitUntil([&] { return !run.worker.HasPending(); }));
    for (int id = 1; id <= 2; ++id)
    {
        for (int i = 0; i < kPerOwner; ++i)
        {
            const std::string text = std::to_string(id * 1000 + i);
            EXPECT_EQ(CSettingsTestDir::Read(dir.Path() + "/f" + text), text);
        }
    }
}
