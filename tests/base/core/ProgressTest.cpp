#include "Base/core/Progress.h"

#include <gtest/gtest.h>

#include <string>
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
    EXPECT_EQ(dst.GetMinimum(), 10);
    EXPECT_EQ(dst.GetCounterA(), 99);
    EXPECT_EQ(dst.GetMaximum(), 100); // the source's
    // A copy starts from the defaults, so it shows minimum 0 and counter A 0.
    const vKit::CProgressInfo copy(src);
    EXPECT_EQ(copy.GetMinimum(), 0);
    EXPECT_EQ(copy.GetCounterA(), 0);

    dst.SetMaximum(20);
    EXPECT_FLOAT_EQ(dst.GetPercent(), 50.0f);
    dst.SetMinimum(20); // an empty range
    EXPECT_EQ(dst.GetPercent(), 0.0f);
    dst.SetMinimum(INT32_MIN);
    dst.SetMaximum(INT32_MAX);
    dst.SetPosition(INT32_MAX);
    EXPECT_FLOAT_EQ(dst.GetPercent(), 100.0f);
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

    source.SetNotifying(false);
    source.EndProgress();
    EXPECT_EQ(log.size(), 3u);
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

    source.StartProgress(0, 12);
    l.cancel = &source; // a cancel requested inside the last event still counts
    source.EndProgress();
    EXPECT_TRUE(source.IsAborted());

    l.cancel = nullptr;
    source.StartProgress(0, 12); // clears both the request and the aborted flag
    source.AbortProgress();
    EXPECT_TRUE(l.seen.back().IsCancelled());
    EXPECT_FALSE(source.IsAborted());
    source.SetCancelRequested(true);
    source.AbortProgress();
    EXPECT_TRUE(source.IsAborted());
}

} // namespace
