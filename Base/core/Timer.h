#pragma once
// Stopwatch on the monotonic high-resolution counter. Counts are nanoseconds of
// std::chrono::steady_clock, so the frequency is 1e9 counts per second.

#include "Base/core/Base.h"

#include <cstdint>

namespace vKit
{

class CTimer : public CBase
{
public:
    CTimer();

    // Current value of the counter, in counts of GetFrequency().
    static int64_t Now();

    virtual int64_t GetFrequency() const { return m_nFrequency; }
    virtual bool IsStarted() const { return m_bStarted; }

    // Start clears an earlier stop; Stop freezes the elapsed time; Reset returns to "never started".
    virtual void Start();
    virtual void Stop();
    virtual void Reset();

    // Counts from the start to the stop (or to now while running); 0 when never started.
    virtual int64_t GetElapsedCount() const;
    // Whole milliseconds: elapsed counts * 1000 / frequency.
    virtual int64_t GetElapsedMilliseconds() const;

private:
    int64_t m_nFrequency;
    int64_t m_nStart = 0;
    int64_t m_nStop = 0;
    bool m_bStarted = false;
    bool m_bStopped = false;
};

} // namespace vKit
