#include "engine/SliceRunner.h"

#include "Base/core/Strings.h"

#include <algorithm>

CSliceRunner::CSliceRunner(int32_t helpers, int32_t lookAhead)
    : m_queue(helpers), m_lookAhead(std::max(lookAhead, 0))
{
}

int32_t CSliceRunner::Run(IFilePass& pass)
{
    const int32_t n = std::max(pass.GetCount(), 0);
    m_entries.assign(size_t(n), SEntry());
    for (int32_t i = 0; i < n; ++i)
        m_entries[size_t(i)].name = pass.GetName(i);
    m_nextUndecided = 0;
    int32_t committed = 0;
    try
    {
        for (int32_t i = 0; i < n; ++i)
        {
            DecideAhead(pass, i);
            pass.Announce(i);
            SEntry& entry = m_entries[size_t(i)];
            if (!entry.decided) DecideAndQueue(pass, i);
            const bool ended = !entry.hasWork || m_queue.Wait(entry.ticket);
            pass.Commit(i, ended);
            committed = i + 1;
            if (pass.IsStopRequested()) break;
        }
        DiscardFrom(pass, committed);
    }
    catch (...)
    {
        DiscardFrom(pass, committed);
        throw;
    }
    return committed;
}

void CSliceRunner::DecideAhead(IFilePass& pass, int32_t current)
{
    // The current entry itself is decided after its announcement, as in the plain loop.
    m_nextUndecided = std::max(m_nextUndecided, current + 1);
    const int32_t last =
        int32_t(std::min<int64_t>(int64_t(m_entries.size()) - 1, int64_t(current) + m_lookAhead));
    for (; m_nextUndecided <= last; ++m_nextUndecided)
    {
        if (!SharesNameWithUncommitted(current, m_nextUndecided)) DecideAndQueue(pass, m_nextUndecided);
    }
}

bool CSliceRunner::SharesNameWithUncommitted(int32_t current, int32_t k) const
{
    const std::string& name = m_entries[size_t(k)].name;
    if (name.empty()) return false;
    for (int32_t j = current; j < k; ++j)
    {
        if (vKit::CompareNoCase(m_entries[size_t(j)].name, name) == 0) return true;
    }
    return false;
}

void CSliceRunner::DecideAndQueue(IFilePass& pass, int32_t k)
{
    SEntry& entry = m_entries[size_t(k)];
    const bool work = pass.Decide(k);
    entry.decided = true;
    if (work) entry.ticket = m_queue.Post([&pass, k](int32_t lane) { pass.Work(k, lane); });
    entry.hasWork = work;
}

void CSliceRunner::DiscardFrom(IFilePass& pass, int32_t first)
{
    m_queue.Abandon();
    const int32_t end = std::min<int32_t>(m_nextUndecided, int32_t(m_entries.size()));
    for (int32_t k = first; k < end; ++k)
    {
        if (m_entries[size_t(k)].decided) pass.Discard(k);
    }
}
