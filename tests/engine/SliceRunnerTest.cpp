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
    int maxDecidedAtAnnounce = 0; // furthest entry decided beyond the announced one
    bool consumerOnly = true;

    void ThrowIn(int i) { m_throw[size_t(i)] = 1; }

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
    bool IsStopRequested() override { return false; }

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

// What a stop leaves is checked against the plain loop through whole conversions
// (ParallelConversionThread); here, the order the runner keeps.
TEST(SliceRunnerThread, MemberOfAGroupIsDecidedOnlyAfterTheEarlierMemberIsCommitted)
{
    // Twelve source slices folded by two onto six destinations, and two companions without a
    // destination name.
    const std::vector<std::string> names = {"",   "d0", "d0", "d1", "d1", "D2", "d2",
                                            "d3", "d3", "d4", "d4", "d5", "d5", ""};
    CFakePass pass(names);
    CSliceRunner runner(2, 8);
    EXPECT_EQ(runner.Run(pass), int32_t(names.size()));
    EXPECT_TRUE(pass.consumerOnly);
    EXPECT_LE(pass.maxDecidedAtAnnounce, 8);
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
