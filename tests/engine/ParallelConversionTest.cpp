// Several files converted at a time must look like one file after the other: the same files with
// the same bytes, the same lists and counts, progress events in file order on the calling
// thread, and after a cancel at any file exactly what the one-thread run leaves.

#include "engine/ConversionRig.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

namespace
{

struct SOutcome
{
    std::map<std::string, std::string> files; // every name in the folder, hidden ones too
    Names written;                            // names relative to the folder
    Names failed;
    int32_t writtenCount = 0;
    int32_t skippedCount = 0;
    std::vector<int32_t> positions; // of the events with the run's file count as maximum
    bool eventsOnCaller = true;
    bool cancelled = false;
    bool operator==(const SOutcome&) const = default;
};

std::string Relative(const std::string& path, const std::string& folder)
{
    return path.rfind(folder, 0) == 0 ? path.substr(folder.size()) : path;
}

// A fresh destination folder per run, so that two runs of one rig compare file for file.
SOutcome RunInto(CConversionRig& rig, const std::string& folderName, const char* format, int32_t threads,
                 int32_t cancelAt)
{
    const std::string out = rig.Folder(folderName);
    rig.Wire(rig.Path("scan0000.bmp"), out + "/q????." + format);
    rig.Job().SetThreads(threads);
    SOutcome outcome;
    CDatasetConversion& job = rig.Job();
    const std::thread::id caller = std::this_thread::get_id();
    {
        CProgressProbe log(job.GetProgress(),
                           [&](const vKit::CProgressInfo& info)
                           {
                               outcome.eventsOnCaller &= std::this_thread::get_id() == caller;
                               if (info.GetMaximum() != job.GetListedCount() || info.IsFinished() ||
                                   info.IsCancelled())
                                   return;
                               outcome.positions.push_back(info.GetPosition());
                               if (info.GetPosition() == cancelAt) job.GetProgress().SetCancelRequested(true);
                           });
        job.Convert();
    }
    outcome.files = Contents(out);
    for (const std::string& path : rig.Written())
        outcome.written.push_back(Relative(path, out));
    for (const std::string& line : rig.FailedPaths())
        outcome.failed.push_back(Relative(line, out));
    outcome.writtenCount = rig.Job().GetWrittenCount();
    outcome.skippedCount = rig.Job().GetSkippedCount();
    outcome.cancelled = rig.Job().GetProgress().GetProgressInfo().IsCancelled();
    return outcome;
}

// Eleven slices with a shift of 3 folded by 2 (groups of one and two), one of them unreadable,
// so that a group member fails and the second member of its group writes the destination.
void WriteFoldingSource(CConversionRig& rig)
{
    rig.WriteSource("scan", 0, 11);
    rig.Scratch().Write("scan0005.bmp", "BM truncated");
    rig.Job().SetResizeFactor(2).SetShift(3).SetResizeQuality(3);
}

// Uncancelled (-1), then cancelled at every file in turn.
TEST(ParallelConversionThread, ManyFilesAtATimeWriteWhatOneThreadWritesWhereverCancelled)
{
    struct SCase
    {
        const char* format;
        int32_t quality;
    };
    for (const SCase& c : {SCase{"tif", 3}, SCase{"bmp", 2}, SCase{"jpg", 1}})
    {
        CConversionRig rig;
        WriteFoldingSource(rig);
        rig.Job().SetResizeQuality(c.quality).SetKeepFileTime(true);
        const SOutcome whole = RunInto(rig, "whole", c.format, 1, -1);
        EXPECT_FALSE(whole.failed.empty());
        // The start of the file count, then one event per file in list order.
        std::vector<int32_t> order{0};
        for (int32_t k = 0; k + 1 < int32_t(whole.positions.size()); ++k)
            order.push_back(k);
        EXPECT_EQ(whole.positions, order);
        for (int32_t at = -1; at + 1 < int32_t(whole.positions.size()); ++at)
        {
            const std::string name = std::string(c.format) + " cancel at " + std::to_string(at);
            const SOutcome one = RunInto(rig, "one" + name, c.format, 1, at);
            const SOutcome many = RunInto(rig, "many" + name, c.format, 4, at);
            EXPECT_EQ(one.cancelled, at >= 0);
            EXPECT_TRUE(many == one) << name; // events on the calling thread included
            for (const auto& [file, bytes] : many.files)
                EXPECT_NE(file[0], '.') << name << ": temporary file left: " << file;
        }
    }
}

} // namespace
