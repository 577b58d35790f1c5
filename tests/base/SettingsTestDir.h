#pragma once
// A private folder per test that also holds the registry hives (KAVEX_REGISTRY_DIR) and the
// temporary folder (TMPDIR), so no test touches the user's own settings.

#include "Base/FileUtils.h"
#include "Base/Reg/StoreFile.h"

#include <cstdlib>
#include <optional>
#include <string>

class CSettingsTestDir
{
public:
    CSettingsTestDir()
    {
        char pattern[] = "/tmp/kavex-settings-XXXXXX";
        const char* made = mkdtemp(pattern);
        m_path = made ? made : "/tmp";
        m_oldTmp = Get("TMPDIR");
        m_oldReg = Get("KAVEX_REGISTRY_DIR");
        setenv("KAVEX_REGISTRY_DIR", (m_path + "/reg").c_str(), 1);
        vKit::CreateFolderTree(m_path + "/tmp");
        setenv("TMPDIR", (m_path + "/tmp").c_str(), 1);
    }
    ~CSettingsTestDir()
    {
        Restore("TMPDIR", m_oldTmp);
        Restore("KAVEX_REGISTRY_DIR", m_oldReg);
        if (m_path != "/tmp") vKit::DeleteFolderTree(m_path);
    }
    CSettingsTestDir(const CSettingsTestDir&) = delete;
    CSettingsTestDir& operator=(const CSettingsTestDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string UserHive() const { return m_path + "/reg/user.reg"; }
    std::string MachineHive() const { return m_path + "/reg/machine.reg"; }

    static std::string Read(const std::string& path)
    {
        std::string text;
        vKit::ReadTextFile(path, text);
        return text;
    }
    static void Write(const std::string& path, const std::string& text)
    {
        vKit::CreateFolderTree(path.substr(0, path.rfind('/')));
        vKit::ReplaceFileAtomically(path, text.data(), text.size());
    }

private:
    static std::optional<std::string> Get(const char* name)
    {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& old)
    {
        if (old)
            setenv(name, old->c_str(), 1);
        else
            unsetenv(name);
    }

    std::string m_path;
    std::optional<std::string> m_oldTmp;
    std::optional<std::string> m_oldReg;
};
