#pragma once
// A scratch folder that also holds the registry hives (KAVEX_REGISTRY_DIR) and the temporary
// folder (TMPDIR) for its lifetime, so no test touches the user's own settings.

#include "ScratchFolder.h"

#include "Base/files/FileUtils.h"
#include "Base/files/StoreFile.h"

#include <cstdlib>
#include <optional>
#include <string>

class CSettingsTestDir : public CScratchFolder
{
public:
    CSettingsTestDir() : m_oldTmp(Get("TMPDIR")), m_oldReg(Get("KAVEX_REGISTRY_DIR"))
    {
        setenv("KAVEX_REGISTRY_DIR", CScratchFolder::Path("reg").c_str(), 1);
        setenv("TMPDIR", Folder("tmp").c_str(), 1);
    }
    ~CSettingsTestDir()
    {
        Restore("TMPDIR", m_oldTmp);
        Restore("KAVEX_REGISTRY_DIR", m_oldReg);
    }

    std::string UserHive() const { return Path("reg/user.reg"); }
    std::string MachineHive() const { return Path("reg/machine.reg"); }

    // Replaces a file at an absolute path as the settings code does, making its folders: a new
    // file the registry's change check cannot miss.
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

    std::optional<std::string> m_oldTmp;
    std::optional<std::string> m_oldReg;
};
