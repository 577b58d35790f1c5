#include "Base/Reg/Registry.h"

#include <algorithm>
#include <cstring>

namespace vKit
{

namespace
{

const char* const kSoftware = "Software";
const char* const kMaker = "Quorell";

bool IsMissing(const char* s)
{
    return s == nullptr || *s == '\0';
}

std::vector<std::string> AppPath(const char* application)
{
    std::vector<std::string> path{kSoftware, kMaker};
    for (std::string& piece : SplitKeyPath(application ? application : ""))
        path.push_back(std::move(piece));
    return path;
}

std::vector<std::string> SectionPath(const char* application, const char* section)
{
    std::vector<std::string> path = AppPath(application);
    for (std::string& piece : SplitKeyPath(section))
        path.push_back(std::move(piece));
    return path;
}

// Creates the keys of path below an existing "Software"; null when "Software" is missing.
CHiveKey* CreateBelowSoftware(CHiveKey& root, const std::vector<std::string>& path)
{
    CHiveKey* software = root.FindKey(path.front());
    if (!software) return nullptr;
    return &software->CreatePath(std::vector<std::string>(path.begin() + 1, path.end()));
}

bool KeyExists(ERegRoot root, const std::vector<std::string>& path)
{
    bool exists = false;
    ReadHive(root, [&](const CHiveKey& hive) { exists = hive.FindPath(path) != nullptr; });
    return exists;
}

std::optional<CRegKey> CreateKey(ERegRoot root, const std::vector<std::string>& path)
{
    bool exists = false;
    const bool created = ChangeHive(root,
                                    [&](CHiveKey& hive)
                                    {
                                        if (hive.FindPath(path))
                                        {
                                            exists = true;
                                            return false;
                                        }
                                        return CreateBelowSoftware(hive, path) != nullptr;
                                    });
    if (!exists && !created) return std::nullopt;
    return CRegKey{root, path};
}

std::optional<CRegKey> OpenKey(ERegRoot root, const std::vector<std::string>& path)
{
    if (!KeyExists(root, path)) return std::nullopt;
    return CRegKey{root, path};
}

bool WriteValue(ERegRoot root, const std::vector<std::string>& path, const char* name, uint32_t type,
                std::vector<uint8_t> data)
{
    return ChangeHive(root,
                      [&](CHiveKey& hive)
                      {
                          CHiveKey* key = CreateBelowSoftware(hive, path);
                          if (!key) return false;
                          key->SetValue(name, type, std::move(data));
                          return true;
                      });
}

bool DeleteKey(ERegRoot root, std::vector<std::string> path)
{
    const std::string last = path.back();
    path.pop_back();
    return ChangeHive(root,
                      [&](CHiveKey& hive)
                      {
                          CHiveKey* parent = hive.FindPath(path);
                          return parent && parent->RemoveKey(last);
                      });
}

bool DeleteValue(ERegRoot root, const std::vector<std::string>& path, const char* name)
{
    return ChangeHive(root,
                      [&](CHiveKey& hive)
                      {
                          CHiveKey* key = hive.FindPath(path);
                          return key && key->RemoveValue(name);
                      });
}

// The stored value when it exists with the type asked for.
std::optional<std::vector<uint8_t>> ReadValue(ERegRoot root, const char* application, const char* section,
                                              const char* name, uint32_t type)
{
    std::optional<std::vector<uint8_t>> result;
    if (IsMissing(section) || name == nullptr) return result;
    const std::vector<std::string> path = SectionPath(application, section);
    ReadHive(root,
             [&](const CHiveKey& hive)
             {
                 const CHiveKey* key = hive.FindPath(path);
                 const CHiveValue* value = key ? key->FindValue(name) : nullptr;
                 if (value && value->type == type) result = value->data;
             });
    return result;
}

// Copies at most size characters of text into buffer (size + 1 bytes, cleared first).
int32_t CopyCut(const std::string& text, char* buffer, int32_t size)
{
    const size_t n = std::min(text.size(), static_cast<size_t>(std::max(size, 0)));
    if (buffer)
    {
        std::memset(buffer, 0, static_cast<size_t>(std::max(size, 0)) + 1);
        std::memcpy(buffer, text.data(), n);
    }
    return static_cast<int32_t>(n);
}

} // namespace

std::optional<CRegKey> CRegistry::CreateAppKey(const char* application) const
{
    return CreateKey(m_root, AppPath(application));
}

std::optional<CRegKey> CRegistry::CreateSectionKey(const char* application, const char* section) const
{
    if (IsMissing(section)) return std::nullopt;
    return CreateKey(m_root, SectionPath(application, section));
}

std::optional<CRegKey> CRegistry::OpenAppKey(const char* application) const
{
    return OpenKey(m_root, AppPath(application));
}

std::optional<CRegKey> CRegistry::OpenSectionKey(const char* application, const char* section) const
{
    if (IsMissing(section)) return std::nullopt;
    return OpenKey(m_root, SectionPath(application, section));
}

bool CRegistry::WriteNumber(const char* application, const char* section, const char* name,
                            int32_t value) const
{
    if (IsMissing(section) || name == nullptr) return false;
    const uint32_t n = static_cast<uint32_t>(value);
    return WriteValue(m_root, SectionPath(application, section), name, kRegTypeNumber,
                      {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)});
}

bool CRegistry::WriteString(const char* application, const char* section, const char* name,
                            const char* text) const
{
    if (IsMissing(section)) return false;
    if (name == nullptr) return DeleteKey(m_root, SectionPath(application, section));
    if (text == nullptr) return DeleteValue(m_root, SectionPath(application, section), name);
    std::vector<uint8_t> data(text, text + std::strlen(text) + 1);
    return WriteValue(m_root, SectionPath(application, section), name, kRegTypeString, std::move(data));
}

bool CRegistry::WriteBinary(const char* application, const char* section, const char* name, const void* data,
                            uint32_t size) const
{
    if (IsMissing(section)) return false;
    if (name == nullptr) return DeleteKey(m_root, SectionPath(application, section));
    if (data == nullptr) return DeleteValue(m_root, SectionPath(application, section), name);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return WriteValue(m_root, SectionPath(application, section), name, kRegTypeBinary,
                      std::vector<uint8_t>(bytes, bytes + size));
}

int32_t CRegistry::ReadNumber(const char* application, const char* section, const char* name,
                              int32_t def) const
{
    const auto data = ReadValue(m_root, application, section, name, kRegTypeNumber);
    if (!data || data->size() != 4) return def;
    const std::vector<uint8_t>& d = *data;
    return static_cast<int32_t>(d[0] | (d[1] << 8) | (d[2] << 16) | (uint32_t(d[3]) << 24));
}

int32_t CRegistry::ReadString(const char* application, const char* section, const char* name, const char* def,
                              char* buffer, int32_t size) const
{
    const auto data = ReadValue(m_root, application, section, name, kRegTypeString);
    if (data && !buffer) return static_cast<int32_t>(data->size());
    if (data)
    {
        const auto end = std::find(data->begin(), data->end(), uint8_t(0));
        return CopyCut(std::string(data->begin(), end), buffer, size);
    }
    return CopyCut(def ? std::string(def) : std::string(), buffer, size);
}

int32_t CRegistry::ReadBinary(const char* application, const char* section, const char* name, void* buffer,
                              int32_t size) const
{
    const auto data = ReadValue(m_root, application, section, name, kRegTypeBinary);
    if (!data) return 0;
    if (!buffer) return static_cast<int32_t>(data->size());
    const size_t n = std::min(data->size(), static_cast<size_t>(std::max(size, 0)));
    std::memcpy(buffer, data->data(), n);
    return static_cast<int32_t>(n);
}

bool CRegistry::EnumAppSubKey(const char* application, int32_t index, char* name, int32_t size) const
{
    if (index < 0) return false;
    const std::vector<std::string> path = AppPath(application);
    std::optional<std::string> found;
    ReadHive(m_root,
             [&](const CHiveKey& hive)
             {
                 const CHiveKey* key = hive.FindPath(path);
                 const CHiveKey* sub = key ? key->GetKeyAt(static_cast<size_t>(index)) : nullptr;
                 if (sub) found = sub->GetName();
             });
    if (!found) return false;
    if (name && size > 0) CopyCut(*found, name, size - 1);
    return true;
}

} // namespace vKit
