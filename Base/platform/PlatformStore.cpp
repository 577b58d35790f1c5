#include "Base/platform/PlatformStore.h"

#include "Base/platform/Platform.h"

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace vKit
{

std::string PlatformHomeFolder()
{
    std::string home;
    if (PlatformGetEnv("HOME", home) && !home.empty()) return home;
    const passwd* pw = getpwuid(getuid());
    return (pw && pw->pw_dir && *pw->pw_dir) ? std::string(pw->pw_dir) : std::string("/tmp");
}

CFolderLock::CFolderLock(const std::string& folder)
{
    std::string failed; // the open below fails likewise
    PlatformMakeFolderTree(folder, failed);
    m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0) return;
    while (::flock(m_fd, LOCK_EX) != 0)
    {
        if (errno != EINTR)
        {
            ::close(m_fd);
            m_fd = -1;
            return;
        }
    }
}

CFolderLock::~CFolderLock()
{
    if (m_fd >= 0)
    {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
}

} // namespace vKit
