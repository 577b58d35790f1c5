// What a runner with helpers leaves and in what order it commits is checked against the plain
// loop through whole conversions (ParallelConversionThread, and the folding tests of Stages);
// here, what a real pass cannot easily show: work that throws, where the calls run, and how far
// the runner decides ahead.

#include "engine/SliceRunner.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace
{

// Files on a pretend disk: Work writes the entry's temporary file, Commit renames it into place,
// Discard deletes it. Everything but Work checks that it runs on the calling thread.
class CFakePass : public IFilePass
{
public:
    CFakePass(int32_t count, int32_t throwIn) : m_temp(size_t(count), 0), m_throwIn(throwIn) {}

    std::set<int32_t> disk;
    std::vector<int> endedFlags;
    int32_t maxDecidedAhead = 0; // furthest entry decided beyond the announced one
    bool consumerOnly = true;

    int32_t GetCount() override { return int32_t(m_temp.size()); }
    std::string GetName(int32_t i) override { return std::to_string(i); }
    void Announce(int32_t i) override
    {
        OnCaller();
        maxDecidedAhead = std::max(maxDecidedAhead, m_lastDecided - i);
    }
    bool Decide(int32_t i) override
    {
        OnCaller();
        m_lastDecided = std::max(m_lastDecided, i);
        return true;
    }
    void Work(int32_t i, int32_t) override
    {
        if (i == m_throwIn) throw std::runtime_error("work failed");
        m_temp[size_t(i)] = 1;
    }
    void Commit(int32_t i, bool ended) override
    {
        OnCaller();
        endedFlags.push_back(ended);
        if (m_temp[size_t(i)]) disk.insert(i);
    }
    void Discard(int32_t) override { OnCaller(); }
    bool IsStopRequested() override { return false; }

private:
    void OnCaller() { consumerOnly = consumerOnly && std::this_thread::get_id() == m_consumer; }

    std::vector<int> m_temp;
    int32_t m_throwIn;
    int32_t m_lastDecided = -1;
    std::thread::id m_consumer = std::this_thread::get_id();
};

TEST(SliceRunnerThread, WorkThatThrowsIsCommittedAsNotEndedAndTheRunGoesOn)
{
    for (int32_t helpers : {0, 1, 3})
    {
        CFakePass pass(8, 1);
        CSliceRunner runner(helpers, 2);
        EXPECT_EQ(runner.Run(pass), 8);
        EXPECT_EQ(pass.endedFlags, (std::vector<int>{1, 0, 1, 1, 1, 1, 1, 1})) << helpers;
        EXPECT_EQ(pass.disk, (std::set<int32_t>{0, 2, 3, 4, 5, 6, 7})) << helpers;
        EXPECT_TRUE(pass.consumerOnly) << helpers;
        EXPECT_LE(pass.maxDecidedAhead, 2) << helpers;
    }
}

} // namespace
