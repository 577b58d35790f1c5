#include "Base/Reg/QuorellReg.h"
#include "Base/Reg/Registry.h"
#include "base/SettingsTestDir.h"

#include <gtest/gtest.h>

#include <cerrno>

// The profile (0) or text (1) back-end on the file folder/name.
static vKit::CQuorellReg& UseFile(vKit::CQuorellReg& store, int text, const std::string& folder,
                                  const char* name)
{
    return store.SetUseFile(1).SetTextFile(text).SetApplication(folder).SetSection(name);
}

TEST(QuorellReg, RegistryBackEndCutsLongStringsAndRemovesSections)
{
    CSettingsTestDir dir;
    vKit::CQuorellReg store;
    store.SetCurrentUser(1).SetApplication("Kavex").SetSection("Paths");

    const std::string long600(600, 'x');
    ASSERT_TRUE(store.WriteString("Long", long600.c_str()));
    EXPECT_EQ(store.ReadString("Long", ""), std::string(511, 'x'));
    ASSERT_TRUE(store.WriteNumber("Number", -7));
    ASSERT_TRUE(store.WriteFlag("Flag", true));
    EXPECT_EQ(store.ReadNumber("Flag", 0), 1) << "flags are stored as 1 or 0";
    EXPECT_TRUE(store.ReadFlag("Number", false)) << "any non-zero number is set";
    EXPECT_EQ(vKit::RegCurrentUser.ReadNumber("Kavex", "Paths", "Number", 0), -7);

    ASSERT_TRUE(store.WriteString(nullptr, nullptr));
    EXPECT_FALSE(vKit::RegCurrentUser.OpenSectionKey("Kavex", "Paths"));
    EXPECT_EQ(store.ReadNumber("Number", 3), 3);

    vKit::CQuorellReg machine;
    machine.SetApplication("Kavex").SetSection("Paths");
    ASSERT_TRUE(machine.WriteNumber("N", 1));
    EXPECT_TRUE(vKit::FileExists(dir.MachineHive())) << "the local machine is the default root";
    EXPECT_EQ(store.ReadNumber("N", 0), 0);
}

TEST(QuorellReg, ProfileBackEndWritesAnIniFile)
{
    CSettingsTestDir dir;
    vKit::CQuorellReg store;
    UseFile(store, 0, dir.Path(), "app.ini").SetFileSection("Main");
    ASSERT_TRUE(store.WriteString("Name", "value"));
    ASSERT_TRUE(store.WriteNumber("N", -5));
    ASSERT_TRUE(store.WriteString("Long", std::string(600, 'y').c_str()));
    EXPECT_EQ(CSettingsTestDir::Read(dir.Path() + "/app.ini"),
              "[Main]\r\nName=value\r\nN=-5\r\nLong=" + std::string(600, 'y') + "\r\n");
    EXPECT_EQ(store.ReadNumber("N", 0), -5);
    EXPECT_EQ(store.ReadString("Long", ""), std::string(510, 'y'));

    ASSERT_TRUE(store.WriteString("Name", nullptr));
    EXPECT_EQ(store.ReadString("Name", "gone"), "gone");
    ASSERT_TRUE(store.WriteString(nullptr, nullptr));
    EXPECT_EQ(CSettingsTestDir::Read(dir.Path() + "/app.ini"), "");
}

TEST(QuorellReg, TextBackEndAppendsSectionsAndFindsValuesWithinThem)
{
    CSettingsTestDir dir;
    vKit::CQuorellReg store;
    UseFile(store, 1, dir.Path(), "store.txt");
    store.SetFileSection("One");
    ASSERT_TRUE(store.WriteString("Key", "a=b"));
    ASSERT_TRUE(store.WriteNumber("Count", 3));
    store.SetFileSection("Two");
    ASSERT_TRUE(store.WriteNumber("Count", -4));
    ASSERT_TRUE(store.WriteString("Text", "not a number"));
    EXPECT_FALSE(store.WriteString("Key", nullptr)) << "the text only appends";
    EXPECT_EQ(store.GetTextContent(),
              "[One]\r\nKey=a=b\r\nCount=3\r\n\r\n[Two]\r\nCount=-4\r\nText=not a number\r\n");

    EXPECT_EQ(store.ReadNumber("COUNT", 0), -4);
    EXPECT_EQ(store.ReadNumber("Text", 9), 9) << "a value that is no number reads as the default";
    EXPECT_EQ(store.ReadString("Key", "none"), "none") << "values of other sections are not seen";
    store.SetFileSection("One");
    EXPECT_EQ(store.ReadString("key", ""), "a=b");

    ASSERT_EQ(store.SaveText(), 0);
    vKit::CQuorellReg again;
    UseFile(again, 1, dir.Path(), "store.txt").SetFileSection("Two");
    ASSERT_EQ(again.LoadText(), 0);
    EXPECT_EQ(again.ReadNumber("Count", 0), -4);
    again.SetSection("missing.txt");
    EXPECT_EQ(again.LoadText(), ENOENT);
}

// After a clear, writing the section that was current before must start it with its header again.
TEST(QuorellReg, ClearTextStartsANewTextWithItsHeader)
{
    vKit::CQuorellReg store;
    store.SetUseFile(1).SetTextFile(1).SetFileSection("S");
    ASSERT_TRUE(store.WriteNumber("A", 1));
    store.ClearText();
    ASSERT_TRUE(store.WriteNumber("B", 2));
    EXPECT_EQ(store.GetTextContent(), "[S]\r\nB=2\r\n");
    EXPECT_EQ(store.ReadNumber("A", 0), 0);
    EXPECT_EQ(store.ReadNumber("B", 0), 2);
}
