#pragma once
// The slice preview's worker: one thread that makes previews one after the other, so that the
// dialog never waits. A new request replaces one that has not started, and the answer to any
// request but the latest is dropped: the newest request always wins.

#include "engine/SlicePreview.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class CPreviewWorker
{
public:
    using Result = std::shared_ptr<const CSlicePreview>;
    // done runs on the worker thread, for the latest request only, with its serial number.
    explicit CPreviewWorker(std::function<void(uint64_t serial, Result result)> done);
    ~CPreviewWorker();
    CPreviewWorker(const CPreviewWorker&) = delete;
    CPreviewWorker& operator=(const CPreviewWorker&) = delete;

    // Queues the request; returns its serial number (from 1).
    uint64_t Post(const CPreviewRequest& request);
    // The serial of the latest request: a result of another is stale.
    uint64_t LatestSerial() const;

private:
    void Loop();

    std::function<void(uint64_t, Result)> m_done;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::optional<CPreviewRequest> m_pending;
    uint64_t m_nSerial = 0;
    bool m_bStop = false;
    std::thread m_thread;
};
