#include "engine/FileTimes.h"

#include "Base/platform/Platform.h"

namespace
{

constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;
constexpr uint32_t kAttrCompressed = 0x800;
constexpr uint32_t kAttrEncrypted = 0x4000;

// The attribute rules: a file carrying an attribute that is not allowed keeps its times.
bool Skipped(const CFileTimes& t, uint32_t a)
{
    return ((a & vKit::kAttrHidden) && !t.m_bAllowHidden) ||
           ((a & vKit::kAttrReadOnly) && !t.m_bAllowReadOnly) ||
           ((a & vKit::kAttrSystem) && !t.m_bAllowSystem) ||
           ((a & kAttrCompressed) && !t.m_bAllowCompressed) || ((a & kAttrEncrypted) && !t.m_bAllowEncrypted);
}

bool HasGuardedAttribute(uint32_t a)
{
    return (a & (vKit::kAttrHidden | vKit::kAttrReadOnly | vKit::kAttrSystem | kAttrCompressed |
                 kAttrEncrypted)) != 0;
}

} // namespace

int32_t CFileTimes::ReadTimes(const std::string& path)
{
    vKit::CPlatformStat st;
    if (vKit::PlatformStat(path, st) != 0) return 1;
    // Folders count as openable, as with backup semantics; anything else must open for reading.
    if (!st.isDirectory)
    {
        vKit::CPlatformFile file;
        if (file.Open(path, vKit::PlatformOpenMode::Read) != 0) return 1;
        if (file.GetStat(st) != 0) return 2;
    }
    m_ftCreation = vKit::UnixNsToFileTime(st.birthNs);
    m_ftLastAccess = vKit::UnixNsToFileTime(st.accessNs);
    m_ftLastWrite = vKit::UnixNsToFileTime(st.writeNs);
    return 0;
}

int32_t CFileTimes::WriteTimes(const std::string& path) const
{
    uint32_t a = 0;
    if (vKit::PlatformGetAttributes(path, a) != 0) a = kInvalidAttributes;
    bool changed = false;
    if (m_bForce)
    {
        if (Skipped(*this, a)) return 0;
        changed = vKit::PlatformSetAttributes(path, vKit::kAttrNormal) == 0;
    }
    else if (HasGuardedAttribute(a))
        return 0;

    int32_t result = 0;
    {
        vKit::CPlatformFile file;
        if (file.Open(path, vKit::PlatformOpenMode::ReadWrite) != 0) result = 1;
    }
    if (result == 0 && vKit::PlatformSetFileTimes(path, m_ftLastAccess, m_ftLastWrite) != 0) result = 2;
    if (changed) vKit::PlatformSetAttributes(path, a);
    return result;
}
