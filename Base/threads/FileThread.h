#pragma once
// The background file worker: up to 200 slots of queued whole-file reads and writes, performed
// one slot per pass of the work loop, which sleeps on its event (at most 10 s) while there is
// nothing to do. The worker owns the buffers of its slots. A job is queued (slot holds a
// prepared buffer), done (performed, whether the file operation succeeded or not; the buffer
// keeps the outcome), and released: by the worker when its release flag is set, else by
// ReleaseSlot, TakeSlot or ClearSlots.

#include "Base/files/FileBuffer.h"
#include "Base/threads/Thread.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vKit
{

class CFileThread : public CBaseThread
{
public:
    static constexpr int32_t kMaxSlots = 200;
    static constexpr int32_t kIdleWaitMs = 10000;
    static constexpr int32_t kSlotPollMs = 500;

    CFileThread() = default;
    ~CFileThread() override;

    virtual int32_t GetCurrentSlot() const;
    virtual int32_t GetSlotCount() const;

    // Queues a write of size bytes from data to path (the bytes are copied unless they are the
    // buffer's own); slot index, or -1 when no slot could be had or a stop was requested.
    int32_t QueueWrite(const std::string& path, const void* data, int64_t size, bool release);
    int32_t QueueWrite(const std::string& path, const CBuffer& buffer, bool release);
    // Queues a read of the file at path; the owner takes the result with TakeSlot.
    int32_t QueueRead(const std::string& path);

    // True when the slot is free or its job is done.
    bool IsSlotDone(int32_t slot) const;
    // Deletes the slot's buffer and frees the slot.
    void ReleaseSlot(int32_t slot);
    // Hands over the buffer of a done job and frees the slot; null while the job is not done.
    std::unique_ptr<CFileBuffer> TakeSlot(int32_t slot);
    // Deletes the buffers of all slots.
    void ClearSlots();
    // ClearSlots, then n slots in use when 1 <= n <= kMaxSlots; other values keep the count.
    void SetSlotCount(int32_t n);

    // Among the slots in use: those whose job waits, and those whose job is done.
    bool HasPending() const;
    bool HasDone() const;
    int32_t PendingCount() const;
    int32_t DoneCount() const;

    // A free slot: downward from the current slot to 0, then from the last slot in use down.
    int32_t FindFreeSlot() const;
    // Reserves a free slot (an empty buffer that nobody else takes), waiting for the worker while
    // it has jobs to finish; -1 when a stop was requested or every slot holds a done job.
    int32_t AcquireSlot();

    void ThreadMain() override;

protected:
    // One pass of the work loop; false when there was nothing pending.
    bool VisitCurrentSlot();
    // Reserves a slot and lets prepare fill its buffer; -1 when that was not possible.
    template <typename Prepare> int32_t Queue(Prepare prepare);

    int32_t m_nCurrent = 0;
    int32_t m_nSlotCount = kMaxSlots;
    std::unique_ptr<CFileBuffer> m_Slots[kMaxSlots];
};

} // namespace vKit
