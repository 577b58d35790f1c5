#include "Base/core/Timer.h"

#include <chrono>

namespace vKit
{

namespace
{
constexpr int64_t kCountsPerSecond = 1000000000;
static_assert(std::chrono::steady_clock::period::num == 1 &&
                  std::chrono::steady_clock::period::den == kCountsPerSecond,
              "steady_clock is expected to count nanoseconds");
} // namespace

CTimer::CTimer() : m_nFrequency(kCountsPerSecond) {}

int64_t CTimer::Now()
{
    return static_cast<int64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

void CTimer::Start()
{
    m_nStart = Now();
    m_nStop = 0;
    m_bStarted = true;
    m_bStopped = false;
}

void CTimer::Stop()
{
    if (!m_bStarted) return;
    m_nStop = Now();
    m_bStopped = true;
}

void CTimer::Reset()
{
    m_nStart = 0;
    m_nStop = 0;
    m_bStarted = false;
    m_bStopped = false;
}

int64_t CTimer::GetElapsedCount() const
{
    if (!m_bStarted) return 0;
    const int64_t end = m_bStopped ? m_nStop : Now();
    return end - m_nStart;
}

int64_t CTimer::GetElapsedMilliseconds() const
{
    // Split to avoid overflowing count * 1000 for very long runs.
    const int64_t counts = GetElapsedCount();
    return counts / m_nFrequency * 1000 + counts % m_nFrequency * 1000 / m_nFrequency;
}

} // namespace vKit
