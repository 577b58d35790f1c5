#include "Base/Reg/Registry.h"
#include "Base/Reg/Hive.h"
#include "SettingsTestDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

using vKit::RegCurrentUser;
using vKit::RegLocalMachine;

TEST(Registry, MissingHiveHoldsOnlySoftwareAndKeysAreCreatedOnWrite)
{
    CSettingsTestDir dir;
    EXPECT_FALSE(RegCurrentUser.OpenAppKey("Kavex"));
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "JPGCompression", 33), 33);
    EXPECT_FALSE(vKit::FileExists(dir.UserHive())) << "reads never create the hive";

    ASSERT_TRUE(RegCurrentUser.CreateSectionKey("Kavex", "Paths"));
    EXPECT_TRUE(RegCurrentUser.OpenAppKey("Kavex"));
    EXPECT_EQ(CSettingsTestDir::Read(dir.UserHive()),
              "REGEDIT4\n\n[Software]\n\n[Software\\Quorell]\n\n[Software\\Quorell\\Kavex]\n\n"
              "[Software\\Quorell\\Kavex\\Paths]\n\n");
    EXPECT_FALSE(vKit::FileExists(dir.MachineHive())) << "the machine hive is a file of its own";
}

TEST(Registry, TypedValuesAreStoredInTheExportFormat)
{
    CSettingsTestDir dir;
    const uint8_t block[] = {1, 2, 0xfe};
    ASSERT_TRUE(RegCurrentUser.WriteNumber("Kavex", "Settings", "JPGCompression", 33));
    ASSERT_TRUE(RegCurrentUser.WriteNumber("Kavex", "Settings", "Negative", -2));
    ASSERT_TRUE(RegCurrentUser.WriteString("Kavex", "Settings", "TempFolder", "C:\\T \"q\""));
    ASSERT_TRUE(RegCurrentUser.WriteBinary("Kavex", "Settings", "Block", block, 3));
    EXPECT_EQ(CSettingsTestDir::Read(dir.UserHive()),
              "REGEDIT4\n\n[Software]\n\n[Software\\Quorell]\n\n[Software\\Quorell\\Kavex]\n\n"
              "[Software\\Quorell\\Kavex\\Settings]\n"
              "\"JPGCompression\"=dword:00000021\n"
              "\"Negative\"=dword:fffffffe\n"
              "\"TempFolder\"=\"C:\\\\T \\\"q\\\"\"\n"
              "\"Block\"=hex:01,02,fe\n\n");

    // Names compare without regard to case; rewriting keeps one value.
    EXPECT_EQ(RegCurrentUser.ReadNumber("KAVEX", "settings", "jpgcompression", 0), 33);
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "Negative", 0), -2);
    ASSERT_TRUE(RegCurrentUser.WriteNumber("Kavex", "Settings", "jpgCOMPRESSION", 50));
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "JPGCompression", 0), 50);

    char text[64];
    EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Settings", "TempFolder", "", text, 63), 8);
    EXPECT_STREQ(text, "C:\\T \"q\"");
    uint8_t got[8] = {};
    EXPECT_EQ(RegCurrentUser.ReadBinary("Kavex", "Settings", "Block", got, 8), 3);
    EXPECT_EQ(std::memcmp(got, block, 3), 0);
    EXPECT_EQ(RegCurrentUser.ReadBinary("Kavex", "Settings", "Block", got, 2), 2);
    EXPECT_EQ(RegCurrentUser.ReadBinary("Kavex", "Settings", "Block", nullptr, 0), 3);

    // Another type than asked reads as missing.
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "TempFolder", 7), 7);
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "Block", 7), 7);
    EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Settings", "JPGCompression", "d", text, 63), 1);
    EXPECT_STREQ(text, "d");
    EXPECT_EQ(RegCurrentUser.ReadBinary("Kavex", "Settings", "TempFolder", got, 8), 0);
}

TEST(Registry, NumbersOfAnotherSizeReadAsMissing)
{
    CSettingsTestDir dir;
    CSettingsTestDir::Write(dir.UserHive(), "REGEDIT4\n\n[Software\\Quorell\\Kavex\\Settings]\n"
                                            "\"Short\"=hex(4):01,02\n\"Wide\"=hex(4):01,00,00,00,00\n"
                                            "\"Ok\"=hex(4):05,00,00,00\n");
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "Short", -1), -1);
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "Wide", -1), -1);
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "Ok", -1), 5);
}

TEST(Registry, WriteStringAndWriteBinaryDeletionRules)
{
    CSettingsTestDir dir;
    ASSERT_TRUE(RegCurrentUser.WriteString("Kavex", "Paths", "A", "1"));
    ASSERT_TRUE(RegCurrentUser.WriteString("Kavex", "Paths", "B", "2"));
    ASSERT_TRUE(RegCurrentUser.WriteNumber("Kavex", "Settings", "N", 1));

    EXPECT_FALSE(RegCurrentUser.WriteString("Kavex", nullptr, "A", "1")) << "a missing section fails";
    EXPECT_FALSE(RegCurrentUser.WriteString("Kavex", "", "A", "1"));

    // A missing text deletes the value only.
    EXPECT_TRUE(RegCurrentUser.WriteString("Kavex", "Paths", "A", nullptr));
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Paths", "A", -1), -1);
    char text[8];
    EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Paths", "B", "", text, 7), 1);
    EXPECT_FALSE(RegCurrentUser.WriteString("Kavex", "Paths", "A", nullptr)) << "nothing left to delete";

    // A missing name deletes the whole section key with its values, and nothing else.
    EXPECT_TRUE(RegCurrentUser.WriteString("Kavex", "Paths", nullptr, "ignored"));
    EXPECT_FALSE(RegCurrentUser.OpenSectionKey("Kavex", "Paths"));
    EXPECT_TRUE(RegCurrentUser.OpenSectionKey("Kavex", "Settings"));
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "N", 0), 1);

    const uint8_t b = 9;
    ASSERT_TRUE(RegCurrentUser.WriteBinary("Kavex", "Settings", "Blk", &b, 1));
    EXPECT_TRUE(RegCurrentUser.WriteBinary("Kavex", "Settings", "Blk", nullptr, 0));
    EXPECT_EQ(RegCurrentUser.ReadBinary("Kavex", "Settings", "Blk", nullptr, 0), 0);
    EXPECT_TRUE(RegCurrentUser.WriteBinary("Kavex", "Settings", nullptr, &b, 1));
    EXPECT_FALSE(RegCurrentUser.OpenSectionKey("Kavex", "Settings"));
    EXPECT_TRUE(RegCurrentUser.OpenAppKey("Kavex"));
}

TEST(Registry, ReadStringCutsToSizeAndFallsBackToTheDefault)
{
    CSettingsTestDir dir;
    ASSERT_TRUE(RegCurrentUser.WriteString("Kavex", "Paths", "P", "abcdef"));
    char buffer[16];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Paths", "P", "zz", buffer, 3), 3);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Paths", "P", "zz", nullptr, 3), 7) << "stored bytes";

    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Paths", "Q", "default", buffer, 4), 4);
    EXPECT_STREQ(buffer, "defa");
    EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Paths", "Q", nullptr, buffer, 4), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Nowhere", "Q", "", buffer, 4), 0);
    EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Paths", "P", "d", buffer, 0), 0);
    EXPECT_STREQ(buffer, "");
}

TEST(Registry, WithoutSoftwareKeyWritesFailAndForeignFilesStayUntouched)
{
    CSettingsTestDir dir;
    const std::string noSoftware = "REGEDIT4\n\n[Other]\n\"x\"=dword:00000001\n";
    CSettingsTestDir::Write(dir.UserHive(), noSoftware);
    EXPECT_FALSE(RegCurrentUser.WriteNumber("Kavex", "Settings", "N", 1));
    EXPECT_FALSE(RegCurrentUser.CreateAppKey("Kavex"));
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "N", 4), 4);
    EXPECT_EQ(CSettingsTestDir::Read(dir.UserHive()), noSoftware);

    const std::string foreign = "not a hive\n[Software]\n";
    CSettingsTestDir::Write(dir.MachineHive(), foreign);
    EXPECT_FALSE(RegLocalMachine.WriteString("Kavex", "Paths", "A", "b"));
    EXPECT_EQ(CSettingsTestDir::Read(dir.MachineHive()), foreign);
}

TEST(Registry, RootsAreSeparateAndEnumAppSubKeyListsInOrder)
{
    CSettingsTestDir dir;
    ASSERT_TRUE(RegLocalMachine.CreateSectionKey("Kavex", "paths"));
    ASSERT_TRUE(RegLocalMachine.CreateSectionKey("Kavex", "Alpha"));
    ASSERT_TRUE(RegLocalMachine.CreateSectionKey("Kavex", "Zeta\\Deep"));
    EXPECT_FALSE(RegCurrentUser.OpenAppKey("Kavex"));

    char name[32];
    ASSERT_TRUE(RegLocalMachine.EnumAppSubKey("Kavex", 0, name, 32));
    EXPECT_STREQ(name, "Alpha");
    ASSERT_TRUE(RegLocalMachine.EnumAppSubKey("Kavex", 1, name, 32));
    EXPECT_STREQ(name, "paths");
    ASSERT_TRUE(RegLocalMachine.EnumAppSubKey("Kavex", 2, name, 3)) << "a name that does not fit counts";
    EXPECT_STREQ(name, "Ze");
    EXPECT_FALSE(RegLocalMachine.EnumAppSubKey("Kavex", 3, name, 32));
    EXPECT_FALSE(RegLocalMachine.EnumAppSubKey("Missing", 0, name, 32));
}

TEST(Registry, ChangesByAnotherWriterAreSeen)
{
    CSettingsTestDir dir;
    ASSERT_TRUE(RegCurrentUser.WriteNumber("Kavex", "Settings", "N", 1));
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "N", 0), 1);
    CSettingsTestDir::Write(dir.UserHive(), "REGEDIT4\n\n[Software\\Quorell\\Kavex\\Settings]\n"
                                            "\"N\"=dword:00000002\n\"M\"=dword:00000003\n");
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "N", 0), 2);
    ASSERT_TRUE(RegCurrentUser.WriteNumber("Kavex", "Settings", "K", 4));
    EXPECT_EQ(RegCurrentUser.ReadNumber("Kavex", "Settings", "M", 0), 3)
        << "a write keeps the other's values";
}

// Two processes write many values while a third reads the file: every read sees a complete hive,
// and in the end neither writer lost a value.
TEST(Registry, TwoProcessesWritingNeverTearOrLoseTheHive)
{
    CSettingsTestDir dir;
    ASSERT_TRUE(RegCurrentUser.CreateAppKey("Kavex"));
    const int kWrites = 60;
    pid_t children[2];
    for (int c = 0; c < 2; ++c)
    {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0)
        {
            bool ok = true;
            for (int i = 0; i < kWrites; ++i)
            {
                const std::string name = std::string("P") + std::to_string(c) + "_" + std::to_string(i);
                ok = RegCurrentUser.WriteString("Kavex", "Race", name.c_str(),
                                                std::string(200, 'a' + c).c_str()) &&
                     ok;
            }
            _exit(ok ? 0 : 1);
        }
    }
    int torn = 0;
    for (int round = 0; round < 200; ++round)
    {
        vKit::CHiveKey root;
        const std::string text = CSettingsTestDir::Read(dir.UserHive());
        if (!vKit::ParseHiveText(text, root) || text.size() < 2 || text.substr(text.size() - 2) != "\n\n")
            ++torn;
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
    {
        for (int i = 0; i < kWrites; ++i)
        {
            const std::string name = std::string("P") + std::to_string(c) + "_" + std::to_string(i);
            EXPECT_EQ(RegCurrentUser.ReadString("Kavex", "Race", name.c_str(), "", value, 255), 200) << name;
        }
    }
}

TEST(HiveText, ReadsTheRegistryEditorsExports)
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
    ASSERT_EQ(app->GetValues().size(), 5u);
    EXPECT_EQ(app->FindValue("")->data, std::vector<uint8_t>({'d', 'e', 'f', 'a', 'u', 'l', 't', 0}));
    EXPECT_EQ(app->FindValue("path")->data,
              std::vector<uint8_t>({'C', ':', '\\', 'D', 'a', 't', 'a', '\\', 0}));
    EXPECT_EQ(app->FindValue("Long")->data, std::vector<uint8_t>({0, 1, 2, 3, 4}));
    EXPECT_EQ(app->FindValue("Expand")->type, 2u);
    EXPECT_EQ(app->FindValue("Short")->data, std::vector<uint8_t>({0x1f, 0, 0, 0}));
    EXPECT_EQ(app->FindValue("Gone"), nullptr);
    EXPECT_EQ(app->FindValue("Broken"), nullptr);

    EXPECT_FALSE(vKit::ParseHiveText("[Software]\n", root)) << "no header, no hive";
    EXPECT_FALSE(vKit::ParseHiveText("", root));
    EXPECT_EQ(root.GetKeyCount(), 0u);
}

TEST(HiveText, WritesWhatItReadsBack)
{
    vKit::CHiveKey root;
    vKit::CHiveKey& key = root.CreatePath({"Software", "Quorell", "App"});
    std::vector<uint8_t> big(100);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<uint8_t>(i * 7);
    key.SetValue("Big", vKit::kRegTypeBinary, big);
    key.SetValue("Lines", vKit::kRegTypeString, {'a', '\n', 'b', 0});
    key.SetValue("NoZero", vKit::kRegTypeString, {'a', 'b'});
    key.SetValue("", vKit::kRegTypeNumber, {1, 2});
    key.SetValue("Empty", vKit::kRegTypeBinary, {});
    key.SetValue("Q\"\\", vKit::kRegTypeString, {'\\', '"', 0});
    const std::string text = vKit::FormatHiveText(root);
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LE(end - start, 80u) << "hex lines wrap as the registry editor wraps them";

    vKit::CHiveKey again;
    ASSERT_TRUE(vKit::ParseHiveText(text, again));
    const vKit::CHiveKey* app = again.FindPath({"Software", "Quorell", "App"});
    ASSERT_NE(app, nullptr);
    ASSERT_EQ(app->GetValues().size(), key.GetValues().size());
    for (size_t i = 0; i < key.GetValues().size(); ++i)
    {
        EXPECT_EQ(app->GetValues()[i].name, key.GetValues()[i].name);
        EXPECT_EQ(app->GetValues()[i].type, key.GetValues()[i].type);
        EXPECT_EQ(app->GetValues()[i].data, key.GetValues()[i].data);
    }
    EXPECT_EQ(vKit::FormatHiveText(again), text);
}
