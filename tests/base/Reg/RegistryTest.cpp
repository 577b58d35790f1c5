#include "Base/Reg/Registry.h"
#include "Base/Reg/Hive.h"
#include "base/SettingsTestDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using vKit::RegCurrentUser;
using vKit::RegLocalMachine;

namespace
{

const std::string kHiveTop =
    "REGEDIT4\n\n[Software]\n\n[Software\\Quorell]\n\n[Software\\Quorell\\Kavex]\n\n";

std::string ReadText(const char* section, const char* name, const char* byDefault, int32_t size = 63)
{
    char text[64] = "untouched";
    const int32_t n = RegCurrentUser.ReadString("Kavex", section, name, byDefault, text, size);
    return std::to_string(n) + ":" + text;
}

} // namespace

TEST(Registry, KeysAreCreatedOnWriteAndValuesStoredInTheExportFormat)
{
    CSettingsTestDir dir;
    EXPECT_FALSE(RegCurrentUser.OpenAppKey("Kavex"));
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "JPGCompression", 33), 33);
    EXPECT_FALSE(vKit::FileExists(dir.UserHive())) << "reads never create the hive";
    ASSERT_TRUE(RegCurrentUser.CreateSectionKey("Kavex", "Paths"));
    ASSERT_TRUE(RegCurrentUser.WriteNumber("Kavex", "Settings", "JPGCompression", 33));
    ASSERT_TRUE(RegCurrentUser.WriteNumber("Kavex", "Settings", "Negative", -2));
    ASSERT_TRUE(RegCurrentUser.WriteString("Kavex", "Settings", "TempFolder", "C:\\T \"q\""));
    EXPECT_EQ(CSettingsTestDir::Read(dir.UserHive()), kHiveTop + "[Software\\Quorell\\Kavex\\Paths]\n\n"
                                                                 "[Software\\Quorell\\Kavex\\Settings]\n"
                                                                 "\"JPGCompression\"=dword:00000021\n"
                                                                 "\"Negative\"=dword:fffffffe\n"
                                                                 "\"TempFolder\"=\"C:\\\\T \\\"q\\\"\"\n\n");
    EXPECT_FALSE(vKit::FileExists(dir.MachineHive())) << "the machine hive is a file of its own";

    // Writing a value the hive holds already leaves the file alone.
    const std::string before = CSettingsTestDir::Read(dir.UserHive());
    CSettingsTestDir::Write(dir.UserHive(), before + "; hand-made\n");
    ASSERT_TRUE(RegCurrentUser.WriteNumber("Kavex", "Settings", "JPGCompression", 33));
    EXPECT_EQ(CSettingsTestDir::Read(dir.UserHive()), before + "; hand-made\n");
    CSettingsTestDir::Write(dir.UserHive(), before);

    // Names compare without regard to case; rewriting keeps one value.
    EXPECT_EQ(RegCurrentUser.ReadNumber("KAVEX", "settings", "jpgcompression", 0), 33);
    ASSERT_TRUE(RegCurrentUser.WriteNumber("Kavex", "Settings", "jpgCOMPRESSION", 50));
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "JPGCompression", 0), 50);
    EXPECT_EQ(ReadText("Settings", "TempFolder", ""), "8:C:\\T \"q\"");

    // Another type than asked, or a number of another size, reads as missing.
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "TempFolder", 7), 7);
    EXPECT_EQ(ReadText("Settings", "JPGCompression", "d"), "1:d");
    CSettingsTestDir::Write(dir.UserHive(), "REGEDIT4\n\n[Software\\Quorell\\Kavex\\Settings]\n"
                                            "\"Short\"=hex(4):01,02\n\"Wide\"=hex(4):01,00,00,00,00\n"
                                            "\"Ok\"=hex(4):05,00,00,00\n");
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "Short", -1), -1);
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "Wide", -1), -1);
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "Ok", -1), 5);
}

TEST(Registry, ReadStringCutsToSizeAndWriteStringDeletes)
{
    CSettingsTestDir dir;
    ASSERT_TRUE(RegCurrentUser.WriteString("Kavex", "Paths", "A", "abcdef"));
    ASSERT_TRUE(RegCurrentUser.WriteString("Kavex", "Paths", "B", "2"));
    ASSERT_TRUE(RegCurrentUser.WriteNumber("Kavex", "Settings", "N", 1));
    EXPECT_FALSE(RegCurrentUser.WriteString("Kavex", nullptr, "A", "1")) << "a missing section fails";
    EXPECT_EQ(ReadText("Paths", "A", "zz", 3), "3:abc");
    EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Paths", "A", "zz", nullptr, 3), 7) << "stored bytes";
    EXPECT_EQ(ReadText("Paths", "Q", "default", 4), "4:defa");
    EXPECT_EQ(ReadText("Paths", "Q", nullptr, 4), "0:");
    EXPECT_EQ(ReadText("Nowhere", "Q", "", 4), "0:");
    EXPECT_EQ(ReadText("Paths", "A", "d", 0), "0:");

    // A missing text deletes the value only.
    EXPECT_TRUE(RegCurrentUser.WriteString("Kavex", "Paths", "A", nullptr));
    EXPECT_EQ(ReadText("Paths", "A", ""), "0:");
    EXPECT_EQ(ReadText("Paths", "B", ""), "1:2");
    EXPECT_FALSE(RegCurrentUser.WriteString("Kavex", "Paths", "A", nullptr)) << "nothing left to delete";

    // A missing name deletes the whole section key with its values, and nothing else.
    EXPECT_TRUE(RegCurrentUser.WriteString("Kavex", "Paths", nullptr, "ignored"));
    EXPECT_FALSE(RegCurrentUser.OpenSectionKey("Kavex", "Paths"));
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "N", 0), 1);
}

TEST(Registry, WithoutSoftwareKeyWritesFailAndForeignFilesStayUntouched)
{
    CSettingsTestDir dir;
    const std::string noSoftware = "REGEDIT4\n\n[Other]\n\"x\"=dword:00000001\n";
    CSettingsTestDir::Write(dir.UserHive(), noSoftware);
    EXPECT_FALSE(RegCurrentUser.WriteNumber("Kavex", "Settings", "N", 1));
    EXPECT_FALSE(RegCurrentUser.CreateAppKey("Kavex"));
    EXPECT_EQ(CSettingsTestDir::Read(dir.UserHive()), noSoftware);

    const std::string foreign = "not a hive\n[Software]\n";
    CSettingsTestDir::Write(dir.MachineHive(), foreign);
    EXPECT_FALSE(RegLocalMachine.WriteString("Kavex", "Paths", "A", "b"));
    EXPECT_EQ(CSettingsTestDir::Read(dir.MachineHive()), foreign);
}

// Two processes write many values while this one reads the file: every read sees a complete
// hive, and in the end neither writer lost a value (as it would writing from a stale copy).
TEST(Registry, TwoProcessesWritingNeverTearOrLoseTheHive)
{
    CSettingsTestDir dir;
    ASSERT_TRUE(RegCurrentUser.CreateAppKey("Kavex"));
    const int kWrites = 60;
    auto name = [](int c, int i) { return "P" + std::to_string(c) + "_" + std::to_string(i); };
    pid_t children[2];
    for (int c = 0; c < 2; ++c)
    {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0)
        {
            bool ok = true;
            for (int i = 0; i < kWrites; ++i)
                ok &= RegCurrentUser.WriteString("Kavex", "Race", name(c, i).c_str(),
                                                 std::string(200, 'a' + c).c_str());
            _exit(ok ? 0 : 1);
        }
    }
    int torn = 0;
    for (int round = 0; round < 200; ++round)
    {
        vKit::CHiveKey root;
        const std::string text = CSettingsTestDir::Read(dir.UserHive());
        torn += !vKit::ParseHiveText(text, root) || text.size() < 2 || text.substr(text.size() - 2) != "\n\n";
    }
    for (pid_t child : children)
    {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(torn, 0);
    char value[256];
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < kWrites; ++i)
            EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Race", name(c, i).c_str(), "", value, 255), 200)
                << name(c, i);
}

TEST(HiveText, ReadsTheRegistryEditorsExportsAndWritesThemBack)
{
    const std::string text = "\xEF\xBB\xBFREGEDIT4\r\n\r\n"
                             "; comment\r\n"
                             "[Software\\Quorell\\App]\r\n"
                             "@=\"default\"\r\n"
                             "\"Path\"=\"C:\\\\Data\\\\\"\r\n"
                             "\"Gone\"=dword:00000001\r\n"
                             "\"Long\"=hex:00,01,02,\\\r\n"
                             "  03,04\r\n"
                             "\"Expand\"=hex(2):41,00\r\n"
                             "\"Short\"=dword:1f\r\n"
                             "\"Broken\"=dword:xyz\r\n"
                             "\"Gone\"=-\r\n"
                             "[Software\\Drop\\Me]\r\n"
                             "[-Software\\Drop]\r\n";
    vKit::CHiveKey root;
    ASSERT_TRUE(vKit::ParseHiveText(text, root));
    const vKit::CHiveKey* app = root.FindPath({"software", "QUORELL", "app"});
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(root.FindPath({"Software", "Drop"}), nullptr);
    std::vector<std::string> values;
    for (const auto& value : app->GetValues())
        values.push_back(value.name + "=" + std::to_string(value.type) + ":" +
                         std::string(value.data.begin(), value.data.end()));
    EXPECT_EQ(values, std::vector<std::string>(
                          {"=1:default" + std::string(1, 0), "Path=1:C:\\Data\\" + std::string(1, 0),
                           "Long=3:" + std::string("\0\1\2\3\4", 5), "Expand=2:A" + std::string(1, 0),
                           "Short=4:\x1f" + std::string(3, 0)}));
    // What is read is written so that it reads back the same.
    vKit::CHiveKey again;
    ASSERT_TRUE(vKit::ParseHiveText(vKit::FormatHiveText(root), again));
    EXPECT_EQ(vKit::FormatHiveText(again), vKit::FormatHiveText(root));
    EXPECT_FALSE(vKit::ParseHiveText("[Software]\n", root)) << "no header, no hive";
    EXPECT_EQ(root.GetKeyCount(), 0u);
}
