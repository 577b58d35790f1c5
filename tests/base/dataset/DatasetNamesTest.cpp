#include "Base/dataset/Dataset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using vKit::CDataset;

TEST(DatasetNames, PrefixAndNumberOfEveryMemberKind)
{
    const std::pair<const char*, const char*> cases[] = {
        {"scan0042.bmp", "scan 0042"}, {"SCAN_SPR.BMP", "SCAN -1"}, {"/d/scan_sp2.tif", "scan -1"},
        {"scan_vpr.jpg", "scan -1"},   {"scan_arc.dcm", "scan -1"}, {"/d/scan????.bmp", "scan -1"},
        {"scan_DICOM.TXT", "scan -1"}, {"scan_cfg.txt", " -1"},     {"/d/scan.log", "scan -1"},
        {"0042.bmp", "0042 0042"},     {"img_x.bmp", "img_x -1"},   {"/d/scan0001", "scan 0001"},
        {"s0001.tiff", "s0001 0001"},  {"_dicom.txt", " -1"},       {"/d/notes.txt", " -1"},
        {"p12.bmp", "p12 -1"},         {"s12a4.bmp", "s12a4 -1"},   {"", " -1"}};
    for (const auto& [path, expected] : cases)
    {
        const std::string number = CDataset::GetNumberText(path);
        EXPECT_EQ(CDataset::PrefixFromFileName(path) + " " + number, expected) << path;
        EXPECT_EQ(CDataset::GetNumber(path), std::stoi(number)) << path;
    }
}

TEST(DatasetNames, KindTestsLookAtTheTitleEndAndStrictOnesAtThePrefixLength)
{
    CDataset ds;
    EXPECT_TRUE(ds.IsSliceFile("/d/scan????.bmp")); // a mask is a slice name
    EXPECT_FALSE(ds.IsSliceFile("/d/p12.bmp"));
    EXPECT_FALSE(ds.IsSliceFile("/d/0001.bmp")); // the title must be longer than the digits
    EXPECT_TRUE(ds.IsSprFile("/d/X_SpR.bmp"));
    EXPECT_FALSE(ds.IsSprFile("/d/_spr.bmp"));
    EXPECT_TRUE(ds.IsCfgFile("/d/x_cfg.TXT"));
    EXPECT_FALSE(ds.IsCfgFile("/d/x_cfg.bmp")); // text kinds need the txt extension
    EXPECT_TRUE(CDataset::IsSliceOrSideImage("/d/x_vpr.bmp"));
    EXPECT_FALSE(CDataset::IsSliceOrSideImage("/d/x_dicom.txt"));

    ds.SetFileName("/d/scan0000.bmp");
    EXPECT_TRUE(ds.IsSliceFile("/d/abcd0001.bmp", true)); // only the length counts
    EXPECT_FALSE(ds.IsSliceFile("/d/scan20001.bmp", true));
    EXPECT_TRUE(ds.IsSliceFile("/d/scan20001.bmp", false));
    EXPECT_FALSE(ds.IsSprFile("/d/scanx_spr.bmp", true));
    EXPECT_FALSE(ds.IsDicomFile("/d/sca_dicom.txt", true));
}

TEST(DatasetNames, MakeShiftAndRename)
{
    EXPECT_EQ(CDataset::MakeSliceName("d/p0007.tif", 12345), "d/p12345.tif");
    EXPECT_EQ(CDataset::MakeSliceName("d/p0007.tif", -1), "d/p-001.tif");
    EXPECT_EQ(CDataset::ShiftNumber("/d/p0007.bmp", 5), "/d/p0012.bmp");
    EXPECT_EQ(CDataset::ShiftNumber("/d/p_spr.bmp", 5), "/d/p_spr.bmp");
    EXPECT_EQ(CDataset::ShiftNumber("/d/p_cfg.txt", 5), "/d/p_cfg.txt");

    // Suffixes come out in lower case; the extension of an image stays as it was.
    EXPECT_EQ(CDataset::RenameWithPrefix("/d/scan0042.BMP", "q"), "/d/q0042.BMP");
    EXPECT_EQ(CDataset::RenameWithPrefix("/d/SCAN_SPR.BMP", "q"), "/d/q_spr.BMP");
    EXPECT_EQ(CDataset::RenameWithPrefix("/d/scan_CFG.TXT", "q"), "/d/q_cfg.txt");
    EXPECT_EQ(CDataset::RenameWithPrefix("/d/scan.log", "q"), "");
}

TEST(DatasetNames, NamesOfADataset)
{
    CDataset ds;
    ds.SetFileName("/data/ct/scan_dicom.txt");
    EXPECT_EQ(ds.GetFolder(), "/data/ct");
    EXPECT_EQ(ds.GetPrefix(), "scan");
    EXPECT_EQ(ds.GetExtension(), "txt");

    ds.SetFileName("/data/ct/scan0042.Bmp");
    EXPECT_EQ(ds.GetMask(), "/data/ct/scan????.Bmp");
    EXPECT_EQ(ds.GetFirstSliceName(), "/data/ct/scan0000.Bmp");
    EXPECT_EQ(ds.GetLogFileName(), "/data/ct/scan.log");
    EXPECT_EQ(ds.GetSp2FileName(), "/data/ct/scan_sp2.Bmp");
    EXPECT_EQ(ds.GetCfgFileName(), "/data/ct/scan_cfg.txt");
    EXPECT_EQ(CDataset::MaskFromFileName("/data/ct/scan_arc.Bmp"), ds.GetMask());
    // The mask names the same data set again.
    CDataset again;
    again.SetFileName(ds.GetMask());
    EXPECT_EQ(again.GetMask(), ds.GetMask());

    // A data set in the root folder keeps its names there.
    ds.SetFileName("/scan0001.bmp");
    EXPECT_EQ(ds.GetFolder(), "");
    EXPECT_EQ(ds.GetMask(), "/scan????.bmp");
}

TEST(DatasetNames, ExamineKeepsItsInvariantsOnOddInput)
{
    using namespace std::string_literals;
    for (const std::string& in :
         {""s, "/"s, "."s, ".."s, "...."s, "a.b/"s, "????"s, "?????.bmp"s, "/x/_dicom.txt"s, "x_DICOM.txt"s,
          "/d/scan_spr.tif"s, "/a.b/c0001"s, "\xc3\xa9t\xc3\xa9"s + "0003.bmp", "a\0b0001.bmp"s,
          "/d/scan-001.bmp"s, "/d/" + std::string(300, 'x') + "0001.bmp"})
        EXPECT_TRUE(vKit::ExamineDatasetName(in).consistent) << in;
    const vKit::CDatasetNameReport slice = vKit::ExamineDatasetName("/d/scan0041.bmp");
    EXPECT_EQ(slice.kinds, 0x81u);
    EXPECT_EQ(slice.shifted, "/d/scan0042.bmp");
    EXPECT_EQ(slice.renamed, "/d/q0041.bmp");
    EXPECT_EQ(vKit::ExamineDatasetName("/d/scan_cfg.txt").kinds, 0x20u);
}

} // namespace
