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

TEST(FileUtils, MoveAndCopyReplaceOnlyWhenAskedAndNeverOntoThemselves)
{
    S dir;
    const std::string a = dir.Write("a.txt", "source"), b = dir.Write("b.txt", "old"), c = dir.Path("c.txt");
    EXPECT_FALSE(MoveFile(a, b, false));
    EXPECT_FALSE(CopyFile(a, b, false));
    EXPECT_EQ(S::Read(b), "old");
    fs::last_write_time(a, fs::file_time_type::clock::now() - std::chrono::hours(48));
    EXPECT_TRUE(CopyFile(a, c, false));
    EXPECT_EQ(fs::last_write_time(c), fs::last_write_time(a));
    EXPECT_TRUE(MoveFile(a, b, true));
    EXPECT_EQ(S::Read(b), "source");

    // Onto itself by its name, a link or a hard link; from a missing source: nothing is lost.
    fs::create_symlink(b, dir.Path("link.txt"));
    fs::create_hard_link(b, dir.Path("hard.txt"));
    for (const std::string& same : {b, dir.Path("link.txt"), dir.Path("hard.txt")})
        EXPECT_FALSE(CopyFile(b, same, true) || MoveFile(b, same, true)) << same;
    EXPECT_FALSE(CopyFile(dir.Path("missing"), c, true) || MoveFile(dir.Path("missing"), c, true));
    EXPECT_EQ(S::Read(b) + S::Read(c) + S::Read(dir.Path("hard.txt")), "sourcesourcesource");
    // No temporary copy is left behind.
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"b.txt", "c.txt", "hard.txt", "link.txt"}));
}

TEST(FileUtils, CountAndDeleteMatchingTouchFilesOnly)
{
    S dir;
    for (const char* name : {"p0001.bmp", "p0002.BMP", "p12345.bmp", "elsewhere/keep.bmp"})
        dir.Write(name, "x");
    dir.Folder("p0003.bmp");
    fs::create_directory_symlink(dir.Path("elsewhere"), dir.Path("p0004.bmp"));
    EXPECT_EQ(CountMatching(dir.Path("p????.bmp")), 4);
    EXPECT_EQ(CountMatching(dir.Path("nowhere/*")), 0);
    EXPECT_TRUE(DeleteMatching(dir.Path("p????.bmp")));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"elsewhere", "p0003.bmp", "p0004.bmp", "p12345.bmp"}));
    EXPECT_TRUE(S::Exists(dir.Path("elsewhere/keep.bmp")));
}

TEST(FileUtils, DeleteFolderTreeRemovesLinksWithoutFollowingThem)
{
    S dir;
    const std::string outside = dir.Folder("outside"), kept = dir.Write("outside/file.txt", "keep");
    fs::permissions(kept, fs::perms::owner_read); // must stay so: links are not followed
    EXPECT_TRUE(CreateFolderTree(dir.Path("tree/sub/deeper/")));
    fs::permissions(dir.Write("tree/sub/readonly.txt", "x"), fs::perms::owner_read);
    fs::create_directory_symlink(outside, dir.Path("tree/sub/to_folder"));
    fs::create_symlink(kept, dir.Path("tree/to_file"));
    fs::permissions(dir.Path("tree/sub"), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_TRUE(DeleteFolderTree(dir.Path("tree")));
    // The path itself a link: the link goes, the folder it names stays.
    fs::create_directory_symlink(outside, dir.Path("link"));
    EXPECT_TRUE(DeleteFolderTree(dir.Path("link/")));
    EXPECT_FALSE(DeleteFolderTree(dir.Path("missing")) || DeleteFolderTree(kept));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"outside"});
    EXPECT_EQ(S::Read(kept), "keep");
    EXPECT_EQ(fs::status(kept).permissions(), fs::perms::owner_read);
}

TEST(FileUtils, RemoveFolderProtectsTheSystemFolders)
{
    EXPECT_EQ(RemoveFolder("/", true), 2);
    EXPECT_EQ(RemoveFolder("/USR/", false), 2);
    S dir;
    dir.Write("full/a.txt", "x");
    EXPECT_EQ(RemoveFolder(dir.Path("full"), false), ENOTEMPTY);
    EXPECT_EQ(RemoveFolder(dir.Path("full"), true), 0);
    EXPECT_EQ(RemoveFolder(dir.Path("full"), false), ENOENT);
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
