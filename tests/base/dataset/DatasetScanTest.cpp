#include "Base/dataset/Dataset.h"

#include "tests/base/ScratchFolder.h"
#include "tests/base/core/ListTexts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

using vKit::CDataset;
using Names = std::vector<std::string>;

Names Listed(const CDataset& ds)
{
    return ListTexts(ds.GetFiles().GetStrings(), true);
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

struct ProgressLog
{
    std::vector<int32_t> positions; // of the events before the finished one
    void Seen(vKit::CProgressInfo info) { positions.push_back(info.IsFinished() ? -1 : info.GetPosition()); }
};

TEST_F(DatasetScan, DefaultFlagsListSlicesThenSprAndArcAndNumberingRaisesProgress)
{
    ProgressLog log;
    CDataset ds;
    EXPECT_EQ(ds.Open(dir.Path("p0005.bmp")), 12);
    EXPECT_EQ(Listed(ds),
              (Names{"p0000.bmp", "p0001.bmp", "p0002.bmp", "p0003.bmp", "p0004.bmp", "p0005.bmp",
                     "p0006.bmp", "p0007.bmp", "p0008.bmp", "p0009.bmp", "p_arc.bmp", "p_spr.bmp"}));
    EXPECT_EQ(ds.GetLastNumber(), -1); // the last entry is a side file
    EXPECT_TRUE(ds.GetHasVpr() && ds.GetHasSp2() && ds.GetHasCfg() && ds.GetHasDicom());

    // With slices only, Load scans the disk again.
    ds.OnProgress.Subscribe(&log, &ProgressLog::Seen);
    ds.SetSlicesOnly(true);
    std::filesystem::remove(dir.Path("p0009.bmp"));
    dir.Write("p0011.bmp", "x");
    EXPECT_EQ(ds.Load(), 10);
    EXPECT_EQ(ds.GetLastNumber(), 11);
    EXPECT_EQ(log.positions, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1}));

    // Init twice: the list's events still reach the data set once; not notifying, not at all.
    ds.Init();
    ds.Init();
    log.positions.clear();
    ds.GetFiles().OnProgress.Raise(vKit::CProgressInfo());
    ds.SetNotifying(false);
    ds.Load();
    EXPECT_EQ(log.positions.size(), 1u);
}

TEST_F(DatasetScan, AnyMemberOpensTheSameDataset)
{
    // No such file: the extension's letter case does not matter, the prefix's does.
    const std::string upper = dir.Path("p0003.BMP");
    EXPECT_TRUE(CDataset::MaskExists(upper));
    EXPECT_FALSE(CDataset::MaskExists(dir.Path("P0003.bmp")));
    EXPECT_EQ(CDataset().Open(dir.Path("P0003.bmp")), 0);
    for (const std::string& from : {dir.Path("p_spr.bmp"), dir.Path("p????.bmp"), upper})
    {
        CDataset ds;
        ds.SetSlicesOnly(true);
        EXPECT_EQ(ds.Open(from), 10) << from;
        EXPECT_EQ(ds.GetLastNumber(), 9) << from;
    }
}

TEST_F(DatasetScan, AllFilesInSortedOrderWithTheDicomTextOnce)
{
    const Names companions = {"p_arc.bmp", "p_cfg.txt", "p_dicom.txt", "p_sp2.bmp", "p_spr.bmp", "p_vpr.bmp"};
    CDataset ds;
    ds.SetAllFiles(true);
    EXPECT_EQ(ds.Open(dir.Path("p0000.bmp")), 16);
    const Names all = Listed(ds);
    EXPECT_EQ(Names(all.begin() + 10, all.end()), companions);
    EXPECT_EQ(ds.GetEntryNumber(11), -1);

    CDataset only;
    only.SetCompanionsOnly(true);
    EXPECT_EQ(only.Open(dir.Path("p0000.bmp")), 6);
    EXPECT_EQ(Listed(only), companions);
}

TEST(DatasetScanRules, MaskMatchesShortNamesThatTheKindTestsRefuse)
{
    CScratchFolder dir;
    for (const char* name : {"p0001.bmp", "p12.bmp", "p_12.bmp", "pabcd.bmp", "p0002.tif", "p0003.bmp.bak"})
        dir.Write(name, "x");
    dir.Folder("p0004.bmp"); // a folder named like a slice
    CDataset ds;
    EXPECT_EQ(ds.Open(dir.Path("p0001.bmp")), 1);
    EXPECT_EQ(Listed(ds), Names{"p0001.bmp"});
    // Not listed, but not forgotten either: the conversion reports it.
    using Unlisted = std::vector<std::pair<std::string, int32_t>>;
    EXPECT_EQ(ds.GetUnlisted(), (Unlisted{{dir.Path("p0004.bmp"), EISDIR}}));

    // A longer prefix takes the shorter slice names with it, numbered by their last four digits.
    dir.Write("scan0012.bmp", "x");
    EXPECT_EQ(ds.Open(dir.Path("scan000000.bmp")), 1);
    EXPECT_EQ(ds.GetPrefix(), "scan00");
    EXPECT_EQ(ds.GetEntryNumber(0), 12);

    // Nothing to open in a missing folder, nor a series without prefix (its title is all digits).
    EXPECT_EQ(ds.Open(dir.Path("none/q0001.bmp")), 0);
    EXPECT_EQ(ds.GetFirstNumber(), 0);
    dir.Write("0001.bmp", "x");
    EXPECT_EQ(ds.Open(dir.Path("0001.bmp")), 0);
}

TEST(DatasetScanRules, PrefixesInOtherLettersAreOtherDataSets)
{
    CScratchFolder dir;
    for (const char* name :
         {"ab0000.bmp", "ab0001.BMP", "AB0000.bmp", "Ab0002.bmp", "ab_cfg.txt", "AB_cfg.txt"})
        dir.Write(name, "x");
    CDataset ds;
    ds.SetAllFiles(true);
    EXPECT_EQ(ds.Open(dir.Path("ab0000.bmp")), 3);
    EXPECT_EQ(Listed(ds), (Names{"ab0000.bmp", "ab0001.BMP", "ab_cfg.txt"}));
    EXPECT_EQ(ds.Open(dir.Path("AB0000.bmp")), 2);
    EXPECT_EQ(Listed(ds), (Names{"AB0000.bmp", "AB_cfg.txt"}));
}

TEST_F(DatasetScan, NumberGapsCountPositiveDifferences)
{
    for (const char* gone : {"p0003.bmp", "p0006.bmp", "p0007.bmp"})
        std::filesystem::remove(dir.Path(gone));
    CDataset ds;
    ds.Open(dir.Path("p0000.bmp")); // the side files after slice 9 make differences below one
    ds.CollectNumberGaps();
    ds.CollectNumberGaps(); // a second run starts from empty bins
    const vKit::CHistogramBuffer& gaps = ds.GetNumberGaps();
    EXPECT_EQ(std::vector<uint64_t>({gaps.GetBin(1), gaps.GetBin(2), gaps.GetBin(3)}),
              std::vector<uint64_t>({4, 1, 1}));
    EXPECT_EQ(gaps.NthUsedBin(3), -1);
}

} // namespace
