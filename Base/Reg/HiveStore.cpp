#include "Base/Reg/HiveStore.h"

#include "Base/core/Strings.h"
#include "Base/files/StoreFile.h"
#include "Base/platform/Platform.h"
#include "Base/platform/PlatformStore.h"

#include <mutex>

namespace vKit
{

namespace
{

struct CCachedHive
{
    std::mutex lock;
    std::string path;
    CFileStamp stamp;
    bool loaded = false;
    CHiveKey root;
};

CCachedHive& Cached(ERegRoot root)
{
    static CCachedHive hives[2];
    return hives[root == ERegRoot::CurrentUser ? 1 : 0];
}

// Brings the cached hive up to date with its file; the caller holds hive.lock.
void Refresh(ERegRoot which, CCachedHive& hive)
{
    const std::string path = GetHivePath(which);
    const CFileStamp stamp = GetFileStamp(path);
    if (hive.loaded && hive.path == path && hive.stamp == stamp) return;
    hive.path = path;
    hive.stamp = stamp;
    hive.loaded = true;
    if (!stamp.exists)
    {
        hive.root.Clear();
        hive.root.CreateKey("Software");
        return;
    }
    std::string text;
    if (ReadTextFile(path, text) != 0 || !ParseHiveText(text, hive.root)) hive.root.Clear();
}

} // namespace

std::string GetRegistryFolder()
{
    std::string folder;
    if (!PlatformGetEnv("KAVEX_REGISTRY_DIR", folder) || folder.empty())
    {
        std::string config;
        if (!PlatformGetEnv("XDG_CONFIG_HOME", config) || config.empty())
            config = JoinPath(RemoveTrailingSeparator(PlatformHomeFolder()), ".config");
        folder = JoinPath(RemoveTrailingSeparator(config), "Quorell");
    }
    return RemoveTrailingSeparator(folder);
}

std::string GetHivePath(ERegRoot root)
{
    return GetRegistryFolder() + (root == ERegRoot::CurrentUser ? "/user.reg" : "/machine.reg");
}

void ReadHive(ERegRoot root, const std::function<void(const CHiveKey&)>& read)
{
    CCachedHive& hive = Cached(root);
    std::lock_guard<std::mutex> guard(hive.lock);
    Refresh(root, hive);
    read(hive.root);
}

bool ChangeHive(ERegRoot root, const std::function<bool(CHiveKey&)>& change)
{
    CCachedHive& hive = Cached(root);
    std::lock_guard<std::mutex> guard(hive.lock);
    CFolderLock writers(GetRegistryFolder());
    Refresh(root, hive);
    // A change that leaves the stored hive as it is writes nothing: each run stores its folders
    // again, mostly the same ones, and each write waits for the disk.
    const std::string before = hive.stamp.exists ? FormatHiveText(hive.root) : std::string();
    if (!change(hive.root)) return false;
    const std::string text = FormatHiveText(hive.root);
    if (hive.stamp.exists && text == before) return true;
    if (ReplaceFileAtomically(hive.path, text.data(), text.size()) != 0)
    {
        hive.loaded = false;
        return false;
    }
    hive.stamp = GetFileStamp(hive.path);
    return true;
}

} // namespace vKit
