#pragma once
// Named counting semaphores shared between processes (POSIX sem_open).

#include <cstdint>
#include <string>

namespace vKit
{

// A semaphore name derived from any text: "/Quorell-" followed by its letters, digits and dashes.
std::string PlatformSemaphoreName(const std::string& text);

class CNamedSemaphore
{
public:
    CNamedSemaphore() = default;
    CNamedSemaphore(const CNamedSemaphore&) = delete;
    CNamedSemaphore& operator=(const CNamedSemaphore&) = delete;
    ~CNamedSemaphore();

    // Opens the semaphore of that name, creating it with the initial count when it does not
    // exist yet. 0 or an errno value.
    int32_t Open(const std::string& name, uint32_t initialCount);
    bool IsOpen() const { return m_handle != nullptr; }
    // Takes one unit without waiting; false when none is left.
    bool TryTake();
    // Gives one unit back.
    void Give();
    // The current count, or -1 when it cannot be read.
    int32_t GetCount() const;
    void Close();
    // Removes the name from the system; processes that have it open keep their semaphore.
    static int32_t Remove(const std::string& name);

private:
    void* m_handle = nullptr;
};

} // namespace vKit
