#include "Base/Progress.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace
{

struct Listener
{
    std::vector<std::string>* log;
    std::string name;
    vKit::CProgressBase* cancel = nullptr; // requests a cancel when called
    std::vector<vKit::CProgressInfo> seen{};

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

TEST(ProgressInfo, AssignmentKeepsTargetMinimumAndCounterA)
{
    vKit::CProgressInfo src;
    src.SetPosition(7);
    src.SetMinimum(3);
    src.SetCounterA(11);
    src.SetCounterB(12);
    src.SetText("step");
    vKit::CProgressInfo dst;
    dst.SetMinimum(-4);
    dst.SetCounterA(99);
    dst = src;
    EXPECT_EQ(dst.GetPosition(), 7);
    EXPECT_EQ(dst.GetCounterB(), 12);
    EXPECT_EQ(dst.GetText(), "step");
    EXPECT_EQ(dst.GetMinimum(), -4);
    EXPECT_EQ(dst.GetCounterA(), 99);
    // A copy starts from the defaults, so it shows minimum 0 and counter A 0.
    const vKit::CProgressInfo copy(src);
    EXPECT_EQ(copy.GetMinimum(), 0);
    EXPECT_EQ(copy.GetCounterA(), 0);
    EXPECT_EQ(copy.GetPosition(), 7);
}

TEST(ProgressInfo, PercentFromTheMinimum)
{
    vKit::CProgressInfo r;
    r.SetMaximum(3);
    r.SetPosition(1);
    EXPECT_FLOAT_EQ(r.GetPercent(), 100.0f / 3.0f);
    r.SetMinimum(10);
    r.SetMaximum(20);
    r.SetPosition(15);
    EXPECT_FLOAT_EQ(r.GetPercent(), 50.0f);
    r.SetMinimum(20); // an empty range
    EXPECT_EQ(r.GetPercent(), 0.0f);
    r.SetMinimum(INT32_MIN);
    r.SetMaximum(INT32_MAX);
    r.SetPosition(INT32_MAX);
    EXPECT_FLOAT_EQ(r.GetPercent(), 100.0f);
}

TEST(ProgressBase, HandlersNewestFirstEachWithOwnCopy)
{
    std::vector<std::string> log;
    Listener a{&log, "a"}, b{&log, "b"}, c{&log, "c"};
    vKit::CProgressBase source;
    for (Listener* l : {&a, &b, &c})
        source.OnProgress.Subscribe(l, &Listener::OnProgress);
    source.StartProgress(5, 40);
    EXPECT_EQ(log, (std::vector<std::string>{"c", "b", "a"}));
    // The last handler sees what the source sent, not what the others did to their copies.
    EXPECT_EQ(a.seen.at(0).GetPosition(), 0);
    EXPECT_EQ(a.seen.at(0).GetMaximum(), 40);
    EXPECT_FALSE(a.seen.at(0).IsCancelled());
    EXPECT_EQ(source.GetProgressInfo().GetMinimum(), 5);
    EXPECT_EQ(source.GetProgressInfo().GetPosition(), 0);

    source.SetNotifying(false);
    source.EndProgress();
    EXPECT_EQ(log.size(), 3u);
    EXPECT_TRUE(source.GetProgressInfo().IsFinished());
    // A copy of the source does not take its subscribers along.
    EXPECT_TRUE(vKit::CProgressBase(source).OnProgress.IsEmpty());
}

TEST(ProgressBase, EndAndAbortSetAbortedOnlyWhenCancelRequested)
{
    std::vector<std::string> log;
    Listener l{&log, "l"};
    vKit::CProgressBase source;
    source.OnProgress.Subscribe(&l, &Listener::OnProgress);
    source.StartProgress(0, 12);
    source.EndProgress();
    EXPECT_TRUE(l.seen.back().IsFinished());
    EXPECT_EQ(l.seen.back().GetPosition(), 12);
    EXPECT_FALSE(source.IsAborted());

    // A cancel requested inside the last event still counts.
    source.StartProgress(0, 12);
    l.cancel = &source;
    source.EndProgress();
    EXPECT_TRUE(source.IsAborted());

    // Starting again clears both the request and the aborted flag.
    l.cancel = nullptr;
    source.StartProgress(0, 12);
    EXPECT_FALSE(source.IsCancelRequested() || source.IsAborted());
    source.AbortProgress();
    EXPECT_TRUE(l.seen.back().IsCancelled());
    EXPECT_FALSE(source.IsAborted());
    source.StartProgress(0, 12);
    source.SetCancelRequested(true);
    source.AbortProgress();
    EXPECT_TRUE(source.IsAborted());
}

TEST(ProgressInfo, CopiesAreConsistentWhileAnotherThreadWrites)
{
    vKit::CProgressInfo shared;
    std::thread writer(
        [&shared]
        {
            for (int i = 0; i < 20000; ++i)
                shared.SetText(i % 2 ? "odd" : "even");
        });
    for (int i = 0; i < 20000; ++i)
    {
        const std::string t = vKit::CProgressInfo(shared).GetText();
        ASSERT_TRUE(t.empty() || t == "odd" || t == "even");
    }
    writer.join();
}

} // namespace
