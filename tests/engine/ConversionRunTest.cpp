#include "engine/ConversionRig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace
{

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(ConversionRun, ShiftRenumbersSlicesGrowsSideImageAndCarriesCompanions)
{
    CConversionRig rig;
    const std::string out = rig.Start("scan", 0, 10);
    CDatasetConversion& job = rig.Job();
    job.SetShift(5);
    CProgressProbe probe(job.GetProgress());
    job.Convert();

    EXPECT_TRUE(probe.m_last.IsFinished());
    EXPECT_TRUE(job.GetFailedFiles().empty());
    EXPECT_EQ(Rows(out + "/q0012.bmp"), SliceRows(7));
    // The side image gains 5 zero rows at the bottom.
    EXPECT_EQ(Rows(out + "/q_spr.bmp"),
              (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 0, 0, 0, 0}));
    for (const char* suffix : {"_cfg.txt", "_dicom.txt", ".log"})
        EXPECT_EQ(CScratchFolder::Read(out + "/q" + suffix), CScratchFolder::Read(rig.Path("scan") + suffix))
            << suffix;
    // Handling order: companions in list order, then the slices; no temporary file is left.
    const Names written = rig.Written();
    EXPECT_EQ(Names(written.begin(), written.begin() + 4),
              (Names{out + "/q_cfg.txt", out + "/q_dicom.txt", out + "/q_spr.bmp", out + "/q0005.bmp"}));
    EXPECT_EQ(job.GetWrittenCount(), 3 + 10);
    const Names names = rig.Scratch().Names("out"); // q.log, q0005 ... q0014, three companions
    EXPECT_EQ(names.size(), 14u);
    EXPECT_TRUE(names[1] == "q0005.bmp" && names[10] == "q0014.bmp") << testing::PrintToString(names);
}

// Losing rows keeps the top ones; a shift that leaves the side image no row skips it, and that is
// no failure.
TEST(ConversionRun, NegativeShiftDropsSideRowsOrSkipsTheSideImage)
{
    CConversionRig rig;
    const std::string out = rig.Start("scan", 20, 3);
    rig.Job().SetShift(-4);
    rig.Job().Convert();
    EXPECT_EQ(Rows(out + "/q_spr.bmp"), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(Rows(out + "/q0016.bmp"), SliceRows(20));

    rig.Wire(rig.Path("scan0020.bmp"), rig.Folder("out2") + "/q????.bmp");
    rig.Job().SetShift(-20);
    rig.Job().Convert();
    EXPECT_FALSE(CScratchFolder::Exists(rig.Path("out2/q_spr.bmp")));
    EXPECT_TRUE(CScratchFolder::Exists(rig.Path("out2/q0000.bmp")));
    EXPECT_TRUE(rig.Job().GetFailedFiles().empty());
}

// An interrupted run keeps the old log and describes the slices it wrote; then the dialog's "No":
// present slices stay as they are, the missing ones are written, companions are handled again and
// the description lists every slice present; then "Yes" writes everything anew.
TEST(ConversionRun, CancelledRunThenResumeWritesOnlyMissingSlices)
{
    CConversionRig rig;
    const std::string out = rig.Start("scan", 0, 8);
    rig.Scratch().Write("out/q.log", "old log");
    CDatasetConversion& job = rig.Job();
    job.SetGenerateVgi(true);
    {
        CProgressProbe cancel(job.GetProgress(), CancelAt(job, 3 + 3)); // slice 3, after three companions
        job.Convert();
        EXPECT_TRUE(cancel.m_last.IsCancelled());
    }
    EXPECT_EQ(rig.Scratch().Names("out"), (Names{"q.log", "q.vgi", "q0000.bmp", "q0001.bmp", "q0002.bmp",
                                                 "q0003.bmp", "q_cfg.txt", "q_dicom.txt", "q_spr.bmp"}));
    EXPECT_EQ(CScratchFolder::Read(out + "/q.log"), "old log");
    const std::string slice3 =
        "[file4]\r\nFileFormat = bmp\r\nName = " + out + "/q0003.bmp\r\nPosition = 0 0 3";
    EXPECT_TRUE(Has(CScratchFolder::Read(out + "/q.vgi"), slice3));
    EXPECT_FALSE(Has(CScratchFolder::Read(out + "/q.vgi"), "[file5]"));

    WriteImage(out + "/q0001.bmp", 2, 2, {99}); // a resumed run must not rewrite it
    job.SetOverwrite(false);
    job.Convert();
    EXPECT_EQ(Rows(out + "/q0001.bmp"), std::vector<uint8_t>(2, 99));
    EXPECT_EQ(Rows(out + "/q0007.bmp"), SliceRows(7));
    EXPECT_EQ(job.GetSkippedCount(), 4);
    EXPECT_EQ(job.GetWrittenCount(), 3 + 4);
    EXPECT_EQ(CScratchFolder::Read(out + "/q.log"), CScratchFolder::Read(rig.Path("scan.log")));
    const std::string vgi = CScratchFolder::Read(out + "/q.vgi");
    EXPECT_TRUE(Has(vgi, slice3) && Has(vgi, "Name = " + out + "/q0007.bmp\r\nPosition = 0 0 7")) << vgi;

    job.SetOverwrite(true);
    job.Convert();
    EXPECT_EQ(Rows(out + "/q0001.bmp"), SliceRows(1));
    EXPECT_EQ(job.GetSkippedCount(), 0);
}

TEST(ConversionRun, CancelDuringCompanionsStillHandlesOneSlice)
{
    CConversionRig rig;
    rig.Start("scan", 0, 4);
    CDatasetConversion& job = rig.Job();
    CProgressProbe cancel(job.GetProgress(), CancelAt(job, 0));
    job.Convert();
    EXPECT_EQ(rig.Scratch().Names("out"), (Names{"q0000.bmp", "q_cfg.txt"}));
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
    std::map<std::string, std::string> before = Contents(rig.Path(""));
    for (const char* name : {"scan20007.bmp", "scan2_cfg.txt", "scan2x.bmp"})
        before.erase(name);
    ASSERT_EQ(before.size(), 8u);

    rig.Wire(rig.Path("scan1998.bmp"), rig.Path("scan2????.bmp"));
    rig.Job().SetOverwrite(true);
    rig.Job().Convert();
    EXPECT_TRUE(rig.Job().GetFailedFiles().empty()) << testing::PrintToString(rig.FailedPaths());
    for (const auto& [name, bytes] : before)
        EXPECT_EQ(CScratchFolder::Read(rig.Path(name)), bytes) << name;
    EXPECT_FALSE(CScratchFolder::Exists(rig.Path("scan20007.bmp")));
    EXPECT_TRUE(CScratchFolder::Exists(rig.Path("scan2x.bmp")));
    EXPECT_EQ(Rows(rig.Path("scan22000.bmp")), SliceRows(2000));
    EXPECT_EQ(CScratchFolder::Read(rig.Path("scan2_cfg.txt")), before["scan_cfg.txt"]);
}

// Same folder and prefix, another format: the text files are the source's own; they are neither
// deleted by the overwrite nor copied onto themselves, and that is no failure.
TEST(ConversionRun, DestinationThatHoldsTheSourceTextsLeavesThemAlone)
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
    EXPECT_TRUE(rig.Job().GetFailedFiles().empty()) << testing::PrintToString(rig.FailedPaths());
    EXPECT_EQ(rig.Written()[0], cfg);
}

// A description that cannot be written is a failed file like any other.
TEST(ConversionRun, UnreadableSourcesAndUnwritableDestinationAreListedAndTheRunGoesOn)
{
    CConversionRig rig;
    const std::string out = rig.Start("scan", 0, 4);
    rig.Scratch().Write("scan0002.bmp", "BM truncated");
    rig.Job().Convert();
    EXPECT_EQ(rig.FailedPaths(), Names{"read " + rig.Path("scan0002.bmp")});
    EXPECT_TRUE(CScratchFolder::Exists(out + "/q0003.bmp"));

    // The engine creates no folder: every file fails, each one listed.
    rig.Wire(rig.Path("scan0000.bmp"), rig.Path("missing/q????.bmp"));
    rig.Job().SetGenerateVgi(true);
    rig.Job().Convert();
    const Names failed = rig.FailedPaths();
    ASSERT_EQ(failed.size(), 3u + 3u + 1u + 1u + 1u); // companions, readable slices, the bad one, log, vgi
    EXPECT_EQ(failed[0], "copy " + rig.Path("missing/q_cfg.txt"));
    EXPECT_EQ(failed[2], "write " + rig.Path("missing/q_spr.bmp"));
    EXPECT_EQ(failed[3], "write " + rig.Path("missing/q0000.bmp"));
    EXPECT_EQ(failed.back(), "copy " + rig.Path("missing/q.log"));
    EXPECT_NE(std::find(failed.begin(), failed.end(), "write " + rig.Path("missing/q.vgi")), failed.end());
    EXPECT_TRUE(rig.Job().GetProgress().GetProgressInfo().IsFinished());
}

} // namespace
