#pragma once
// Progress record and progress source. A source keeps one record and hands each subscriber of
// OnProgress its own copy, so a handler may keep or change what it got without touching the source.

#include "Base/core/Event.h"
#include "Base/core/Timer.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace vKit
{

class CProgressInfo
{
public:
    CProgressInfo() = default;
    // A copy starts from the defaults and then takes what assignment copies.
    CProgressInfo(const CProgressInfo& other);
    // Copies position, maximum, the three flags, counter B and the text. Minimum and counter A
    // stay those of the target, so every copy handed to a subscriber shows minimum 0 and counter A 0.
    CProgressInfo& operator=(const CProgressInfo& other);
    virtual ~CProgressInfo() = default;

    virtual int32_t GetPosition() const;
    virtual void SetPosition(int32_t position);
    virtual bool IsStarted() const;
    virtual void SetStarted(bool started);
    virtual bool IsFinished() const;
    virtual void SetFinished(bool finished);
    virtual bool IsCancelled() const;
    virtual void SetCancelled(bool cancelled);
    virtual int32_t GetMaximum() const;
    virtual void SetMaximum(int32_t maximum);
    virtual int32_t GetMinimum() const;
    virtual void SetMinimum(int32_t minimum);
    // Share of the range done, 0 .. 100 for a position inside the range; 0 for an empty range.
    virtual float GetPercent() const;
    virtual int32_t GetCounterA() const;
    virtual void SetCounterA(int32_t value);
    virtual int32_t GetCounterB() const;
    virtual void SetCounterB(int32_t value);
    virtual std::string GetText() const;
    virtual void SetText(const std::string& text);

    // Stopwatch kept with the record for users that time an operation; never copied.
    CTimer& GetTimer() { return m_timer; }
    const CTimer& GetTimer() const { return m_timer; }

private:
    CTimer m_timer;
    mutable std::recursive_mutex m_lock;
    int32_t m_nPosition = 0;
    int32_t m_nMinimum = 0;
    int32_t m_nMaximum = 100;
    int32_t m_bStarted = 0;
    int32_t m_bFinished = 0;
    int32_t m_bCancelled = 0;
    int32_t m_nCounterA = 0;
    int32_t m_nCounterB = 0;
    std::string m_strText;
};

class CProgressBase
{
public:
    using ProgressEvent = CEvent<void, CProgressInfo>;

    CProgressBase() = default;
    // Copies flags and record; subscriptions belong to the original and are not copied.
    CProgressBase(const CProgressBase& other);
    CProgressBase& operator=(const CProgressBase& other);
    virtual ~CProgressBase() = default;

    virtual bool IsNotifying() const { return m_bNotify != 0; }
    virtual void SetNotifying(bool notify) { m_bNotify = notify ? 1 : 0; }
    virtual bool IsEnabled() const { return m_bEnabled != 0; }
    virtual void SetEnabled(bool enabled) { m_bEnabled = enabled ? 1 : 0; }
    // The request may come from any thread; the running operation polls it after each step.
    virtual bool IsCancelRequested() const { return m_bCancelRequested != 0; }
    virtual void SetCancelRequested(bool request) { m_bCancelRequested = request ? 1 : 0; }
    virtual bool IsAborted() const { return m_bAborted != 0; }
    virtual void SetAborted(bool aborted) { m_bAborted = aborted ? 1 : 0; }
    virtual CProgressInfo& GetProgressInfo() { return m_record; }
    virtual const CProgressInfo& GetProgressInfo() const { return m_record; }
    virtual void SetProgressInfo(const CProgressInfo& info) { m_record = info; }

    // Clears the aborted flag and any earlier cancel request, marks the record started over
    // minimum .. maximum at position 0, and raises the event.
    void StartProgress(int32_t minimum, int32_t maximum);
    // Raises OnProgress with a copy of the record per handler, newest subscription first,
    // while notifying is on.
    void FireProgress();
    // Marks the record finished at its maximum and raises; a pending cancel request marks the source aborted.
    void EndProgress();
    // Marks the record cancelled and raises; a pending cancel request marks the source aborted.
    void AbortProgress();

    static float GetPercent(const CProgressInfo& info) { return info.GetPercent(); }
    float GetPercent() const { return m_record.GetPercent(); }

    // Handlers take the record by value: void Handler(vKit::CProgressInfo info).
    ProgressEvent OnProgress;

private:
    std::atomic<int32_t> m_bNotify{1};
    std::atomic<int32_t> m_bEnabled{1};
    std::atomic<int32_t> m_bCancelRequested{0};
    std::atomic<int32_t> m_bAborted{0};
    CProgressInfo m_record;
};

} // namespace vKit
