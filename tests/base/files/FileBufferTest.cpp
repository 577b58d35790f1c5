#include "Base/files/FileBuffer.h"

#include "base/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

using S = CScratchFolder;

// The whole memory, past the used bytes too.
std::string All(const vKit::CBuffer& b)
{
    return std::string(reinterpret_cast<const char*>(b.GetData()), static_cast<size_t>(b.GetSize()));
}

TEST(FileBuffer, LoadReadsWholeFileAlignedWithZeroedExtraAndEmptyFileLoads)
{
    S dir;
    const std::string bytes("binary\0data\r\n", 13);
    vKit::CFileBuffer b;
    b.SetFile(dir.Write("a.bin", bytes));
    ASSERT_EQ(b.Load(3), 0);
    EXPECT_EQ(b.GetUsed(), 13);
    EXPECT_EQ(All(b), bytes + std::string(3, '\0'));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b.GetData()) % 32, 0u);
    ASSERT_EQ(b.LoadFrom(dir.Write("empty", ""), 4), 0);
    EXPECT_EQ(b.GetUsed(), 0);
    EXPECT_EQ(All(b), std::string(4, '\0'));
    // A file that cannot be read is an error, not an empty success.
    EXPECT_EQ(b.LoadFrom(dir.Path("missing"), 2), ENOENT);
    EXPECT_FALSE(b.IsLoaded());
    EXPECT_EQ(b.LoadFrom(dir.Path()), EISDIR);
}

// Memory handed over to be saved is checked with the file worker.
TEST(FileBuffer, SaveAsReplacesWholeContent)
{
    S dir;
    vKit::CFileBuffer w;
    w.AppendLine("first");
    w.AppendText(std::string("\0\xff", 2));
    ASSERT_EQ(w.SaveAs(dir.Path("out.txt")), 0);
    EXPECT_EQ(S::Read(dir.Path("out.txt")), std::string("first\r\n\0\xff", 9));
    ASSERT_EQ(vKit::CFileBuffer().SaveAs(dir.Path("out.txt")), 0);
    EXPECT_EQ(S::Read(dir.Path("out.txt")), "");

    // No temporary file is left behind.
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.txt"});
}

TEST(FileBuffer, FailedSaveKeepsTheOldFile)
{
    S dir;
    vKit::CFileBuffer b;
    b.SetFile(dir.Write("keep.txt", "good"));
    EXPECT_EQ(b.Save(), EINVAL); // a read job is not written

    b.AppendText("new");
    if (::geteuid() != 0)
    {
        ::chmod(dir.Path().c_str(), 0555); // no new files in the folder
        EXPECT_EQ(b.SaveAs(dir.Path("keep.txt")), EACCES);
        ::chmod(dir.Path().c_str(), 0755);
    }
    ::chmod(dir.Path("keep.txt").c_str(), 0444); // a read-only file is not replaced
    EXPECT_EQ(b.SaveAs(dir.Path("keep.txt")), EACCES);
    EXPECT_FALSE(b.IsSaved());
    EXPECT_EQ(S::Read(dir.Path("keep.txt")), "good");
    EXPECT_EQ(b.SaveAs(dir.Path()), EISDIR);
    EXPECT_EQ(b.SaveAs(dir.Path("no/such/folder/x")), ENOENT);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"keep.txt"});
    if (std::filesystem::exists("/dev/full")) // a device is written in place, and its error comes back
    {
        EXPECT_EQ(b.SaveAs("/dev/full"), ENOSPC);
    }
}

} // namespace
