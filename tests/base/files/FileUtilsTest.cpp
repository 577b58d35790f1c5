#include "Base/files/FileUtils.h"

#include "base/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{

namespace fs = std::filesystem;
using namespace vKit;
using S = CScratchFolder;

TEST(FileUtils, FileExistsMeansAReadableFile)
{
    S dir;
    const std::string file = dir.Write("a.txt", "abc");
    fs::create_symlink(file, dir.Path("link.txt"));
    fs::create_symlink(dir.Path("missing.txt"), dir.Path("dangling.txt"));
    EXPECT_TRUE(FileExists(file) && FileExists(dir.Path("link.txt")));
    for (const std::string& no :
         {dir.Path("missing.txt"), dir.Folder("folder.txt"), dir.Path("dangling.txt")})
        EXPECT_FALSE(FileExists(no)) << no;
    fs::permissions(file, fs::perms::none);
    EXPECT_EQ(FileExists(file), geteuid() == 0); // root reads anything
}

TEST(FileUtils, WholeAndPositionedWrites)
{
    S dir;
    const std::string path = dir.Write("a.bin", "a much longer old content");
    EXPECT_EQ(WriteWholeFile(path, "0123456789", 10), 0);
    EXPECT_EQ(WriteWholeFile(dir.Folder("sub"), "x", 1), EISDIR);
    EXPECT_EQ(WriteFileAt(path, 2, false, "ab", 2), 0);
    EXPECT_EQ(WriteFileAt(path, -1, true, "Z", 1), 0);
    EXPECT_EQ(S::Read(path), "01ab45678Z");
    char buffer[8] = {};
    int64_t done = -1;
    EXPECT_EQ(ReadFileAt(path, -3, true, buffer, 8, &done), 0); // past the end: the count says
    EXPECT_EQ(std::string(buffer, size_t(done)), "78Z");
    EXPECT_EQ(ReadFileAt(path, -20, true, buffer, 1, &done), EINVAL);
    EXPECT_EQ(WriteFileAt(dir.Path("missing"), 0, false, "x", 1), ENOENT); // never creates a file
    EXPECT_FALSE(S::Exists(dir.Path("missing")));
}

// The copy the engine makes of side files.
TEST(FileUtils, CopyReplacesOnlyWhenAskedAndNeverOntoItself)
{
    S dir;
    const std::string a = dir.Write("a.txt", "source"), b = dir.Write("b.txt", "old"), c = dir.Path("c.txt");
    EXPECT_FALSE(CopyFile(a, b, false));
    EXPECT_EQ(S::Read(b), "old");
    fs::last_write_time(a, fs::file_time_type::clock::now() - std::chrono::hours(48));
    EXPECT_TRUE(CopyFile(a, c, false));
    EXPECT_EQ(fs::last_write_time(c), fs::last_write_time(a));

    // Onto itself by its name, a link or a hard link; from a missing source: nothing is lost.
    fs::create_symlink(c, dir.Path("link.txt"));
    fs::create_hard_link(c, dir.Path("hard.txt"));
    for (const std::string& same : {c, dir.Path("link.txt"), dir.Path("hard.txt")})
        EXPECT_FALSE(CopyFile(c, same, true)) << same;
    EXPECT_FALSE(CopyFile(dir.Path("missing"), b, true));
    EXPECT_EQ(S::Read(b) + S::Read(c), "oldsource");
    // No temporary copy is left behind.
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "hard.txt", "link.txt"}));
}

TEST(FileUtils, TempFolderEndsInASeparator)
{
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_EQ(GetTempFolder(), "/var/tmp/");
    unsetenv("TMPDIR");
    EXPECT_EQ(GetProgramTempName(), "/tmp/test_base");
    if (old) setenv("TMPDIR", saved.c_str(), 1);
}

} // namespace
