#pragma once
// Independent readers and writers of TIFF and JPEG files (libtiff tools, netpbm, ImageMagick,
// PIL) driven through the shell. Tests that need one skip when it is not installed.

#include <array>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <string>

namespace codectest
{

inline bool HasTool(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command; its standard output in out, its exit status as the result.
inline int Shell(const std::string& command, std::string& out)
{
    out.clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::array<char, 4096> chunk;
    size_t n;
    while ((n = fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        out.append(chunk.data(), n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline int Shell(const std::string& command)
{
    std::string ignored;
    return Shell(command, ignored);
}

inline std::string Quote(const std::string& path)
{
    return "'" + path + "'";
}

// A python3 that can import PIL ("" when there is none): the first python3 on the path may
// be a private installation without it.
inline std::string PythonWithPil()
{
    for (const char* python : {"python3", "/usr/bin/python3"})
        if (Shell(std::string(python) + " -c 'import PIL' >/dev/null 2>&1") == 0) return python;
    return "";
}

// The header of a plain (ASCII) PGM as "P2 width height maxval"; the samples follow in the stream.
inline std::string PlainPgmHeader(std::istream& in)
{
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    return magic + " " + std::to_string(width) + " " + std::to_string(height) + " " + std::to_string(maxval);
}

} // namespace codectest
