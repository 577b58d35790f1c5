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
    // Section, name, default, size: the text read.
    const char* const reads[][5] = {
        {"general", "NAME", "", "100", "spaced value"}, {"General", "Quoted", "", "100", "  kept  "},
        {"General", "Single", "", "100", "x"},          {"Other", "Name", "", "100", "second"},
        {"General", "Name", "", "4", "spac"},           {"General", "Missing", "def  ", "100", "def"}};
    for (const auto& r : reads)
        EXPECT_EQ(vKit::ReadProfileString(file, r[0], r[1], r[2], std::stoul(r[3])), r[4]) << r[1];
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
