#include "Base/threads/FileThread.h"

#include <chrono>

namespace vKit
{

namespace
{

bool HasJob(const CFileBuffer& buffer)
{
    return buffer.GetMode() == CFileBuffer::ModeWrite || buffer.GetMode() == CFileBuffer::ModeRead;
}

} // namespace

CFileThread::~CFileThread()
{
    Stop(-1);
    WaitForEnd(-1);
    ClearSlots();
}

int32_t CFileThread::GetCurrentSlot() const
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    return m_nCurrent;
}

int32_t CFileThread::GetSlotCount() const
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    return m_nSlotCount;
}

template <typename Prepare> int32_t CFileThread::Queue(Prepare prepare)
{
    int32_t slot = AcquireSlot();
    if (slot >= 0)
    {
        std::lock_guard<std::recursive_mutex> guard(m_Lock);
        if (IsStopRequested() || !prepare(*m_Slots[slot]))
        {
            m_Slots[slot].reset();
            slot = -1;
        }
    }
    m_Event.Set();
    return slot;
}

int32_t CFileThread::QueueWrite(const std::string& path, const void* data, int64_t size, bool release)
{
    return Queue([&](CFileBuffer& buffer) { return buffer.AttachMemory(path, data, size, release); });
}

int32_t CFileThread::QueueWrite(const std::string& path, const CBuffer& source, bool release)
{
    return Queue([&](CFileBuffer& buffer) { return buffer.AttachBuffer(path, source, release); });
}

int32_t CFileThread::QueueRead(const std::string& path)
{
    return Queue(
        [&](CFileBuffer& buffer)
        {
            buffer.SetFile(path);
            return true;
        });
}

bool CFileThread::IsSlotDone(int32_t slot) const
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    if (slot < 0 || slot >= kMaxSlots || !m_Slots[slot]) return true;
    return m_Slots[slot]->IsDone();
}

void CFileThread::ReleaseSlot(int32_t slot)
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    if (slot >= 0 && slot < kMaxSlots) m_Slots[slot].reset();
}

std::unique_ptr<CFileBuffer> CFileThread::TakeSlot(int32_t slot)
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    if (slot < 0 || slot >= kMaxSlots || !m_Slots[slot] || !m_Slots[slot]->IsDone()) return nullptr;
    return std::move(m_Slots[slot]);
}

void CFileThread::ClearSlots()
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    for (std::unique_ptr<CFileBuffer>& slot : m_Slots)
        slot.reset();
}

void CFileThread::SetSlotCount(int32_t n)
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    ClearSlots();
    if (n >= 1 && n <= kMaxSlots)
    {
        m_nSlotCount = n;
        // The worker must not look at a slot past the ones in use.
        if (m_nCurrent >= n) m_nCurrent = 0;
    }
}

int32_t CFileThread::PendingCount() const
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    int32_t count = 0;
    for (int32_t i = 0; i < m_nSlotCount; ++i)
    {
        if (m_Slots[i] && HasJob(*m_Slots[i]) && !m_Slots[i]->IsDone()) ++count;
    }
    return count;
}

int32_t CFileThread::DoneCount() const
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    int32_t count = 0;
    for (int32_t i = 0; i < m_nSlotCount; ++i)
    {
        if (m_Slots[i] && m_Slots[i]->IsDone()) ++count;
    }
    return count;
}

bool CFileThread::HasPending() const
{
    return PendingCount() > 0;
}

bool CFileThread::HasDone() const
{
    return DoneCount() > 0;
}

int32_t CFileThread::FindFreeSlot() const
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    for (int32_t i = m_nCurrent; i >= 0; --i)
    {
        if (!m_Slots[i]) return i;
    }
    for (int32_t i = m_nSlotCount - 1; i >= m_nCurrent; --i)
    {
        if (!m_Slots[i]) return i;
    }
    return -1;
}

int32_t CFileThread::AcquireSlot()
{
    for (;;)
    {
        {
            std::lock_guard<std::recursive_mutex> guard(m_Lock);
            const int32_t slot = FindFreeSlot();
            if (slot >= 0)
            {
                // Taken at once under the lock, so that two owners never get the same slot.
                m_Slots[slot] = std::make_unique<CFileBuffer>();
                return slot;
            }
            if (IsStopRequested() || DoneCount() >= m_nSlotCount) return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kSlotPollMs));
    }
}

bool CFileThread::VisitCurrentSlot()
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    if (!HasPending()) return false;
    std::unique_ptr<CFileBuffer>& slot = m_Slots[m_nCurrent];
    if (slot && HasJob(*slot))
    {
        if (!slot->IsDone())
        {
            if (slot->GetMode() == CFileBuffer::ModeWrite)
                slot->Save();
            else
                slot->Load();
            slot->SetDone(true);
        }
        if (slot->IsReleaseWhenDone()) slot.reset();
    }
    m_nCurrent = (m_nCurrent + 1) % m_nSlotCount;
    return true;
}

void CFileThread::ThreadMain()
{
    while (!IsStopRequested())
    {
        // Cleared before the look at the stop flag and the slots: a stop or a job that comes
        // after the look sets it again.
        m_Event.Reset();
        if (IsStopRequested()) break;
        if (!VisitCurrentSlot()) m_Event.Wait(kIdleWaitMs);
    }
}

} // namespace vKit
