#include "Base/core/Progress.h"

namespace vKit
{

// ---- CProgressInfo ----------------------------------------------------------------------------

CProgressInfo::CProgressInfo(const CProgressInfo& other) : CProgressInfo()
{
    *this = other;
}

CProgressInfo& CProgressInfo::operator=(const CProgressInfo& other)
{
    if (this == &other) return *this;
    // Read the source under its lock first, then write under ours: never both at once, so two
    // records assigned to each other from two threads cannot deadlock.
    int32_t position, maximum, started, finished, cancelled, counterB;
    std::string text;
    {
        std::lock_guard<std::recursive_mutex> guard(other.m_lock);
        position = other.m_nPosition;
        maximum = other.m_nMaximum;
        started = other.m_bStarted;
        finished = other.m_bFinished;
        cancelled = other.m_bCancelled;
        counterB = other.m_nCounterB;
        text = other.m_strText;
    }
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_nPosition = position;
    m_nMaximum = maximum;
    m_bStarted = started;
    m_bFinished = finished;
    m_bCancelled = cancelled;
    m_nCounterB = counterB;
    m_strText = std::move(text);
    return *this;
}

#define VKIT_LOCKED_GET(Type, Name, Field)                                                                   \
    Type CProgressInfo::Name() const                                                                         \
    {                                                                                                        \
        std::lock_guard<std::recursive_mutex> guard(m_lock);                                                 \
        return Field;                                                                                        \
    }
#define VKIT_LOCKED_SET(Type, Name, Field, Expr)                                                             \
    void CProgressInfo::Name(Type value)                                                                     \
    {                                                                                                        \
        std::lock_guard<std::recursive_mutex> guard(m_lock);                                                 \
        Field = Expr;                                                                                        \
    }

VKIT_LOCKED_GET(int32_t, GetPosition, m_nPosition)
VKIT_LOCKED_SET(int32_t, SetPosition, m_nPosition, value)
VKIT_LOCKED_GET(bool, IsStarted, m_bStarted != 0)
VKIT_LOCKED_SET(bool, SetStarted, m_bStarted, value ? 1 : 0)
VKIT_LOCKED_GET(bool, IsFinished, m_bFinished != 0)
VKIT_LOCKED_SET(bool, SetFinished, m_bFinished, value ? 1 : 0)
VKIT_LOCKED_GET(bool, IsCancelled, m_bCancelled != 0)
VKIT_LOCKED_SET(bool, SetCancelled, m_bCancelled, value ? 1 : 0)
VKIT_LOCKED_GET(int32_t, GetMaximum, m_nMaximum)
VKIT_LOCKED_SET(int32_t, SetMaximum, m_nMaximum, value)
VKIT_LOCKED_GET(int32_t, GetMinimum, m_nMinimum)
VKIT_LOCKED_SET(int32_t, SetMinimum, m_nMinimum, value)
VKIT_LOCKED_GET(int32_t, GetCounterA, m_nCounterA)
VKIT_LOCKED_SET(int32_t, SetCounterA, m_nCounterA, value)
VKIT_LOCKED_GET(int32_t, GetCounterB, m_nCounterB)
VKIT_LOCKED_SET(int32_t, SetCounterB, m_nCounterB, value)
VKIT_LOCKED_GET(std::string, GetText, m_strText)
VKIT_LOCKED_SET(const std::string&, SetText, m_strText, value)

#undef VKIT_LOCKED_GET
#undef VKIT_LOCKED_SET

float CProgressInfo::GetPercent() const
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    // Measured from the minimum over the width of the range; in 64 bits so that extreme
    // bounds cannot overflow.
    const int64_t range = int64_t{m_nMaximum} - m_nMinimum;
    if (range < 1) return 0.0f;
    const double done = static_cast<double>(int64_t{m_nPosition} - m_nMinimum);
    return static_cast<float>(done / static_cast<double>(range) * 100.0);
}

// ---- CProgressBase ----------------------------------------------------------------------------

CProgressBase::CProgressBase(const CProgressBase& other)
    : m_bNotify(other.m_bNotify.load()), m_bEnabled(other.m_bEnabled.load()),
      m_bCancelRequested(other.m_bCancelRequested.load()), m_bAborted(other.m_bAborted.load()),
      m_record(other.m_record)
{
}

CProgressBase& CProgressBase::operator=(const CProgressBase& other)
{
    if (this == &other) return *this;
    m_bNotify = other.m_bNotify.load();
    m_bEnabled = other.m_bEnabled.load();
    m_bCancelRequested = other.m_bCancelRequested.load();
    m_bAborted = other.m_bAborted.load();
    m_record = other.m_record;
    return *this;
}

void CProgressBase::StartProgress(int32_t minimum, int32_t maximum)
{
    m_bAborted = 0;
    m_bCancelRequested = 0;
    m_record.SetStarted(true);
    m_record.SetFinished(false);
    m_record.SetCancelled(false);
    m_record.SetMaximum(maximum);
    m_record.SetMinimum(minimum);
    m_record.SetPosition(0);
    FireProgress();
}

void CProgressBase::FireProgress()
{
    if (m_bNotify != 0) OnProgress.Raise(m_record);
}

void CProgressBase::EndProgress()
{
    m_record.SetFinished(true);
    m_record.SetPosition(m_record.GetMaximum());
    FireProgress();
    if (m_bCancelRequested != 0) m_bAborted = 1;
}

void CProgressBase::AbortProgress()
{
    m_record.SetCancelled(true);
    FireProgress();
    if (m_bCancelRequested != 0) m_bAborted = 1;
}

} // namespace vKit
