#include "Base/core/Strings.h"

#include <gtest/gtest.h>

namespace
{

using namespace vKit;

TEST(Strings, CompareUpperCasesAsciiLettersOnly)
{
    EXPECT_EQ(CompareNoCase("Scan", "sCAN"), 0);
    EXPECT_LT(CompareNoCase("ab", "abc"), 0);
    // After upper-casing, digits sort before letters and letters before the underscore.
    EXPECT_LT(CompareNoCase("p0001", "p_arc"), 0);
    EXPECT_LT(CompareNoCase("p_ARC", "p_cfg"), 0);
    EXPECT_LT(CompareNoCase("a", "_"), 0);
    // Bytes above 127 compare unsigned and keep their case.
    EXPECT_GT(CompareNoCase("\xc3\xa9", "z"), 0);
    EXPECT_FALSE(EqualsNoCase("\xc3\xa9", "\xc3\x89"));
    EXPECT_EQ(UpperAscii("p_arc\xc3\xa9.tif"), "P_ARC\xc3\xa9.TIF");
    EXPECT_TRUE(EndsWithNoCase("scan_DICOM", "_dicom"));
    EXPECT_FALSE(EndsWithNoCase("cfg", "_cfg"));
    EXPECT_TRUE(StartsWithNoCase("SCAN0001", "scan"));
}

TEST(Strings, PathPiecesAndJoins)
{
    EXPECT_EQ(GetPathFolder("/data/ct/scan0001.bmp"), "/data/ct");
    EXPECT_EQ(GetPathTitle("/data/ct/scan0001.bmp"), "scan0001");
    EXPECT_EQ(GetPathExtension("/data/ct/scan0001.bmp"), "bmp");

    EXPECT_EQ(GetPathExtension("/data/a.tar.gz"), "gz");
    EXPECT_EQ(GetPathTitle("/data/a.tar.gz"), "a.tar");
    EXPECT_EQ(GetPathExtension("/data/name."), "");

    // No separator: no folder, and the whole text is the file name.
    EXPECT_EQ(GetPathFolder("scan.log"), "");
    EXPECT_EQ(GetPathTitle("scan.log"), "scan");
    EXPECT_EQ(GetPathFolder("/scan.log"), "");

    // A dot only in a folder name: the extension runs across the separator, the title does not.
    EXPECT_EQ(GetPathExtension("/x/a.b/file"), "b/file");
    EXPECT_EQ(GetPathTitle("/x/a.b/file"), "file");

    EXPECT_EQ(JoinPath("/out", "p0000.bmp"), "/out/p0000.bmp");
    EXPECT_EQ(JoinPath("/out/", "p0000.bmp"), "/out/p0000.bmp");
    EXPECT_EQ(JoinPath("", "p0000.bmp"), "p0000.bmp");
    EXPECT_EQ(RemoveTrailingSeparator("/out/"), "/out");
    EXPECT_EQ(RemoveTrailingSeparator("/"), "/");
}

} // namespace
