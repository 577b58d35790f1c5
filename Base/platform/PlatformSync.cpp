#include "Base/platform/PlatformSync.h"

#include <cerrno>
#include <fcntl.h>
#include <semaphore.h>

namespace vKit
{

std::string PlatformSemaphoreName(const std::string& text)
{
    std::string name = "/Quorell-";
    for (char c : text)
    {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-') name += c;
    }
    return name;
}

CNamedSemaphore::~CNamedSemaphore()
{
    Close();
}

int32_t CNamedSemaphore::Open(const std::string& name, uint32_t initialCount)
{
    Close();
    sem_t* handle = sem_open(name.c_str(), O_CREAT, 0666, initialCount);
    if (handle == SEM_FAILED) return errno;
    m_handle = handle;
    return 0;
}

bool CNamedSemaphore::TryTake()
{
    if (!m_handle) return false;
    while (sem_trywait(static_cast<sem_t*>(m_handle)) != 0)
    {
        if (errno != EINTR) return false;
    }
    return true;
}

void CNamedSemaphore::Give()
{
    if (m_handle) sem_post(static_cast<sem_t*>(m_handle));
}

int32_t CNamedSemaphore::GetCount() const
{
    int value = 0;
    if (!m_handle || sem_getvalue(static_cast<sem_t*>(m_handle), &value) != 0) return -1;
    return value;
}

void CNamedSemaphore::Close()
{
    if (m_handle) sem_close(static_cast<sem_t*>(m_handle));
    m_handle = nullptr;
}

int32_t CNamedSemaphore::Remove(const std::string& name)
{
    return sem_unlink(name.c_str()) == 0 ? 0 : errno;
}

} // namespace vKit
