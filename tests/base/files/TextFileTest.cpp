#include "Base/files/TextFile.h"

#include "base/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using Lines = std::vector<std::string>;

TEST(TextFileBuffer, TextStopsAtFirstNulAndLinesSplitBothLineEnds)
{
    vKit::CTextFileBuffer t;
    t.SetText("abc");
    EXPECT_EQ(t.GetUsed(), 3);
    EXPECT_EQ(t.GetSize(), 5);
    t.AppendLine("def");
    EXPECT_EQ(t.GetText(), "abcdef\r\n");
    t.SetText(std::string("ab\0cd", 5));
    EXPECT_EQ(t.GetText(), "ab");
    EXPECT_EQ(vKit::CTextFileBuffer(4).GetText(), "");

    t.SetText("one\r\ntwo\nthree\r\n\r\nlast");
    EXPECT_EQ(t.GetLines(), (Lines{"one", "two", "three", "", "last"}));
    t.SetText("a\r\n");
    EXPECT_EQ(t.GetLines(), (Lines{"a"}));
}

// The CR LF form is checked with the whole .vgi file of a conversion.
TEST(TextFile, UnixLineEndsOnRequestAndLoadingKeepsTheFileOrder)
{
    CScratchFolder dir;
    vKit::CTextFile out;
    for (const char* s : {"{volume1}", "", "text = p_"})
        out.AppendString(s);
    ASSERT_EQ(out.SaveAs(dir.Path("u.txt"), true), 0);
    EXPECT_EQ(CScratchFolder::Read(dir.Path("u.txt")), "{volume1}\n\ntext = p_\n");

    vKit::CTextFile in;
    in.SetSorted(true); // file order is kept even for a sorted list
    in.AppendString("old");
    ASSERT_EQ(in.LoadFrom(dir.Path("u.txt")), 0);
    ASSERT_EQ(in.GetCount(), 3);
    EXPECT_EQ(in.GetString(2), "text = p_");
    ASSERT_EQ(vKit::CTextFile().SaveAs(dir.Path("v.vgi")), 0); // no lines, no bytes
    EXPECT_EQ(CScratchFolder::Read(dir.Path("v.vgi")), "");
}

} // namespace
