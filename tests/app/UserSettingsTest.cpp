#include "app/UserSettings.h"
#include "Base/Reg/Registry.h"
#include "base/SettingsTestDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>
#include <vector>

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
        ASSERT_NE(info, nullptr); // the option defaults show in the dialog's tests
        EXPECT_EQ(info->m_strLastDestFolder, dir.Path() + "/bin/Result");
        EXPECT_EQ(vKit::CGlobal::GetTempFolder(), dir.Path() + "/tmp" + guidFolder);
        EXPECT_EQ(vKit::CountMatching(dir.Path() + "/tmp/{*"), 1) << "the temporary folder is created";
        struct stat st;
        ASSERT_EQ(stat(vKit::CGlobal::GetTempFolder().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << "and is private to the user";
        EXPECT_FALSE(RegCurrentUser.OpenAppKey("Kavex")) << "loading writes nothing";
    }
    EXPECT_EQ(ReadPath("LastDestFolder"), dir.Path() + "/bin/Result");
    EXPECT_EQ(ReadPath("TempFolder"), dir.Path() + "/tmp");
    EXPECT_FALSE(RegCurrentUser.OpenSectionKey("Kavex", "Settings"));
}

// Loads with these numbers stored: quality, resize, resize quality, extension, "InverteRawData"
// and "GenerateVGI" as loaded.
static std::vector<int32_t> LoadStored(std::initializer_list<std::pair<const char*, int32_t>> stored)
{
    for (const auto& [name, value] : stored)
        RegCurrentUser.WriteNumber("Kavex", "Settings", name, value);
    CUserConfig config;
    const CUserInfo& i = *CUserConfig::GetUserInfo();
    return {i.m_nJpegQuality,      i.m_nResizeOption,  i.m_nResizeQualityOption,
            i.m_nDefaultExtension, i.m_bInvertRawData, i.m_bGenerateVgi};
}

TEST_F(UserSettings, StoredValuesAreValidatedOnLoadAndTheStoredFoldersUsed)
{
    const std::string root = dir.Path() + "/T";
    RegCurrentUser.WriteString("Kavex", "Paths", "TempFolder", root.c_str());
    RegCurrentUser.WriteString("Kavex", "Paths", "LastDestFolder", "/out");
    RegCurrentUser.WriteString("Kavex", "Settings", "GenerateVGI", "1"); // another type: missing
    EXPECT_EQ(LoadStored({{"ResizeOptions", 3},
                          {"JPGCompression", 150},
                          {"DefaultExtension", 0},
                          {"ResizQualityOptions", -2},
                          {"InverteRawData", 5}}),
              std::vector<int32_t>({100, 1, 1, 1, 1, 0}));
    // The stored temporary folder holds the program's own sub-folder.
    EXPECT_EQ(vKit::CGlobal::GetTempFolder(), root + guidFolder);
    EXPECT_EQ(vKit::CountMatching(root + "/{*"), 1);
    EXPECT_EQ(vKit::CGlobal::GetResultFolder(), "/out");
    EXPECT_EQ(ReadPath("TempFolder"), root);
    // No upper check on the resize option and the extension.
    EXPECT_EQ(LoadStored({{"JPGCompression", 10}, {"ResizeOptions", 8}, {"DefaultExtension", 9}}),
              std::vector<int32_t>({33, 8, 1, 9, 1, 0}));
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
}

TEST_F(UserSettings, GlobalConfigSetsTheGUIDAndHoldsOneInstanceUnit)
{
    std::optional<CGlobalConfig> config(std::in_place);
    EXPECT_EQ(vKit::CGlobal::GetProgramGUID(), kProgramGUID);
    if (!CGlobalConfig::GetInstanceSemaphore().IsOpen())
        GTEST_SKIP() << "named semaphores are not available here";
    {
        CGlobalConfig second; // the unit is held until the last one goes
    }
    EXPECT_TRUE(CGlobalConfig::HoldsInstanceUnit());
    config.reset();
    EXPECT_FALSE(CGlobalConfig::HoldsInstanceUnit());
    EXPECT_FALSE(CGlobalConfig::GetInstanceSemaphore().IsOpen());
}
