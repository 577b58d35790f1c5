#include "engine/FileTimes.h"

#include "Base/platform/Platform.h"
#include "base/ScratchFolder.h"

#include <gtest/gtest.h>

namespace
{

int64_t WriteNs(const std::string& path)
{
    vKit::CPlatformStat st;
    EXPECT_EQ(vKit::PlatformStat(path, st), 0);
    return st.writeNs;
}

// Carrying times to the written slices runs through whole conversions in the stage tests; here,
// the destinations whose times stay as they are.
TEST(FileTimes, ReadOnlyHiddenAndMissingDestinationsAreSkippedWithSuccess)
{
    CScratchFolder dir;
    const std::string ro = dir.Write("ro.bmp", "x"), hidden = dir.Write(".hidden.bmp", "x");
    ASSERT_EQ(vKit::PlatformSetAttributes(ro, vKit::kAttrReadOnly), 0);
    const int64_t roBefore = WriteNs(ro), hiddenBefore = WriteNs(hidden);
    const int64_t oldNs = 1000000000LL * 1000000000LL; // 2001-09-09 01:46:40 UTC
    CFileTimes times;
    EXPECT_EQ(times.ReadTimes(dir.Path("none.bmp")), 1);
    times.m_ftLastWrite = times.m_ftLastAccess = vKit::UnixNsToFileTime(oldNs);
    EXPECT_EQ(times.WriteTimes(ro), 0);
    EXPECT_EQ(times.WriteTimes(hidden), 0);
    EXPECT_EQ(WriteNs(ro), roBefore);
    EXPECT_EQ(WriteNs(hidden), hiddenBefore);
    // Attributes that cannot be read count as all set.
    EXPECT_EQ(times.WriteTimes(dir.Path("none.bmp")), 0);

    // Allowed explicitly, the read-only file gets its times and stays read-only.
    times.m_bAllowReadOnly = 1;
    EXPECT_EQ(times.WriteTimes(ro), 0);
    EXPECT_EQ(WriteNs(ro), oldNs);
    uint32_t a = 0;
    ASSERT_EQ(vKit::PlatformGetAttributes(ro, a), 0);
    EXPECT_TRUE(a & vKit::kAttrReadOnly);
}

} // namespace
