#include "Base/threads/Notify.h"

namespace vKit
{

namespace
{

std::atomic<int32_t> g_nTerminateInstances{0};
std::atomic<int32_t> g_bTerminateRequested{0};
std::atomic<int32_t> g_bTerminating{0};

} // namespace

CTerminate::CTerminate()
{
    ++g_nTerminateInstances;
}

CTerminate::CTerminate(const CTerminate& other) : CBase(other)
{
    ++g_nTerminateInstances;
}

CTerminate::~CTerminate()
{
    --g_nTerminateInstances;
}

void CTerminate::RequestTerminate()
{
    g_bTerminateRequested = 1;
}

bool CTerminate::IsTerminateRequested() const
{
    return g_bTerminateRequested.load() != 0;
}

void CTerminate::SetTerminating()
{
    g_bTerminating = 1;
}

bool CTerminate::IsTerminating() const
{
    return g_bTerminateRequested.load() != 0 || g_bTerminating.load() != 0;
}

int32_t CTerminate::GetInstanceCount()
{
    return g_nTerminateInstances.load();
}

CNotifyBase::~CNotifyBase()
{
    m_pCallback = nullptr;
    m_pContext = nullptr;
    m_bBusy = 0;
}

void CNotifyBase::SetCallback(NotifyCallback callback, void* context)
{
    m_pCallback = callback;
    m_pContext = context;
}

void CNotifyBase::Notify(int32_t code, int64_t parameter)
{
    m_bBusy = 1;
    if (m_pCallback && m_pContext)
    {
        try
        {
            m_pCallback(this, m_pContext, this, code, parameter);
        }
        catch (...)
        {
        }
    }
    m_bBusy = 0;
}

} // namespace vKit
