#include "Base/FileBuffer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{

class FileBufferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / ("kavex-fb-" + std::string(info->name()) + "-" +
                                             std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_dir, ec);
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
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir))
            names.push_back(e.path().filename().string());
        return names;
    }

    fs::path m_dir;
};

std::string Used(const vKit::CBuffer& b)
{
    return std::string(reinterpret_cast<const char*>(b.GetData()), static_cast<size_t>(b.GetUsed()));
}

struct Percent
{
    std::vector<int32_t> positions;
    bool finished = false, cancelled = false;
    vKit::CProgressBase* cancelAfterFirst = nullptr;
    void On(vKit::CProgressInfo info)
    {
        positions.push_back(info.GetPosition());
        finished = info.IsFinished();
        cancelled = info.IsCancelled();
        if (cancelAfterFirst && positions.size() == 2)
            cancelAfterFirst->SetCancelRequested(true);
    }
};

TEST_F(FileBufferTest, LoadReadsWholeFileAlignedWithZeroedExtra)
{
    const std::string content = "binary\0data\r\n"; // 6 bytes before the NUL
    std::string bytes(content.data(), 13);
    Write(Path("a.bin"), bytes);
    vKit::CFileBuffer b;
    b.SetFile(Path("a.bin"));
    ASSERT_EQ(b.Load(3), 0);
    EXPECT_TRUE(b.IsLoaded());
    EXPECT_FALSE(b.IsBusy());
    EXPECT_EQ(b.GetUsed(), 13);
    EXPECT_EQ(b.GetSize(), 16);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b.GetData()) % 32, 0u);
    EXPECT_EQ(Used(b), bytes);
    for (int i = 13; i < 16; ++i)
        EXPECT_EQ(b.GetData()[i], 0);
}

TEST_F(FileBufferTest, EmptyFileLoadsAsExtraZeroBytes)
{
    Write(Path("empty"), "");
    vKit::CFileBuffer b;
    b.AppendText("old content");
    ASSERT_EQ(b.LoadFrom(Path("empty"), 4), 0);
    EXPECT_TRUE(b.IsLoaded());
    EXPECT_EQ(b.GetUsed(), 0);
    ASSERT_EQ(b.GetSize(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(b.GetData()[i], 0);

    vKit::CFileBuffer none;
    ASSERT_EQ(none.LoadFrom(Path("empty")), 0);
    EXPECT_TRUE(none.IsLoaded());
    EXPECT_EQ(none.GetSize(), 0);
}

TEST_F(FileBufferTest, MissingOrUnreadableFileIsReportedNotLoaded)
{
    vKit::CFileBuffer b;
    EXPECT_EQ(b.LoadFrom(Path("missing"), 2), ENOENT);
    EXPECT_FALSE(b.IsLoaded());
    EXPECT_EQ(b.GetUsed(), 0);
    EXPECT_EQ(b.GetSize(), 2);

    EXPECT_EQ(b.LoadFrom(m_dir.string()), EISDIR);
    EXPECT_FALSE(b.IsLoaded());

    if (::geteuid() != 0)
    {
        Write(Path("secret"), "x");
        ::chmod(Path("secret").c_str(), 0);
        EXPECT_EQ(b.LoadFrom(Path("secret")), EACCES);
        EXPECT_FALSE(b.IsLoaded());
    }
}

TEST_F(FileBufferTest, SkipLoadLeavesBufferAlone)
{
    Write(Path("f"), "new");
    vKit::CFileBuffer b;
    b.SetFile(Path("f"));
    b.SetSkipLoad(true);
    EXPECT_EQ(b.Load(), 0);
    EXPECT_FALSE(b.IsLoaded());
    EXPECT_EQ(b.GetData(), nullptr);
}

TEST_F(FileBufferTest, LoadWithProgressReportsEveryChunk)
{
    const int64_t chunk = vKit::CFileBuffer::kProgressChunk;
    std::string bytes(static_cast<size_t>(chunk * 2 + chunk / 2), '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    Write(Path("big"), bytes);

    vKit::CFileBuffer b;
    Percent p;
    b.GetProgress().OnProgress.Subscribe(&p, &Percent::On);
    b.SetFile(Path("big"));
    ASSERT_EQ(b.LoadWithProgress(1), 0);
    EXPECT_EQ(Used(b), bytes);
    // Start, one event per chunk (40 %, 80 %, 100 %), then the finished event.
    EXPECT_EQ(p.positions, (std::vector<int32_t>{0, 40, 80, 100, 100}));
    EXPECT_TRUE(p.finished);

    // A cancel during the run stops reading and leaves the buffer unloaded.
    Percent stop;
    vKit::CFileBuffer c;
    stop.cancelAfterFirst = &c.GetProgress();
    c.GetProgress().OnProgress.Subscribe(&stop, &Percent::On);
    c.SetFile(Path("big"));
    EXPECT_EQ(c.LoadWithProgress(), ECANCELED);
    EXPECT_FALSE(c.IsLoaded());
    EXPECT_TRUE(stop.cancelled);
    EXPECT_TRUE(c.GetProgress().IsAborted());

    Percent empty;
    vKit::CFileBuffer e;
    e.GetProgress().OnProgress.Subscribe(&empty, &Percent::On);
    Write(Path("zero"), "");
    e.SetFile(Path("zero"));
    EXPECT_EQ(e.LoadWithProgress(2), 0);
    EXPECT_TRUE(e.IsLoaded());
    EXPECT_TRUE(empty.finished);

    vKit::CFileBuffer m;
    m.SetFile(Path("missing"));
    EXPECT_EQ(m.LoadWithProgress(), ENOENT);
    EXPECT_TRUE(m.GetProgress().GetProgressInfo().IsCancelled());
}

TEST_F(FileBufferTest, SaveAsRoundTripAndReplace)
{
    vKit::CFileBuffer w;
    w.AppendLine("first");
    w.AppendText(std::string("\0\xff", 2));
    ASSERT_EQ(w.SaveAs(Path("out.txt")), 0);
    EXPECT_TRUE(w.IsSaved());
    EXPECT_EQ(Read(Path("out.txt")), std::string("first\r\n\0\xff", 9));

    // Saving again replaces the whole content, also with a shorter one.
    vKit::CFileBuffer shorter;
    shorter.AppendText("ab");
    ASSERT_EQ(shorter.SaveAs(Path("out.txt")), 0);
    EXPECT_EQ(Read(Path("out.txt")), "ab");

    vKit::CFileBuffer r;
    ASSERT_EQ(r.LoadFrom(Path("out.txt")), 0);
    EXPECT_EQ(Used(r), "ab");

    // An empty buffer writes an empty file.
    vKit::CFileBuffer nothing;
    ASSERT_EQ(nothing.SaveAs(Path("out.txt")), 0);
    EXPECT_EQ(fs::file_size(Path("out.txt")), 0u);
    // No temporary file is left behind.
    EXPECT_EQ(Names(), std::vector<std::string>{"out.txt"});
}

TEST_F(FileBufferTest, AttachedMemoryIsWrittenBySave)
{
    const char bytes[] = "attached bytes";
    vKit::CFileBuffer b;
    ASSERT_TRUE(b.AttachMemory(Path("m.bin"), bytes, 8, true));
    EXPECT_TRUE(b.IsReleaseWhenDone());
    EXPECT_EQ(b.GetMode(), vKit::CFileBuffer::ModeWrite);
    EXPECT_NE(b.GetData(), reinterpret_cast<const uint8_t*>(bytes));
    ASSERT_EQ(b.Save(), 0);
    EXPECT_EQ(Read(Path("m.bin")), "attached");

    // Attaching the buffer's own memory keeps it instead of freeing it first.
    ASSERT_TRUE(b.AttachMemory(Path("own.bin"), b.GetData(), 3, false));
    ASSERT_EQ(b.Save(), 0);
    EXPECT_EQ(Read(Path("own.bin")), "att");

    vKit::CBuffer other;
    other.AppendLine("from another buffer");
    vKit::CFileBuffer c;
    ASSERT_TRUE(c.AttachBuffer(Path("o.txt"), other, false));
    ASSERT_EQ(c.Save(), 0);
    EXPECT_EQ(Read(Path("o.txt")), "from another buffer\r\n");
}

TEST_F(FileBufferTest, FailedSaveKeepsTheOldFile)
{
    Write(Path("keep.txt"), "good");
    vKit::CFileBuffer b;
    b.AppendText("new");
    // Not a write job: nothing happens.
    b.SetFile(Path("keep.txt"));
    EXPECT_EQ(b.Save(), EINVAL);
    EXPECT_FALSE(b.IsSaved());

    if (::geteuid() != 0)
    {
        // A folder that takes no new files: the old file stays whole.
        b.AppendText("new");
        ::chmod(m_dir.c_str(), 0555);
        EXPECT_EQ(b.SaveAs(Path("keep.txt")), EACCES);
        ::chmod(m_dir.c_str(), 0755);
        EXPECT_EQ(Read(Path("keep.txt")), "good");
    }
    // A read-only file is not replaced, whoever runs the program.
    ::chmod(Path("keep.txt").c_str(), 0444);
    EXPECT_EQ(b.SaveAs(Path("keep.txt")), EACCES);
    EXPECT_EQ(Read(Path("keep.txt")), "good");
    // A device is written to in place, and its error comes back.
    if (fs::exists("/dev/full"))
    {
        vKit::CFileBuffer full;
        full.AppendText("bytes");
        EXPECT_EQ(full.SaveAs("/dev/full"), ENOSPC);
        EXPECT_FALSE(full.IsSaved());
    }
    EXPECT_EQ(b.SaveAs(m_dir.string()), EISDIR);
    EXPECT_EQ(b.SaveAs(Path("no/such/folder/x")), ENOENT);
    EXPECT_EQ(b.SaveAs(""), ENOENT);
    EXPECT_EQ(Names(), std::vector<std::string>{"keep.txt"});
}

TEST_F(FileBufferTest, ResetRestoresStartValues)
{
    vKit::CFileBuffer b;
    b.AttachMemory("x", "abc", 3, true);
    b.SetSkipLoad(true);
    b.SetTag(4);
    b.SetTag2(5);
    b.SetExtra(6);
    b.SetDone(true);
    b.RequestStop();
    EXPECT_TRUE(b.IsStopRequested());
    b.Reset();
    EXPECT_EQ(b.GetData(), nullptr);
    EXPECT_EQ(b.GetFileName(), "");
    EXPECT_EQ(b.GetMode(), vKit::CFileBuffer::ModeNone);
    EXPECT_FALSE(b.IsSkipLoad() || b.IsStopRequested() || b.IsReleaseWhenDone() || b.IsDone());
    EXPECT_EQ(b.GetTag(), 0);
    EXPECT_EQ(b.GetTag2(), 100);
    EXPECT_EQ(b.GetExtra(), 0);
}

} // namespace
