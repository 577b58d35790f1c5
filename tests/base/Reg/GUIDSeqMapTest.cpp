#include "Base/Reg/GUIDSeqMap.h"
#include "base/SettingsTestDir.h"

#include <gtest/gtest.h>

#include <tuple>

namespace
{

void AddItem(vKit::CGUIDSeqMap& map, const char* guid, int32_t sequence, int64_t nr, int64_t config = 0,
             int32_t wasTemp = 1)
{
    map.Add(std::make_unique<vKit::CGUIDSeqMapItem>(guid, sequence, nr, config, wasTemp));
}

// The text with every line ending in CR LF, as the map file is written.
std::string Crlf(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

} // namespace

TEST(GUIDSeqMap, WritesTheFileLayoutAndReadsItBack)
{
    CSettingsTestDir dir;
    const std::string path = dir.Path() + "/Cfg/GUIDSeq.cfg";
    vKit::CGUIDSeqMap map;
    AddItem(map, "A", 1, 10);
    AddItem(map, "B", 1, 12);
    AddItem(map, "a", 2, 11);
    EXPECT_NE(vKit::WriteGUIDMap(path, map), 0) << "a missing folder is not created";
    EXPECT_FALSE(vKit::FileExists(path));
    vKit::CreateFolderTree(dir.Path() + "/Cfg");
    ASSERT_EQ(vKit::WriteGUIDMap(path, map), 0);
    EXPECT_EQ(CSettingsTestDir::Read(path),
              Crlf("[GUID_MAP]\nSignature=QUORELL_GUID_MAP\nCount=2\nGUID_0=A\nGUID_1=B\n\n"
                   "[A]\nCount=2\nSequence_0=1\nUniqueNr_0=10\nConfigID_0=0\nWasTemp_0=1\n"
                   "Sequence_1=2\nUniqueNr_1=11\nConfigID_1=0\nWasTemp_1=1\n\n"
                   "[B]\nCount=1\nSequence_0=1\nUniqueNr_0=12\nConfigID_0=0\nWasTemp_0=1\n"));

    vKit::CGUIDSeqMap read;
    EXPECT_EQ(vKit::ReadGUIDMap(path, read), 0);
    ASSERT_EQ(read.GetCount(), 3);
    EXPECT_EQ(std::make_tuple(read.GetUniqueNr("A", 1), read.GetUniqueNr("A", 2), read.GetUniqueNr("B", 1)),
              std::make_tuple(int64_t(10), int64_t(11), int64_t(12)));

    // Items the map holds already keep their values; only the others are added.
    vKit::CGUIDSeqMap held;
    AddItem(held, "A", 1, 99, 7, 0);
    vKit::ReadGUIDMap(path, held);
    ASSERT_EQ(held.GetCount(), 3);
    EXPECT_EQ(std::make_pair(held.GetUniqueNr("A", 1), held.GetConfigID("A", 1)),
              std::make_pair(int64_t(99), int64_t(7)));

    // A configuration keeps its low 32 bits; the flag goes both ways.
    vKit::CGUIDSeqMap flagged;
    AddItem(flagged, "{x}", 3, 20, (int64_t(1) << 32) + 5, 0);
    AddItem(flagged, "{x}", 4, 21, -2, 1);
    ASSERT_EQ(vKit::WriteGUIDMap(path, flagged), 0);
    vKit::CGUIDSeqMap back;
    vKit::ReadGUIDMap(path, back);
    EXPECT_EQ(std::make_tuple(back.GetConfigID("{X}", 3), back.GetConfigID("{X}", 4),
                              back.GetWasTemp("{X}", 3), back.GetWasTemp("{X}", 4)),
              std::make_tuple(int64_t(5), int64_t(-2), 0, 1));
}

TEST(GUIDSeqMap, ForeignMissingOrDamagedFilesLeaveTheMapAlone)
{
    CSettingsTestDir dir;
    vKit::CGUIDSeqMap map;
    AddItem(map, "A", 1, 10);
    const std::string path = dir.Path() + "/f.cfg";
    vKit::ReadGUIDMap(path, map);
    CSettingsTestDir::Write(path, Crlf("[GUID_MAP]\nSignature=OTHER\nCount=1\nGUID_0=B\n\n[B]\nCount=1\n"
                                       "Sequence_0=1\nUniqueNr_0=11\n"));
    vKit::ReadGUIDMap(path, map);
    EXPECT_EQ(map.GetCount(), 1);

    // A lower-case signature counts; absurd counts end with the file; missing values take defaults.
    CSettingsTestDir::Write(path, "[GUID_MAP]\nSignature=quorell_guid_map\nCount=2000000000\nGUID_0=B\n\n"
                                  "[B]\nCount=2000000000\nSequence_0=1\n");
    vKit::ReadGUIDMap(path, map);
    ASSERT_EQ(map.GetCount(), 3);
    EXPECT_EQ(map.GetUniqueNr("B", 1), 0);
    EXPECT_EQ(map.GetWasTemp("B", 1), 1);
    EXPECT_EQ(map.GetUniqueNr("B", 0), 0) << "items without values read as sequence 0";
}
