#include "Base/Wildcard.h"

#include <gtest/gtest.h>

namespace
{

using vKit::WildcardMatch;

TEST(Wildcard, QuestionMarkMatchesOneOrNoneBeforeTheDotOrAtTheEnd)
{
    // A slice mask finds shorter numbers too, as a Windows scan does.
    EXPECT_TRUE(WildcardMatch("p????.bmp", "p1234.bmp"));
    EXPECT_TRUE(WildcardMatch("p????.bmp", "p12.bmp"));
    EXPECT_TRUE(WildcardMatch("p????.bmp", "p.bmp"));
    EXPECT_FALSE(WildcardMatch("p????.bmp", "p12345.bmp"));
    // Only before a dot: in the middle of a name a question mark needs its character.
    EXPECT_FALSE(WildcardMatch("p?x.bmp", "px.bmp"));
    EXPECT_TRUE(WildcardMatch("abc?", "abc"));
    EXPECT_TRUE(WildcardMatch("abc?", "abcd"));
    EXPECT_FALSE(WildcardMatch("abc?", "abcde"));
    // A question mark never stands for the dot itself.
    EXPECT_FALSE(WildcardMatch("a?b", "a.b"));
    EXPECT_FALSE(WildcardMatch("p??.bmp", "p1.2.bmp"));
    EXPECT_TRUE(WildcardMatch("*.???", "a.bm"));
}

TEST(Wildcard, IgnoresCaseOfAsciiLettersOnly)
{
    EXPECT_TRUE(WildcardMatch("P????.BMP", "p0001.bmp"));
    EXPECT_TRUE(WildcardMatch("scan_ARC.*", "Scan_arc.Tif"));
    // UTF-8 letters are compared as bytes: "é" is not "É".
    EXPECT_FALSE(WildcardMatch("\xc3\xa9*", "\xc3\x89t\xc3\xa9.bmp"));
    EXPECT_TRUE(WildcardMatch("\xc3\xa9*", "\xc3\xa9t\xc3\xa9.bmp"));
}

TEST(Wildcard, StarRules)
{
    EXPECT_TRUE(WildcardMatch("*", "anything.at.all"));
    EXPECT_TRUE(WildcardMatch("*.*", "noextension"));
    EXPECT_TRUE(WildcardMatch("*.*", ".hidden"));
    EXPECT_TRUE(WildcardMatch("*.*", "a.b.c"));
    EXPECT_TRUE(WildcardMatch("*.", "noextension"));
    EXPECT_FALSE(WildcardMatch("*.", "a.txt"));
    EXPECT_TRUE(WildcardMatch("*.bmp", "a.b.bmp"));
    EXPECT_TRUE(WildcardMatch("*.bmp", "x.bmp.bmp"));
    EXPECT_FALSE(WildcardMatch("*.bmp", "a.bmpx"));
    EXPECT_FALSE(WildcardMatch("*.bmp", "abmp"));
    EXPECT_TRUE(WildcardMatch("scan*_cfg.txt", "scan_cfg.txt"));
    EXPECT_TRUE(WildcardMatch("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(WildcardMatch("a*b*c", "aXbYbZ"));
}

TEST(Wildcard, PlainNamesAndEmptyMask)
{
    EXPECT_TRUE(WildcardMatch("scan0001.bmp", "SCAN0001.BMP"));
    EXPECT_FALSE(WildcardMatch("scan0001.bmp", "scan0001.bmp2"));
    EXPECT_FALSE(WildcardMatch("scan0001.bmp", "scan0001"));
    EXPECT_FALSE(WildcardMatch("", "a"));
    EXPECT_TRUE(vKit::HasWildcards("p????.bmp"));
    EXPECT_FALSE(vKit::HasWildcards("p0000.bmp"));
}

} // namespace
