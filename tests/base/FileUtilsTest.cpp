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

bool RunningAsRoot()
{
    return geteuid() == 0;
}

TEST(FileUtils, FileExistsMeansAReadableFile)
{
    CScratchFolder dir;
    const std::string file = dir.Write("a.txt", "abc");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(dir.Path("missing.txt")));
    EXPECT_FALSE(FileExists(dir.Folder("folder.txt")));
    EXPECT_FALSE(FileExists(""));
    fs::create_symlink(file, dir.Path("link.txt"));
    fs::create_symlink(dir.Path("missing.txt"), dir.Path("dangling.txt"));
    EXPECT_TRUE(FileExists(dir.Path("link.txt")));
    EXPECT_FALSE(FileExists(dir.Path("dangling.txt")));
    // The folder's permissions do not matter, only the file's.
    if (!RunningAsRoot())
    {
        fs::permissions(file, fs::perms::none);
        EXPECT_FALSE(FileExists(file));
        EXPECT_EQ(GetFileSize(file), -1);
    }
}

TEST(FileUtils, WholeFileWriteReplacesContent)
{
    CScratchFolder dir;
    const std::string path = dir.Write("a.bin", "a much longer old content");
    EXPECT_EQ(WriteWholeFile(path, "new", 3), 0);
    EXPECT_EQ(CScratchFolder::Read(path), "new");
    EXPECT_EQ(GetFileSize(path), 3);
    EXPECT_EQ(WriteWholeFile(path, nullptr, 0, true), 0);
    EXPECT_EQ(GetFileSize(path), 0);
    EXPECT_EQ(WriteWholeFile(dir.Path("nowhere/a.bin"), "x", 1), ENOENT);
    EXPECT_EQ(WriteWholeFile(dir.Folder("sub"), "x", 1), EISDIR);
    EXPECT_EQ(GetFileSize(dir.Path("sub")), -1);
    EXPECT_EQ(GetFileSize(dir.Path("missing")), -1);
}

TEST(FileUtils, PositionedReadsAndWrites)
{
    CScratchFolder dir;
    const std::string path = dir.Write("a.bin", "0123456789");
    EXPECT_EQ(WriteFileAt(path, 2, false, "ab", 2), 0);
    EXPECT_EQ(WriteFileAt(path, -1, true, "Z", 1), 0);
    EXPECT_EQ(CScratchFolder::Read(path), "01ab45678Z");

    char buffer[8] = {};
    int64_t done = -1;
    EXPECT_EQ(ReadFileAt(path, -3, true, buffer, 3, &done), 0);
    EXPECT_EQ(std::string(buffer, 3), "78Z");
    EXPECT_EQ(done, 3);
    // Reading past the end is no error; the count tells what came.
    EXPECT_EQ(ReadFileAt(path, 7, false, buffer, 8, &done), 0);
    EXPECT_EQ(done, 3);
    EXPECT_EQ(ReadFileAt(path, -20, true, buffer, 1, &done), EINVAL);

    // A positioned write never creates a file.
    EXPECT_EQ(WriteFileAt(dir.Path("missing"), 0, false, "x", 1), ENOENT);
    EXPECT_FALSE(CScratchFolder::Exists(dir.Path("missing")));
    EXPECT_EQ(ReadFileAt(dir.Path("missing"), 0, false, buffer, 1), ENOENT);
}

TEST(FileUtils, MoveFileReplacesOnlyWhenAskedAndNeverItself)
{
    CScratchFolder dir;
    const std::string a = dir.Write("a.txt", "source");
    const std::string b = dir.Write("b.txt", "old destination");
    EXPECT_FALSE(MoveFile(a, b, false));
    EXPECT_EQ(CScratchFolder::Read(a), "source");
    EXPECT_EQ(CScratchFolder::Read(b), "old destination");

    EXPECT_TRUE(MoveFile(a, b, true));
    EXPECT_FALSE(CScratchFolder::Exists(a));
    EXPECT_EQ(CScratchFolder::Read(b), "source");

    EXPECT_TRUE(MoveFile(b, dir.Path("c.txt"), false));
    EXPECT_EQ(CScratchFolder::Read(dir.Path("c.txt")), "source");

    // Onto itself, by the same name or another name of the same file: nothing is deleted.
    const std::string c = dir.Path("c.txt");
    EXPECT_FALSE(MoveFile(c, c, true));
    fs::create_hard_link(c, dir.Path("hard.txt"));
    EXPECT_FALSE(MoveFile(c, dir.Path("hard.txt"), true));
    EXPECT_EQ(CScratchFolder::Read(c), "source");
    EXPECT_EQ(CScratchFolder::Read(dir.Path("hard.txt")), "source");

    // A missing source leaves an existing destination alone.
    EXPECT_FALSE(MoveFile(dir.Path("missing"), c, true));
    EXPECT_EQ(CScratchFolder::Read(c), "source");
}

TEST(FileUtils, CopyFileKeepsDestinationUnlessAllowedAndNeverCopiesOntoItself)
{
    CScratchFolder dir;
    const std::string a = dir.Write("a.txt", "content of a");
    const std::string b = dir.Write("b.txt", "b");
    fs::permissions(a, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::last_write_time(a, fs::file_time_type::clock::now() - std::chrono::hours(48));

    EXPECT_FALSE(CopyFile(a, b, false));
    EXPECT_EQ(CScratchFolder::Read(b), "b");
    EXPECT_TRUE(CopyFile(a, b, true));
    EXPECT_EQ(CScratchFolder::Read(b), "content of a");
    EXPECT_EQ(fs::status(b).permissions(), fs::status(a).permissions());
    EXPECT_EQ(fs::last_write_time(b), fs::last_write_time(a));
    EXPECT_TRUE(CopyFile(a, dir.Path("new.txt"), false));
    EXPECT_EQ(CScratchFolder::Read(dir.Path("new.txt")), "content of a");

    // Onto itself: by its own name, through a link, through a hard link.
    fs::create_symlink(a, dir.Path("link.txt"));
    fs::create_hard_link(a, dir.Path("hard.txt"));
    for (const std::string& target : {a, dir.Path("link.txt"), dir.Path("hard.txt")})
    {
        EXPECT_FALSE(CopyFile(a, target, true)) << target;
        EXPECT_EQ(CScratchFolder::Read(a), "content of a") << target;
    }
    EXPECT_FALSE(CopyFile(dir.Path("missing"), b, true));
    EXPECT_FALSE(CopyFile(dir.Folder("sub"), b, true));
    EXPECT_EQ(CScratchFolder::Read(b), "content of a");

    // No temporary copy is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 6); // a, b, new, link, hard, sub
}

TEST(FileUtils, CountAndDeleteMatching)
{
    CScratchFolder dir;
    dir.Write("p0001.bmp", "x");
    dir.Write("p0002.BMP", "x");
    dir.Write("p12345.bmp", "x");
    dir.Folder("p0003.bmp");
    dir.Folder("elsewhere");
    dir.Write("elsewhere/keep.bmp", "x");
    fs::create_directory_symlink(dir.Path("elsewhere"), dir.Path("p0004.bmp"));

    EXPECT_EQ(CountMatching(dir.Path("p????.bmp")), 4);
    EXPECT_EQ(CountMatching(dir.Path("nowhere/*")), 0);
    EXPECT_FALSE(DeleteMatching(""));
    EXPECT_TRUE(DeleteMatching(dir.Path("p????.bmp")));
    EXPECT_FALSE(CScratchFolder::Exists(dir.Path("p0001.bmp")));
    EXPECT_FALSE(CScratchFolder::Exists(dir.Path("p0002.BMP")));
    EXPECT_TRUE(CScratchFolder::Exists(dir.Path("p12345.bmp")));
    EXPECT_TRUE(fs::is_directory(dir.Path("p0003.bmp")));
    EXPECT_TRUE(fs::is_symlink(dir.Path("p0004.bmp")));
    EXPECT_TRUE(CScratchFolder::Exists(dir.Path("elsewhere/keep.bmp")));
    EXPECT_TRUE(DeleteMatching(dir.Path("nowhere/*")));
}

TEST(FileUtils, CreateFolderTree)
{
    CScratchFolder dir;
    const std::string deep = dir.Path("a/b/c/");
    EXPECT_TRUE(CreateFolderTree(deep));
    EXPECT_TRUE(fs::is_directory(dir.Path("a/b/c")));
    dir.Write("a/b/c/keep.txt", "x");
    EXPECT_TRUE(CreateFolderTree(dir.Path("a/b/c")));
    EXPECT_EQ(CScratchFolder::Read(dir.Path("a/b/c/keep.txt")), "x");
}

TEST(FileUtils, DeleteFolderTreeRemovesLinksWithoutFollowingThem)
{
    CScratchFolder dir;
    const std::string outside = dir.Folder("outside");
    const std::string outsideFile = dir.Write("outside/file.txt", "keep");
    fs::permissions(outsideFile, fs::perms::owner_read);
    dir.Folder("tree/sub/deeper");
    dir.Write("tree/a.txt", "x");
    dir.Write("tree/sub/deeper/b.txt", "x");
    dir.Write("tree/sub/readonly.txt", "x");
    fs::permissions(dir.Path("tree/sub/readonly.txt"), fs::perms::owner_read);
    fs::create_directory_symlink(outside, dir.Path("tree/sub/to_folder"));
    fs::create_symlink(outsideFile, dir.Path("tree/to_file"));
    fs::create_symlink(dir.Path("missing"), dir.Path("tree/dangling"));
    fs::permissions(dir.Path("tree/sub/deeper"), fs::perms::owner_read | fs::perms::owner_exec);

    EXPECT_TRUE(DeleteFolderTree(dir.Path("tree")));
    EXPECT_FALSE(CScratchFolder::Exists(dir.Path("tree")));
    EXPECT_EQ(CScratchFolder::Read(outsideFile), "keep");
    EXPECT_EQ(fs::status(outsideFile).permissions(), fs::perms::owner_read);

    // The path itself a link: the link goes, the folder it names stays.
    fs::create_directory_symlink(outside, dir.Path("link"));
    EXPECT_TRUE(DeleteFolderTree(dir.Path("link/")));
    EXPECT_FALSE(CScratchFolder::Exists(dir.Path("link")));
    EXPECT_EQ(CScratchFolder::Read(outsideFile), "keep");

    EXPECT_FALSE(DeleteFolderTree(dir.Path("missing")));
    EXPECT_FALSE(DeleteFolderTree(outsideFile));
    EXPECT_TRUE(CScratchFolder::Exists(outsideFile));
}

TEST(FileUtils, RemoveFolderProtectsTheSystemFolders)
{
    EXPECT_EQ(RemoveFolder("/", true), 2);
    EXPECT_EQ(RemoveFolder("/usr", true), 2);
    EXPECT_EQ(RemoveFolder("/USR/", false), 2);
    EXPECT_TRUE(fs::is_directory("/usr"));

    CScratchFolder dir;
    dir.Folder("full");
    dir.Write("full/a.txt", "x");
    EXPECT_EQ(RemoveFolder(dir.Path("full"), false), ENOTEMPTY);
    EXPECT_EQ(RemoveFolder(dir.Path("full"), true), 0);
    EXPECT_FALSE(CScratchFolder::Exists(dir.Path("full")));
    EXPECT_EQ(RemoveFolder(dir.Path("full"), true), 2);
    EXPECT_EQ(RemoveFolder(dir.Path("full"), false), ENOENT);
}

TEST(FileUtils, WellKnownFolders)
{
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_EQ(GetTempFolder(), "/var/tmp/");
    setenv("TMPDIR", "/var/tmp/", 1);
    EXPECT_EQ(GetTempFolder(), "/var/tmp/");
    unsetenv("TMPDIR");
    EXPECT_EQ(GetTempFolder(), "/tmp/");
    if (old)
        setenv("TMPDIR", saved.c_str(), 1);

    EXPECT_EQ(GetWindowsFolder(), "/");
    EXPECT_EQ(GetSystemFolder(), "/usr");
    const std::string program = GetProgramPath();
    EXPECT_EQ(fs::path(program).filename(), "test_base");
    EXPECT_EQ(GetProgramFolder(), fs::path(program).parent_path().string());
    EXPECT_EQ(GetProgramTempName(), GetTempFolder() + "test_base");
}

} // namespace
