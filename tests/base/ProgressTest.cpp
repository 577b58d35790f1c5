#include "Base/Progress.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace
{

struct Seen
{
    std::string who;
    int32_t position, minimum, maximum;
    bool started, finished, cancelled;
};

struct Listener
{
    std::vector<Seen>* log;
    std::string name;
    vKit::CProgressBase* cancelOn = nullptr; // requests a cancel when called
    void OnProgress(vKit::CProgressInfo info)
    {
        log->push_back({name, info.GetPosition(), info.GetMinimum(), info.GetMaximum(), info.IsStarted(),
                        info.IsFinished(), info.IsCancelled()});
        // A handler owns its copy: changing it must not reach the source or the next handler.
        info.SetPosition(-999);
        info.SetFinished(true);
        if (cancelOn)
            cancelOn->SetCancelRequested(true);
    }
};

vKit::CProgressInfo MakeRecord()
{
    vKit::CProgressInfo r;
    r.SetPosition(7);
    r.SetMinimum(3);
    r.SetMaximum(50);
    r.SetStarted(true);
    r.SetFinished(true);
    r.SetCancelled(true);
    r.SetCounterA(11);
    r.SetCounterB(12);
    r.SetText("step");
    return r;
}

TEST(ProgressInfo, AssignmentKeepsTargetMinimumAndCounterA)
{
    const vKit::CProgressInfo src = MakeRecord();
    vKit::CProgressInfo dst;
    dst.SetMinimum(-4);
    dst.SetCounterA(99);
    dst = src;
    EXPECT_EQ(dst.GetPosition(), 7);
    EXPECT_EQ(dst.GetMaximum(), 50);
    EXPECT_TRUE(dst.IsStarted());
    EXPECT_TRUE(dst.IsFinished());
    EXPECT_TRUE(dst.IsCancelled());
    EXPECT_EQ(dst.GetCounterB(), 12);
    EXPECT_EQ(dst.GetText(), "step");
    EXPECT_EQ(dst.GetMinimum(), -4);
    EXPECT_EQ(dst.GetCounterA(), 99);

    // A copy starts from the defaults, so it always shows minimum 0 and counter A 0.
    const vKit::CProgressInfo copy(src);
    EXPECT_EQ(copy.GetMinimum(), 0);
    EXPECT_EQ(copy.GetCounterA(), 0);
    EXPECT_EQ(copy.GetPosition(), 7);
    EXPECT_EQ(copy.GetText(), "step");

    vKit::CProgressInfo self = MakeRecord();
    self = self;
    EXPECT_EQ(self.GetMinimum(), 3);
    EXPECT_EQ(self.GetCounterA(), 11);
}

TEST(ProgressInfo, DefaultsAndPercent)
{
    vKit::CProgressInfo r;
    EXPECT_EQ(r.GetPosition(), 0);
    EXPECT_EQ(r.GetMinimum(), 0);
    EXPECT_EQ(r.GetMaximum(), 100);
    EXPECT_FALSE(r.IsStarted() || r.IsFinished() || r.IsCancelled());
    EXPECT_EQ(r.GetText(), "");

    r.SetPosition(25);
    EXPECT_FLOAT_EQ(r.GetPercent(), 25.0f);
    r.SetMaximum(3);
    r.SetPosition(1);
    EXPECT_FLOAT_EQ(r.GetPercent(), 100.0f / 3.0f);
    r.SetMaximum(0);
    EXPECT_EQ(r.GetPercent(), 0.0f);
    r.SetMaximum(-5);
    EXPECT_EQ(r.GetPercent(), 0.0f);

    // Measured over the range, not from zero: 15 in 10 .. 20 is half way.
    r.SetMinimum(10);
    r.SetMaximum(20);
    r.SetPosition(15);
    EXPECT_FLOAT_EQ(r.GetPercent(), 50.0f);
    r.SetMinimum(20);
    EXPECT_EQ(r.GetPercent(), 0.0f);
    r.SetMinimum(INT32_MIN);
    r.SetMaximum(INT32_MAX);
    r.SetPosition(INT32_MAX);
    EXPECT_FLOAT_EQ(r.GetPercent(), 100.0f);

    vKit::CProgressBase source;
    source.StartProgress(0, 8);
    source.GetProgressInfo().SetPosition(2);
    EXPECT_FLOAT_EQ(source.GetPercent(), 25.0f);
    EXPECT_FLOAT_EQ(vKit::CProgressBase::GetPercent(source.GetProgressInfo()), 25.0f);
}

TEST(ProgressBase, HandlersNewestFirstEachWithOwnCopy)
{
    std::vector<Seen> log;
    Listener a{&log, "a"}, b{&log, "b"}, c{&log, "c"};
    vKit::CProgressBase source;
    source.OnProgress.Subscribe(&a, &Listener::OnProgress);
    source.OnProgress.Subscribe(&b, &Listener::OnProgress);
    source.OnProgress.Subscribe(&c, &Listener::OnProgress);
    source.StartProgress(5, 40);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].who, "c");
    EXPECT_EQ(log[1].who, "b");
    EXPECT_EQ(log[2].who, "a");
    for (const Seen& s : log)
    {
        EXPECT_EQ(s.position, 0);
        EXPECT_EQ(s.maximum, 40);
        EXPECT_EQ(s.minimum, 0) << "subscribers see a copy, which keeps minimum 0";
        EXPECT_TRUE(s.started);
        EXPECT_FALSE(s.finished);
    }
    EXPECT_EQ(source.GetProgressInfo().GetMinimum(), 5);
    EXPECT_EQ(source.GetProgressInfo().GetPosition(), 0);
    EXPECT_FALSE(source.GetProgressInfo().IsFinished());

    log.clear();
    EXPECT_EQ(source.OnProgress.Unsubscribe(&b, &Listener::OnProgress), 0);
    source.GetProgressInfo().SetPosition(3);
    source.FireProgress();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].who, "c");
    EXPECT_EQ(log[1].who, "a");
    EXPECT_EQ(log[1].position, 3);

    log.clear();
    source.SetNotifying(false);
    source.FireProgress();
    source.EndProgress();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(source.GetProgressInfo().IsFinished());
}

TEST(ProgressBase, EndAndAbortReportStateAndSetAbortedOnlyWhenCancelRequested)
{
    std::vector<Seen> log;
    Listener l{&log, "l"};
    vKit::CProgressBase source;
    source.OnProgress.Subscribe(&l, &Listener::OnProgress);

    source.StartProgress(0, 12);
    source.EndProgress();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(log[1].finished);
    EXPECT_EQ(log[1].position, 12);
    EXPECT_FALSE(source.IsAborted());

    // A cancel requested during the last event still counts.
    source.StartProgress(0, 12);
    l.cancelOn = &source;
    source.EndProgress();
    EXPECT_TRUE(source.IsAborted());

    // Starting again clears both the request and the aborted flag.
    l.cancelOn = nullptr;
    source.StartProgress(0, 12);
    EXPECT_FALSE(source.IsCancelRequested());
    EXPECT_FALSE(source.IsAborted());
    source.AbortProgress();
    EXPECT_TRUE(log.back().cancelled);
    EXPECT_FALSE(log.back().finished);
    EXPECT_FALSE(source.IsAborted());

    source.StartProgress(0, 12);
    source.SetCancelRequested(true);
    source.AbortProgress();
    EXPECT_TRUE(source.IsAborted());
    EXPECT_TRUE(source.GetProgressInfo().IsCancelled());
}

TEST(ProgressBase, CopyDoesNotTakeSubscribers)
{
    std::vector<Seen> log;
    Listener l{&log, "l"};
    vKit::CProgressBase source;
    source.OnProgress.Subscribe(&l, &Listener::OnProgress);
    source.SetEnabled(false);
    vKit::CProgressBase copy(source);
    EXPECT_TRUE(copy.OnProgress.IsEmpty());
    EXPECT_FALSE(copy.IsEnabled());
    copy.StartProgress(0, 1);
    EXPECT_TRUE(log.empty());
}

TEST(ProgressInfo, ConcurrentReadersSeeWholeValues)
{
    vKit::CProgressInfo shared;
    std::thread writer(
        [&shared]
        {
            for (int i = 0; i < 20000; ++i)
            {
                shared.SetPosition(i);
                shared.SetText(i % 2 ? "odd" : "even");
            }
        });
    for (int i = 0; i < 20000; ++i)
    {
        vKit::CProgressInfo copy(shared);
        const std::string t = copy.GetText();
        EXPECT_TRUE(t.empty() || t == "odd" || t == "even");
    }
    writer.join();
    EXPECT_EQ(shared.GetPosition(), 19999);
}

} // namespace
