#include "Base/threads/Thread.h"

#include <chrono>
#include <system_error>

namespace vKit
{

void CAutoResetEvent::Set()
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_bSignalled = true;
    }
    m_cv.notify_one();
}

void CAutoResetEvent::Reset()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_bSignalled = false;
}

bool CAutoResetEvent::Wait(int32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (timeoutMs < 0)
        m_cv.wait(lock, [this] { return m_bSignalled; });
    else if (!m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_bSignalled; }))
        return false;
    m_bSignalled = false;
    return true;
}

CBaseThread::~CBaseThread()
{
    Stop(-1);
    WaitForEnd(-1);
}

bool CBaseThread::WaitForEnd(int32_t timeoutMs)
{
    std::unique_lock<std::mutex> state(m_stateMutex);
    if (!m_thread.joinable()) return true;
    if (timeoutMs < 0)
        m_stateCv.wait(state, [this] { return m_bEnded; });
    else if (!m_stateCv.wait_for(state, std::chrono::milliseconds(timeoutMs), [this] { return m_bEnded; }))
        return false;
    // Past m_bEnded the thread touches nothing of the object: the join is immediate.
    m_thread.join();
    return true;
}

bool CBaseThread::CreateThread(bool suspended)
{
    std::lock_guard<std::mutex> state(m_stateMutex);
    if (m_thread.joinable())
    {
        if (!m_bEnded) return false;
        m_thread.join();
    }
    {
        std::lock_guard<std::recursive_mutex> guard(m_Lock);
        // Cleared here, before the thread exists, rather than when the loop starts: a stop
        // requested right after the start must not be lost.
        m_bStopRequested = 0;
        m_bFinished = 0;
    }
    m_bResumed = !suspended;
    m_bEnded = false;
    m_bAbandoned = false;
    try
    {
        m_thread = std::thread(&CBaseThread::ThreadProc, this);
    }
    catch (const std::system_error&)
    {
        m_bEnded = true;
        return false;
    }
    return true;
}

void CBaseThread::ResumeThread()
{
    {
        std::lock_guard<std::mutex> state(m_stateMutex);
        m_bResumed = true;
    }
    m_stateCv.notify_all();
}

bool CBaseThread::HasThread() const
{
    std::lock_guard<std::mutex> state(m_stateMutex);
    return m_thread.joinable() && !m_bEnded;
}

void CBaseThread::ThreadProc()
{
    bool run = false;
    {
        std::unique_lock<std::mutex> state(m_stateMutex);
        m_stateCv.wait(state, [this] { return m_bResumed || m_bAbandoned; });
        run = !m_bAbandoned;
    }
    if (run && InitInstance())
    {
        Run();
        ExitInstance();
    }
    {
        std::lock_guard<std::mutex> state(m_stateMutex);
        m_bEnded = true;
    }
    m_stateCv.notify_all();
}

int32_t CBaseThread::Run()
{
    m_Event.Set();
    try
    {
        ThreadMain();
        std::lock_guard<std::recursive_mutex> guard(m_Lock);
        m_bFinished = 1;
    }
    catch (...)
    {
        std::lock_guard<std::recursive_mutex> guard(m_Lock);
        m_bStopRequested = 1;
    }
    return 0;
}

void CBaseThread::RequestStop()
{
    {
        std::lock_guard<std::recursive_mutex> guard(m_Lock);
        m_bStopRequested = 1;
    }
    m_Event.Set();
}

bool CBaseThread::IsStopRequested() const
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    return m_bStopRequested != 0;
}

bool CBaseThread::IsFinished() const
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    return m_bFinished != 0;
}

int8_t CBaseThread::Stop(int32_t timeoutMs)
{
    if (IsFinished()) return 0;
    RequestStop();
    std::unique_lock<std::mutex> state(m_stateMutex);
    if (!m_thread.joinable()) return 0;
    if (!m_bResumed)
    {
        // A thread that never ran has nothing to finish: let it end without running.
        m_bAbandoned = true;
        m_stateCv.notify_all();
    }
    if (timeoutMs <= 0)
        m_stateCv.wait(state, [this] { return m_bEnded; });
    else if (!m_stateCv.wait_for(state, std::chrono::milliseconds(timeoutMs), [this] { return m_bEnded; }))
        return -1;
    return 0;
}

} // namespace vKit
