// Temporary names a later run can recognise, and the lock that keeps two runs off one data set.

#include "Base/platform/PlatformTemporary.h"

#include "tests/base/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace
{

TEST(TemporaryNames, NamesAreFreshHiddenAndStandForTheirFile)
{
    for (const std::string path : {"/out/q0001.bmp", "/out/q.log", "q_cfg.txt", "/a.b/plain"})
    {
        const std::string a = vKit::PlatformTemporaryName(path), b = vKit::PlatformTemporaryName(path);
        EXPECT_NE(a, b);
        const size_t slash = path.rfind('/');
        const std::string name = path.substr(slash + 1);
        EXPECT_EQ(a.substr(0, slash + 2), path.substr(0, slash + 1) + ".") << a;
        EXPECT_EQ(vKit::PlatformTemporaryTarget(a.substr(slash + 1)), name) << a;
    }
    const struct
    {
        const char* name;
        const char* target;
    } cases[] = {
        {".q0001.kavex-part.bmp", "q0001.bmp"}, // an older tag
        {"q0001.kavex-1-2-3.bmp", ""},          // not hidden
        {".q0001.kavex-.bmp", ""},              // no tag
        {".q0001.kavex-1/2.bmp", ""},           // not a tag
        {".q0001.bmp.kavex-3", ""},             // a dotted name keeps its extension last
        {".q.kavex.lock", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vKit::PlatformTemporaryTarget(c.name), c.target) << c.name;
}

TEST(TemporaryNames, LockConflictsEvenInOneProcessAndGoesWithItsFile)
{
    CScratchFolder dir;
    const std::string path = dir.Path(".q.kavex.lock");
    vKit::CPlatformLock first, second;
    ASSERT_EQ(first.TryAcquire(path), 0);
    EXPECT_EQ(second.TryAcquire(path), EWOULDBLOCK);
    EXPECT_FALSE(second.IsHeld());
    first.Release();
    EXPECT_FALSE(CScratchFolder::Exists(path));
    EXPECT_EQ(second.TryAcquire(path), 0);
    EXPECT_EQ(first.TryAcquire(dir.Path("missing/.q.kavex.lock")), ENOENT);
}

} // namespace
