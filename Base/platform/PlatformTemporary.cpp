#include "Base/platform/PlatformTemporary.h"

#include "Base/core/Strings.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vKit
{
namespace
{

constexpr std::string_view kTag = ".kavex-";

// The pid tells live writers apart; the random part keeps apart processes of one pid that share
// a folder (containers, a network file system).
const std::string& ProcessTag()
{
    static const std::string tag = []
    {
        uint32_t random = 0;
        if (getrandom(&random, sizeof random, GRND_NONBLOCK) != sizeof random)
            random = uint32_t(reinterpret_cast<uintptr_t>(&random)) ^ uint32_t(time(nullptr));
        char text[40];
        std::snprintf(text, sizeof text, "%ld-%08x", long(getpid()), unsigned(random));
        return std::string(text);
    }();
    return tag;
}

bool IsTagChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
}

} // namespace

std::string PlatformTemporaryName(const std::string& path)
{
    static std::atomic<uint64_t> counter{0};
    const size_t slash = path.rfind(PathSeparator);
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > start;
    const std::string& tag = ProcessTag();
    char number[24] = "-";
    const char* end = std::to_chars(number + 1, number + sizeof number, counter.fetch_add(1)).ptr;
    const size_t digits = size_t(end - number);
    std::string name;
    name.reserve(path.size() + 1 + kTag.size() + tag.size() + digits);
    name.append(path, 0, start);
    name += '.';
    name.append(path, start, (hasExtension ? dot : path.size()) - start);
    name += kTag;
    name += tag;
    name.append(number, digits);
    if (hasExtension) name.append(path, dot, std::string::npos);
    return name;
}

int PlatformOpenTemporary(const std::string& path, uint32_t mode, std::string& temp)
{
    // A name is never reused, but one left by a process of the same pid and chance is skipped.
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        temp = PlatformTemporaryName(path);
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode_t(mode));
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

std::string PlatformTemporaryTarget(std::string_view fileName)
{
    const size_t at = fileName.rfind(kTag);
    if (fileName.size() < 2 || fileName[0] != '.' || at == std::string_view::npos || at < 2) return "";
    const std::string_view title = fileName.substr(1, at - 1);
    std::string_view rest = fileName.substr(at + kTag.size());
    const size_t dot = rest.find('.');
    const std::string_view tag = rest.substr(0, dot);
    if (tag.empty()) return "";
    for (char c : tag)
        if (!IsTagChar(c)) return "";
    // Without an extension part the name stood for a file name without a dot.
    if (dot == std::string_view::npos)
        return title.find('.') == std::string_view::npos ? std::string(title) : std::string();
    const std::string_view extension = rest.substr(dot + 1);
    if (extension.empty() || extension.find('.') != std::string_view::npos) return "";
    return std::string(title) + "." + std::string(extension);
}

int32_t CPlatformLock::TryAcquire(const std::string& path)
{
    Release();
    // A holder removes the file as it releases: a lock taken on a file that is no longer (or
    // not yet again) at the path is worthless, so it is taken anew.
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
        if (fd < 0) return errno;
        if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        {
            const int32_t err = errno;
            close(fd);
            return err;
        }
        struct stat held, named;
        if (fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino)
        {
            m_fd = fd;
            m_path = path;
            return 0;
        }
        close(fd);
    }
    return EWOULDBLOCK;
}

void CPlatformLock::Release()
{
    if (m_fd < 0) return;
    unlink(m_path.c_str());
    close(m_fd);
    m_fd = -1;
    m_path.clear();
}

} // namespace vKit
