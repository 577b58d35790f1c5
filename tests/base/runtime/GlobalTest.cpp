#include "Base/runtime/Global.h"
#include "Base/Reg/GUIDSeqMap.h"
#include "Base/core/Timer.h"
#include "Base/platform/Platform.h"
#include "Base/platform/PlatformConsole.h"
#include "Base/platform/PlatformSync.h"
#include "Base/runtime/Trace.h"
#include "Base/threads/FileThread.h"
#include "base/SettingsTestDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Points the library's program path into the test folder for the test's lifetime.
struct CProgramIn
{
    explicit CProgramIn(const std::string& folder) { vKit::CGlobal::UseProgramPath(folder + "/bin/kavex"); }
    ~CProgramIn() { vKit::CGlobal::UseProgramPath(""); }
};

} // namespace

TEST(Global, FirstInstanceStartsUpLastShutsDownAndKeepsTheGUIDMap)
{
    CSettingsTestDir dir;
    CProgramIn program(dir.Path());
    const std::string bin = dir.Path() + "/bin";
    vKit::CreateFolderTree(bin + "/Cfg");
    vKit::CGUIDSeqMap stored;
    stored.GetOrAddUniqueNr("{A}", 1);
    ASSERT_EQ(vKit::WriteGUIDMap(bin + "/Cfg/GUIDSeq.cfg", stored), 0);

    EXPECT_EQ(vKit::CGlobal::GetFileThread(), nullptr);
    {
        vKit::CGlobal first;
        vKit::CFileThread* worker = vKit::CGlobal::GetFileThread();
        ASSERT_NE(worker, nullptr);
        EXPECT_TRUE(worker->HasThread());
        EXPECT_TRUE(vKit::CGlobal::GetTimer()->IsStarted());
        EXPECT_EQ(vKit::CGlobal::GetResultFolder(), bin + "/Result");
        EXPECT_EQ(vKit::CGlobal::GetTempFolder(), dir.Path() + "/tmp/");
        EXPECT_FALSE(vKit::FileExists(bin + "/Result")) << "no folder is created at start-up";

        vKit::CGUIDSeqMap* map = vKit::CGlobal::GetGUIDSeqMap();
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->GetUniqueNr("{A}", 1), 10);
        {
            vKit::CGlobal second;
            EXPECT_EQ(vKit::CGlobal::GetInstanceCount(), 2);
            EXPECT_EQ(vKit::CGlobal::GetFileThread(), worker) << "only the first instance starts up";
        }
        EXPECT_EQ(vKit::CGlobal::GetFileThread(), worker) << "only the last instance shuts down";
        EXPECT_EQ(map->GetOrAddUniqueNr("{B}", 1), 11);
    }
    EXPECT_EQ(vKit::CGlobal::GetFileThread(), nullptr);
    EXPECT_EQ(vKit::CGlobal::GetGUIDSeqMap(), nullptr);

    vKit::CGUIDSeqMap written;
    vKit::ReadGUIDMap(bin + "/Cfg/GUIDSeq.cfg", written);
    EXPECT_EQ(written.GetCount(), 2);
    EXPECT_EQ(written.GetUniqueNr("{B}", 1), 11);
}

TEST(Global, TempRootDropsOnlyTheProgramsOwnSubFolder)
{
    const std::string guid = vKit::CGlobal::GetProgramGUID(), temp = vKit::CGlobal::GetTempFolder();
    vKit::CGlobal::SetProgramGUID("{G}");
    for (const auto& [folder, root] : {std::pair<const char*, const char*>{"/data/t/{G}", "/data/t"},
                                       {"/data/t/{G}/", "/data/t"},
                                       {"/data/{g}", "/data/{g}"},
                                       {"/tmp/", "/tmp/"}})
    {
        vKit::CGlobal::SetTempFolder(folder);
        EXPECT_EQ(vKit::CGlobal::GetTempRoot(), root) << folder;
    }
    vKit::CGlobal::SetProgramGUID(guid);
    vKit::CGlobal::SetTempFolder(temp);
}

TEST(Trace, LinesGoToAPrivateLogFileWhenNoTerminalIsThereNeverThroughALink)
{
    if (vKit::PlatformIsTerminal(2)) GTEST_SKIP() << "standard error is a terminal";
    CSettingsTestDir dir;
    const std::string folder = dir.Path() + "/tmp/kavex-" + std::to_string(vKit::PlatformUserId());
    const std::string log = folder + "/kavex-trace.log";
    vKit::CSTrace trace;
    trace.Trace("unseen");
    EXPECT_FALSE(vKit::FileExists(log)) << "nothing happens while no console is open";

    trace.OpenConsole(true);
    EXPECT_EQ(trace.GetOutputPath(), log);
    trace.Trace("hello");
    trace.Trace("step", 5, "detail\n");
    // Off and on again opens a new console: here the log is opened again and appended to.
    trace.OpenConsole(false);
    trace.Trace("closed");
    trace.OpenConsole(true);
    trace.Trace("again");
    trace.OpenConsole(false);
    EXPECT_TRUE(std::regex_match(CSettingsTestDir::Read(log),
                                 std::regex("\\d+ms hello\\d+ms step, 5, detail\n\\d+ms again")))
        << CSettingsTestDir::Read(log);

    // Another user's planted link in the folder opened to all: the log is not written through it,
    // the file it points at keeps its content, and the folder is made private again.
    const std::string victim = dir.Path() + "/victim";
    CSettingsTestDir::Write(victim, "precious");
    chmod(folder.c_str(), 0777);
    ASSERT_EQ(unlink(log.c_str()), 0);
    ASSERT_EQ(symlink(victim.c_str(), log.c_str()), 0);
    trace.OpenConsole(true);
    trace.Trace("hello");
    trace.OpenConsole(false);
    EXPECT_EQ(CSettingsTestDir::Read(victim), "precious");
    struct stat st;
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "a folder of our own is made private again";

    // A link in place of the folder itself is refused.
    const std::string elsewhere = dir.Path() + "/elsewhere";
    ASSERT_EQ(mkdir(elsewhere.c_str(), 0700), 0);
    ASSERT_EQ(rename(folder.c_str(), (dir.Path() + "/old").c_str()), 0);
    ASSERT_EQ(symlink(elsewhere.c_str(), folder.c_str()), 0);
    EXPECT_NE(vKit::PlatformMakePrivateFolder(folder), 0);
}

TEST(NamedSemaphore, CountsUnitsAcrossHandlesOfTheSameName)
{
    EXPECT_EQ(vKit::PlatformSemaphoreName("{BCDA2984-5214-498f-B7E1-69F6ABAC0112}"),
              "/Quorell-BCDA2984-5214-498f-B7E1-69F6ABAC0112");
    const std::string name = vKit::PlatformSemaphoreName("test-" + std::to_string(getpid()));
    vKit::CNamedSemaphore first, second;
    if (first.Open(name, 2) != 0) GTEST_SKIP() << "named semaphores are not available here";
    ASSERT_EQ(second.Open(name, 100), 0) << "an existing semaphore keeps its count";
    EXPECT_TRUE(first.TryTake());
    EXPECT_TRUE(second.TryTake());
    EXPECT_FALSE(first.TryTake()) << "taking never waits";
    second.Give();
    EXPECT_EQ(first.GetCount(), 1);
    EXPECT_EQ(vKit::CNamedSemaphore::Remove(name), 0);
}
