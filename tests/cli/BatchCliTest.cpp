// kavex-convert with several sources and folder sources, run as a program.

#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace
{

using BatchCli = CCliTest;

size_t Lines(const std::string& text)
{
    return size_t(std::count(text.begin(), text.end(), '\n'));
}

// A file and a folder into a folder that does not exist yet; run again, both are refused as
// existing (3), and a folder without a data set (2) is the more serious refusal.
TEST_F(BatchCli, FileAndFolderSourcesIntoANewFolder)
{
    const std::string a = Sample(3, "a", "a");
    const std::string c = Sample(3, "c", "c");
    const std::string dest = m_scratch.Path("dest");
    CRunResult r = Convert({"--json", a + "/a0001.bmp", c + "/", dest + "/"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out), 2u) << r.out;
    EXPECT_TRUE(Has(r.out, "\"destination\": \"" + dest + "/c_conv_????.bmp\"")) << r.out;
    for (const char* name : {"a_conv_0000.bmp", "a_conv_0002.bmp", "c_conv_0001.bmp", "c_conv_.log"})
        EXPECT_TRUE(fs::exists(dest + "/" + name)) << name;

    r = Convert({"--json", a + "/a0001.bmp", m_scratch.Folder("empty"), c, dest});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(Lines(r.out), 3u) << r.out;
    EXPECT_TRUE(Has(r.out, "{\"outcome\": \"refused\", \"source\": \"" + c + "\", \"exit\": 3}")) << r.out;
}

// Refusals of the whole batch write nothing; a refused source lets the others run and decides the
// exit code.
TEST_F(BatchCli, RefusedBatchesAndSources)
{
    const std::string a = Sample(3, "a", "a");
    Sample(3, "twin", "a");
    const std::string dest = m_scratch.Path("dest");
    struct Case
    {
        std::vector<std::string> args;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {{"--json", a, m_scratch.Path("twin"), dest}, "would both be written as " + dest + "/a_conv_"},
             {{"--json", a, m_scratch.Path("twin"), dest + "/q.bmp"}, "DEST must be a folder"},
             {{"--json", a, a + "/a_cfg.txt", dest}, "would both be written"}})
    {
        const CRunResult r = Convert(c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_TRUE(Has(r.err, c.message)) << r.err;
        EXPECT_EQ(Lines(r.out), c.args.size() - 2) << r.out;
        EXPECT_FALSE(fs::exists(dest));
    }

    fs::create_directory(m_scratch.Path("empty"));
    Sample(3, "two", "x");
    Sample(3, "two", "y");
    const CRunResult r = Convert({"--json", m_scratch.Path("empty"), m_scratch.Path("two"), a, dest});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Has(r.err, "no data set in the folder " + m_scratch.Path("empty"))) << r.err;
    EXPECT_TRUE(Has(r.err, "holds several data sets (x????.bmp, y????.bmp)")) << r.err;
    EXPECT_TRUE(Has(r.out, "\"outcome\": \"finished\"")) << r.out;
    EXPECT_TRUE(fs::exists(dest + "/a_conv_0000.bmp"));
}

// SIGINT during the first source ends the batch cancelled; the second source never starts.
TEST_F(BatchCli, CancelStopsTheBatch)
{
    const std::string a = Sample(200, "a", "a", "512x256");
    const std::string c = Sample(3, "c", "c");
    const std::string dest = m_scratch.Path("dest");
    CProcess run(m_scratch, "kavex-convert", {"--json", a, c, dest});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(dest + "/a_conv_0005.bmp") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    run.Signal(SIGINT);
    const CRunResult r = run.Wait();
    if (fs::exists(dest + "/a_conv_.log"))
        GTEST_SKIP() << "the first source ended before it could be stopped";
    EXPECT_EQ(r.status, 130) << r.err;
    EXPECT_EQ(Lines(r.out), 1u) << r.out;
    EXPECT_TRUE(Has(r.out, "\"outcome\": \"cancelled\"")) << r.out;
    EXPECT_FALSE(fs::exists(dest + "/c_conv_0000.bmp"));
}

} // namespace
