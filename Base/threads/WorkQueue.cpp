#include "Base/threads/WorkQueue.h"

#include <algorithm>
#include <utility>

namespace vKit
{

CWorkQueue::CWorkQueue(int32_t helpers)
{
    for (int32_t lane = 1; lane <= helpers; ++lane)
    {
        try
        {
            m_helpers.emplace_back(&CWorkQueue::HelperMain, this, lane);
        }
        catch (const std::exception&)
        {
            break; // fewer helpers; the consumer does the rest
        }
    }
}

CWorkQueue::~CWorkQueue()
{
    Abandon();
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_bStopping = true;
    }
    m_queued.notify_all();
    for (std::thread& helper : m_helpers)
        helper.join();
}

int32_t CWorkQueue::DefaultHelpers()
{
    const unsigned processors = std::thread::hardware_concurrency();
    return processors > 1 ? int32_t(std::min(processors, 64u)) - 1 : 0;
}

uint64_t CWorkQueue::Post(Job job)
{
    uint64_t ticket = 0;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        ticket = m_nextTicket++;
        m_slots[ticket].job = std::move(job);
        m_pending.push_back(ticket);
    }
    m_queued.notify_one();
    return ticket;
}

bool CWorkQueue::Wait(uint64_t ticket)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        auto it = m_slots.find(ticket);
        if (it == m_slots.end()) return false;
        if (it->second.state == EState::Done)
        {
            const bool ok = it->second.ok;
            m_slots.erase(it);
            return ok;
        }
        if (it->second.state == EState::Queued)
            RunSlot(lock, ticket, 0);
        else if (!m_pending.empty())
            RunOldest(lock, 0);
        else
            m_ended.wait(lock);
    }
}

void CWorkQueue::Abandon()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (uint64_t ticket : m_pending)
        m_slots.erase(ticket);
    m_pending.clear();
    m_ended.wait(lock, [this] { return !AnyRunning(); });
    m_slots.clear();
}

bool CWorkQueue::AnyRunning() const
{
    return std::any_of(m_slots.begin(), m_slots.end(),
                       [](const auto& slot) { return slot.second.state == EState::Running; });
}

void CWorkQueue::HelperMain(int32_t lane)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        m_queued.wait(lock, [this] { return m_bStopping || !m_pending.empty(); });
        if (m_bStopping) return;
        RunOldest(lock, lane);
    }
}

void CWorkQueue::RunOldest(std::unique_lock<std::mutex>& lock, int32_t lane)
{
    RunSlot(lock, m_pending.front(), lane);
}

void CWorkQueue::RunSlot(std::unique_lock<std::mutex>& lock, uint64_t ticket, int32_t lane)
{
    m_pending.erase(std::find(m_pending.begin(), m_pending.end(), ticket));
    SSlot& slot = m_slots[ticket];
    slot.state = EState::Running;
    Job job = std::move(slot.job);
    lock.unlock();
    bool ok = false;
    try
    {
        job(lane);
        ok = true;
    }
    catch (...)
    {
        // A failed job is reported through Wait; nothing leaves the lane.
    }
    job = nullptr; // whatever the job captured is released before it counts as ended
    lock.lock();
    // The map node stays where it was: only Wait and Abandon erase, and neither erases a
    // running slot.
    SSlot& ended = m_slots[ticket];
    ended.state = EState::Done;
    ended.ok = ok;
    m_ended.notify_all();
}

} // namespace vKit
