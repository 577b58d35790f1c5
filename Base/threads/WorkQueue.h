#pragma once
// Jobs that run on helper threads ahead of one consumer, which takes them in posting order.
//
// The consumer (the thread that owns the queue) posts jobs and later waits for each ticket in
// turn. Helpers take queued jobs oldest first. A consumer that waits does not idle while work is
// queued: a job still queued when its ticket is waited for runs on the consumer itself, and while
// its own job runs on a helper the consumer takes the oldest queued job. With no helpers every
// job runs inside Wait, on the consumer, in posting order.
//
// Each thread is a lane: 0 is the consumer, 1..helpers the helper threads. A job is told its
// lane, so that it can use per-lane scratch memory without a lock. A job that throws ends as
// failed; the exception does not leave the lane.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace vKit
{

class CWorkQueue
{
public:
    using Job = std::function<void(int32_t lane)>;

    // helpers below 1 start no thread.
    explicit CWorkQueue(int32_t helpers);
    CWorkQueue(const CWorkQueue&) = delete;
    CWorkQueue& operator=(const CWorkQueue&) = delete;
    // Drops the queued jobs, waits for the running ones and ends the helpers.
    ~CWorkQueue();

    // One helper per processor beyond the consumer's own; 0 on a single processor.
    static int32_t DefaultHelpers();
    int32_t GetHelpers() const { return int32_t(m_helpers.size()); }
    // Lanes: the consumer plus the helpers.
    int32_t GetLanes() const { return GetHelpers() + 1; }

    // Queues a job; tickets count from 0 in posting order.
    uint64_t Post(Job job);
    // Returns when the job of this ticket has ended: true when it ran to its end, false when it
    // threw, was abandoned or the ticket is unknown. Each ticket is waited for at most once.
    bool Wait(uint64_t ticket);
    // Drops every job that has not started and waits until the running ones have ended. Their
    // tickets are forgotten; jobs posted afterwards run as usual.
    void Abandon();

private:
    enum class EState
    {
        Queued,
        Running,
        Done,
    };
    struct SSlot
    {
        Job job;
        EState state = EState::Queued;
        bool ok = false;
    };

    void HelperMain(int32_t lane);
    // Takes the oldest queued job and runs it on this lane; the lock is released meanwhile.
    void RunOldest(std::unique_lock<std::mutex>& lock, int32_t lane);
    void RunSlot(std::unique_lock<std::mutex>& lock, uint64_t ticket, int32_t lane);
    bool AnyRunning() const;

    std::mutex m_mutex;
    std::condition_variable m_queued; // a job was posted, or the helpers are to stop
    std::condition_variable m_ended;  // a job ended
    std::map<uint64_t, SSlot> m_slots;
    std::deque<uint64_t> m_pending; // queued tickets, oldest first
    uint64_t m_nextTicket = 0;
    bool m_bStopping = false;
    std::vector<std::thread> m_helpers;
};

} // namespace vKit
