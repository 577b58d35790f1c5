#include "Base/core/Strings.h"

namespace vKit
{

std::string UpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = ToUpperAscii(c);
    return out;
}

std::string LowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = ToLowerAscii(c);
    return out;
}

int32_t CompareNoCase(std::string_view a, std::string_view b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    // Names in one folder mostly share a long beginning byte for byte.
    size_t i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    for (; i < n; ++i)
    {
        // Bytes compare unsigned, so UTF-8 sequences sort after ASCII as they do in strcmp.
        const unsigned char x = static_cast<unsigned char>(ToUpperAscii(a[i]));
        const unsigned char y = static_cast<unsigned char>(ToUpperAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view start)
{
    return text.size() >= start.size() && EqualsNoCase(text.substr(0, start.size()), start);
}

bool EndsWithNoCase(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && EqualsNoCase(text.substr(text.size() - end.size()), end);
}

std::string_view ViewPathFolder(std::string_view path)
{
    const size_t slash = path.rfind(PathSeparator);
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::string_view ViewPathFileName(std::string_view path)
{
    const size_t slash = path.rfind(PathSeparator);
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view ViewPathExtension(std::string_view path)
{
    const size_t dot = path.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
}

std::string_view ViewPathTitle(std::string_view path)
{
    const std::string_view name = ViewPathFileName(path);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string GetPathFolder(std::string_view path)
{
    return std::string(ViewPathFolder(path));
}

std::string GetPathFileName(std::string_view path)
{
    return std::string(ViewPathFileName(path));
}

std::string GetPathExtension(std::string_view path)
{
    return std::string(ViewPathExtension(path));
}

std::string GetPathTitle(std::string_view path)
{
    return std::string(ViewPathTitle(path));
}

bool AllDigits(std::string_view text)
{
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return !text.empty();
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    if (folder.empty()) return std::string(name);
    std::string out(folder);
    if (out.back() != PathSeparator) out += PathSeparator;
    out += name;
    return out;
}

std::string RemoveTrailingSeparator(std::string_view path)
{
    if (path.size() > 1 && path.back() == PathSeparator) path.remove_suffix(1);
    return std::string(path);
}

} // namespace vKit
