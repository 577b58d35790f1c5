#pragma once
// A scratch folder that also holds the registry hives (KAVEX_REGISTRY_DIR) and the temporary
// folder (TMPDIR) for its lifetime, so no test touches the user's own settings.

#include "ScratchFolder.h"

#include "Base/files/FileUtils.h"
#include "Base/files/StoreFile.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

class CSettingsTestDir : public CScratchFolder
{
public:
    CSettingsTestDir()
    {
        setenv("KAVEX_REGISTRY_DIR", CScratchFolder::Path("reg").c_str(), 1);
        setenv("TMPDIR", Folder("tmp").c_str(), 1);
    }
    ~CSettingsTestDir()
    {
        for (const SSaved* saved : {&m_tmp, &m_reg})
            saved->second ? setenv(saved->first, saved->second->c_str(), 1) : unsetenv(saved->first);
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
    using SSaved = std::pair<const char*, std::optional<std::string>>; // a variable and its old value
    static SSaved Saved(const char* name)
    {
        const char* v = std::getenv(name);
        return {name, v ? std::optional<std::string>(v) : std::nullopt};
    }

    SSaved m_tmp = Saved("TMPDIR"), m_reg = Saved("KAVEX_REGISTRY_DIR");
};
