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
};

std::string Relative(const std::string& path, const std::string& folder)
{
    return path.rfind(folder, 0) == 0 ? path.substr(folder.size()) : path;
}

// A fresh destination folder per run, so that two runs of one rig compare file for file.
SOutcome RunInto(CConversionRig& rig, const std::string& folderName, int32_t threads, int32_t cancelAt = -1)
{
    const std::string out = rig.Folder(folderName);
    rig.Wire(rig.Path("scan0000.bmp"),
             out + "/q????." + rig.Job().GetDestination()->GetDataset()->GetExtension());
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

void ExpectSame(const SOutcome& one, const SOutcome& many, const std::string& what)
{
    EXPECT_TRUE(many.files == one.files) << what << ": other files or bytes";
    EXPECT_EQ(many.written, one.written) << what;
    EXPECT_EQ(many.failed, one.failed) << what;
    EXPECT_EQ(many.writtenCount, one.writtenCount) << what;
    EXPECT_EQ(many.skippedCount, one.skippedCount) << what;
    EXPECT_EQ(many.positions, one.positions) << what;
    EXPECT_EQ(many.cancelled, one.cancelled) << what;
    EXPECT_TRUE(many.eventsOnCaller) << what;
}

// Eleven slices with a shift of 3 folded by 2 (groups of one and two), one of them unreadable,
// so that a group member fails and the second member of its group writes the destination.
void WriteFoldingSource(CConversionRig& rig)
{
    rig.WriteSource("scan", 0, 11);
    rig.Scratch().Write("scan0005.bmp", "BM truncated");
    rig.Job().SetResizeFactor(2).SetShift(3).SetResizeQuality(3);
}

TEST(ParallelConversionThread, ManyFilesAtATimeWriteWhatOneThreadWrites)
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
        rig.Folder("one");
        rig.Wire(rig.Path("scan0000.bmp"), rig.Path("one/q0000.") + c.format);
        const SOutcome one = RunInto(rig, "one", 1);
        const SOutcome many = RunInto(rig, "many", 4);
        ExpectSame(one, many, c.format);
        EXPECT_FALSE(one.failed.empty());
        // The start of the file count, then one event per file in list order.
        std::vector<int32_t> order{0};
        for (int32_t k = 0; k + 1 < int32_t(one.positions.size()); ++k)
            order.push_back(k);
        EXPECT_EQ(many.positions, order);
        for (const auto& [name, bytes] : many.files)
            EXPECT_NE(name[0], '.') << "temporary file left: " << name;
    }
}

TEST(ParallelConversionThread, CancelAtAnyFileLeavesWhatOneThreadLeaves)
{
    CConversionRig rig;
    WriteFoldingSource(rig);
    rig.Folder("x");
    rig.Wire(rig.Path("scan0000.bmp"), rig.Path("x/q0000.bmp"));
    rig.Job().PrepareLists();
    const int32_t files = rig.Job().GetListedCount();
    for (int32_t at = 0; at < files; ++at)
    {
        const std::string name = std::to_string(at);
        const SOutcome one = RunInto(rig, "one" + name, 1, at);
        const SOutcome many = RunInto(rig, "many" + name, 3, at);
        ASSERT_TRUE(one.cancelled);
        ExpectSame(one, many, "cancel at " + name);
    }
}

TEST(ParallelConversionThread, ThreadCountComesFromTheJobThenTheEnvironment)
{
    CDatasetConversion job;
    job.SetThreads(3);
    EXPECT_EQ(job.GetEffectiveThreads(), 3);
    job.SetThreads(1000);
    EXPECT_EQ(job.GetEffectiveThreads(), 64);
    job.SetThreads(0);
    EXPECT_GE(job.GetEffectiveThreads(), 1);
}

} // namespace
