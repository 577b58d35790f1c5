#include "Base/Reg/Hive.h"

#include "Base/core/Strings.h"

#include <cstdio>

namespace vKit
{

CHiveKey* CHiveKey::FindKey(const std::string& name)
{
    auto it = m_keys.find(UpperAscii(name));
    return it == m_keys.end() ? nullptr : it->second.get();
}

const CHiveKey* CHiveKey::FindKey(const std::string& name) const
{
    auto it = m_keys.find(UpperAscii(name));
    return it == m_keys.end() ? nullptr : it->second.get();
}

CHiveKey& CHiveKey::CreateKey(const std::string& name)
{
    std::unique_ptr<CHiveKey>& slot = m_keys[UpperAscii(name)];
    if (!slot) slot = std::make_unique<CHiveKey>(name);
    return *slot;
}

bool CHiveKey::RemoveKey(const std::string& name)
{
    return m_keys.erase(UpperAscii(name)) > 0;
}

const CHiveKey* CHiveKey::GetKeyAt(size_t index) const
{
    if (index >= m_keys.size()) return nullptr;
    auto it = m_keys.begin();
    std::advance(it, static_cast<std::ptrdiff_t>(index));
    return it->second.get();
}

const CHiveValue* CHiveKey::FindValue(const std::string& name) const
{
    for (const CHiveValue& v : m_values)
    {
        if (EqualsNoCase(v.name, name)) return &v;
    }
    return nullptr;
}

void CHiveKey::SetValue(const std::string& name, uint32_t type, std::vector<uint8_t> data)
{
    for (CHiveValue& v : m_values)
    {
        if (EqualsNoCase(v.name, name))
        {
            v.type = type;
            v.data = std::move(data);
            return;
        }
    }
    m_values.push_back(CHiveValue{name, type, std::move(data)});
}

bool CHiveKey::RemoveValue(const std::string& name)
{
    for (auto it = m_values.begin(); it != m_values.end(); ++it)
    {
        if (EqualsNoCase(it->name, name))
        {
            m_values.erase(it);
            return true;
        }
    }
    return false;
}

void CHiveKey::Clear()
{
    m_keys.clear();
    m_values.clear();
}

CHiveKey* CHiveKey::FindPath(const std::vector<std::string>& path)
{
    return const_cast<CHiveKey*>(static_cast<const CHiveKey*>(this)->FindPath(path));
}

const CHiveKey* CHiveKey::FindPath(const std::vector<std::string>& path) const
{
    const CHiveKey* key = this;
    for (const std::string& name : path)
    {
        key = key->FindKey(name);
        if (!key) return nullptr;
    }
    return key;
}

CHiveKey& CHiveKey::CreatePath(const std::vector<std::string>& path)
{
    CHiveKey* key = this;
    for (const std::string& name : path)
        key = &key->CreateKey(name);
    return *key;
}

std::vector<std::string> SplitKeyPath(const std::string& path)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= path.size())
    {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) pieces.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

// ---- text form: writing ----

namespace
{

std::string Quote(const std::string& s)
{
    std::string out = "\"";
    for (char c : s)
    {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// A string value that the quoted form carries unchanged: one terminating zero, no other zero,
// no line break.
bool IsPlainString(const CHiveValue& v)
{
    if (v.type != kRegTypeString || v.data.empty() || v.data.back() != 0) return false;
    for (size_t i = 0; i + 1 < v.data.size(); ++i)
    {
        if (v.data[i] == 0 || v.data[i] == '\n' || v.data[i] == '\r') return false;
    }
    return true;
}

// Hex bytes wrapped as the registry editor wraps them, at about 80 columns.
void AppendHex(std::string& out, const std::vector<uint8_t>& data, size_t column)
{
    char digits[4];
    for (size_t i = 0; i < data.size(); ++i)
    {
        std::snprintf(digits, sizeof(digits), "%02x", data[i]);
        out += digits;
        column += 2;
        if (i + 1 < data.size())
        {
            out += ',';
            ++column;
            if (column >= 77)
            {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
}

void AppendValue(std::string& out, const CHiveValue& v)
{
    const size_t lineStart = out.size();
    out += v.name.empty() ? std::string("@") : Quote(v.name);
    out += '=';
    if (IsPlainString(v))
    {
        out += Quote(std::string(v.data.begin(), v.data.end() - 1));
    }
    else if (v.type == kRegTypeNumber && v.data.size() == 4)
    {
        const uint32_t n = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (uint32_t(v.data[3]) << 24);
        char text[24];
        std::snprintf(text, sizeof(text), "dword:%08x", n);
        out += text;
    }
    else
    {
        char prefix[24];
        if (v.type == kRegTypeBinary)
            std::snprintf(prefix, sizeof(prefix), "hex:");
        else
            std::snprintf(prefix, sizeof(prefix), "hex(%x):", v.type);
        out += prefix;
        AppendHex(out, v.data, out.size() - lineStart);
    }
    out += '\n';
}

void AppendKey(std::string& out, const CHiveKey& key, const std::string& path)
{
    out += "[" + path + "]\n";
    for (const CHiveValue& v : key.GetValues())
        AppendValue(out, v);
    out += '\n';
    for (size_t i = 0; i < key.GetKeyCount(); ++i)
    {
        const CHiveKey* sub = key.GetKeyAt(i);
        AppendKey(out, *sub, path + "\\" + sub->GetName());
    }
}

} // namespace

std::string FormatHiveText(const CHiveKey& root)
{
    std::string out = "REGEDIT4\n\n";
    for (size_t i = 0; i < root.GetKeyCount(); ++i)
    {
        const CHiveKey* key = root.GetKeyAt(i);
        AppendKey(out, *key, key->GetName());
    }
    return out;
}

// ---- text form: reading ----

namespace
{

// Parses a quoted string starting at pos (at the opening quote); on success pos is behind the
// closing quote.
bool ParseQuoted(const std::string& line, size_t& pos, std::string& out)
{
    if (pos >= line.size() || line[pos] != '"') return false;
    out.clear();
    for (size_t i = pos + 1; i < line.size(); ++i)
    {
        char c = line[i];
        if (c == '"')
        {
            pos = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < line.size()) c = line[++i];
        out += c;
    }
    return false;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& out)
{
    out.clear();
    int digits = 0;
    unsigned value = 0;
    for (char c : text)
    {
        if (c == ' ' || c == '\t') continue;
        if (c == ',')
        {
            if (digits == 0) return false;
            out.push_back(static_cast<uint8_t>(value));
            digits = 0;
            value = 0;
            continue;
        }
        const int d = HexDigit(c);
        if (d < 0 || ++digits > 2) return false;
        value = value * 16 + static_cast<unsigned>(d);
    }
    if (digits > 0) out.push_back(static_cast<uint8_t>(value));
    return true;
}

bool ParseData(const std::string& data, CHiveValue& v)
{
    if (!data.empty() && data[0] == '"')
    {
        size_t pos = 0;
        std::string text;
        if (!ParseQuoted(data, pos, text)) return false;
        v.type = kRegTypeString;
        v.data.assign(text.begin(), text.end());
        v.data.push_back(0);
        return true;
    }
    if (data.rfind("dword:", 0) == 0)
    {
        const std::string hex = data.substr(6);
        if (hex.empty() || hex.size() > 8) return false;
        uint32_t n = 0;
        for (char c : hex)
        {
            const int d = HexDigit(c);
            if (d < 0) return false;
            n = n * 16 + static_cast<uint32_t>(d);
        }
        v.type = kRegTypeNumber;
        v.data = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
        return true;
    }
    if (data.rfind("hex:", 0) == 0)
    {
        v.type = kRegTypeBinary;
        return ParseHexBytes(data.substr(4), v.data);
    }
    if (data.rfind("hex(", 0) == 0)
    {
        const size_t close = data.find("):", 4);
        if (close == std::string::npos || close == 4 || close > 12) return false;
        uint32_t type = 0;
        for (size_t i = 4; i < close; ++i)
        {
            const int d = HexDigit(data[i]);
            if (d < 0) return false;
            type = type * 16 + static_cast<uint32_t>(d);
        }
        v.type = type;
        return ParseHexBytes(data.substr(close + 2), v.data);
    }
    return false;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string TrimRight(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    return s;
}

std::string TrimLeft(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : s.substr(first);
}

// A value line: name ("@" or quoted) '=' data; hex data may continue on the following lines.
void ParseValueLine(const std::vector<std::string>& lines, size_t& i, CHiveKey& key)
{
    const std::string& line = lines[i];
    CHiveValue v;
    size_t pos = 0;
    if (line[0] == '@')
        pos = 1;
    else if (!ParseQuoted(line, pos, v.name))
        return;
    if (pos >= line.size() || line[pos] != '=') return;
    std::string data = TrimRight(line.substr(pos + 1));
    if (data.rfind("hex", 0) == 0)
    {
        while (!data.empty() && data.back() == '\\' && i + 1 < lines.size())
        {
            data.pop_back();
            data += TrimRight(TrimLeft(lines[++i]));
        }
    }
    if (data == "-")
        key.RemoveValue(v.name);
    else if (ParseData(data, v))
        key.SetValue(v.name, v.type, std::move(v.data));
}

} // namespace

bool ParseHiveText(const std::string& text, CHiveKey& root)
{
    root.Clear();
    const std::vector<std::string> lines = SplitLines(text);
    size_t i = 0;
    while (i < lines.size() && TrimRight(lines[i]).empty())
        ++i;
    if (i == lines.size()) return false;
    const std::string header = TrimRight(lines[i]);
    if (header != "REGEDIT4" && header != "Windows Registry Editor Version 5.00") return false;

    CHiveKey* current = nullptr;
    for (++i; i < lines.size(); ++i)
    {
        const std::string line = TrimRight(lines[i]);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[')
        {
            current = nullptr;
            if (line.back() != ']') continue;
            const std::string path = line.substr(1, line.size() - 2);
            if (!path.empty() && path[0] == '-')
            {
                std::vector<std::string> pieces = SplitKeyPath(path.substr(1));
                if (pieces.empty()) continue;
                const std::string last = pieces.back();
                pieces.pop_back();
                if (CHiveKey* parent = root.FindPath(pieces)) parent->RemoveKey(last);
                continue;
            }
            const std::vector<std::string> pieces = SplitKeyPath(path);
            if (!pieces.empty()) current = &root.CreatePath(pieces);
            continue;
        }
        if (current) ParseValueLine(lines, i, *current);
    }
    return true;
}

} // namespace vKit
