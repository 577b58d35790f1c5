#include "engine/FileTimes.h"

#include "Base/Platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace
{

namespace fs = std::filesystem;

class FileTimes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kavex-times-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Make(const std::string& name)
    {
        const std::string path = m_dir + "/" + name;
        std::ofstream(path) << "x";
        return path;
    }
    static int64_t WriteNs(const std::string& path)
    {
        vKit::CPlatformStat st;
        EXPECT_EQ(vKit::PlatformStat(path, st), 0);
        return st.writeNs;
    }

    std::string m_dir;
};

// 2001-09-09 01:46:40 UTC, whole seconds.
constexpr int64_t kOldNs = 1000000000LL * 1000000000LL;

TEST_F(FileTimes, CarriesWriteAndAccessTimeToAnotherFile)
{
    const std::string src = Make("src.bmp"), dst = Make("dst.bmp");
    const uint64_t old = vKit::UnixNsToFileTime(kOldNs);
    ASSERT_EQ(vKit::PlatformSetFileTimes(src, old, old), 0);

    CFileTimes times;
    ASSERT_EQ(times.ReadTimes(src), 0);
    EXPECT_EQ(times.m_ftLastWrite, old);
    EXPECT_NE(times.m_ftCreation, 0u);
    ASSERT_EQ(times.WriteTimes(dst), 0);
    EXPECT_EQ(WriteNs(dst), kOldNs);
}

TEST_F(FileTimes, ReadOnlyAndHiddenDestinationsAreSkippedWithSuccess)
{
    const std::string ro = Make("ro.bmp"), hidden = Make(".hidden.bmp");
    ASSERT_EQ(vKit::PlatformSetAttributes(ro, vKit::kAttrReadOnly), 0);
    const int64_t roBefore = WriteNs(ro), hiddenBefore = WriteNs(hidden);

    CFileTimes times;
    times.m_ftLastWrite = times.m_ftLastAccess = vKit::UnixNsToFileTime(kOldNs);
    EXPECT_EQ(times.WriteTimes(ro), 0);
    EXPECT_EQ(times.WriteTimes(hidden), 0);
    EXPECT_EQ(WriteNs(ro), roBefore);
    EXPECT_EQ(WriteNs(hidden), hiddenBefore);
    uint32_t a = 0;
    ASSERT_EQ(vKit::PlatformGetAttributes(ro, a), 0);
    EXPECT_TRUE(a & vKit::kAttrReadOnly);

    // Allowed explicitly, the read-only file gets its times and stays read-only.
    times.m_bAllowReadOnly = 1;
    EXPECT_EQ(times.WriteTimes(ro), 0);
    EXPECT_EQ(WriteNs(ro), kOldNs);
    ASSERT_EQ(vKit::PlatformGetAttributes(ro, a), 0);
    EXPECT_TRUE(a & vKit::kAttrReadOnly);
}

TEST_F(FileTimes, MissingFiles)
{
    CFileTimes times;
    EXPECT_EQ(times.ReadTimes(m_dir + "/none.bmp"), 1);
    // Attributes that cannot be read count as all set: skipped, result 0.
    EXPECT_EQ(times.WriteTimes(m_dir + "/none.bmp"), 0);
    times.m_bForce = 0;
    EXPECT_EQ(times.WriteTimes(m_dir + "/none.bmp"), 0);
}

} // namespace
