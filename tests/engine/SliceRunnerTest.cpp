#include "engine/SliceRunner.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace
{

// Files on a pretend disk. Decide skips an entry whose destination is present (as the slice
// loop does), Work writes the entry's temporary file, Commit renames it into place, Discard
// deletes it. Everything but Work checks that it runs on the calling thread.
class CFakePass : public IFilePass
{
public:
    explicit CFakePass(std::vector<std::string> names)
        : m_names(std::move(names)), m_temp(m_names.size(), 0), m_throw(m_names.size(), 0)
    {
    }

    std::set<std::string> disk;
    std::vector<std::string> log; // "A3" announced, "D3" decided, "C3" committed, "X3" discarded
    std::vector<int> committed;
    std::vector<int> endedFlags;
    int stopAfter = -1;           // index of the entry after which a stop is requested
    int maxDecidedAtAnnounce = 0; // furthest entry decided beyond the announced one
    bool consumerOnly = true;

    void ThrowIn(int i) { m_throw[size_t(i)] = 1; }
    bool AnyTemporaryLeft() const
    {
        for (int t : m_temp)
            if (t != 0) return true;
        return false;
    }

    int32_t GetCount() override { return int32_t(m_names.size()); }
    std::string GetName(int32_t i) override { return m_names[size_t(i)]; }
    void Announce(int32_t i) override
    {
        Note("A", i);
        maxDecidedAtAnnounce = std::max(maxDecidedAtAnnounce, m_lastDecided - i);
    }
    bool Decide(int32_t i) override
    {
        Note("D", i);
        m_lastDecided = std::max(m_lastDecided, int(i));
        return disk.count(m_names[size_t(i)]) == 0;
    }
    void Work(int32_t i, int32_t) override
    {
        // Uneven amounts of work, so that later entries often finish first.
        volatile uint64_t sink = 0;
        for (int k = 0; k < (i % 3) * 20000; ++k)
            sink = sink + uint64_t(k);
        if (m_throw[size_t(i)]) throw std::runtime_error("work failed");
        m_temp[size_t(i)] = 1;
    }
    void Commit(int32_t i, bool ended) override
    {
        Note("C", i);
        committed.push_back(i);
        endedFlags.push_back(ended);
        if (m_temp[size_t(i)]) disk.insert(m_names[size_t(i)]);
        m_temp[size_t(i)] = 0;
    }
    void Discard(int32_t i) override
    {
        Note("X", i);
        m_temp[size_t(i)] = 0;
    }
    bool IsStopRequested() override { return !committed.empty() && committed.back() == stopAfter; }

private:
    void Note(const char* what, int32_t i)
    {
        consumerOnly = consumerOnly && std::this_thread::get_id() == m_consumer;
        log.push_back(std::string(what).append(std::to_string(i)));
    }

    std::vector<std::string> m_names;
    std::vector<int> m_temp;
    std::vector<int> m_throw;
    int m_lastDecided = -1;
    std::thread::id m_consumer = std::this_thread::get_id();
};

// Twelve source slices folded by two onto six destinations, the third present already, and
// two companions without a destination name.
std::vector<std::string> FoldedNames()
{
    return {"", "d0", "d0", "d1", "d1", "D2", "d2", "d3", "d3", "d4", "d4", "d5", "d5", ""};
}

std::string Event(char kind, size_t k)
{
    std::string event(1, kind);
    event.append(std::to_string(k));
    return event;
}

size_t IndexOf(const std::vector<std::string>& log, const std::string& event)
{
    for (size_t k = 0; k < log.size(); ++k)
        if (log[k] == event) return k;
    return log.size();
}

TEST(SliceRunnerThread, PlainLoopHandlesOneEntryAfterAnother)
{
    CFakePass pass({"a", "b", "b"});
    CSliceRunner runner(0, 0);
    EXPECT_EQ(runner.Run(pass), 3);
    EXPECT_EQ(pass.log, (std::vector<std::string>{"A0", "D0", "C0", "A1", "D1", "C1", "A2", "D2", "C2"}));
    EXPECT_EQ(pass.disk, (std::set<std::string>{"a", "b"}));
}

// The outcome a user sees (files present, commit order, announcements) is the plain loop's,
// whatever file the stop comes after.
TEST(SliceRunnerThread, OutcomeEqualsThePlainLoopForEveryStopPoint)
{
    const std::vector<std::string> names = FoldedNames();
    for (int stop = -1; stop < int(names.size()); ++stop)
    {
        CFakePass plain(names), ahead(names);
        for (CFakePass* pass : {&plain, &ahead})
        {
            pass->disk = {"d2"};
            pass->stopAfter = stop;
        }
        CSliceRunner(0, 0).Run(plain);
        CSliceRunner runner(3, 6);
        runner.Run(ahead);
        EXPECT_EQ(ahead.disk, plain.disk) << "stop after " << stop;
        EXPECT_EQ(ahead.committed, plain.committed) << "stop after " << stop;
        EXPECT_FALSE(ahead.AnyTemporaryLeft()) << "stop after " << stop;
        EXPECT_TRUE(ahead.consumerOnly);
        EXPECT_LE(ahead.maxDecidedAtAnnounce, 6);
    }
}

TEST(SliceRunnerThread, MemberOfAGroupIsDecidedOnlyAfterTheEarlierMemberIsCommitted)
{
    const std::vector<std::string> names = FoldedNames();
    CFakePass pass(names);
    CSliceRunner runner(2, 8);
    EXPECT_EQ(runner.Run(pass), int32_t(names.size()));
    for (size_t k = 1; k < names.size(); ++k)
    {
        if (names[k].empty() || names[k] != names[k - 1]) continue;
        EXPECT_LT(IndexOf(pass.log, Event('C', k - 1)), IndexOf(pass.log, Event('D', k))) << "entry " << k;
    }
    // "D2" and "d2" are one destination for a file system that ignores letter case.
    EXPECT_LT(IndexOf(pass.log, "C5"), IndexOf(pass.log, "D6"));
    // Every announcement precedes its commit, and commits follow the list.
    for (size_t k = 0; k < names.size(); ++k)
        EXPECT_LT(IndexOf(pass.log, Event('A', k)), IndexOf(pass.log, Event('C', k)));
    std::vector<int> order(names.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = int(k);
    EXPECT_EQ(pass.committed, order);
}

TEST(SliceRunnerThread, StopDiscardsEveryEntryDecidedAhead)
{
    CFakePass pass({"a", "b", "c", "d", "e", "f"});
    pass.stopAfter = 1;
    CSliceRunner runner(1, 3);
    EXPECT_EQ(runner.Run(pass), 2);
    EXPECT_EQ(pass.disk, (std::set<std::string>{"a", "b"}));
    for (const char* discarded : {"X2", "X3", "X4"})
        EXPECT_NE(IndexOf(pass.log, discarded), pass.log.size()) << discarded;
    EXPECT_EQ(IndexOf(pass.log, "D5"), pass.log.size());
    EXPECT_FALSE(pass.AnyTemporaryLeft());
}

TEST(SliceRunnerThread, WorkThatThrowsIsCommittedAsNotEndedAndTheRunGoesOn)
{
    for (int32_t helpers : {0, 1})
    {
        CFakePass pass({"a", "b", "c"});
        pass.ThrowIn(1);
        CSliceRunner runner(helpers, 2);
        EXPECT_EQ(runner.Run(pass), 3);
        EXPECT_EQ(pass.endedFlags, (std::vector<int>{1, 0, 1}));
        EXPECT_EQ(pass.disk, (std::set<std::string>{"a", "c"}));
    }
}

} // namespace
