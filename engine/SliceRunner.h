#pragma once
// The ordered pass over the files of a run, with the work of the next few files done ahead on
// helper threads.
//
// What a caller observes stays that of a plain loop over the entries: entry i is announced
// (the progress event), handled and committed on the calling thread, in order, and the stop
// request is tested after each committed entry. Ahead of that, entries up to lookAhead places
// further on are decided (on the calling thread, in order) and their work is queued for the
// helpers; the work must leave no trace a user could see until its commit (it writes under a
// temporary name). An entry whose name equals that of an earlier entry not yet committed (a
// second source slice of one destination) is decided only at its turn, after that commit, as
// the plain loop would decide it. After a stop, the work of entries that were decided but not
// committed is discarded, so the files present are those the plain loop would have left.

#include "Base/threads/WorkQueue.h"

#include <cstdint>
#include <string>
#include <vector>

// One pass over a list of files; the runner calls every function except Work on the thread
// that calls Run.
class IFilePass
{
public:
    virtual ~IFilePass() = default;

    virtual int32_t GetCount() = 0;
    // The destination entry i writes. Entries of equal names (letter case ignored) are decided
    // one after the other; "" never conflicts.
    virtual std::string GetName(int32_t i) = 0;
    // Before entry i is handled: the progress event.
    virtual void Announce(int32_t i) = 0;
    // Decides how entry i is handled, changing no file; true when it has work for Work. Called
    // once per entry, in order, at the latest at the entry's turn.
    virtual bool Decide(int32_t i) = 0;
    // The work of entry i on some lane (0 is the calling thread). It may use only the entry's
    // own state, the lane's scratch memory and data that nothing changes during the pass.
    virtual void Work(int32_t i, int32_t lane) = 0;
    // Completes entry i in order: files renamed into place, lists and counts updated. ended is
    // false when Work threw before its end; entries without work are committed too.
    virtual void Commit(int32_t i, bool ended) = 0;
    // Entry i was decided, and its work perhaps done, but it will not be committed: its
    // temporary files go.
    virtual void Discard(int32_t i) = 0;
    // Tested after each committed entry; true ends the pass.
    virtual bool IsStopRequested() = 0;
};

class CSliceRunner
{
public:
    // helpers: threads beside the caller's (vKit::CWorkQueue::DefaultHelpers() gives one per
    // further processor). lookAhead: entries decided beyond the one being handled; 0 with no
    // helpers is the plain loop.
    CSliceRunner(int32_t helpers, int32_t lookAhead);

    // The look-ahead that keeps every lane busy: two entries per lane.
    static int32_t DefaultLookAhead(int32_t helpers) { return 2 * (helpers + 1); }
    int32_t GetLanes() const { return m_queue.GetLanes(); }

    // Runs the pass; returns the number of entries committed.
    int32_t Run(IFilePass& pass);

private:
    struct SEntry
    {
        std::string name;
        bool decided = false;
        bool hasWork = false;
        uint64_t ticket = 0;
    };

    // Decides entries beyond the current one, up to the look-ahead, and queues their work.
    void DecideAhead(IFilePass& pass, int32_t current);
    bool SharesNameWithUncommitted(int32_t current, int32_t k) const;
    void DecideAndQueue(IFilePass& pass, int32_t k);
    // After a stop (or an exception): drops the queued work and discards what was decided.
    void DiscardFrom(IFilePass& pass, int32_t first);

    vKit::CWorkQueue m_queue;
    int32_t m_lookAhead;
    std::vector<SEntry> m_entries;
    int32_t m_nextUndecided = 0; // entries before it were decided or deferred
};
