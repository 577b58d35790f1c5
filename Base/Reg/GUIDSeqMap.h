#pragma once
// Small unique numbers given out to pairs of a GUID and a sequence number, kept between runs in
// a file of the text store's format:
//
//   [GUID_MAP]                     [<GUID>]              (one section per GUID, sorted)
//   Signature=QUORELL_GUID_MAP     Count=<m>
//   Count=<n>                      Sequence_<j>=...      (j = 0 .. m-1, items in list order)
//   GUID_<i>=<GUID>                UniqueNr_<j>=...
//                                  ConfigID_<j>=...      (low 32 bits, decimal)
//                                  WasTemp_<j>=1 or 0
// GUIDs compare after upper-casing the ASCII letters.

#include "Base/Reg/TypedList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vKit
{

class CGUIDSeqMapItem
{
public:
    CGUIDSeqMapItem() = default;
    CGUIDSeqMapItem(std::string guid, int32_t sequence, int64_t uniqueNr, int64_t configID = 0,
                    int32_t wasTemp = 1)
        : m_strGUID(std::move(guid)), m_nSequence(sequence), m_nUniqueNr(uniqueNr), m_nConfigID(configID),
          m_bWasTemp(wasTemp)
    {
    }
    virtual ~CGUIDSeqMapItem() = default;

    std::string m_strGUID;
    int32_t m_nSequence = 0;
    int64_t m_nUniqueNr = 0;
    int64_t m_nConfigID = 0;
    int32_t m_bWasTemp = 0;
};

class CGUIDSeqMap : public CTypedList<CGUIDSeqMapItem>
{
public:
    // Numbers are given out from here up to 65535.
    int32_t m_nFirstUniqueNr = 10;

    int32_t FindItem(const std::string& guid, int32_t sequence) const;
    int64_t GetUniqueNr(const std::string& guid, int32_t sequence) const;
    int64_t GetConfigID(const std::string& guid, int32_t sequence) const;
    // 1 when there is no such item.
    int32_t GetWasTemp(const std::string& guid, int32_t sequence) const;
    void SetConfigID(const std::string& guid, int32_t sequence, int64_t id);
    void SetWasTemp(const std::string& guid, int32_t sequence, int32_t wasTemp);

    // The item's number; else the first number no item uses, from m_nFirstUniqueNr and below
    // 65536, given to a new item (configuration 0, flag 1). -1 when none is free.
    int64_t GetOrAddUniqueNr(const std::string& guid, int32_t sequence);

    int32_t FindItemFrom(const std::string& guid, int32_t start) const;
    int32_t CountItemsOf(const std::string& guid) const;
    // The distinct GUIDs, upper-cased and sorted.
    void CollectGUIDs(std::vector<std::string>& guids) const;
    int32_t CountGUIDs() const;
};

// Adds the items of the file that the map does not hold yet (same GUID and sequence). A file
// that is missing, unreadable or of another signature leaves the map as it is. Returns 0.
int32_t ReadGUIDMap(const std::string& path, CGUIDSeqMap& map);
// Writes the whole map; 0 or the errno of writing the file. An empty path writes "GUIDMap.map".
int32_t WriteGUIDMap(const std::string& path, const CGUIDSeqMap& map);

} // namespace vKit
