#include "app/UserSettings.h"
#include "Base/Reg/Registry.h"
#include "base/SettingsTestDir.h"

#include <gtest/gtest.h>

#include <optional>

using vKit::RegCurrentUser;

namespace
{

// A test folder with the hives, the temporary folder and the program folder of the library.
struct UserSettings : public ::testing::Test
{
    UserSettings() { vKit::CGlobal::UseProgramPath(dir.Path() + "/bin/kavex"); }
    ~UserSettings() override { vKit::CGlobal::UseProgramPath(""); }

    std::string ReadPath(const char* name)
    {
        char buffer[512];
        RegCurrentUser.ReadString("Kavex", "Paths", name, "<missing>", buffer, 511);
        return buffer;
    }

    CSettingsTestDir dir;
    const std::string guidFolder = std::string("/") + kProgramGUID;
};

} // namespace

TEST_F(UserSettings, AFirstRunLoadsTheDefaultsAndWritesOnlyThePaths)
{
    {
        CUserConfig config;
        const CUserInfo* info = CUserConfig::GetUserInfo();
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->m_nJpegQuality, 33);
        EXPECT_EQ(info->m_bKeepOriginalFileDate + info->m_bGenerateVgi + info->m_bInvertRawData +
                      info->m_bInvertColorPalette,
                  0);
        EXPECT_EQ(info->m_nResizeOption, 1);
        EXPECT_EQ(info->m_nResizeQualityOption, 1);
        EXPECT_EQ(info->m_nDefaultExtension, 1);
        EXPECT_EQ(info->m_strLastUsedDatasetPath, "");
        EXPECT_EQ(info->m_strLastDestFolder, dir.Path() + "/bin/Result");
        EXPECT_EQ(vKit::CGlobal::GetTempFolder(), dir.Path() + "/tmp" + guidFolder);
        EXPECT_TRUE(vKit::CreateFolderTree(vKit::CGlobal::GetTempFolder()));
        EXPECT_EQ(vKit::CountMatching(dir.Path() + "/tmp/{*"), 1) << "the temporary folder is created";
        EXPECT_FALSE(RegCurrentUser.OpenAppKey("Kavex")) << "loading writes nothing";
    }
    EXPECT_EQ(CUserConfig::GetUserInfo(), nullptr);
    EXPECT_EQ(ReadPath("LastUsedDatasetPath"), "");
    EXPECT_EQ(ReadPath("LastDestFolder"), dir.Path() + "/bin/Result");
    EXPECT_EQ(ReadPath("TempFolder"), dir.Path() + "/tmp");
    EXPECT_FALSE(RegCurrentUser.OpenSectionKey("Kavex", "Settings"));
}

TEST_F(UserSettings, StoredValuesAreValidatedOnLoad)
{
    RegCurrentUser.WriteNumber("Kavex", "Settings", "ResizeOptions", 3);
    RegCurrentUser.WriteNumber("Kavex", "Settings", "JPGCompression", 150);
    RegCurrentUser.WriteNumber("Kavex", "Settings", "DefaultExtension", 0);
    RegCurrentUser.WriteNumber("Kavex", "Settings", "ResizQualityOptions", -2);
    RegCurrentUser.WriteNumber("Kavex", "Settings", "InverteRawData", 5);
    RegCurrentUser.WriteString("Kavex", "Settings", "GenerateVGI", "1");
    {
        CUserConfig config;
        const CUserInfo* info = CUserConfig::GetUserInfo();
        EXPECT_EQ(info->m_nResizeOption, 1);
        EXPECT_EQ(info->m_nJpegQuality, 100);
        EXPECT_EQ(info->m_nDefaultExtension, 1);
        EXPECT_EQ(info->m_nResizeQualityOption, 1);
        EXPECT_EQ(info->m_bInvertRawData, 1) << "any non-zero number is set";
        EXPECT_EQ(info->m_bGenerateVgi, 0) << "a value of another type reads as missing";
    }
    RegCurrentUser.WriteNumber("Kavex", "Settings", "JPGCompression", 10);
    RegCurrentUser.WriteNumber("Kavex", "Settings", "ResizeOptions", 8);
    RegCurrentUser.WriteNumber("Kavex", "Settings", "DefaultExtension", 9);
    {
        CUserConfig config;
        const CUserInfo* info = CUserConfig::GetUserInfo();
        EXPECT_EQ(info->m_nJpegQuality, 33);
        EXPECT_EQ(info->m_nResizeOption, 8);
        EXPECT_EQ(info->m_nDefaultExtension, 9) << "there is no upper check";
    }
}

TEST_F(UserSettings, TheStoredTempFolderHoldsTheProgramsSubFolder)
{
    const std::string root = dir.Path() + "/T";
    RegCurrentUser.WriteString("Kavex", "Paths", "TempFolder", root.c_str());
    RegCurrentUser.WriteString("Kavex", "Paths", "LastDestFolder", "/out");
    {
        CUserConfig config;
        EXPECT_EQ(vKit::CGlobal::GetTempFolder(), root + guidFolder);
        EXPECT_EQ(vKit::CountMatching(root + "/{*"), 1);
        EXPECT_EQ(vKit::CGlobal::GetResultFolder(), "/out");
    }
    EXPECT_EQ(ReadPath("TempFolder"), root);
    EXPECT_EQ(ReadPath("LastDestFolder"), "/out");
}

TEST_F(UserSettings, TheRecordIsSharedAndSavedAsDefaultWithTheExactNames)
{
    {
        CUserConfig first;
        CUserInfo* info = CUserConfig::GetUserInfo();
        {
            CUserConfig second;
            EXPECT_EQ(CUserConfig::GetUserInfo(), info);
            EXPECT_EQ(CUserConfig::GetInstanceCount(), 2);
        }
        EXPECT_FALSE(RegCurrentUser.OpenAppKey("Kavex")) << "only the last one writes";

        info->m_strLastUsedDatasetPath = "/data/scan0000.bmp";
        info->m_nJpegQuality = 80;
        info->m_bKeepOriginalFileDate = 1;
        info->m_bInvertColorPalette = 1;
        info->m_nResizeOption = 4;
        info->m_nResizeQualityOption = 3;
        info->m_nDefaultExtension = 2;
        EXPECT_EQ(first.SaveUserSettings(), 1);
    }
    const std::string hive = CSettingsTestDir::Read(dir.UserHive());
    const std::string settings = "[Software\\Quorell\\Kavex\\Settings]\n"
                                 "\"JPGCompression\"=dword:00000050\n"
                                 "\"KeepOriginalFileDate\"=dword:00000001\n"
                                 "\"GenerateVGI\"=dword:00000000\n"
                                 "\"InverteRawData\"=dword:00000000\n"
                                 "\"InverteColorPalette\"=dword:00000001\n"
                                 "\"ResizeOptions\"=dword:00000004\n"
                                 "\"ResizQualityOptions\"=dword:00000003\n"
                                 "\"DefaultExtension\"=dword:00000002\n";
    EXPECT_NE(hive.find(settings), std::string::npos) << hive;
    EXPECT_EQ(ReadPath("LastUsedDatasetPath"), "/data/scan0000.bmp");

    CUserConfig again;
    const CUserInfo* info = CUserConfig::GetUserInfo();
    EXPECT_EQ(info->m_nJpegQuality, 80);
    EXPECT_EQ(info->m_nResizeQualityOption, 3);
    EXPECT_EQ(info->m_bInvertColorPalette, 1);
    EXPECT_EQ(info->m_strLastUsedDatasetPath, "/data/scan0000.bmp");
}

TEST_F(UserSettings, GlobalConfigSetsTheGUIDAndHoldsOneInstanceUnit)
{
    std::optional<CGlobalConfig> config(std::in_place);
    EXPECT_EQ(vKit::CGlobal::GetProgramGUID(), kProgramGUID);
    if (!CGlobalConfig::GetInstanceSemaphore().IsOpen())
        GTEST_SKIP() << "named semaphores are not available here";
    EXPECT_TRUE(CGlobalConfig::HoldsInstanceUnit());
    {
        CGlobalConfig second;
        EXPECT_EQ(CGlobalConfig::GetInstanceCount(), 2);
    }
    EXPECT_TRUE(CGlobalConfig::HoldsInstanceUnit());
    config.reset();
    EXPECT_EQ(CGlobalConfig::GetInstanceCount(), 0);
    EXPECT_FALSE(CGlobalConfig::HoldsInstanceUnit());
    EXPECT_FALSE(CGlobalConfig::GetInstanceSemaphore().IsOpen());
}
