#include "Base/threads/Thread.h"
#include "Base/threads/FileThread.h"
#include "base/SettingsTestDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace
{

using Clock = std::chrono::steady_clock;

int64_t MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

bool WaitUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 2500 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return done();
}

// Loops like a worker, waiting on its event until a stop is requested; a busy one ignores stop
// requests until the test lets it go, and throws when told to.
class CWorker : public vKit::CBaseThread
{
public:
    explicit CWorker(bool busy = false) : m_bBusy(busy) {}
    ~CWorker() override
    {
        m_bGo = true;
        Stop(-1);
        WaitForEnd(-1);
    }
    void ThreadMain() override
    {
        ++m_nRuns;
        while (m_bBusy && !m_bGo)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (m_bThrow) throw std::runtime_error("failed");
        while (!m_bBusy && !IsStopRequested())
            m_Event.Wait(10000);
    }
    const bool m_bBusy;
    std::atomic<int32_t> m_nRuns{0};
    std::atomic<bool> m_bGo{false}, m_bThrow{false};
};

} // namespace

// A worker that ignores the stop request keeps a timed stop waiting no longer than asked; one
// that throws ends its loop as if asked to stop, without counting as finished.
TEST(BaseThread, BusyWorkerTimesOutAndAThrowingOneEndsAsAStopRequest)
{
    CWorker busy(true), throwing(true);
    ASSERT_TRUE(busy.CreateThread(false));
    ASSERT_TRUE(WaitUntil([&] { return busy.m_nRuns == 1; }));
    EXPECT_EQ(busy.Stop(1), -1);
    EXPECT_FALSE(busy.IsFinished());
    busy.m_bGo = true;
    EXPECT_EQ(busy.Stop(-1), 0);
    EXPECT_TRUE(busy.IsFinished());

    throwing.m_bThrow = true;
    throwing.m_bGo = true;
    ASSERT_TRUE(throwing.CreateThread(false));
    EXPECT_EQ(throwing.Stop(0), 0);
    EXPECT_TRUE(throwing.IsStopRequested());
    EXPECT_FALSE(throwing.IsFinished());
}

// A stop requested before the new thread reached its loop must not be forgotten, neither the
// stop of a thread never resumed; a new start clears the old request, and a stop wakes the loop
// waiting on its event.
TEST(BaseThread, StopIsNotLostRightAfterTheStartAndWakesAnIdleWorker)
{
    for (int i = 0; i < 30; ++i)
    {
        CWorker thread;
        ASSERT_TRUE(thread.CreateThread(false));
        const auto start = Clock::now();
        EXPECT_EQ(thread.Stop(-1), 0);
        EXPECT_LT(MillisecondsSince(start), 2000) << "round " << i;
    }
    CWorker thread;
    ASSERT_TRUE(thread.CreateThread(true));
    EXPECT_FALSE(thread.CreateThread(true)) << "one thread at a time";
    EXPECT_EQ(thread.Stop(0), 0);
    EXPECT_EQ(thread.m_nRuns, 0);
    ASSERT_TRUE(thread.CreateThread(true));
    thread.ResumeThread();
    ASSERT_TRUE(WaitUntil([&] { return thread.m_nRuns == 1; }));
    EXPECT_FALSE(thread.IsStopRequested());
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // let it settle in its wait
    const auto start = Clock::now();
    EXPECT_EQ(thread.Stop(0), 0);
    EXPECT_LT(MillisecondsSince(start), 2000);
    EXPECT_TRUE(thread.WaitForEnd(2000));
    EXPECT_FALSE(thread.HasThread());
    EXPECT_EQ(thread.Stop(5000), 0) << "a finished loop stops at once";
}

TEST(FileThread, QueuedWritesAndReadsArePerformed)
{
    CSettingsTestDir dir;
    vKit::CFileThread worker;
    ASSERT_TRUE(worker.CreateThread(false));
    const std::string kept = dir.Path() + "/kept.bin", released = dir.Path() + "/released.bin";
    const int32_t write = worker.QueueWrite(kept, "hello", 5, false);
    vKit::CBuffer source;
    ASSERT_TRUE(source.AppendText("world!"));
    const int32_t write2 = worker.QueueWrite(released, source, true);
    ASSERT_GE(std::min(write, write2), 0);
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
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(got->GetData()), size_t(got->GetUsed())), "hello");
    std::unique_ptr<vKit::CFileBuffer> none = worker.TakeSlot(missing);
    ASSERT_TRUE(none) << "a failed job is done too";
    EXPECT_FALSE(none->IsLoaded());

    worker.ReleaseSlot(write);
    EXPECT_FALSE(worker.HasDone() || worker.HasPending());
    EXPECT_EQ(worker.Stop(0), 0);
    EXPECT_EQ(worker.QueueRead(kept), -1) << "nothing is queued after a stop";
}
