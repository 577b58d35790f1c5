#include "Base/threads/Notify.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace
{

struct CSeen
{
    int32_t calls = 0;
    vKit::CNotifyBase* object = nullptr;
    vKit::CNotifyBase* sender = nullptr;
    int32_t code = 0;
    int64_t parameter = 0;
    bool busyDuringCall = false;
};

void Record(vKit::CNotifyBase* object, void* context, vKit::CNotifyBase* sender, int32_t code,
            int64_t parameter)
{
    CSeen* seen = static_cast<CSeen*>(context);
    ++seen->calls;
    seen->object = object;
    seen->sender = sender;
    seen->code = code;
    seen->parameter = parameter;
    seen->busyDuringCall = object->IsBusy();
}

void Throw(vKit::CNotifyBase*, void*, vKit::CNotifyBase*, int32_t, int64_t)
{
    throw std::runtime_error("callback failed");
}

} // namespace

TEST(Notify, CallsTheCallbackWithObjectContextCodeAndParameter)
{
    vKit::CNotifyBase notify;
    CSeen seen;
    notify.Notify(1, 2); // nothing set: nothing happens
    notify.SetCallback(Record, nullptr);
    notify.Notify(1, 2);
    EXPECT_EQ(seen.calls, 0) << "without a context the callback is not called";

    notify.SetCallback(Record, &seen);
    notify.Notify(7, 1LL << 40);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.object, &notify);
    EXPECT_EQ(seen.sender, &notify);
    EXPECT_EQ(std::make_pair(seen.code, seen.parameter), std::make_pair(int32_t(7), int64_t(1) << 40));
    EXPECT_TRUE(seen.busyDuringCall);
    EXPECT_FALSE(notify.IsBusy());
    notify.NotifyCancel(3);
    EXPECT_TRUE(vKit::CNotifyBase::IsCancelCode(seen.code));

    notify.SetCallback(Throw, &seen); // a throwing callback ends the call quietly
    EXPECT_NO_THROW(notify.Notify(1, 0));
    EXPECT_FALSE(notify.IsBusy());
}

TEST(Terminate, FlagsAreSharedByAllInstancesAndThreads)
{
    const int32_t before = vKit::CTerminate::GetInstanceCount();
    vKit::CTerminate first;
    {
        vKit::CTerminate second;
        EXPECT_EQ(vKit::CTerminate::GetInstanceCount(), before + 2);
        EXPECT_FALSE(second.IsTerminating());
        std::thread other([] { vKit::CTerminate().RequestTerminate(); });
        other.join();
        EXPECT_TRUE(second.IsTerminateRequested());
    }
    EXPECT_EQ(vKit::CTerminate::GetInstanceCount(), before + 1);
    EXPECT_TRUE(first.IsTerminating());
    first.SetTerminating();
    EXPECT_TRUE(first.IsTerminateRequested()) << "nothing clears the flags";
}
