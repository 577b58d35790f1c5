#include "engine/DestinationNames.h"

#include "Base/core/Strings.h"
#include "Base/platform/Platform.h"

#include <vector>

bool CDestinationNames::Read(const std::string& folder)
{
    Clear();
    std::vector<std::string> names;
    if (vKit::PlatformListNames(folder, names) != 0) return false;
    for (const std::string& name : names)
        m_names.insert(vKit::UpperAscii(name));
    m_strFolder = folder;
    m_bRead = true;
    return true;
}

void CDestinationNames::Clear()
{
    m_bRead = false;
    m_strFolder.clear();
    m_names.clear();
}

bool CDestinationNames::IsSurelyAbsent(const std::string& path)
{
    if (!m_bRead || vKit::ViewPathFolder(path) != m_strFolder) return false;
    const std::string_view name = vKit::ViewPathFileName(path);
    // Outside ASCII a file system that ignores case may fold letters that UpperAscii leaves.
    for (const char c : name)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return m_names.insert(vKit::UpperAscii(name)).second;
}
