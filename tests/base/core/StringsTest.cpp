#include "Base/core/Strings.h"
#include "Base/core/Wildcard.h"

#include <gtest/gtest.h>

#include <string>

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
    EXPECT_TRUE(EndsWithNoCase("scan_DICOM", "_dicom") && StartsWithNoCase("SCAN0001", "scan"));
    EXPECT_FALSE(EndsWithNoCase("cfg", "_cfg"));
}

TEST(Strings, PathPiecesAndJoins)
{
    // Folder, title and extension; a dot only in a folder name makes an extension across the
    // separator but no title.
    const std::pair<const char*, const char*> cases[] = {
        {"/d/s0001.bmp", "/d|s0001|bmp"}, {"/d/a.tar.gz", "/d|a.tar|gz"}, {"/d/name.", "/d|name|"},
        {"scan.log", "|scan|log"},        {"/scan.log", "|scan|log"},     {"/a.b/file", "/a.b|file|b/file"}};
    for (const auto& [path, pieces] : cases)
    {
        EXPECT_EQ(GetPathFolder(path) + "|" + GetPathTitle(path) + "|" + GetPathExtension(path), pieces);
        EXPECT_EQ(std::string(ViewPathTitle(path)), GetPathTitle(path));
    }
    EXPECT_EQ(JoinPath("/out", "p0000.bmp"), "/out/p0000.bmp");
    EXPECT_EQ(JoinPath("/out/", "p0000.bmp"), "/out/p0000.bmp");
    EXPECT_EQ(JoinPath("", "p0000.bmp"), "p0000.bmp");
    EXPECT_EQ(RemoveTrailingSeparator("/out/"), "/out");
    EXPECT_EQ(RemoveTrailingSeparator("/"), "/");
}

// Names that match the mask, then names that do not.
void Matches(const std::string& mask, std::initializer_list<std::string> yes,
             std::initializer_list<std::string> no)
{
    const CWildcardMask prepared(mask);
    for (const std::string& name : yes)
        EXPECT_TRUE(WildcardMatch(mask, name) && prepared.Matches(name)) << mask << " " << name;
    for (const std::string& name : no)
        EXPECT_FALSE(WildcardMatch(mask, name) || prepared.Matches(name)) << mask << " " << name;
}

TEST(Wildcard, WindowsMatchingRules)
{
    // A question mark takes one character, or none before the dot or at the end; never the dot.
    Matches("p????.bmp", {"p1234.bmp", "p12.bmp", "p.bmp"}, {"p12345.bmp"});
    Matches("p?x.bmp", {}, {"px.bmp"});
    Matches("abc?", {"abc"}, {"abcde"});
    Matches("a?b", {}, {"a.b"});
    Matches("*.???", {"a.bm"}, {});
    // Only ASCII letters ignore case: UTF-8 "é" is not "É".
    Matches("P????.BMP", {"p0001.bmp"}, {});
    Matches("\xc3\xa9*", {"\xc3\xa9t.bmp"}, {"\xc3\x89t.bmp"});
    Matches("*.*", {"noextension", ".hidden"}, {});
    Matches("*.", {"noextension"}, {"a.txt"});
    Matches("*.bmp", {"a.b.bmp"}, {"a.bmpx", "abmp"});
    Matches("scan*_cfg.txt", {"scan_cfg.txt"}, {});
    Matches("a*b*c", {"aXbYbZc"}, {"aXbYbZ"});
    Matches("rec*", {"REC_cfg.txt", "rec"}, {"re", "xrec"});
    Matches("*", {"a", ".x"}, {});
    Matches("scan0001.bmp", {"SCAN0001.BMP"}, {"scan0001.bmp2", "scan0001"});
    Matches("", {}, {"a"});
    // Masks beyond the short ones a folder scan uses follow the same rules.
    const std::string run(80, 'a');
    Matches(run + "??.bmp", {run + "1.bmp", run + "12.BMP"}, {run + "123.bmp"});
    EXPECT_TRUE(HasWildcards("p????.bmp"));
    EXPECT_FALSE(HasWildcards("p0000.bmp"));
}

} // namespace
