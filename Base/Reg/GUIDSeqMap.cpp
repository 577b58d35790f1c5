#include "Base/Reg/GUIDSeqMap.h"

#include "Base/Reg/QuorellReg.h"
#include "Base/Reg/UniqueNr.h"
#include "Base/core/Strings.h"

#include <algorithm>

namespace vKit
{

namespace
{

constexpr int32_t kNumberLimit = 65536;
const char* const kMapSection = "GUID_MAP";
const char* const kSignature = "QUORELL_GUID_MAP";

std::string Indexed(const char* name, int32_t i)
{
    return std::string(name) + "_" + std::to_string(i);
}

// Points the store at the file of path in the text back-end.
void UseFile(CQuorellReg& store, const std::string& path)
{
    store.SetUseFile(1).SetTextFile(1);
    store.SetApplication(GetPathFolder(path));
    store.SetSection(path.empty() ? std::string("GUIDMap.map") : GetPathFileName(path));
}

} // namespace

int32_t CGUIDSeqMap::FindItem(const std::string& guid, int32_t sequence) const
{
    for (int32_t i = 0; i < GetCount(); ++i)
    {
        const CGUIDSeqMapItem* item = GetAt(i);
        if (item->m_nSequence == sequence && EqualsNoCase(item->m_strGUID, guid)) return i;
    }
    return -1;
}

int64_t CGUIDSeqMap::GetUniqueNr(const std::string& guid, int32_t sequence) const
{
    const CGUIDSeqMapItem* item = GetAt(FindItem(guid, sequence));
    return item ? item->m_nUniqueNr : -1;
}

int64_t CGUIDSeqMap::GetConfigID(const std::string& guid, int32_t sequence) const
{
    const CGUIDSeqMapItem* item = GetAt(FindItem(guid, sequence));
    return item ? item->m_nConfigID : -1;
}

int32_t CGUIDSeqMap::GetWasTemp(const std::string& guid, int32_t sequence) const
{
    const CGUIDSeqMapItem* item = GetAt(FindItem(guid, sequence));
    return item ? item->m_bWasTemp : 1;
}

void CGUIDSeqMap::SetConfigID(const std::string& guid, int32_t sequence, int64_t id)
{
    if (CGUIDSeqMapItem* item = GetAt(FindItem(guid, sequence))) item->m_nConfigID = id;
}

void CGUIDSeqMap::SetWasTemp(const std::string& guid, int32_t sequence, int32_t wasTemp)
{
    if (CGUIDSeqMapItem* item = GetAt(FindItem(guid, sequence))) item->m_bWasTemp = wasTemp;
}

int64_t CGUIDSeqMap::GetOrAddUniqueNr(const std::string& guid, int32_t sequence)
{
    if (const CGUIDSeqMapItem* item = GetAt(FindItem(guid, sequence))) return item->m_nUniqueNr;
    CUniqueNr used(kNumberLimit);
    for (int32_t i = 0; i < GetCount(); ++i)
        used.MarkUsed(GetAt(i)->m_nUniqueNr);
    const int64_t n = used.FirstFree(m_nFirstUniqueNr);
    if (n < 0) return -1;
    Add(std::make_unique<CGUIDSeqMapItem>(guid, sequence, n, 0, 1));
    return n;
}

int32_t CGUIDSeqMap::FindItemFrom(const std::string& guid, int32_t start) const
{
    for (int32_t i = std::max(start, 0); i < GetCount(); ++i)
    {
        if (EqualsNoCase(GetAt(i)->m_strGUID, guid)) return i;
    }
    return -1;
}

int32_t CGUIDSeqMap::CountItemsOf(const std::string& guid) const
{
    int32_t count = 0;
    for (int32_t i = FindItemFrom(guid, 0); i >= 0; i = FindItemFrom(guid, i + 1))
        ++count;
    return count;
}

void CGUIDSeqMap::CollectGUIDs(std::vector<std::string>& guids) const
{
    guids.clear();
    for (int32_t i = 0; i < GetCount(); ++i)
        guids.push_back(UpperAscii(GetAt(i)->m_strGUID));
    std::sort(guids.begin(), guids.end());
    guids.erase(std::unique(guids.begin(), guids.end()), guids.end());
}

int32_t CGUIDSeqMap::CountGUIDs() const
{
    std::vector<std::string> guids;
    CollectGUIDs(guids);
    return static_cast<int32_t>(guids.size());
}

int32_t WriteGUIDMap(const std::string& path, const CGUIDSeqMap& map)
{
    CQuorellReg store;
    UseFile(store, path);
    store.ClearText();

    std::vector<std::string> guids;
    map.CollectGUIDs(guids);
    store.SetFileSection(kMapSection);
    store.WriteString("Signature", kSignature);
    store.WriteNumber("Count", static_cast<int32_t>(guids.size()));
    for (size_t i = 0; i < guids.size(); ++i)
        store.WriteString(Indexed("GUID", static_cast<int32_t>(i)).c_str(), guids[i].c_str());

    for (const std::string& guid : guids)
    {
        store.SetFileSection(guid);
        store.WriteNumber("Count", map.CountItemsOf(guid));
        int32_t j = 0;
        for (int32_t i = map.FindItemFrom(guid, 0); i >= 0; i = map.FindItemFrom(guid, i + 1), ++j)
        {
            const CGUIDSeqMapItem* item = map.GetAt(i);
            store.WriteNumber(Indexed("Sequence", j).c_str(), item->m_nSequence);
            store.WriteNumber(Indexed("UniqueNr", j).c_str(), static_cast<int32_t>(item->m_nUniqueNr));
            store.WriteNumber(Indexed("ConfigID", j).c_str(), static_cast<int32_t>(item->m_nConfigID));
            store.WriteNumber(Indexed("WasTemp", j).c_str(), item->m_bWasTemp ? 1 : 0);
        }
    }
    return store.SaveText();
}

int32_t ReadGUIDMap(const std::string& path, CGUIDSeqMap& map)
{
    CQuorellReg store;
    UseFile(store, path);
    if (store.LoadText() != 0) return 0;
    store.SetFileSection(kMapSection);
    if (UpperAscii(store.ReadString("Signature", "")) != kSignature) return 0;

    // No count can exceed the lines of the file: a damaged count must not run the loops for ages.
    const std::string text = store.GetTextContent();
    const int32_t lines = static_cast<int32_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    const int32_t n = std::min(store.ReadNumber("Count", 0), lines);
    for (int32_t i = 0; i < n; ++i)
    {
        store.SetFileSection(kMapSection);
        const std::string guid = store.ReadString(Indexed("GUID", i).c_str(), "");
        store.SetFileSection(guid);
        const int32_t m = std::min(store.ReadNumber("Count", 0), lines);
        for (int32_t j = 0; j < m; ++j)
        {
            const int32_t sequence = store.ReadNumber(Indexed("Sequence", j).c_str(), 0);
            const int32_t uniqueNr = store.ReadNumber(Indexed("UniqueNr", j).c_str(), 0);
            const int32_t configID = store.ReadNumber(Indexed("ConfigID", j).c_str(), 0);
            const int32_t wasTemp = store.ReadNumber(Indexed("WasTemp", j).c_str(), 1);
            if (map.FindItem(guid, sequence) < 0)
                map.Add(std::make_unique<CGUIDSeqMapItem>(guid, sequence, uniqueNr, configID, wasTemp));
        }
    }
    return 0;
}

} // namespace vKit
