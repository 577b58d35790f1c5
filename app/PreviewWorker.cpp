#include "app/PreviewWorker.h"

#include <exception>
#include <utility>

CPreviewWorker::CPreviewWorker(std::function<void(uint64_t, Result)> done)
    : m_done(std::move(done)), m_thread([this] { Loop(); })
{
}

CPreviewWorker::~CPreviewWorker()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bStop = true;
        m_pending.reset();
    }
    m_wake.notify_all();
    m_thread.join();
}

uint64_t CPreviewWorker::Post(const CPreviewRequest& request)
{
    uint64_t serial = 0;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_pending = request;
        serial = ++m_nSerial;
    }
    m_wake.notify_all();
    return serial;
}

uint64_t CPreviewWorker::LatestSerial() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nSerial;
}

void CPreviewWorker::Loop()
{
    for (;;)
    {
        CPreviewRequest request;
        uint64_t serial = 0;
        {
            std::unique_lock<std::mutex> guard(m_lock);
            m_wake.wait(guard, [this] { return m_bStop || m_pending.has_value(); });
            if (m_bStop) return;
            request = std::move(*m_pending);
            m_pending.reset();
            serial = m_nSerial;
        }
        auto preview = std::make_shared<CSlicePreview>();
        try
        {
            MakeSlicePreview(request, *preview);
            preview->source.ComputeHistogram8(true);
        }
        catch (const std::exception&)
        {
            preview->reason = "Not enough memory for the preview";
        }
        if (serial == LatestSerial()) m_done(serial, std::move(preview));
    }
}
