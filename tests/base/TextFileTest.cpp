#include "Base/TextFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{

using Lines = std::vector<std::string>;

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(TextFileBuffer, TextStopsAtFirstNulAndAppendsContinueIt)
{
    vKit::CTextFileBuffer t;
    EXPECT_EQ(t.GetText(), "");
    t.SetText("abc");
    EXPECT_EQ(t.GetUsed(), 3);
    EXPECT_EQ(t.GetSize(), 5);
    t.AppendLine("def");
    EXPECT_EQ(t.GetText(), "abcdef\r\n");
    t.SetText(std::string("ab\0cd", 5));
    EXPECT_EQ(t.GetText(), "ab");

    const vKit::CTextFileBuffer sized(4);
    EXPECT_EQ(sized.GetUsed(), 4);
    EXPECT_EQ(sized.GetSize(), 6);
    EXPECT_EQ(sized.GetText(), "");
}

TEST(TextFileBuffer, GetLinesSplitsBothLineEnds)
{
    vKit::CTextFileBuffer t;
    t.SetText("one\r\ntwo\nthree\r\n\r\nlast");
    EXPECT_EQ(t.GetLines(), (Lines{"one", "two", "three", "", "last"}));
    t.SetText("a\r\n");
    EXPECT_EQ(t.GetLines(), (Lines{"a"}));
    t.SetText("");
    EXPECT_TRUE(t.GetLines().empty());
}

TEST(TextFile, SaveAsAndLoadFromRoundTrip)
{
    const fs::path dir = fs::temp_directory_path() / ("kavex-tf-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    vKit::CTextFile out;
    for (const char* s : {"{volume1}", "", "text = p_"})
        out.AppendString(s);
    ASSERT_EQ(out.SaveAs((dir / "v.vgi").string()), 0);
    EXPECT_EQ(Read(dir / "v.vgi"), "{volume1}\r\n\r\ntext = p_\r\n");
    ASSERT_EQ(out.SaveAs((dir / "u.txt").string(), true), 0);
    EXPECT_EQ(Read(dir / "u.txt"), "{volume1}\n\ntext = p_\n");

    vKit::CTextFile in;
    in.SetSorted(true); // file order is kept even for a sorted list
    in.AppendString("old");
    ASSERT_EQ(in.LoadFrom((dir / "u.txt").string()), 0);
    ASSERT_EQ(in.GetCount(), 3);
    EXPECT_EQ(in.GetString(0), "{volume1}");
    EXPECT_EQ(in.GetString(2), "text = p_");
    EXPECT_EQ(in.LoadFrom((dir / "missing").string()), ENOENT);
    EXPECT_EQ(in.GetCount(), 3);

    vKit::CTextFile empty; // an existing file is replaced; no lines, no bytes
    ASSERT_EQ(empty.SaveAs((dir / "v.vgi").string()), 0);
    EXPECT_EQ(Read(dir / "v.vgi"), "");
    fs::remove_all(dir);
}

} // namespace
