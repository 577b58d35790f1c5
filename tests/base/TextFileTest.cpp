#include "Base/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{

class TextFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / ("kavex-tf-" + std::string(info->name()) + "-" +
                                             std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path m_dir;
};

using Lines = std::vector<std::string>;

TEST(TextFileBuffer, TextStopsAtFirstNulAndAppendsFollowIt)
{
    vKit::CTextFileBuffer t;
    EXPECT_EQ(t.GetText(), "");
    t.SetText("abc");
    EXPECT_EQ(t.GetText(), "abc");
    EXPECT_EQ(t.GetUsed(), 3);
    EXPECT_EQ(t.GetSize(), 5);
    // Appending continues the text instead of writing behind the spare zero bytes.
    t.AppendLine("def");
    EXPECT_EQ(t.GetText(), "abcdef\r\n");

    t.SetText(std::string("ab\0cd", 5));
    EXPECT_EQ(t.GetText(), "ab");

    vKit::CTextFileBuffer sized(4);
    EXPECT_EQ(sized.GetUsed(), 4);
    EXPECT_EQ(sized.GetSize(), 6);
    EXPECT_EQ(sized.GetText(), "");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(sized.GetData()[i], 0);
}

TEST(TextFileBuffer, GetLinesSplitsBothLineEnds)
{
    vKit::CTextFileBuffer t;
    t.SetText("one\r\ntwo\nthree\r\n\r\nlast");
    EXPECT_EQ(t.GetLines(), (Lines{"one", "two", "three", "", "last"}));
    t.SetText("a\r\n");
    EXPECT_EQ(t.GetLines(), (Lines{"a"}));
    t.SetText("\r");
    EXPECT_EQ(t.GetLines(), (Lines{"\r"}));
    t.SetText("");
    EXPECT_TRUE(t.GetLines().empty());
}

TEST_F(TextFileTest, SaveAsWritesEveryLineWithItsEnd)
{
    vKit::CTextFile list;
    list.AppendString("{volume1}");
    list.AppendString("");
    list.AppendString("text = p_");
    ASSERT_EQ(list.SaveAs(Path("v.vgi")), 0);
    EXPECT_EQ(Read(Path("v.vgi")), "{volume1}\r\n\r\ntext = p_\r\n");

    ASSERT_EQ(list.SaveAs(Path("u.txt"), true), 0);
    EXPECT_EQ(Read(Path("u.txt")), "{volume1}\n\ntext = p_\n");

    // An existing file of that name is replaced, and an empty list leaves an empty file.
    vKit::CTextFile empty;
    ASSERT_EQ(empty.SaveAs(Path("v.vgi")), 0);
    EXPECT_EQ(Read(Path("v.vgi")), "");
}

TEST_F(TextFileTest, LoadFromRoundTripsAndKeepsListOnFailure)
{
    vKit::CTextFile out;
    for (const char* s : {"z last", "a first", "", "m"})
        out.AppendString(s);
    ASSERT_EQ(out.SaveAs(Path("l.txt")), 0);

    vKit::CTextFile in;
    in.SetSorted(true); // loading keeps file order even for a sorted list
    in.AppendString("old");
    ASSERT_EQ(in.LoadFrom(Path("l.txt")), 0);
    ASSERT_EQ(in.GetCount(), 4);
    EXPECT_EQ(in.GetString(0), "z last");
    EXPECT_EQ(in.GetString(1), "a first");
    EXPECT_EQ(in.GetString(2), "");
    EXPECT_EQ(in.GetString(3), "m");

    EXPECT_EQ(in.LoadFrom(Path("missing.txt")), ENOENT);
    EXPECT_EQ(in.GetCount(), 4);
}

} // namespace
