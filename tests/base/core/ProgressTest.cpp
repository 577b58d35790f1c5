#include "Base/core/Progress.h"
#include "Base/core/Event.h"
#include "Base/core/Timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace
{

using Log = std::vector<std::string>;

struct Listener
{
    Log* log;
    std::string name;
    int32_t answer = 0;
    vKit::CProgressBase* cancel = nullptr; // requests a cancel when called
    std::vector<vKit::CProgressInfo> seen{};

    int32_t Ask(int32_t v)
    {
        log->push_back(name + std::to_string(v));
        return answer;
    }
    int32_t Other(int32_t v) { return Ask(-v); }
    void OnProgress(vKit::CProgressInfo info)
    {
        log->push_back(name);
        seen.push_back(info);
        // A handler owns its copy: changing it must not reach the source or the next handler.
        info.SetPosition(-999);
        info.SetCancelled(true);
        if (cancel) cancel->SetCancelRequested(true);
    }
};

TEST(Event, NewestFirstUnsubscribeByObjectAndMethodFirstNonzeroAnswerWins)
{
    Log log;
    Listener a{&log, "a", 5}, b{&log, "b"}, c{&log, "c"};
    vKit::CEvent<int32_t, int32_t> ev;
    EXPECT_EQ(ev.Raise(1), 0); // nobody to answer
    ev.Subscribe(&a, &Listener::Ask);
    ev.Subscribe(&b, &Listener::Other);
    ev.Subscribe(&b, &Listener::Ask);
    ev.Subscribe(&c, &Listener::Ask);
    EXPECT_EQ(ev.Unsubscribe(&b, &Listener::Ask), 0);
    EXPECT_EQ(ev.Unsubscribe(&b, &Listener::Ask), 1);
    EXPECT_EQ(ev.Raise(7), 5);
    EXPECT_EQ(log, (Log{"c7", "b-7", "a7"}));
    c.answer = 3;
    log.clear();
    EXPECT_EQ(ev.Raise(8), 3);
    EXPECT_EQ(log, Log{"c8"});
}

TEST(ProgressInfo, AssignmentKeepsTargetMinimumAndCounterAPercentStartsAtTheMinimum)
{
    vKit::CProgressInfo src;
    src.SetPosition(15);
    src.SetMinimum(3);
    src.SetCounterA(11);
    src.SetText("step");
    vKit::CProgressInfo dst;
    dst.SetMinimum(10);
    dst.SetMaximum(20);
    dst.SetCounterA(99);
    dst = src;
    EXPECT_EQ(dst.GetText(), "step");
    EXPECT_EQ(std::make_tuple(dst.GetMinimum(), dst.GetCounterA(), dst.GetMaximum()),
              std::make_tuple(10, 99, 100)); // the maximum is the source's
    // A copy starts from the defaults, so it shows minimum 0 and counter A 0.
    const vKit::CProgressInfo copy(src);
    EXPECT_EQ(std::make_pair(copy.GetMinimum(), copy.GetCounterA()), std::make_pair(0, 0));

    dst.SetMaximum(20);
    EXPECT_FLOAT_EQ(dst.GetPercent(), 50.0f);
    dst.SetMinimum(20); // an empty range
    EXPECT_EQ(dst.GetPercent(), 0.0f);
    dst.SetMinimum(INT32_MIN);
    dst.SetMaximum(INT32_MAX);
    dst.SetPosition(INT32_MAX);
    EXPECT_FLOAT_EQ(dst.GetPercent(), 100.0f);
}

TEST(ProgressBase, HandlersGetOwnCopiesAndAbortedNeedsACancelRequest)
{
    Log log;
    Listener a{&log, "a"}, b{&log, "b"};
    vKit::CProgressBase source;
    for (Listener* l : {&a, &b})
        source.OnProgress.Subscribe(l, &Listener::OnProgress);
    source.StartProgress(5, 40);
    // The last handler sees what the source sent, not what the other did to its copy.
    EXPECT_EQ(a.seen.at(0).GetPosition(), 0);
    EXPECT_EQ(a.seen.at(0).GetMaximum(), 40);
    EXPECT_FALSE(a.seen.at(0).IsCancelled());
    EXPECT_EQ(source.GetProgressInfo().GetMinimum(), 5);
    // A copy of the source does not take its subscribers along.
    EXPECT_TRUE(vKit::CProgressBase(source).OnProgress.IsEmpty());
    source.OnProgress.Unsubscribe(&b, &Listener::OnProgress);

    source.StartProgress(0, 12);
    source.EndProgress();
    EXPECT_TRUE(a.seen.back().IsFinished());
    EXPECT_EQ(a.seen.back().GetPosition(), 12);
    EXPECT_FALSE(source.IsAborted());
    source.StartProgress(0, 12);
    a.cancel = &source; // a cancel requested inside the last event still counts
    source.EndProgress();
    EXPECT_TRUE(source.IsAborted());

    a.cancel = nullptr;
    source.StartProgress(0, 12); // clears both the request and the aborted flag
    source.AbortProgress();
    EXPECT_TRUE(a.seen.back().IsCancelled());
    EXPECT_FALSE(source.IsAborted());
    source.SetCancelRequested(true);
    source.AbortProgress();
    EXPECT_TRUE(source.IsAborted());
    const size_t events = a.seen.size();
    source.SetNotifying(false);
    source.EndProgress();
    EXPECT_EQ(a.seen.size(), events);
}

TEST(Timer, NeverStartedReadsZeroAndStopFreezesTime)
{
    vKit::CTimer t;
    EXPECT_EQ(t.GetElapsedMilliseconds(), 0);
    t.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    t.Stop();
    const int64_t ms = t.GetElapsedMilliseconds();
    EXPECT_GE(ms, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(t.GetElapsedMilliseconds(), ms);
}

} // namespace
