#include "Base/files/Profile.h"
#include "base/SettingsTestDir.h"

#include <gtest/gtest.h>

TEST(Profile, ReadsHandWrittenFilesAsThePlatformDoes)
{
    CSettingsTestDir dir;
    const std::string file = dir.Path() + "/hand.ini";
    CSettingsTestDir::Write(file, "; settings\n"
                                  "[General]\n"
                                  "  Name = spaced value  \n"
                                  "Quoted=\"  kept  \"\n"
                                  "Single='x'\n"
                                  "Number=  42abc\n"
                                  "Negative=-12\n"
                                  "Word=abc\n"
                                  "[ other ]\n"
                                  "Name=second\n");
    EXPECT_EQ(vKit::ReadProfileString(file, "general", "NAME", "", 100), "spaced value");
    EXPECT_EQ(vKit::ReadProfileString(file, "General", "Quoted", "", 100), "  kept  ");
    EXPECT_EQ(vKit::ReadProfileString(file, "General", "Single", "", 100), "x");
    EXPECT_EQ(vKit::ReadProfileString(file, "Other", "Name", "", 100), "second");
    EXPECT_EQ(vKit::ReadProfileString(file, "General", "Name", "", 4), "spac");
    EXPECT_EQ(vKit::ReadProfileString(file, "General", "Missing", "def  ", 100), "def");
    EXPECT_EQ(vKit::ReadProfileString(dir.Path() + "/none.ini", "General", "Name", "d", 100), "d");

    EXPECT_EQ(vKit::ReadProfileNumber(file, "General", "Number", 0), 42);
    EXPECT_EQ(vKit::ReadProfileNumber(file, "General", "Negative", 0), -12);
    EXPECT_EQ(vKit::ReadProfileNumber(file, "General", "Word", 5), 0) << "no digits read as 0";
    EXPECT_EQ(vKit::ReadProfileNumber(file, "General", "Missing", 5), 5);
}

TEST(Profile, WritesKeepTheRestOfTheFile)
{
    CSettingsTestDir dir;
    const std::string file = dir.Path() + "/keep.ini";
    CSettingsTestDir::Write(file, "; top\n[A]\nx=1\n\n[B]\ny=2\n");
    ASSERT_TRUE(vKit::WriteProfileString(file, "a", "X", "10"));
    ASSERT_TRUE(vKit::WriteProfileString(file, "A", "z", "3"));
    ASSERT_TRUE(vKit::WriteProfileString(file, "C", "w", "line1\n[B]\ny=evil"));
    EXPECT_EQ(CSettingsTestDir::Read(file), "; top\n[A]\nX=10\nz=3\n\n[B]\ny=2\n[C]\nw=line1\n");

    ASSERT_TRUE(vKit::WriteProfileString(file, "A", "x", nullptr));
    ASSERT_TRUE(vKit::WriteProfileString(file, "B", nullptr, nullptr));
    EXPECT_EQ(CSettingsTestDir::Read(file), "; top\n[A]\nz=3\n\n[C]\nw=line1\n");
    EXPECT_FALSE(vKit::WriteProfileString(file, nullptr, "k", "v"));
}
