#include "Base/FileUtils.h"

#include "ScratchFolder.h"

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
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(dir.Path("link.txt")));
    for (const std::string& no :
         {dir.Path("missing.txt"), dir.Folder("folder.txt"), dir.Path("dangling.txt")})
        EXPECT_FALSE(FileExists(no)) << no;
    if (geteuid() != 0) // root reads anything
    {
        fs::permissions(file, fs::perms::none);
        EXPECT_FALSE(FileExists(file));
    }
}

TEST(FileUtils, WholeAndPositionedWrites)
{
    S dir;
    const std::string path = dir.Write("a.bin", "a much longer old content");
    EXPECT_EQ(WriteWholeFile(path, "0123456789", 10), 0);
    EXPECT_EQ(GetFileSize(path), 10);
    EXPECT_EQ(WriteWholeFile(dir.Path("nowhere/a.bin"), "x", 1), ENOENT);
    EXPECT_EQ(WriteWholeFile(dir.Folder("sub"), "x", 1), EISDIR);
    EXPECT_EQ(GetFileSize(dir.Path("sub")), -1);

    EXPECT_EQ(WriteFileAt(path, 2, false, "ab", 2), 0);
    EXPECT_EQ(WriteFileAt(path, -1, true, "Z", 1), 0);
    EXPECT_EQ(S::Read(path), "01ab45678Z");
    char buffer[8] = {};
    int64_t done = -1;
    EXPECT_EQ(ReadFileAt(path, -3, true, buffer, 3, &done), 0);
    EXPECT_EQ(std::string(buffer, 3), "78Z");
    EXPECT_EQ(ReadFileAt(path, 7, false, buffer, 8, &done), 0); // past the end: the count says
    EXPECT_EQ(done, 3);
    EXPECT_EQ(ReadFileAt(path, -20, true, buffer, 1, &done), EINVAL);
    EXPECT_EQ(WriteFileAt(dir.Path("missing"), 0, false, "x", 1), ENOENT); // never creates a file
    EXPECT_FALSE(S::Exists(dir.Path("missing")));
}

TEST(FileUtils, MoveFileReplacesOnlyWhenAskedAndNeverItself)
{
    S dir;
    const std::string a = dir.Write("a.txt", "source"), b = dir.Write("b.txt", "old"), c = dir.Path("c.txt");
    EXPECT_FALSE(MoveFile(a, b, false));
    EXPECT_EQ(S::Read(b), "old");
    EXPECT_TRUE(MoveFile(a, b, true));
    EXPECT_FALSE(S::Exists(a));
    EXPECT_TRUE(MoveFile(b, c, false));
    EXPECT_EQ(S::Read(c), "source");

    // Onto itself, by its name or by another name of the same file; a missing source: nothing goes.
    fs::create_hard_link(c, dir.Path("hard.txt"));
    EXPECT_FALSE(MoveFile(c, c, true));
    EXPECT_FALSE(MoveFile(c, dir.Path("hard.txt"), true));
    EXPECT_FALSE(MoveFile(dir.Path("missing"), c, true));
    EXPECT_EQ(S::Read(c), "source");
    EXPECT_EQ(S::Read(dir.Path("hard.txt")), "source");
}

TEST(FileUtils, CopyFileKeepsDestinationUnlessAllowedAndNeverCopiesOntoItself)
{
    S dir;
    const std::string a = dir.Write("a.txt", "content of a"), b = dir.Write("b.txt", "b");
    fs::permissions(a, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::last_write_time(a, fs::file_time_type::clock::now() - std::chrono::hours(48));
    EXPECT_FALSE(CopyFile(a, b, false));
    EXPECT_EQ(S::Read(b), "b");
    EXPECT_TRUE(CopyFile(a, b, true));
    EXPECT_EQ(S::Read(b), "content of a");
    EXPECT_EQ(fs::status(b).permissions(), fs::status(a).permissions());
    EXPECT_EQ(fs::last_write_time(b), fs::last_write_time(a));

    fs::create_symlink(a, dir.Path("link.txt"));
    fs::create_hard_link(a, dir.Path("hard.txt"));
    for (const std::string& target : {a, dir.Path("link.txt"), dir.Path("hard.txt")})
        EXPECT_FALSE(CopyFile(a, target, true)) << target;
    EXPECT_EQ(S::Read(a), "content of a");
    EXPECT_FALSE(CopyFile(dir.Path("missing"), b, true));
    EXPECT_FALSE(CopyFile(dir.Folder("sub"), b, true));
    EXPECT_EQ(S::Read(b), "content of a");
    // No temporary copy is left behind.
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a.txt", "b.txt", "hard.txt", "link.txt", "sub"}));
}

TEST(FileUtils, CountAndDeleteMatchingTouchFilesOnly)
{
    S dir;
    dir.Folder("elsewhere");
    for (const char* name : {"p0001.bmp", "p0002.BMP", "p12345.bmp", "elsewhere/keep.bmp"})
        dir.Write(name, "x");
    dir.Folder("p0003.bmp");
    fs::create_directory_symlink(dir.Path("elsewhere"), dir.Path("p0004.bmp"));

    EXPECT_EQ(CountMatching(dir.Path("p????.bmp")), 4);
    EXPECT_EQ(CountMatching(dir.Path("nowhere/*")), 0);
    EXPECT_FALSE(DeleteMatching(""));
    EXPECT_TRUE(DeleteMatching(dir.Path("p????.bmp")));
    EXPECT_FALSE(S::Exists(dir.Path("p0001.bmp")) || S::Exists(dir.Path("p0002.BMP")));
    EXPECT_TRUE(S::Exists(dir.Path("p12345.bmp")) && fs::is_directory(dir.Path("p0003.bmp")));
    EXPECT_TRUE(fs::is_symlink(dir.Path("p0004.bmp")) && S::Exists(dir.Path("elsewhere/keep.bmp")));
}

TEST(FileUtils, DeleteFolderTreeRemovesLinksWithoutFollowingThem)
{
    S dir;
    const std::string outside = dir.Folder("outside");
    const std::string outsideFile = dir.Write("outside/file.txt", "keep");
    fs::permissions(outsideFile, fs::perms::owner_read);
    EXPECT_TRUE(CreateFolderTree(dir.Path("tree/sub/deeper/")));
    EXPECT_TRUE(CreateFolderTree(dir.Path("tree/sub"))); // already there
    dir.Write("tree/sub/deeper/b.txt", "x");
    fs::permissions(dir.Write("tree/sub/readonly.txt", "x"), fs::perms::owner_read);
    fs::create_directory_symlink(outside, dir.Path("tree/sub/to_folder"));
    fs::create_symlink(outsideFile, dir.Path("tree/to_file"));
    fs::create_symlink(dir.Path("missing"), dir.Path("tree/dangling"));
    fs::permissions(dir.Path("tree/sub/deeper"), fs::perms::owner_read | fs::perms::owner_exec);

    EXPECT_TRUE(DeleteFolderTree(dir.Path("tree")));
    EXPECT_FALSE(S::Exists(dir.Path("tree")));
    // The path itself a link: the link goes, the folder it names stays.
    fs::create_directory_symlink(outside, dir.Path("link"));
    EXPECT_TRUE(DeleteFolderTree(dir.Path("link/")));
    EXPECT_FALSE(S::Exists(dir.Path("link")));
    EXPECT_EQ(S::Read(outsideFile), "keep");
    EXPECT_EQ(fs::status(outsideFile).permissions(), fs::perms::owner_read);
    EXPECT_FALSE(DeleteFolderTree(dir.Path("missing")));
    EXPECT_FALSE(DeleteFolderTree(outsideFile));
    EXPECT_TRUE(S::Exists(outsideFile));
}

TEST(FileUtils, RemoveFolderProtectsTheSystemFolders)
{
    EXPECT_EQ(RemoveFolder("/", true), 2);
    EXPECT_EQ(RemoveFolder("/USR/", false), 2);
    S dir;
    dir.Folder("full");
    dir.Write("full/a.txt", "x");
    EXPECT_EQ(RemoveFolder(dir.Path("full"), false), ENOTEMPTY);
    EXPECT_EQ(RemoveFolder(dir.Path("full"), true), 0);
    EXPECT_FALSE(S::Exists(dir.Path("full")));
    EXPECT_EQ(RemoveFolder(dir.Path("full"), false), ENOENT);
}

TEST(FileUtils, TempFolderEndsInASeparator)
{
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    for (const char* tmp : {"/var/tmp", "/var/tmp/"})
    {
        setenv("TMPDIR", tmp, 1);
        EXPECT_EQ(GetTempFolder(), "/var/tmp/");
    }
    unsetenv("TMPDIR");
    EXPECT_EQ(GetTempFolder(), "/tmp/");
    EXPECT_EQ(GetProgramTempName(), "/tmp/test_base");
    if (old) setenv("TMPDIR", saved.c_str(), 1);
    EXPECT_EQ(GetProgramFolder() + "/test_base", GetProgramPath());
}

} // namespace
