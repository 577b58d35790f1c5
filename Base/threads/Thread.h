#pragma once
// Worker threads with a cooperative stop protocol.
//
// CBaseThread runs ThreadMain on a thread of its own. The thread is created suspended and starts
// working when resumed. RequestStop sets a flag that ThreadMain polls and wakes the thread through
// its auto-reset event; Stop requests the stop and waits for the thread's end. Derived classes
// keep their fields under m_Lock and call Stop(-1) and WaitForEnd() in their destructor, so that
// the thread has left every virtual function before their part of the object goes away.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace vKit
{

// An event that, once set, releases one wait and then clears itself.
class CAutoResetEvent
{
public:
    void Set();
    void Reset();
    // Waits until the event is set (timeoutMs < 0: without limit); true when it was set, and then
    // it is clear again.
    bool Wait(int32_t timeoutMs);

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bSignalled = false;
};

class CBaseThread
{
public:
    CBaseThread() = default;
    CBaseThread(const CBaseThread&) = delete;
    CBaseThread& operator=(const CBaseThread&) = delete;
    // Stop(-1): requests the stop and waits for the thread's end.
    virtual ~CBaseThread();

    // Per-thread initialisation, on the new thread before Run; false ends the thread at once.
    virtual bool InitInstance() { return true; }
    // The thread procedure: signals the event and runs ThreadMain. When ThreadMain returns,
    // the thread is finished; when it throws, the exception ends the loop and counts as a stop
    // request. Returns 0.
    virtual int32_t Run();
    // On the thread after Run.
    virtual int32_t ExitInstance() { return 0; }
    // The work loop; the base class has none.
    virtual void ThreadMain() {}

    // Creates the thread, suspended or running; false when a thread exists already or none could
    // be created. Clears the stop and finished flags first.
    bool CreateThread(bool suspended = true);
    void ResumeThread();
    bool HasThread() const;

    void RequestStop();
    bool IsStopRequested() const;
    bool IsFinished() const;

    // 0 at once when the loop has finished; else requests the stop and waits for the thread's end:
    // without limit for timeoutMs <= 0 (then 0), else at most timeoutMs (-1 when it timed out).
    int8_t Stop(int32_t timeoutMs = -1);
    // Waits for the thread's end (timeoutMs < 0: without limit) without asking it to stop; true
    // when no thread runs any more. Unlike Stop, a finished loop still counts as running until
    // the thread has left ExitInstance.
    bool WaitForEnd(int32_t timeoutMs = -1);

protected:
    mutable std::recursive_mutex m_Lock;
    CAutoResetEvent m_Event;

private:
    void ThreadProc();

    int32_t m_bStopRequested = 0;
    int32_t m_bFinished = 0;

    // The thread's life, guarded by m_stateMutex.
    mutable std::mutex m_stateMutex;
    std::condition_variable m_stateCv;
    bool m_bResumed = false;
    bool m_bEnded = false;
    bool m_bAbandoned = false; // destroyed or stopped before it was resumed: the thread runs nothing
    std::thread m_thread;
};

} // namespace vKit
