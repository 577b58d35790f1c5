#include "Base/dataset/Dataset.h"

#include "tests/base/ScratchFolder.h"
#include "tests/base/core/ListTexts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using vKit::CDataset;
using Names = std::vector<std::string>;

Names Sources(const CDataset& ds, const std::string& destination)
{
    vKit::CStringsLst list;
    list.Append("left over");
    ds.GetSourcesOf(list, destination);
    return ListTexts(list);
}

// Shifting and folding slice numbers is checked with the stages of a conversion.
TEST(DatasetDestination, CompanionsKeepTheirKindUnderTheNewNames)
{
    CScratchFolder dir;
    for (const char* name : {"p0000.bmp", "p_spr.bmp", "p_ARC.bmp", "p_cfg.txt", "p_dicom.txt"})
        dir.Write(name, "x");
    CDataset ds;
    ds.SetCompanionsOnly(true);
    ASSERT_EQ(ds.Open(dir.Path("p0000.bmp")), 4);
    ds.BuildDestinationNames("/out", "q", "tif", 5);
    ds.DivideNumbers(2); // folding slice numbers leaves every side file as it is
    Names names;
    for (int32_t i = 0; i < ds.GetCount(); ++i)
        names.push_back(ds.GetDestinationName(i));
    EXPECT_EQ(names, (Names{"/out/q_arc.tif", "/out/q_cfg.txt", "/out/q_dicom.txt", "/out/q_spr.tif"}));
    EXPECT_EQ(Sources(ds, "/OUT/Q_SPR.TIF"), Names{dir.Path("p_spr.bmp")});
}

// A source "scan" with slices 0000-0002 and 2000 and its text files, and in the same folder an
// earlier destination "scan2" whose mask also matches the source's "scan2000.bmp". The old data set
// named by a member is deleted with every file listed, protecting the source or not.
TEST(DatasetDelete, OverwriteDeletesExactDestinationNamesAndNoSourceFile)
{
    const struct
    {
        const char *member, *extra;
        bool protect;
        const char *gone, *kept;
    } cases[] = {
        {"scan20000.bmp", "", true, "scan20000.bmp scan20001.bmp scan2_spr.bmp scan2_cfg.txt",
         "scan0000.bmp scan2000.bmp scan_cfg.txt scan_dicom.txt scan2.log"},
        // Exact destination names alone keep the loose match.
        {"scan20000.bmp", "", false, "scan20000.bmp", "scan2000.bmp"},
        // Another format with the source's prefix keeps the source's texts.
        {"scan0000.TIF", "scan0000.tif scan_spr.tif", true, "scan0000.tif scan_spr.tif",
         "scan_cfg.txt scan_dicom.txt scan0000.bmp"},
        // So does the source folder spelt another way.
        {"alias/./scan0000.jpg", "scan0000.jpg", true, "scan0000.jpg", "scan_cfg.txt scan_dicom.txt"},
    };
    const auto words = [](const std::string& text)
    {
        std::istringstream in(text);
        return Names(std::istream_iterator<std::string>(in), {});
    };
    for (const auto& c : cases)
    {
        CScratchFolder dir;
        for (const std::string& name :
             words(std::string("scan0000.bmp scan0001.bmp scan0002.bmp scan2000.bmp "
                               "scan_cfg.txt scan_dicom.txt scan.log scan20000.bmp "
                               "scan20001.bmp scan2_spr.bmp scan2_cfg.txt scan2.log ") +
                   c.extra))
            dir.Write(name, "x");
        std::filesystem::create_directory_symlink(dir.Path(), dir.Path("alias"));
        CDataset source, old;
        source.SetSlicesOnly(true);
        ASSERT_EQ(source.Open(dir.Path("scan0000.bmp")), 4);
        old.SetAllFiles(true);
        ASSERT_GT(old.Open(dir.Path(c.member)), 0);
        EXPECT_EQ(old.DeleteFiles(c.protect ? &source : nullptr), 0) << c.member;
        EXPECT_TRUE(old.GetProgressInfo().IsFinished());
        for (const std::string& name : words(c.gone))
            EXPECT_FALSE(CScratchFolder::Exists(dir.Path(name))) << c.member << ": " << name;
        for (const std::string& name : words(c.kept))
            EXPECT_TRUE(CScratchFolder::Exists(dir.Path(name))) << c.member << ": " << name;
    }
}

TEST(DatasetDeleteRules, WhatTheSourceScanWouldListIsProtected)
{
    CScratchFolder dir;
    dir.Write("scan0012.bmp", "x");
    CDataset source; // prefix "scan00" lists "scan0012.bmp" as its slice 12
    ASSERT_EQ(source.Open(dir.Path("scan000000.bmp")), 1);
    CDataset old;
    ASSERT_EQ(old.Open(dir.Path("scan0000.bmp")), 1);
    old.DeleteFiles(&source);
    EXPECT_TRUE(CScratchFolder::Exists(dir.Path("scan0012.bmp")));
}

struct Canceller
{
    CDataset* ds = nullptr;
    int32_t seen = 0;
    void Seen(vKit::CProgressInfo)
    {
        if (++seen == 2) ds->SetCancelRequested(true);
    }
};

TEST(DatasetDeleteRules, CancelStopsAfterTheCurrentFile)
{
    CScratchFolder dir;
    for (const char* name : {"q0000.bmp", "q0001.bmp", "q0002.bmp"})
        dir.Write(name, "x");
    CDataset old;
    ASSERT_EQ(old.Open(dir.Path("q0000.bmp")), 3);
    Canceller canceller{&old};
    old.OnProgress.Subscribe(&canceller, &Canceller::Seen); // start event, then file 0
    EXPECT_EQ(old.DeleteFiles(), 1);
    old.OnProgress.Unsubscribe(&canceller, &Canceller::Seen);
    EXPECT_EQ(dir.Names(), (Names{"q0001.bmp", "q0002.bmp"}));
    EXPECT_TRUE(old.GetProgressInfo().IsCancelled());
}

} // namespace
