#pragma once
// Two small process-wide helpers: the termination flag and the notification callback.

#include "Base/core/Base.h"

#include <atomic>
#include <cstdint>

namespace vKit
{

// Process-wide termination state: a request flag and a "termination under way" flag, shared by
// all instances; an instance counter counts the objects. Nothing clears the flags. The state is
// atomic, so any thread may ask or set it.
class CTerminate : public CBase
{
public:
    CTerminate();
    CTerminate(const CTerminate&);
    CTerminate& operator=(const CTerminate&) = default;
    ~CTerminate() override;

    void RequestTerminate();
    bool IsTerminateRequested() const;
    void SetTerminating();
    // True when either flag is set.
    bool IsTerminating() const;

    static int32_t GetInstanceCount();
};

class CNotifyBase;
// Called with the notifying object, its context, the object again, the code and the parameter.
using NotifyCallback = void (*)(CNotifyBase* object, void* context, CNotifyBase* sender, int32_t code,
                                int64_t parameter);

class CNotifyBase : public CBase
{
public:
    static constexpr int32_t kCancelCode = -100;

    CNotifyBase() = default;
    CNotifyBase(const CNotifyBase&) = delete;
    CNotifyBase& operator=(const CNotifyBase&) = delete;
    ~CNotifyBase() override;

    void SetCallback(NotifyCallback callback, void* context);

    // Calls the callback when both callback and context are set; an exception it throws ends the
    // call. Busy while it runs.
    void Notify(int32_t code, int64_t parameter);
    void NotifyCancel(int64_t parameter) { Notify(kCancelCode, parameter); }
    static bool IsCancelCode(int32_t code) { return code == kCancelCode; }
    bool HasContext(const void* context) const { return m_pContext == context; }
    bool HasCallback() const { return m_pCallback != nullptr; }
    bool IsBusy() const { return m_bBusy.load() != 0; }

private:
    NotifyCallback m_pCallback = nullptr;
    void* m_pContext = nullptr;
    std::atomic<int32_t> m_bBusy{0};
};

} // namespace vKit
