#pragma once
// Independent readers and writers of image files (libtiff tools, ImageMagick) driven through
// the shell. Tests that need one skip when it is not installed.

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace codectest
{

inline bool HasTool(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command; its standard output in out if given, its exit status as the result.
inline int Shell(const std::string& command, std::string* out = nullptr)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::array<char, 4096> chunk;
    size_t n;
    while ((n = fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        if (out) out->append(chunk.data(), n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string Quote(const std::string& path)
{
    return "'" + path + "'";
}

} // namespace codectest
