#include "engine/ConversionRig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace
{

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Calls a function from the job's progress event, the way the dialog's handler runs.
class CProgressProbe
{
public:
    CProgressProbe(vKit::CProgressBase& source, std::function<void(const vKit::CProgressInfo&)> f)
        : m_source(source), m_f(std::move(f))
    {
        m_source.OnProgress.Subscribe(this, &CProgressProbe::On);
    }
    ~CProgressProbe() { m_source.OnProgress.Unsubscribe(this, &CProgressProbe::On); }
    void On(vKit::CProgressInfo info)
    {
        m_last = info;
        m_f(info);
    }
    vKit::CProgressInfo m_last;

private:
    vKit::CProgressBase& m_source;
    std::function<void(const vKit::CProgressInfo&)> m_f;
};

TEST(ConversionRun, ShiftRenumbersSlicesGrowsSideImageAndCarriesCompanions)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 10);
    const std::string out = rig.Folder("out");
    rig.Wire(rig.Path("scan_spr.bmp"), out + "/q????.bmp");
    CDatasetConversion& job = rig.Job();
    job.SetShift(5);
    CProgressProbe probe(job.GetProgress(), [](const vKit::CProgressInfo&) {});
    job.Convert();

    EXPECT_TRUE(probe.m_last.IsFinished());
    EXPECT_EQ(probe.m_last.GetPosition(), probe.m_last.GetMaximum());
    EXPECT_TRUE(job.GetFailedFiles().empty());
    EXPECT_EQ(Rows(out + "/q0012.bmp"), std::vector<uint8_t>(CConversionRig::kHeight, SliceValue(7)));
    EXPECT_FALSE(CScratchFolder::Exists(out + "/q0000.bmp"));
    EXPECT_TRUE(CScratchFolder::Exists(out + "/q0014.bmp"));

    int32_t width = 0;
    const std::vector<uint8_t> side = Rows(out + "/q_spr.bmp", &width);
    ASSERT_EQ(side.size(), size_t(CConversionRig::kSideHeight + 5));
    EXPECT_EQ(width, CConversionRig::kWidth);
    for (int32_t r = 0; r < CConversionRig::kSideHeight; ++r)
        EXPECT_EQ(side[size_t(r)], r + 1);
    for (size_t r = CConversionRig::kSideHeight; r < side.size(); ++r)
        EXPECT_EQ(side[r], 0);

    for (const char* suffix : {"_cfg.txt", "_dicom.txt", ".log"})
        EXPECT_EQ(CScratchFolder::Read(out + "/q" + suffix),
                  CScratchFolder::Read(rig.Path(std::string("scan") + suffix)))
            << suffix;
    // Handling order: companions in list order, then the slices; no temporary file is left.
    const std::vector<std::string> written = rig.Written();
    const size_t cc = size_t(job.GetCompanions().GetCount());
    ASSERT_EQ(written.size(), cc + 10);
    EXPECT_EQ(written[0], out + "/q_cfg.txt");
    EXPECT_EQ(written[cc - 1], out + "/q_spr.bmp");
    EXPECT_EQ(written[cc], out + "/q0005.bmp");
    EXPECT_EQ(written.back(), out + "/q0014.bmp");
    EXPECT_EQ(FolderNames(out).size(), 3u + 10u + 1u); // companions, slices, log
    EXPECT_EQ(job.GetWrittenCount(), int32_t(cc + 10));
}

TEST(ConversionRun, NegativeShiftDropsSideRowsOrSkipsTheSideImage)
{
    CConversionRig rig;
    rig.WriteSource("scan", 20, 3);
    const std::string out = rig.Folder("out");
    rig.Wire(rig.Path("scan0020.bmp"), out + "/q????.bmp");
    rig.Job().SetShift(-4);
    rig.Job().Convert();
    EXPECT_EQ(Rows(out + "/q_spr.bmp").size(), size_t(CConversionRig::kSideHeight - 4));
    EXPECT_EQ(Rows(out + "/q0016.bmp"), std::vector<uint8_t>(CConversionRig::kHeight, SliceValue(20)));

    // A shift that leaves the side image no row: it is not written, and that is no failure.
    fs::remove_all(out);
    fs::create_directory(out);
    rig.Job().SetShift(-20);
    rig.Job().Convert();
    EXPECT_FALSE(CScratchFolder::Exists(out + "/q_spr.bmp"));
    EXPECT_TRUE(CScratchFolder::Exists(out + "/q0000.bmp"));
    EXPECT_TRUE(rig.Job().GetFailedFiles().empty());
}

// An interrupted run, then the dialog's "No": present slices stay as they are, the missing ones
// are written, companions are handled again.
TEST(ConversionRun, CancelledRunThenResumeWritesOnlyMissingSlices)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 8);
    const std::string out = rig.Folder("out");
    rig.Wire(rig.Path("scan0000.bmp"), out + "/q????.bmp");
    CDatasetConversion& job = rig.Job();
    {
        // Cancel while slice 3 is being handled.
        CProgressProbe cancel(job.GetProgress(),
                              [&job](const vKit::CProgressInfo& info)
                              {
                                  if (info.GetMaximum() == job.GetListedCount() &&
                                      info.GetPosition() == job.GetCompanions().GetCount() + 3)
                                      job.GetProgress().SetCancelRequested(true);
                              });
        job.Convert();
        EXPECT_TRUE(cancel.m_last.IsCancelled());
    }
    EXPECT_TRUE(CScratchFolder::Exists(out + "/q0003.bmp"));
    EXPECT_FALSE(CScratchFolder::Exists(out + "/q0004.bmp"));
    EXPECT_FALSE(CScratchFolder::Exists(out + "/q.log"));

    // Mark a present slice: a resumed run must not rewrite it.
    WriteImage(out + "/q0001.bmp", 2, 2, {99});
    job.SetOverwrite(false);
    job.Convert();
    EXPECT_EQ(Rows(out + "/q0001.bmp"), std::vector<uint8_t>(2, 99));
    for (int32_t n = 4; n < 8; ++n)
        EXPECT_EQ(Rows(SliceName(out, "q", n)), std::vector<uint8_t>(CConversionRig::kHeight, SliceValue(n)));
    EXPECT_EQ(job.GetSkippedCount(), 4);
    EXPECT_EQ(job.GetWrittenCount(), job.GetCompanions().GetCount() + 4);
    EXPECT_TRUE(CScratchFolder::Exists(out + "/q.log"));

    // "Yes": everything is written anew.
    job.SetOverwrite(true);
    job.Convert();
    EXPECT_EQ(Rows(out + "/q0001.bmp"), std::vector<uint8_t>(CConversionRig::kHeight, SliceValue(1)));
    EXPECT_EQ(job.GetSkippedCount(), 0);
}

TEST(ConversionRun, CancelDuringCompanionsStillHandlesOneSlice)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 4);
    const std::string out = rig.Folder("out");
    rig.Wire(rig.Path("scan0000.bmp"), out + "/q????.bmp");
    CDatasetConversion& job = rig.Job();
    CProgressProbe cancel(job.GetProgress(),
                          [&job](const vKit::CProgressInfo& info)
                          {
                              if (info.GetMaximum() == job.GetListedCount() && info.GetPosition() == 0)
                                  job.GetProgress().SetCancelRequested(true);
                          });
    job.Convert();
    EXPECT_EQ(FolderNames(out), (std::vector<std::string>{"q0000.bmp", "q_cfg.txt"}));
    EXPECT_TRUE(job.GetProgress().IsAborted());
}

// "scan2" beside "scan": the old destination goes, every file of the source stays, including
// the source's slice 2000, whose name the destination mask "scan2????.bmp" also matches.
TEST(ConversionRun, OverwriteDeletesOnlyExactDestinationNamesAndNoSourceFile)
{
    CConversionRig rig;
    rig.WriteSource("scan", 1998, 4);
    WriteImage(rig.Path("scan20007.bmp"), 2, 2, {1}); // an old destination slice
    rig.Scratch().Write("scan2_cfg.txt", "old");
    rig.Scratch().Write("scan2x.bmp", "not a member");
    std::map<std::string, std::string> before;
    for (const std::string& name : FolderNames(rig.Path(".")))
        if (name.rfind("scan2", 0) != 0 || name == "scan2000.bmp" || name == "scan2001.bmp")
            before[name] = CScratchFolder::Read(rig.Path(name));
    ASSERT_EQ(before.size(), 8u);

    rig.Wire(rig.Path("scan1998.bmp"), rig.Path("scan2????.bmp"));
    rig.Job().SetOverwrite(true);
    rig.Job().Convert();
    EXPECT_TRUE(rig.Job().GetFailedFiles().empty()) << testing::PrintToString(rig.FailedPaths());
    for (const auto& [name, bytes] : before)
        EXPECT_EQ(CScratchFolder::Read(rig.Path(name)), bytes) << name;
    EXPECT_FALSE(CScratchFolder::Exists(rig.Path("scan20007.bmp")));
    EXPECT_TRUE(CScratchFolder::Exists(rig.Path("scan2x.bmp")));
    EXPECT_EQ(Rows(rig.Path("scan22000.bmp")),
              std::vector<uint8_t>(CConversionRig::kHeight, SliceValue(2000)));
    EXPECT_EQ(CScratchFolder::Read(rig.Path("scan2_cfg.txt")), before["scan_cfg.txt"]);
}

// Same folder and prefix, another format: the text files are the source's own; they are neither
// deleted by the overwrite nor copied onto themselves, and that is no failure.
TEST(ConversionRun, CompanionThatIsTheSourceItselfIsLeftAlone)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 2);
    const std::string cfg = rig.Path("scan_cfg.txt");
    const auto stamp = fs::last_write_time(cfg);
    rig.Wire(rig.Path("scan0000.bmp"), rig.Path("scan????.jpg"));
    rig.Job().SetOverwrite(true);
    rig.Job().Convert();
    ASSERT_TRUE(CScratchFolder::Exists(cfg));
    EXPECT_EQ(fs::last_write_time(cfg), stamp);
    for (const CFailedFile& f : rig.Job().GetFailedFiles())
        EXPECT_NE(f.action, "copy") << f.path;
    EXPECT_EQ(rig.Written()[0], cfg);
}

// Convert does not ask CanConvert: a destination that is the source in other letters lists no
// file, and no copy of the log appears under the other spelling.
TEST(ConversionRun, RunOntoTheSourceItselfWritesNothing)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 2);
    const std::vector<std::string> before = FolderNames(rig.Path("."));
    rig.Wire(rig.Path("scan0000.bmp"), rig.Path("SCAN????.BMP"));
    rig.Job().Convert();
    EXPECT_TRUE(rig.Job().GetProgress().GetProgressInfo().IsFinished());
    EXPECT_EQ(FolderNames(rig.Path(".")), before);
    EXPECT_EQ(rig.Job().GetWrittenFiles().GetCount(), 0);
}

TEST(ConversionRun, UnreadableSourcesAndUnwritableDestinationAreListedAndTheRunGoesOn)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 4);
    rig.Scratch().Write("scan0002.bmp", "BM truncated");
    const std::string out = rig.Folder("out");
    rig.Wire(rig.Path("scan0000.bmp"), out + "/q????.bmp");
    rig.Job().Convert();
    EXPECT_EQ(rig.FailedPaths(), (std::vector<std::string>{"read " + rig.Path("scan0002.bmp")}));
    EXPECT_TRUE(CScratchFolder::Exists(out + "/q0003.bmp"));
    EXPECT_TRUE(rig.Job().GetProgress().GetProgressInfo().IsFinished());

    // The engine creates no folder: every file fails, each one listed.
    rig.Wire(rig.Path("scan0000.bmp"), rig.Path("missing/q????.bmp"));
    rig.Job().Convert();
    const std::vector<std::string> failed = rig.FailedPaths();
    const size_t cc = size_t(rig.Job().GetCompanions().GetCount());
    ASSERT_EQ(failed.size(), cc + 3u + 1u + 1u); // companions, readable slices, the bad one, log
    EXPECT_EQ(failed[0], "copy " + rig.Path("missing/q_cfg.txt"));
    EXPECT_EQ(failed[cc - 1], "write " + rig.Path("missing/q_spr.bmp"));
    EXPECT_EQ(failed[cc], "write " + rig.Path("missing/q0000.bmp"));
    EXPECT_EQ(failed.back(), "copy " + rig.Path("missing/q.log"));
    EXPECT_TRUE(rig.Job().GetProgress().GetProgressInfo().IsFinished());
}

} // namespace
