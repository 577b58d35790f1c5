#pragma once
// Names of files while they are being written, and the lock that keeps two runs off one data set.
//
// A file is written under a hidden temporary name beside its real one and renamed into place
// when complete. The name says which file it stands for and is unique to the process and the
// call, so that two writers never share one, and a later writer can recognise what a killed one
// left: ".<title>.kavex-<tag>.<extension>", tag = "<pid>-<random>-<count>".

#include <cstdint>
#include <string>
#include <string_view>

namespace vKit
{

// A fresh temporary name beside path (no extension part when the file name has none).
std::string PlatformTemporaryName(const std::string& path);

// Creates a new file for writing at a fresh temporary name beside path (permissions mode less the
// umask) and stores the name in temp: the descriptor, or -1 with errno set.
int PlatformOpenTemporary(const std::string& path, uint32_t mode, std::string& temp);

// The file name a temporary name stands for ("q0001.bmp" for ".q0001.kavex-7-1f-3.bmp"), or ""
// when fileName is no temporary name. Older names with any tag (".q0001.kavex-part.bmp") count.
std::string PlatformTemporaryTarget(std::string_view fileName);

// An exclusive advisory lock held through a file; the kernel releases it when the process ends,
// so it never goes stale. Two holders conflict also within one process.
class CPlatformLock
{
public:
    CPlatformLock() = default;
    CPlatformLock(const CPlatformLock&) = delete;
    CPlatformLock& operator=(const CPlatformLock&) = delete;
    ~CPlatformLock() { Release(); }

    // 0 when the lock is held; EWOULDBLOCK when someone else holds it; another errno value when
    // the lock file cannot be made (no folder, no permission).
    int32_t TryAcquire(const std::string& path);
    // Removes the lock file and releases the lock; nothing when it is not held.
    void Release();
    bool IsHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    std::string m_path;
};

} // namespace vKit
