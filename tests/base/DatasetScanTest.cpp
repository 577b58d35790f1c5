#include "Base/Dataset.h"

#include "tests/base/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace
{

using vKit::CDataset;

std::vector<std::string> Listed(const CDataset& ds)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < ds.GetCount(); ++i)
        names.push_back(std::filesystem::path(ds.GetEntryPath(i)).filename().string());
    return names;
}

// p0000.bmp ... p0009.bmp and every companion, created side files first so that the listed
// order cannot come from the order of creation.
class DatasetScan : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name :
             {"p_vpr.bmp", "p_spr.bmp", "p_sp2.bmp", "p_arc.bmp", "p_dicom.txt", "p_cfg.txt", "p.log"})
            dir.Write(name, "x");
        for (int i = 9; i >= 0; --i)
            dir.Write("p000" + std::to_string(i) + ".bmp", "x");
    }
    CScratchFolder dir;
};

TEST_F(DatasetScan, DefaultFlagsListSlicesThenSprAndArc)
{
    CDataset ds;
    EXPECT_EQ(ds.Open(dir.Path("p0005.bmp")), 12);
    const std::vector<std::string> expected = {"p0000.bmp", "p0001.bmp", "p0002.bmp", "p0003.bmp",
                                               "p0004.bmp", "p0005.bmp", "p0006.bmp", "p0007.bmp",
                                               "p0008.bmp", "p0009.bmp", "p_arc.bmp", "p_spr.bmp"};
    EXPECT_EQ(Listed(ds), expected);
    EXPECT_TRUE(ds.IsOpened());
    EXPECT_EQ(ds.GetFirstNumber(), 0);
    EXPECT_EQ(ds.GetLastNumber(), -1); // the last entry is a side file
    EXPECT_EQ(ds.GetLastIndex(), 11);
    EXPECT_EQ(ds.GetEntryNumber(4), 4);
    EXPECT_TRUE(ds.GetHasSpr() && ds.GetHasVpr() && ds.GetHasSp2() && ds.GetHasSideImages());
    EXPECT_TRUE(ds.GetHasCfg() && ds.GetHasDicom());
    EXPECT_EQ(ds.GetFiles().GetFileInfo(3)->m_strFolder, dir.Path());

    ds.SetSlicesOnly(true);
    EXPECT_EQ(ds.Load(), 10);
    EXPECT_EQ(ds.GetLastNumber(), 9);
    EXPECT_EQ(ds.GetRangeLast(), 9);
}

TEST_F(DatasetScan, AnyMemberOpensTheSameDataset)
{
    const std::string upper = dir.Path("P0003.BMP"); // no such file: the scan ignores letter case
    EXPECT_TRUE(CDataset::MaskExists(upper));
    for (const std::string& from :
         {dir.Path("p0009.bmp"), dir.Path("p_spr.bmp"), dir.Path("p_vpr.bmp"), dir.Path("p????.bmp"), upper})
    {
        CDataset ds;
        ds.SetSlicesOnly(true);
        EXPECT_EQ(ds.Open(from), 10) << from;
        EXPECT_EQ(ds.GetFirstNumber(), 0) << from;
        EXPECT_EQ(ds.GetLastNumber(), 9) << from;
    }
}

TEST_F(DatasetScan, AllFilesInSortedOrderWithTheDicomTextOnce)
{
    CDataset ds;
    ds.SetAllFiles(true);
    EXPECT_TRUE(ds.IsAllFiles());
    EXPECT_EQ(ds.Open(dir.Path("p0000.bmp")), 16);
    const std::vector<std::string> all = Listed(ds);
    const std::vector<std::string> tail(all.begin() + 10, all.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"p_arc.bmp", "p_cfg.txt", "p_dicom.txt", "p_sp2.bmp",
                                              "p_spr.bmp", "p_vpr.bmp"}));
    EXPECT_EQ(ds.GetCount(), 16);
    EXPECT_EQ(ds.GetEntryNumber(11), -1);

    CDataset companions;
    companions.SetCompanionsOnly(true);
    EXPECT_TRUE(companions.IsCompanionsOnly());
    EXPECT_EQ(companions.Open(dir.Path("p0000.bmp")), 6);
    EXPECT_EQ(Listed(companions), tail);
}

TEST(DatasetScanRules, MaskMatchesShortNamesThatTheKindTestsRefuse)
{
    CScratchFolder dir;
    for (const char* name : {"p0001.bmp", "p12.bmp", "p_12.bmp", "pabcd.bmp", "p0002.tif", "p0003.bmp.bak"})
        dir.Write(name, "x");
    std::filesystem::create_directory(dir.Path("p0004.bmp")); // a folder named like a slice
    CDataset ds;
    EXPECT_EQ(ds.Open(dir.Path("p0001.bmp")), 1);
    EXPECT_EQ(Listed(ds), std::vector<std::string>{"p0001.bmp"});

    // A longer prefix takes the shorter slice names with it, numbered by their last four digits.
    dir.Write("scan0012.bmp", "x");
    CDataset longer;
    EXPECT_EQ(longer.Open(dir.Path("scan000000.bmp")), 1);
    EXPECT_EQ(longer.GetPrefix(), "scan00");
    EXPECT_EQ(longer.GetEntryNumber(0), 12);
}

TEST(DatasetScanRules, MissingFolderAndEmptyPrefix)
{
    CScratchFolder dir;
    CDataset ds;
    ds.SetFirstNumber(7);
    EXPECT_EQ(ds.Open(dir.Path("none/q0001.bmp")), 0);
    EXPECT_EQ(ds.GetFirstNumber(), 0);
    EXPECT_EQ(ds.GetLastIndex(), 0);
    EXPECT_FALSE(CDataset::MaskExists(dir.Path("none/q0001.bmp")));

    // A series without prefix cannot be opened: its title is all digits.
    dir.Write("0001.bmp", "x");
    EXPECT_EQ(ds.Open(dir.Path("0001.bmp")), 0);
}

TEST_F(DatasetScan, LoadRebuildsFromDisk)
{
    CDataset ds;
    ds.SetSlicesOnly(true);
    EXPECT_EQ(ds.Open(dir.Path("p0000.bmp")), 10);
    std::filesystem::remove(dir.Path("p0009.bmp"));
    dir.Write("p0011.bmp", "x");
    EXPECT_EQ(ds.Load(), 10);
    EXPECT_EQ(ds.GetLastNumber(), 11);
}

TEST(DatasetScanRules, NumberGapsCountPositiveDifferences)
{
    CScratchFolder dir;
    for (int n : {0, 1, 2, 4, 5, 8})
        dir.Write("s000" + std::to_string(n) + ".bmp", "x");
    dir.Write("s_spr.bmp", "x");
    CDataset ds;
    ds.Open(dir.Path("s0000.bmp")); // the side file after slice 8 makes a negative difference
    ds.CollectNumberGaps();
    const vKit::CHistogramBuffer& gaps = ds.GetNumberGaps();
    EXPECT_EQ(gaps.GetBinCount(), 10000);
    EXPECT_EQ(gaps.GetBin(1), 3u);
    EXPECT_EQ(gaps.GetBin(2), 1u);
    EXPECT_EQ(gaps.GetBin(3), 1u);
    EXPECT_EQ(gaps.NthUsedBin(3), -1);

    ds.CollectNumberGaps(); // a second run starts from empty bins
    EXPECT_EQ(gaps.GetBin(1), 3u);
}

struct ProgressLog
{
    std::vector<int32_t> positions;
    int32_t finished = 0;
    int32_t maximum = 0;
    void Seen(vKit::CProgressInfo info)
    {
        if (info.IsFinished())
            ++finished;
        else
            positions.push_back(info.GetPosition());
        maximum = info.GetMaximum();
    }
};

TEST_F(DatasetScan, NumberingRaisesProgressAndInitSubscribesOnce)
{
    CDataset ds;
    ProgressLog log;
    ds.OnProgress.Subscribe(&log, &ProgressLog::Seen);
    ds.SetSlicesOnly(true);
    ds.Open(dir.Path("p0000.bmp"));
    EXPECT_EQ(log.positions, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(log.finished, 1);
    EXPECT_EQ(log.maximum, 10);

    // Init twice: the list's events still reach the data set once.
    ds.Init();
    ds.Init();
    ProgressLog relayed;
    ds.OnProgress.Unsubscribe(&log, &ProgressLog::Seen);
    ds.OnProgress.Subscribe(&relayed, &ProgressLog::Seen);
    ds.GetFiles().OnProgress.Raise(vKit::CProgressInfo());
    EXPECT_EQ(relayed.positions.size(), 1u);

    ds.SetNotifying(false);
    ds.Open(dir.Path("p0000.bmp"));
    EXPECT_EQ(relayed.positions.size(), 1u);
    ds.OnProgress.Unsubscribe(&relayed, &ProgressLog::Seen);
}

} // namespace
