#pragma once
// The user's defaults for the main dialog and three remembered folders, kept under the current
// user's key Software\Quorell\Kavex in the sections "Paths" and "Settings".
//
// CUserInfo is one process-wide record shared by every CUserConfig: the first CUserConfig creates
// and loads it, the last one writes the "Paths" values back and deletes it. The option values are
// written only by SaveUserSettings ("Save as default"). CGlobalConfig registers the running
// program in a counting semaphore named after the program GUID; CGlobalInfo sets that GUID.

#include "Base/Reg/QuorellReg.h"
#include "Base/platform/PlatformSync.h"
#include "Base/runtime/Global.h"

#include <cstdint>
#include <string>

// The program's GUID, also the name of its temporary sub-folder.
inline constexpr const char* kProgramGUID = "{BCDA2984-5214-498f-B7E1-69F6ABAC0112}";

class CGlobalInfo
{
public:
    CGlobalInfo();
    virtual ~CGlobalInfo();
};

class CUserInfo
{
public:
    CUserInfo() = default;
    CUserInfo(const CUserInfo&) = delete;
    CUserInfo& operator=(const CUserInfo&) = delete;
    virtual ~CUserInfo() = default;

    vKit::CGlobal m_Global;
    CGlobalInfo m_GlobalInfo;
    std::string m_strLastUsedDatasetPath;
    int32_t m_nJpegQuality = 33;
    std::string m_strLastDestFolder;
    std::string m_strTempFolder;
    uint8_t m_bKeepOriginalFileDate = 0;
    uint8_t m_bGenerateVgi = 0;
    uint8_t m_bInvertRawData = 0;
    uint8_t m_bInvertColorPalette = 0;
    int32_t m_nResizeOption = 1;        // 1, 2, 4 or 8
    int32_t m_nResizeQualityOption = 1; // 1 fast, 2 2D averaging, 3 3D averaging
    int32_t m_nDefaultExtension = 1;    // 1 bmp, 2 tif, 3 jpg
};

class CUserConfig
{
public:
    CUserConfig();
    CUserConfig(const CUserConfig&) = delete;
    CUserConfig& operator=(const CUserConfig&) = delete;
    virtual ~CUserConfig();

    // The shared record; valid while any CUserConfig exists.
    static CUserInfo* GetUserInfo();
    static int32_t GetInstanceCount();

    // Defaults, then "Paths" and "Settings" over them, validation, and the library's temporary
    // folder (TempFolder/<program GUID>, created) and result folder. Returns 1.
    int32_t LoadUserSettings();
    void ValidateUserSettings();
    // Writes the three folder values to "Paths", the temporary root as it is now. Returns 1.
    int32_t SavePaths();
    // SavePaths, then the option values to "Settings". Returns 1.
    int32_t SaveUserSettings();

private:
    void SetDefaults(CUserInfo& info);
    void ReadValues(CUserInfo& info);

    vKit::CQuorellReg m_Reg;
};

class CGlobalConfig
{
public:
    static constexpr uint32_t kInstanceUnits = 100;

    CGlobalConfig();
    CGlobalConfig(const CGlobalConfig&) = delete;
    CGlobalConfig& operator=(const CGlobalConfig&) = delete;
    virtual ~CGlobalConfig();

    static int32_t GetInstanceCount();
    // The semaphore the running program holds a unit of (not open when the system refused it).
    static vKit::CNamedSemaphore& GetInstanceSemaphore();
    // True while this process holds its unit of the semaphore.
    static bool HoldsInstanceUnit();

private:
    vKit::CQuorellReg m_Reg;
};
