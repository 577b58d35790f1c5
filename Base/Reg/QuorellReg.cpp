#include "Base/Reg/QuorellReg.h"

#include "Base/Reg/Registry.h"
#include "Base/core/Strings.h"
#include "Base/files/Profile.h"
#include "Base/files/StoreFile.h"

#include <charconv>

namespace vKit
{

namespace
{

// Registry strings come through a buffer of 512 bytes, profile strings through 511.
constexpr int32_t kRegistryChars = 511;
constexpr size_t kProfileChars = 510;

bool ParseDecimal(const std::string& text, int32_t& value)
{
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    int64_t n = 0;
    const auto result = std::from_chars(first, last, n);
    if (result.ec != std::errc() || result.ptr == first) return false;
    value = static_cast<int32_t>(static_cast<uint32_t>(n));
    return true;
}

} // namespace

CQuorellReg::CQuorellReg() = default;

CQuorellReg::~CQuorellReg() = default;

CQuorellReg& CQuorellReg::SetCurrentUser(int32_t currentUser)
{
    m_bCurrentUser = currentUser;
    return *this;
}

CQuorellReg& CQuorellReg::SetUseFile(int32_t useFile)
{
    m_bUseFile = useFile;
    return *this;
}

CQuorellReg& CQuorellReg::SetTextFile(int32_t textFile)
{
    m_bTextFile = textFile;
    return *this;
}

CQuorellReg& CQuorellReg::SetApplication(const std::string& application)
{
    m_strApplication = application;
    return *this;
}

CQuorellReg& CQuorellReg::SetSection(const std::string& section)
{
    m_strSection = section;
    return *this;
}

CQuorellReg& CQuorellReg::SetFileSection(const std::string& fileSection)
{
    m_strFileSection = fileSection;
    return *this;
}

CQuorellReg& CQuorellReg::SetFlag(int32_t flag)
{
    m_nFlag = flag;
    return *this;
}

std::string CQuorellReg::GetFilePath() const
{
    return JoinPath(RemoveTrailingSeparator(m_strApplication), m_strSection);
}

bool CQuorellReg::WriteString(const char* name, const char* text)
{
    if (!m_bUseFile)
    {
        const CRegistry& reg = m_bCurrentUser ? RegCurrentUser : RegLocalMachine;
        return reg.WriteString(m_strApplication.c_str(), m_strSection.c_str(), name, text);
    }
    if (!m_bTextFile) return WriteProfileString(GetFilePath(), m_strFileSection.c_str(), name, text);
    if (name == nullptr || text == nullptr) return false;
    return AppendTextValue(name, text);
}

bool CQuorellReg::WriteNumber(const char* name, int32_t value)
{
    if (!m_bUseFile)
    {
        const CRegistry& reg = m_bCurrentUser ? RegCurrentUser : RegLocalMachine;
        return reg.WriteNumber(m_strApplication.c_str(), m_strSection.c_str(), name, value);
    }
    if (name == nullptr) return false;
    return WriteString(name, std::to_string(value).c_str());
}

bool CQuorellReg::WriteFlag(const char* name, bool flag)
{
    return WriteNumber(name, flag ? 1 : 0);
}

std::string CQuorellReg::ReadString(const char* name, const char* def)
{
    if (!m_bUseFile)
    {
        const CRegistry& reg = m_bCurrentUser ? RegCurrentUser : RegLocalMachine;
        char buffer[kRegistryChars + 1];
        reg.ReadString(m_strApplication.c_str(), m_strSection.c_str(), name, def, buffer, kRegistryChars);
        return buffer;
    }
    const std::string fallback = def ? def : "";
    if (name == nullptr) return fallback;
    if (!m_bTextFile)
        return ReadProfileString(GetFilePath(), m_strFileSection, name, fallback, kProfileChars);
    std::string value;
    return FindTextValue(name, value) ? value : fallback;
}

int32_t CQuorellReg::ReadNumber(const char* name, int32_t def)
{
    if (!m_bUseFile)
    {
        const CRegistry& reg = m_bCurrentUser ? RegCurrentUser : RegLocalMachine;
        return reg.ReadNumber(m_strApplication.c_str(), m_strSection.c_str(), name, def);
    }
    if (name == nullptr) return def;
    if (!m_bTextFile) return ReadProfileNumber(GetFilePath(), m_strFileSection, name, def);
    std::string text;
    int32_t value = def;
    if (FindTextValue(name, text) && ParseDecimal(text, value)) return value;
    return def;
}

bool CQuorellReg::ReadFlag(const char* name, bool def)
{
    return ReadNumber(name, def ? 1 : 0) != 0;
}

void CQuorellReg::ClearText()
{
    m_Text.Reset();
    // A section header written before the clear is gone with it.
    m_strCurrentSection.clear();
}

int32_t CQuorellReg::LoadText()
{
    if (!IsTextBackEnd()) return 2;
    m_strCurrentSection.clear();
    return m_Text.LoadFrom(GetFilePath());
}

int32_t CQuorellReg::SaveText()
{
    if (!IsTextBackEnd()) return 2;
    const std::string text = GetTextContent();
    return ReplaceFileAtomically(GetFilePath(), text.data(), text.size());
}

std::string CQuorellReg::GetTextContent() const
{
    return m_Text.GetText();
}

bool CQuorellReg::AppendTextValue(const char* name, const std::string& value)
{
    bool ok = true;
    if (m_strFileSection != m_strCurrentSection || m_Text.GetUsed() == 0)
    {
        if (m_Text.GetUsed() > 0) ok = m_Text.AppendNewline();
        ok = ok && m_Text.AppendLine("[" + m_strFileSection + "]");
        m_strCurrentSection = m_strFileSection;
    }
    return ok && m_Text.AppendLine(std::string(name) + "=" + value);
}

bool CQuorellReg::FindTextValue(const char* name, std::string& value) const
{
    const std::string text = GetTextContent();
    const std::string header = "[" + m_strFileSection + "]";
    bool inSection = false;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[')
        {
            if (inSection) return false;
            inSection = EqualsNoCase(line, header);
            continue;
        }
        const size_t eq = line.find('=');
        if (inSection && eq != std::string::npos && EqualsNoCase(line.substr(0, eq), name))
        {
            value = line.substr(eq + 1);
            return true;
        }
    }
    return false;
}

} // namespace vKit
