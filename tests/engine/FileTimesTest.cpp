#include "engine/FileTimes.h"

#include "Base/Platform.h"
#include "base/ScratchFolder.h"

#include <gtest/gtest.h>

namespace
{

// 2001-09-09 01:46:40 UTC, whole seconds.
constexpr int64_t kOldNs = 1000000000LL * 1000000000LL;

int64_t WriteNs(const std::string& path)
{
    vKit::CPlatformStat st;
    EXPECT_EQ(vKit::PlatformStat(path, st), 0);
    return st.writeNs;
}

TEST(FileTimes, CarriesWriteAndAccessTimeToAnotherFile)
{
    CScratchFolder dir;
    const std::string src = dir.Write("src.bmp", "x"), dst = dir.Write("dst.bmp", "x");
    const uint64_t old = vKit::UnixNsToFileTime(kOldNs);
    ASSERT_EQ(vKit::PlatformSetFileTimes(src, old, old), 0);
    CFileTimes times;
    ASSERT_EQ(times.ReadTimes(src), 0);
    EXPECT_EQ(times.m_ftLastWrite, old);
    EXPECT_NE(times.m_ftCreation, 0u);
    ASSERT_EQ(times.WriteTimes(dst), 0);
    EXPECT_EQ(WriteNs(dst), kOldNs);
    EXPECT_EQ(times.ReadTimes(dir.Path("none.bmp")), 1);
}

TEST(FileTimes, ReadOnlyHiddenAndMissingDestinationsAreSkippedWithSuccess)
{
    CScratchFolder dir;
    const std::string ro = dir.Write("ro.bmp", "x"), hidden = dir.Write(".hidden.bmp", "x");
    ASSERT_EQ(vKit::PlatformSetAttributes(ro, vKit::kAttrReadOnly), 0);
    const int64_t roBefore = WriteNs(ro), hiddenBefore = WriteNs(hidden);
    CFileTimes times;
    times.m_ftLastWrite = times.m_ftLastAccess = vKit::UnixNsToFileTime(kOldNs);
    EXPECT_EQ(times.WriteTimes(ro), 0);
    EXPECT_EQ(times.WriteTimes(hidden), 0);
    EXPECT_EQ(WriteNs(ro), roBefore);
    EXPECT_EQ(WriteNs(hidden), hiddenBefore);
    // Attributes that cannot be read count as all set.
    EXPECT_EQ(times.WriteTimes(dir.Path("none.bmp")), 0);

    // Allowed explicitly, the read-only file gets its times and stays read-only.
    times.m_bAllowReadOnly = 1;
    EXPECT_EQ(times.WriteTimes(ro), 0);
    EXPECT_EQ(WriteNs(ro), kOldNs);
    uint32_t a = 0;
    ASSERT_EQ(vKit::PlatformGetAttributes(ro, a), 0);
    EXPECT_TRUE(a & vKit::kAttrReadOnly);
}

} // namespace
