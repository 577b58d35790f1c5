#include "Base/platform/PlatformAtomicWrite.h"

#include "Base/platform/PlatformTemporary.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace vKit
{

namespace
{
int32_t WriteAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0)
    {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0)
        {
            if (errno == EINTR) continue;
            return errno;
        }
        data += n;
        size -= size_t(n);
    }
    return 0;
}

int32_t WritePieces(int fd, const CWritePiece* pieces, size_t count)
{
    int32_t err = 0;
    for (size_t i = 0; i < count && err == 0; ++i)
        err = WriteAll(fd, static_cast<const uint8_t*>(pieces[i].data), pieces[i].size);
    return err;
}
} // namespace

int32_t PlatformWriteFileAtomically(const std::string& path, const void* data, size_t size, bool sync,
                                    uint32_t mode)
{
    const CWritePiece piece{data, size};
    return PlatformWriteFileAtomically(path, &piece, 1, sync, mode);
}

int32_t PlatformWriteFile(const std::string& path, const void* data, size_t size)
{
    const CWritePiece piece{data, size};
    return PlatformWriteFile(path, &piece, 1);
}

int32_t PlatformWriteFileAtomically(const std::string& path, const CWritePiece* pieces, size_t count,
                                    bool sync, uint32_t mode)
{
    std::string temp;
    const int fd = PlatformOpenTemporary(path, mode, temp);
    if (fd < 0) return errno;
    int32_t err = WritePieces(fd, pieces, count);
    if (err == 0 && sync && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) ::unlink(temp.c_str());
    return err;
}

int32_t PlatformWriteFile(const std::string& path, const CWritePiece* pieces, size_t count)
{
    // A new file, never one reached through a link left at the name: that would truncate
    // whatever the link points to.
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0 && errno == EEXIST)
    {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) return errno;
        fd = ::open(path.c_str(), flags, 0666);
    }
    if (fd < 0) return errno;
    int32_t err = WritePieces(fd, pieces, count);
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) ::unlink(path.c_str());
    return err;
}

} // namespace vKit
