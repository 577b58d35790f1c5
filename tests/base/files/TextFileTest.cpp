#include "Base/files/TextFile.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

// The CR LF lines of a whole .vgi file are checked with a conversion, the reading back with the
// GUID map file.
TEST(TextFileBuffer, TextStopsAtFirstNulAndKeepsASpareZeroByte)
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
}

} // namespace
