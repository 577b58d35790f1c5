#include "Base/Reg/QuorellReg.h"
#include "Base/Reg/Registry.h"
#include "base/SettingsTestDir.h"

#include <gtest/gtest.h>

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
