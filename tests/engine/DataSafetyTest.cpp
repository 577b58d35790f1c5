// What keeps a conversion from losing or mixing up files: the source behind links, the lock on
// the destination, temporary files of killed runs, members that are no files, and the times of
// each slice, set before it appears.

#include "engine/ConversionRig.h"

#include "Base/platform/Platform.h"
#include "Base/platform/PlatformTemporary.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{

// Source slices that are links into real/: the destination real/scan.bmp is the source itself
// and is refused before anything is deleted. A destination elsewhere whose old members are the
// source's files under other names (a hard link, a symbolic link) keeps them.
TEST(DataSafety, OverwriteNeverDeletesAFileOfTheSourceHoweverItIsNamed)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 3);
    rig.Folder("src");
    for (const std::string& name : rig.Scratch().Names())
        if (name != "src") fs::create_symlink("../" + name, rig.Path("src/" + name));
    const auto before = Contents(rig.Path(""));
    rig.Wire(rig.Path("src/scan0000.bmp"), rig.Path("scan.bmp"));
    rig.Job().SetOverwrite(true);
    EXPECT_FALSE(rig.Job().CanConvert());
    EXPECT_EQ(rig.Job().GetMessage(), "Not yet implemented");
    rig.Job().Convert();
    EXPECT_EQ(Contents(rig.Path("")), before);

    const std::string out = rig.Folder("out");
    fs::create_hard_link(rig.Path("scan0001.bmp"), out + "/q0009.bmp");
    fs::create_symlink("../scan_cfg.txt", out + "/q_cfg.txt");
    WriteImage(out + "/q0008.bmp", 2, 2, {1});
    rig.Wire(rig.Path("src/scan0000.bmp"), out + "/q????.bmp");
    rig.Job().Convert();
    EXPECT_TRUE(rig.Job().GetFailedFiles().empty()) << testing::PrintToString(rig.FailedPaths());
    EXPECT_EQ(Contents(rig.Path("")), before);
    EXPECT_TRUE(fs::is_symlink(out + "/q_cfg.txt"));
    EXPECT_TRUE(CScratchFolder::Exists(out + "/q0009.bmp"));
    EXPECT_FALSE(CScratchFolder::Exists(out + "/q0008.bmp"));
    EXPECT_EQ(Rows(out + "/q0002.bmp"), SliceRows(2));
}

// While another run holds the destination nothing is touched; the next run removes what killed
// runs left under temporary names of this destination, and only those.
TEST(DataSafety, HeldDestinationIsRefusedAndTheNextRunRemovesLeftovers)
{
    CConversionRig rig;
    const std::string out = rig.Start("scan", 0, 3);
    const Names ours = {".q0001.kavex-99-0badf00d-3.bmp", ".q_cfg.kavex-99-0badf00d-4.txt",
                        ".q.kavex-99-0badf00d-5.log", ".q.kavex-1-2-3.vgi", ".q_spr.kavex-part.tif"};
    const Names others = {".Q0001.kavex-1-2-3.bmp", ".q20001.kavex-1-2-3.bmp", ".q0001.bmp.kavex-x",
                          "notes.txt"};
    for (const std::string& name : ours)
        rig.Scratch().Write("out/" + name, "half");
    for (const std::string& name : others)
        rig.Scratch().Write("out/" + name, "other");
    CDatasetConversion& job = rig.Job();
    job.SetGenerateVgi(true);
    const Names before = rig.Scratch().Names("out");
    {
        vKit::CPlatformLock other;
        ASSERT_EQ(other.TryAcquire(out + "/.q.kavex.lock"), 0);
        job.Convert();
        EXPECT_TRUE(job.IsRefused());
        EXPECT_EQ(job.GetMessage(), std::string(CDatasetConversion::BusyMessage) + ": " + out + "/q????.bmp");
        EXPECT_TRUE(job.GetProgress().GetProgressInfo().IsCancelled());
        other.Release();
    }
    EXPECT_EQ(rig.Scratch().Names("out"), before);

    job.Convert();
    EXPECT_FALSE(job.IsRefused());
    Names expected = others;
    for (const char* name :
         {"q.log", "q.vgi", "q0000.bmp", "q0001.bmp", "q0002.bmp", "q_cfg.txt", "q_dicom.txt", "q_spr.bmp"})
        expected.push_back(name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rig.Scratch().Names("out"), expected);
}

// A pipe, a folder and a dangling link named like members are failed reads, not left out; the
// pipe is never opened in a way that waits for a writer.
TEST(DataSafety, MembersThatAreNoFilesAreFailedReads)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 2);
    ASSERT_EQ(mkfifo(rig.Path("scan0002.bmp").c_str(), 0644), 0);
    rig.Folder("scan0003.bmp");
    fs::create_symlink("nowhere.bmp", rig.Path("scan0004.bmp"));
    ASSERT_EQ(mkfifo(rig.Path("scan_vpr.bmp").c_str(), 0644), 0);
    rig.Wire(rig.Path("scan0000.bmp"), rig.Folder("out") + "/q????.bmp");
    rig.Job().Convert();
    Names failed = rig.FailedPaths();
    std::sort(failed.begin(), failed.end());
    EXPECT_EQ(failed, (Names{"read " + rig.Path("scan0002.bmp"), "read " + rig.Path("scan0003.bmp"),
                             "read " + rig.Path("scan0004.bmp"), "read " + rig.Path("scan_vpr.bmp")}));
    EXPECT_EQ(rig.Job().GetFailedFiles()[0].code, EINVAL);
    EXPECT_EQ(Rows(rig.Path("out/q0001.bmp")), SliceRows(1));
}

// A file another program puts under a destination name during the run stays, whether its slice
// was decided before it came (and worked on ahead) or after: the run counts it as present.
TEST(DataSafety, FileThatComesDuringTheRunIsNotReplaced)
{
    CConversionRig rig;
    const std::string out = rig.Start("scan", 0, 8);
    CDatasetConversion& job = rig.Job();
    job.SetThreads(2);
    const std::string foreign = "not ours";
    CProgressProbe arrive(job.GetProgress(),
                          [&](const vKit::CProgressInfo& info)
                          {
                              if (info.GetMaximum() != job.GetListedCount() || info.GetPosition() != 3 + 1)
                                  return;
                              for (const char* name : {"out/q0002.bmp", "out/q0007.bmp"})
                                  rig.Scratch().Write(name, foreign);
                          });
    job.Convert();
    EXPECT_TRUE(job.GetFailedFiles().empty()) << testing::PrintToString(rig.FailedPaths());
    EXPECT_TRUE(CScratchFolder::Read(out + "/q0002.bmp") == foreign);
    EXPECT_TRUE(CScratchFolder::Read(out + "/q0007.bmp") == foreign);
    EXPECT_EQ(Rows(out + "/q0006.bmp"), SliceRows(6));
    EXPECT_EQ(job.GetSkippedCount(), 2);
    for (const auto& [name, bytes] : Contents(out))
        EXPECT_EQ(name.find(".kavex-"), std::string::npos) << name;
}

class CTimesJob : public CDatasetConversion
{
public:
    using CDatasetConversion::WorkImage;
};

// Each slice keeps its own source's times, and they are on the file before it gets its name: a
// kill between the rename and the times can no longer leave a slice dated by the run.
TEST(DataSafety, KeptTimesFollowEachSliceAndAreSetBeforeItAppears)
{
    CConversionRig rig;
    const std::string out = rig.Start("s", 0, 2, "k0000.tif");
    const int64_t base = 1000000000LL * 1000000000LL;
    for (int32_t n = 0; n < 2; ++n)
    {
        const uint64_t t = vKit::UnixNsToFileTime(base + n * 3600 * 1000000000LL);
        ASSERT_EQ(vKit::PlatformSetFileTimes(SliceName(rig.Path(""), "s", n), t, t), 0);
    }
    rig.Job().SetKeepFileTime(true);
    rig.Job().Convert();
    vKit::CPlatformStat st;
    for (int32_t n = 0; n < 2; ++n)
    {
        ASSERT_EQ(vKit::PlatformStat(SliceName(out, "k", n, "tif"), st), 0);
        EXPECT_EQ(st.writeNs / 1000000000LL, base / 1000000000LL + n * 3600);
    }

    CFileStep step;
    step.action = CFileStep::Image;
    step.isSlice = true;
    step.src = rig.Path("s0001.bmp");
    step.dst = out + "/q0001.bmp";
    step.part = vKit::PlatformTemporaryName(step.dst);
    CImageSettings settings;
    settings.keepFileTime = true;
    CLaneImages lane;
    CTimesJob::WorkImage(step, settings, lane);
    ASSERT_EQ(step.saveCode, 0);
    ASSERT_EQ(vKit::PlatformStat(step.part, st), 0);
    EXPECT_EQ(st.writeNs, base + 3600 * 1000000000LL);
    EXPECT_FALSE(CScratchFolder::Exists(step.dst));
}

} // namespace
