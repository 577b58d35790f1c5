#pragma once
// A fresh folder per test, built and removed with std::filesystem so that fixtures never depend on
// the file utilities under test. Removal first makes every folder writable again.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

class CScratchFolder
{
public:
    CScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kavex-scratch-XXXXXX").string();
        if (const char* made = mkdtemp(pattern.data())) m_path = made;
    }
    ~CScratchFolder()
    {
        namespace fs = std::filesystem;
        if (m_path.empty()) return;
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        for (auto it = fs::recursive_directory_iterator(m_path, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (it->is_directory() && !it->is_symlink())
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string Path(const std::string& name) const { return m_path + "/" + name; }

    // Writes a file, making the folders on its way.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string path = Path(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string Folder(const std::string& name) const
    {
        const std::string path = Path(name);
        std::filesystem::create_directories(path);
        return path;
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Sorted entry names of the folder or of a folder in it.
    std::vector<std::string> Names(const std::string& folder = "") const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder.empty() ? m_path : Path(folder)))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static bool Exists(const std::string& path)
    {
        std::error_code ec;
        return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
    }

private:
    std::string m_path;
};
