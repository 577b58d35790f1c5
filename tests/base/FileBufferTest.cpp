#include "Base/FileBuffer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{

class FileBufferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("kavex-fb-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 "-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        ::chmod(m_dir.c_str(), 0755);
        fs::remove_all(m_dir);
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    static void Write(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    size_t EntryCount() const
    {
        return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    fs::path m_dir;
};

std::string Used(const vKit::CBuffer& b)
{
    return std::string(reinterpret_cast<const char*>(b.GetData()), static_cast<size_t>(b.GetUsed()));
}

bool ZeroFrom(const vKit::CBuffer& b, int64_t from)
{
    for (int64_t i = from; i < b.GetSize(); ++i)
        if (b.GetData()[i] != 0) return false;
    return true;
}

struct Recorder
{
    std::vector<int32_t> positions{};
    vKit::CProgressInfo last{};
    vKit::CProgressBase* cancelAtSecond = nullptr;
    void On(vKit::CProgressInfo info)
    {
        positions.push_back(info.GetPosition());
        last = info;
        if (cancelAtSecond && positions.size() == 2) cancelAtSecond->SetCancelRequested(true);
    }
};

TEST_F(FileBufferTest, LoadReadsWholeFileAlignedWithZeroedExtra)
{
    const std::string bytes("binary\0data\r\n", 13);
    Write(Path("a.bin"), bytes);
    vKit::CFileBuffer b;
    b.SetFile(Path("a.bin"));
    ASSERT_EQ(b.Load(3), 0);
    EXPECT_TRUE(b.IsLoaded());
    EXPECT_EQ(Used(b), bytes);
    EXPECT_EQ(b.GetSize(), 16);
    EXPECT_TRUE(ZeroFrom(b, 13));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b.GetData()) % 32, 0u);
}

TEST_F(FileBufferTest, EmptyFileLoadsAsExtraZeroBytesMissingFileFails)
{
    Write(Path("empty"), "");
    vKit::CFileBuffer b;
    b.AppendText("old content");
    ASSERT_EQ(b.LoadFrom(Path("empty"), 4), 0);
    EXPECT_TRUE(b.IsLoaded());
    EXPECT_EQ(b.GetUsed(), 0);
    EXPECT_EQ(b.GetSize(), 4);
    EXPECT_TRUE(ZeroFrom(b, 0));

    // A file that cannot be read is an error, not an empty success.
    EXPECT_EQ(b.LoadFrom(Path("missing"), 2), ENOENT);
    EXPECT_FALSE(b.IsLoaded());
    EXPECT_EQ(b.GetUsed(), 0);
    EXPECT_EQ(b.LoadFrom(m_dir.string()), EISDIR);
    EXPECT_FALSE(b.IsLoaded());
}

TEST_F(FileBufferTest, LoadWithProgressReportsEveryChunkAndHonoursCancel)
{
    const int64_t chunk = vKit::CFileBuffer::kProgressChunk;
    std::string bytes(static_cast<size_t>(chunk * 2 + chunk / 2), '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    Write(Path("big"), bytes);

    vKit::CFileBuffer b;
    Recorder r;
    b.GetProgress().OnProgress.Subscribe(&r, &Recorder::On);
    b.SetFile(Path("big"));
    ASSERT_EQ(b.LoadWithProgress(1), 0);
    EXPECT_EQ(Used(b), bytes);
    // Start, one event per chunk (40 %, 80 %, 100 %), then the finished event.
    EXPECT_EQ(r.positions, (std::vector<int32_t>{0, 40, 80, 100, 100}));
    EXPECT_TRUE(r.last.IsFinished());

    vKit::CFileBuffer c;
    Recorder stop;
    stop.cancelAtSecond = &c.GetProgress();
    c.GetProgress().OnProgress.Subscribe(&stop, &Recorder::On);
    c.SetFile(Path("big"));
    EXPECT_EQ(c.LoadWithProgress(), ECANCELED);
    EXPECT_FALSE(c.IsLoaded());
    EXPECT_TRUE(stop.last.IsCancelled());

    vKit::CFileBuffer m;
    m.SetFile(Path("missing"));
    EXPECT_EQ(m.LoadWithProgress(), ENOENT);
    EXPECT_TRUE(m.GetProgress().GetProgressInfo().IsCancelled());
}

TEST_F(FileBufferTest, SaveAsRoundTripsAndReplacesWholeContent)
{
    vKit::CFileBuffer w;
    w.AppendLine("first");
    w.AppendText(std::string("\0\xff", 2));
    ASSERT_EQ(w.SaveAs(Path("out.txt")), 0);
    EXPECT_TRUE(w.IsSaved());
    EXPECT_EQ(Read(Path("out.txt")), std::string("first\r\n\0\xff", 9));

    vKit::CFileBuffer shorter;
    shorter.AppendText("ab");
    ASSERT_EQ(shorter.SaveAs(Path("out.txt")), 0);
    vKit::CFileBuffer r;
    ASSERT_EQ(r.LoadFrom(Path("out.txt")), 0);
    EXPECT_EQ(Used(r), "ab");

    vKit::CFileBuffer nothing;
    ASSERT_EQ(nothing.SaveAs(Path("out.txt")), 0);
    EXPECT_EQ(fs::file_size(Path("out.txt")), 0u);
    EXPECT_EQ(EntryCount(), 1u); // no temporary file left behind
}

TEST_F(FileBufferTest, AttachedMemoryIsWrittenBySave)
{
    const char bytes[] = "attached bytes";
    vKit::CFileBuffer b;
    ASSERT_TRUE(b.AttachMemory(Path("m.bin"), bytes, 8, true));
    EXPECT_NE(b.GetData(), reinterpret_cast<const uint8_t*>(bytes));
    ASSERT_EQ(b.Save(), 0);
    EXPECT_EQ(Read(Path("m.bin")), "attached");

    // Attaching the buffer's own memory keeps it instead of freeing it first.
    ASSERT_TRUE(b.AttachMemory(Path("own.bin"), b.GetData(), 3, false));
    ASSERT_EQ(b.Save(), 0);
    EXPECT_EQ(Read(Path("own.bin")), "att");

    vKit::CBuffer other;
    other.AppendLine("from another buffer");
    ASSERT_TRUE(b.AttachBuffer(Path("o.txt"), other, false));
    ASSERT_EQ(b.Save(), 0);
    EXPECT_EQ(Read(Path("o.txt")), "from another buffer\r\n");
}

TEST_F(FileBufferTest, FailedSaveKeepsTheOldFile)
{
    Write(Path("keep.txt"), "good");
    vKit::CFileBuffer b;
    b.SetFile(Path("keep.txt"));
    EXPECT_EQ(b.Save(), EINVAL); // a read job is not written

    b.AppendText("new");
    if (::geteuid() != 0)
    {
        ::chmod(m_dir.c_str(), 0555); // no new files in the folder
        EXPECT_EQ(b.SaveAs(Path("keep.txt")), EACCES);
        ::chmod(m_dir.c_str(), 0755);
    }
    ::chmod(Path("keep.txt").c_str(), 0444); // a read-only file is not replaced
    EXPECT_EQ(b.SaveAs(Path("keep.txt")), EACCES);
    EXPECT_FALSE(b.IsSaved());
    EXPECT_EQ(Read(Path("keep.txt")), "good");

    EXPECT_EQ(b.SaveAs(m_dir.string()), EISDIR);
    EXPECT_EQ(b.SaveAs(Path("no/such/folder/x")), ENOENT);
    EXPECT_EQ(EntryCount(), 1u);
    if (fs::exists("/dev/full")) // a device is written in place, and its error comes back
    {
        EXPECT_EQ(b.SaveAs("/dev/full"), ENOSPC);
    }
}

} // namespace
