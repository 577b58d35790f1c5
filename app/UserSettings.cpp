#include "app/UserSettings.h"

#include "Base/core/Strings.h"
#include "Base/files/FileUtils.h"
#include "Base/platform/Platform.h"

#include <memory>
#include <mutex>

namespace
{

const char* const kApplication = "Kavex";
const char* const kPaths = "Paths";
const char* const kSettings = "Settings";

std::mutex g_userLock;
CUserInfo* g_pUserInfo = nullptr;
int32_t g_nUserConfigs = 0;

std::mutex g_globalLock;
CGlobalInfo* g_pGlobalInfo = nullptr;
int32_t g_nGlobalConfigs = 0;
bool g_bHoldsInstanceUnit = false;

bool IsValidResize(int32_t n)
{
    return n == 1 || n == 2 || n == 4 || n == 8;
}

} // namespace

CGlobalInfo::CGlobalInfo()
{
    vKit::CGlobal::SetProgramGUID(kProgramGUID);
    vKit::CGlobal::SetTempSubFolderName(kProgramGUID);
}

CGlobalInfo::~CGlobalInfo() = default;

CUserConfig::CUserConfig()
{
    m_Reg.SetCurrentUser(1).SetApplication(kApplication);
    std::lock_guard<std::mutex> guard(g_userLock);
    if (g_nUserConfigs++ == 0)
    {
        g_pUserInfo = new CUserInfo;
        LoadUserSettings();
    }
}

CUserConfig::~CUserConfig()
{
    std::lock_guard<std::mutex> guard(g_userLock);
    if (--g_nUserConfigs == 0)
    {
        SavePaths();
        delete g_pUserInfo;
        g_pUserInfo = nullptr;
    }
}

CUserInfo* CUserConfig::GetUserInfo()
{
    return g_pUserInfo;
}

int32_t CUserConfig::GetInstanceCount()
{
    std::lock_guard<std::mutex> guard(g_userLock);
    return g_nUserConfigs;
}

void CUserConfig::SetDefaults(CUserInfo& info)
{
    info.m_strLastUsedDatasetPath.clear();
    info.m_nJpegQuality = 33;
    info.m_strLastDestFolder.clear();
    info.m_strTempFolder = vKit::CGlobal::GetTempRoot();
    info.m_bKeepOriginalFileDate = 0;
    info.m_bGenerateVgi = 0;
    info.m_bInvertRawData = 0;
    info.m_bInvertColorPalette = 0;
    info.m_nResizeOption = 1;
    info.m_nResizeQualityOption = 1;
    info.m_nDefaultExtension = 1;
}

void CUserConfig::ReadValues(CUserInfo& info)
{
    m_Reg.SetSection(kPaths);
    info.m_strLastUsedDatasetPath =
        m_Reg.ReadString("LastUsedDatasetPath", info.m_strLastUsedDatasetPath.c_str());
    info.m_strLastDestFolder = m_Reg.ReadString("LastDestFolder", info.m_strLastDestFolder.c_str());
    info.m_strTempFolder = m_Reg.ReadString("TempFolder", info.m_strTempFolder.c_str());

    m_Reg.SetSection(kSettings);
    info.m_nJpegQuality = m_Reg.ReadNumber("JPGCompression", info.m_nJpegQuality);
    info.m_nResizeOption = m_Reg.ReadNumber("ResizeOptions", info.m_nResizeOption);
    info.m_nResizeQualityOption = m_Reg.ReadNumber("ResizQualityOptions", info.m_nResizeQualityOption);
    info.m_nDefaultExtension = m_Reg.ReadNumber("DefaultExtension", info.m_nDefaultExtension);
    info.m_bKeepOriginalFileDate = m_Reg.ReadFlag("KeepOriginalFileDate", info.m_bKeepOriginalFileDate != 0);
    info.m_bGenerateVgi = m_Reg.ReadFlag("GenerateVGI", info.m_bGenerateVgi != 0);
    info.m_bInvertRawData = m_Reg.ReadFlag("InverteRawData", info.m_bInvertRawData != 0);
    info.m_bInvertColorPalette = m_Reg.ReadFlag("InverteColorPalette", info.m_bInvertColorPalette != 0);
}

int32_t CUserConfig::LoadUserSettings()
{
    CUserInfo* info = GetUserInfo();
    if (!info) return 1;
    try
    {
        SetDefaults(*info);
        ReadValues(*info);
        ValidateUserSettings();
        const std::string temp = vKit::JoinPath(vKit::RemoveTrailingSeparator(info->m_strTempFolder),
                                                vKit::CGlobal::GetProgramGUID());
        vKit::CGlobal::SetTempFolder(temp);
        // The program's own temporary folder sits in a folder everyone may write to.
        vKit::CreateFolderTree(vKit::GetPathFolder(temp));
        vKit::PlatformMakePrivateFolder(temp);
        vKit::CGlobal::SetResultFolder(info->m_strLastDestFolder);
    }
    catch (...)
    {
        ValidateUserSettings();
    }
    return 1;
}

void CUserConfig::ValidateUserSettings()
{
    CUserInfo* info = GetUserInfo();
    if (!info) return;
    if (info->m_strLastDestFolder.empty()) info->m_strLastDestFolder = vKit::CGlobal::GetResultFolder();
    if (info->m_strTempFolder.empty()) info->m_strTempFolder = vKit::CGlobal::GetTempRoot();
    if (info->m_nJpegQuality < 33) info->m_nJpegQuality = 33;
    if (info->m_nJpegQuality > 100) info->m_nJpegQuality = 100;
    if (!IsValidResize(info->m_nResizeOption)) info->m_nResizeOption = 1;
    if (info->m_nResizeQualityOption < 1) info->m_nResizeQualityOption = 1;
    if (info->m_nDefaultExtension < 1) info->m_nDefaultExtension = 1;
}

int32_t CUserConfig::SavePaths()
{
    CUserInfo* info = GetUserInfo();
    if (!info) return 1;
    info->m_strTempFolder = vKit::CGlobal::GetTempRoot();
    m_Reg.SetSection(kPaths);
    m_Reg.WriteString("LastUsedDatasetPath", info->m_strLastUsedDatasetPath.c_str());
    m_Reg.WriteString("LastDestFolder", info->m_strLastDestFolder.c_str());
    m_Reg.WriteString("TempFolder", info->m_strTempFolder.c_str());
    return 1;
}

int32_t CUserConfig::SaveUserSettings()
{
    SavePaths();
    CUserInfo* info = GetUserInfo();
    if (!info) return 1;
    m_Reg.SetSection(kSettings);
    m_Reg.WriteNumber("JPGCompression", info->m_nJpegQuality);
    m_Reg.WriteFlag("KeepOriginalFileDate", info->m_bKeepOriginalFileDate != 0);
    m_Reg.WriteFlag("GenerateVGI", info->m_bGenerateVgi != 0);
    m_Reg.WriteFlag("InverteRawData", info->m_bInvertRawData != 0);
    m_Reg.WriteFlag("InverteColorPalette", info->m_bInvertColorPalette != 0);
    m_Reg.WriteNumber("ResizeOptions", info->m_nResizeOption);
    m_Reg.WriteNumber("ResizQualityOptions", info->m_nResizeQualityOption);
    m_Reg.WriteNumber("DefaultExtension", info->m_nDefaultExtension);
    return 1;
}

CGlobalConfig::CGlobalConfig()
{
    m_Reg.SetCurrentUser(0).SetApplication(kApplication).SetSection(kPaths);
    std::lock_guard<std::mutex> guard(g_globalLock);
    if (g_nGlobalConfigs++ == 0)
    {
        g_pGlobalInfo = new CGlobalInfo;
        vKit::CNamedSemaphore& semaphore = GetInstanceSemaphore();
        if (semaphore.Open(vKit::PlatformSemaphoreName(kProgramGUID), kInstanceUnits) == 0)
            g_bHoldsInstanceUnit = semaphore.TryTake();
    }
}

CGlobalConfig::~CGlobalConfig()
{
    std::lock_guard<std::mutex> guard(g_globalLock);
    if (--g_nGlobalConfigs == 0)
    {
        // A named semaphore outlives the process here: the unit goes back, or every run would
        // leave one taken for good.
        vKit::CNamedSemaphore& semaphore = GetInstanceSemaphore();
        if (g_bHoldsInstanceUnit) semaphore.Give();
        g_bHoldsInstanceUnit = false;
        semaphore.Close();
        delete g_pGlobalInfo;
        g_pGlobalInfo = nullptr;
    }
}

int32_t CGlobalConfig::GetInstanceCount()
{
    std::lock_guard<std::mutex> guard(g_globalLock);
    return g_nGlobalConfigs;
}

bool CGlobalConfig::HoldsInstanceUnit()
{
    std::lock_guard<std::mutex> guard(g_globalLock);
    return g_bHoldsInstanceUnit;
}

vKit::CNamedSemaphore& CGlobalConfig::GetInstanceSemaphore()
{
    static vKit::CNamedSemaphore semaphore;
    return semaphore;
}
