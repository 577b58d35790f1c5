#include "Base/core/Wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

void Matches(const char* mask, std::initializer_list<const char*> yes, std::initializer_list<const char*> no)
{
    for (const char* name : yes)
        EXPECT_TRUE(vKit::WildcardMatch(mask, name)) << mask << " " << name;
    for (const char* name : no)
        EXPECT_FALSE(vKit::WildcardMatch(mask, name)) << mask << " " << name;
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
    Matches("scan0001.bmp", {"SCAN0001.BMP"}, {"scan0001.bmp2", "scan0001"});
    Matches("", {}, {"a"});
    // Masks beyond the short ones a folder scan uses follow the same rules.
    const std::string run(80, 'a');
    Matches((run + "??.bmp").c_str(), {(run + "1.bmp").c_str(), (run + "12.BMP").c_str()},
            {(run + "123.bmp").c_str()});
    EXPECT_TRUE(vKit::HasWildcards("p????.bmp"));
    EXPECT_FALSE(vKit::HasWildcards("p0000.bmp"));
}

} // namespace
