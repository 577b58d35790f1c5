#pragma once
// Independent readers and writers of TIFF and JPEG files (libtiff tools, netpbm, ImageMagick,
// PIL) driven through the shell. Tests that need one skip when it is not installed.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

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

// Binary PGM (P5) samples of any maxval; 16-bit samples are big-endian in the file.
struct Pgm
{
    int width = 0;
    int height = 0;
    int maxval = 0;
    std::vector<uint16_t> samples;
};

inline bool ParsePgm(const std::string& bytes, Pgm& pgm)
{
    std::istringstream in(bytes);
    std::string magic;
    in >> magic >> pgm.width >> pgm.height >> pgm.maxval;
    if (magic != "P5" || !in || pgm.width < 1 || pgm.height < 1) return false;
    in.get();
    const size_t count = size_t(pgm.width) * pgm.height;
    const size_t bytesPerSample = pgm.maxval > 255 ? 2 : 1;
    const size_t start = size_t(in.tellg());
    if (bytes.size() < start + count * bytesPerSample) return false;
    pgm.samples.resize(count);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + start);
    for (size_t i = 0; i < count; ++i)
        pgm.samples[i] = bytesPerSample == 2 ? uint16_t(p[2 * i] << 8 | p[2 * i + 1]) : p[i];
    return true;
}

} // namespace codectest
