#include "Base/files/Profile.h"

#include "Base/core/Strings.h"
#include "Base/files/StoreFile.h"

#include <cstdlib>
#include <vector>

namespace vKit
{

namespace
{

std::string Trim(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    const size_t last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

struct CProfileText
{
    std::vector<std::string> lines; // without their line ends
    std::string newline = "\r\n";
};

CProfileText LoadProfile(const std::string& file)
{
    CProfileText profile;
    std::string text;
    if (ReadTextFile(file, text) != 0) return profile;
    const size_t firstEnd = text.find('\n');
    if (firstEnd != std::string::npos && (firstEnd == 0 || text[firstEnd - 1] != '\r'))
        profile.newline = std::string(1, '\n');
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        profile.lines.push_back(std::move(line));
        start = end + 1;
    }
    return profile;
}

bool IsHeader(const std::string& line, std::string* name = nullptr)
{
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
    if (name) *name = Trim(t.substr(1, t.size() - 2));
    return true;
}

// [first, end) are the lines of the section after its header; first is npos when it is missing.
struct CSectionRange
{
    size_t header = std::string::npos;
    size_t end = 0;
};

CSectionRange FindSection(const std::vector<std::string>& lines, const std::string& section)
{
    CSectionRange range;
    std::string name;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        if (!IsHeader(lines[i], &name)) continue;
        if (range.header != std::string::npos)
        {
            range.end = i;
            return range;
        }
        if (EqualsNoCase(name, section)) range.header = i;
    }
    range.end = lines.size();
    return range;
}

// The line of key inside the section, or npos.
size_t FindKey(const std::vector<std::string>& lines, const CSectionRange& range, const std::string& key)
{
    if (range.header == std::string::npos) return std::string::npos;
    for (size_t i = range.header + 1; i < range.end; ++i)
    {
        const std::string& line = lines[i];
        const size_t eq = line.find('=');
        if (eq == std::string::npos || Trim(line).rfind(';', 0) == 0) continue;
        if (EqualsNoCase(Trim(line.substr(0, eq)), Trim(key))) return i;
    }
    return std::string::npos;
}

bool SaveProfile(const std::string& file, const CProfileText& profile)
{
    std::string text;
    for (const std::string& line : profile.lines)
        text += line + profile.newline;
    return ReplaceFileAtomically(file, text.data(), text.size()) == 0;
}

bool FindValue(const std::string& file, const std::string& section, const std::string& key,
               std::string& value)
{
    const CProfileText profile = LoadProfile(file);
    const CSectionRange range = FindSection(profile.lines, section);
    const size_t line = FindKey(profile.lines, range, key);
    if (line == std::string::npos) return false;
    const std::string& text = profile.lines[line];
    value = Trim(text.substr(text.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return true;
}

} // namespace

std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& def, size_t maxChars)
{
    std::string value;
    if (!FindValue(file, section, key, value))
    {
        value = def;
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
            value.pop_back();
    }
    if (value.size() > maxChars) value.resize(maxChars);
    return value;
}

int32_t ReadProfileNumber(const std::string& file, const std::string& section, const std::string& key,
                          int32_t def)
{
    std::string value;
    if (!FindValue(file, section, key, value)) return def;
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
    int64_t n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
    {
        n = n * 10 + (value[i] - '0');
        if (n > 0xFFFFFFFFLL) n = 0xFFFFFFFFLL;
    }
    // 32-bit wrap-around, as a number stored as "%u" reads back as the same bits.
    return static_cast<int32_t>(static_cast<uint32_t>(negative ? -n : n));
}

bool WriteProfileString(const std::string& file, const char* section, const char* key, const char* value)
{
    if (section == nullptr) return false;
    CProfileText profile = LoadProfile(file);
    std::vector<std::string>& lines = profile.lines;
    const CSectionRange range = FindSection(lines, section);
    if (key == nullptr)
    {
        if (range.header == std::string::npos) return true;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range.header),
                    lines.begin() + static_cast<std::ptrdiff_t>(range.end));
        return SaveProfile(file, profile);
    }
    const size_t line = FindKey(lines, range, key);
    if (value == nullptr)
    {
        if (line == std::string::npos) return true;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line));
        return SaveProfile(file, profile);
    }
    // A line break would start a line of its own (even a false section header): the value ends there.
    std::string text = value;
    text = text.substr(0, text.find_first_of("\r\n"));
    const std::string entry = Trim(key) + "=" + text;
    if (line != std::string::npos)
    {
        lines[line] = entry;
    }
    else if (range.header == std::string::npos)
    {
        lines.push_back(std::string("[") + section + "]");
        lines.push_back(entry);
    }
    else
    {
        // Behind the section's last non-blank line, so blank separators stay where they are.
        size_t at = range.end;
        while (at > range.header + 1 && Trim(lines[at - 1]).empty())
            --at;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
    }
    return SaveProfile(file, profile);
}

} // namespace vKit
