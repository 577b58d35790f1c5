#include "Base/threads/Notify.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

TEST(Notify, CallsTheCallbackWithObjectContextCodeAndParameter)
{
    struct CSeen
    {
        int32_t calls = 0, code = 0;
        vKit::CNotifyBase *object = nullptr, *sender = nullptr;
        int64_t parameter = 0;
        bool busyDuringCall = false;
    } seen;
    const auto record = [](vKit::CNotifyBase* object, void* context, vKit::CNotifyBase* sender, int32_t code,
                           int64_t parameter)
    {
        CSeen& s = *static_cast<CSeen*>(context);
        s = {s.calls + 1, code, object, sender, parameter, object->IsBusy()};
    };
    vKit::CNotifyBase notify;
    notify.Notify(1, 2); // nothing set: nothing happens
    notify.SetCallback(record, nullptr);
    notify.Notify(1, 2);
    EXPECT_EQ(seen.calls, 0) << "without a context the callback is not called";

    notify.SetCallback(record, &seen);
    notify.Notify(7, 1LL << 40);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_TRUE(seen.object == &notify && seen.sender == &notify);
    EXPECT_EQ(std::make_pair(seen.code, seen.parameter), std::make_pair(int32_t(7), int64_t(1) << 40));
    EXPECT_TRUE(seen.busyDuringCall);
    EXPECT_FALSE(notify.IsBusy());
    notify.NotifyCancel(3);
    EXPECT_TRUE(vKit::CNotifyBase::IsCancelCode(seen.code));

    // A throwing callback ends the call quietly.
    notify.SetCallback([](vKit::CNotifyBase*, void*, vKit::CNotifyBase*, int32_t, int64_t)
                       { throw std::runtime_error("callback failed"); },
                       &seen);
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
