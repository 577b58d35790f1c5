// kavex-convert and kavex-sample run as programs, on data sets that kavex-sample writes.

#include "Base/formats/FileImageBuffer16.h"
#include "Base/platform/PlatformTemporary.h"
#include "KavexVersion.h"
#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace
{

// Samples of an image file; empty when it does not load.
std::vector<uint16_t> Pixels(const std::string& path)
{
    vKit::CFileImageBuffer16 image;
    if (image.LoadFile(path) != 0) return {};
    return std::vector<uint16_t>(image.GetData(), image.GetData() + image.PixelCount());
}

// prefix + four digits + ".bmp"
bool IsSliceName(const std::string& name, const std::string& prefix)
{
    return name.size() == prefix.size() + 8 && name.rfind(prefix, 0) == 0 &&
           name.compare(name.size() - 4, 4, ".bmp") == 0 &&
           std::all_of(name.begin() + long(prefix.size()), name.end() - 4,
                       [](char c) { return c >= '0' && c <= '9'; });
}

int CountSlices(const std::string& folder, const std::string& prefix)
{
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder))
        n += IsSliceName(e.path().filename().string(), prefix);
    return n;
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class ConvertCli : public testing::Test
{
protected:
    // The programs keep the user's settings; here they go to the scratch folder.
    void SetUp() override { setenv("KAVEX_REGISTRY_DIR", m_scratch.Path("registry").c_str(), 1); }
    std::string Hive() const { return CScratchFolder::Read(m_scratch.Path("registry/user.reg")); }

    // A sample data set "scan" in the folder src.
    std::string Sample(int slices, const std::string& size = "32x24")
    {
        const CRunResult r = RunProgram(
            m_scratch, "kavex-sample",
            {"--quiet", "--slices", std::to_string(slices), "--size", size, m_scratch.Path("src")});
        EXPECT_EQ(r.status, 0) << r.err;
        return m_scratch.Path("src");
    }
    CRunResult Convert(const std::vector<std::string>& args)
    {
        return RunProgram(m_scratch, "kavex-convert", args);
    }

    CScratchFolder m_scratch;
};

TEST_F(ConvertCli, HelpVersionAndUsageErrors)
{
    CRunResult r = Convert({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: kavex-convert", 0), 0u);
    r = Convert({"--version"});
    EXPECT_EQ(r.out, std::string("kavex-convert ") + KAVEX_VERSION_STRING + "\n");

    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--bogus", "a.bmp", "b.bmp"},
                                               {"--resize", "3", "a.bmp", "b.bmp"},
                                               {"a.bmp"},
                                               {"--overwrite", "--resume", "a.bmp", "b.bmp"},
                                               {"--shift", "2", "--top", "9", "a.bmp", "b.bmp"},
                                               {"--shift"}})
    {
        r = Convert(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_TRUE(Has(r.err, "kavex-convert: ")) << args[0];
    }
    r = Convert({m_scratch.Path("none0000.bmp"), m_scratch.Path("out/q.bmp")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Has(r.err, "no slice"));
}

TEST_F(ConvertCli, InfoDescribesTheSampleFromItsTextFile)
{
    const std::string src = Sample(6);
    const CRunResult r = Convert({"--info", src + "/scan_cfg.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* line :
         {"prefix: scan\n", "layers: 6\n", "first: 0\n", "last: 5\n", "gaps: 1 x 5\n",
          "side images: scan_arc.bmp, scan_spr.bmp\n", "text files: scan_cfg.txt, scan_dicom.txt\n",
          "log: scan.log\n", "size: 32x24\n", "bits: 8\n", "palette: falling\n", "pixel size um: 25\n",
          "calibration: -1000 3000\n"})
        EXPECT_TRUE(Has(r.out, line)) << line << r.out;
}

// The conversion itself is the job's; here: the folder made, the summary, the exit code that says
// a slice could not be read, one renumbered slice and the log.
TEST_F(ConvertCli, ShiftFiveIntoANewFolderListsTheUnreadableSlice)
{
    const std::string src = Sample(10);
    fs::resize_file(src + "/scan0002.bmp", 100);
    const std::string out = m_scratch.Path("out/deeper");
    const CRunResult r = Convert({"--json", "--shift", "5", src + "/scan0003.bmp", out + "/q.bmp"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(Has(r.err, "could not read " + src + "/scan0002.bmp")) << r.err;
    EXPECT_TRUE(Has(r.out, "\"outcome\": \"finished\"")) << r.out;
    EXPECT_TRUE(Has(r.out, "\"failed\": [\"" + src + "/scan0002.bmp\"]")) << r.out;
    EXPECT_TRUE(Has(r.out, "\"destination\": \"" + out + "/q????.bmp\"")) << r.out;
    EXPECT_EQ(Pixels(out + "/q0012.bmp"), Pixels(src + "/scan0007.bmp"));
    EXPECT_EQ(CScratchFolder::Read(out + "/q.log"), CScratchFolder::Read(src + "/scan.log"));
}

// The source itself in other letters is refused (2); an existing destination needs --overwrite or
// --resume (3), even when only the loose mask of "scan2" beside "scan" finds the source's slice
// 2000, and then --overwrite deletes nothing of the source.
TEST_F(ConvertCli, DestinationConflictsAndTheirExitCodes)
{
    const std::string src = Sample(4);
    for (const std::string& dst : {src + "/scan0000.BMP", src + "/scan.bmp"})
    {
        const CRunResult r = Convert({"--overwrite", src + "/scan0001.bmp", dst});
        EXPECT_EQ(r.status, 2) << dst;
        EXPECT_TRUE(Has(r.err, "Not yet implemented")) << r.err;
    }
    const std::string dst = m_scratch.Path("out/q.bmp");
    ASSERT_EQ(Convert({src + "/scan0000.bmp", dst}).status, 0);
    CRunResult r = Convert({src + "/scan0000.bmp", dst});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(Has(r.err, "The destination data set already exist: " + m_scratch.Path("out/q????.bmp")))
        << r.err;
    EXPECT_TRUE(Has(r.err, "--overwrite"));

    fs::copy_file(src + "/scan0000.bmp", src + "/scan2000.bmp");
    EXPECT_EQ(Convert({src + "/scan0000.bmp", src + "/scan2????.bmp"}).status, 3);
    ASSERT_EQ(Convert({"--overwrite", "--shift", "1", src + "/scan0000.bmp", src + "/scan2????.bmp"}).status,
              0);
    EXPECT_EQ(Pixels(src + "/scan2000.bmp"), Pixels(src + "/scan0000.bmp"));
    EXPECT_EQ(CountSlices(src, "scan"), 5);
    EXPECT_TRUE(fs::exists(src + "/scan_cfg.txt") && fs::exists(src + "/scan22001.bmp"));

    // A folder as destination: the dialog's proposal beside the chosen folder.
    r = Convert({"--dry-run", src + "/scan_dicom.txt", m_scratch.Path("out")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.out, src + "/scan0003.bmp -> " + m_scratch.Path("out/scan_conv_0003.bmp") + "\n"))
        << r.out;
    EXPECT_FALSE(fs::exists(m_scratch.Path("out/scan_conv_0000.bmp")));
}

// Held by another run, the destination is refused at once and nothing in it changes; a dry run
// takes no lock. Folders and prefixes in other letters are other data sets.
TEST_F(ConvertCli, DestinationHeldByAnotherRunAndNamesInOtherLetters)
{
    const std::string src = Sample(3);
    const std::string out = m_scratch.Path("out");
    ASSERT_EQ(Convert({src + "/scan0000.bmp", out + "/q.bmp"}).status, 0);
    fs::remove(out + "/q0001.bmp");
    const std::vector<std::string> before = m_scratch.Names("out");
    {
        vKit::CPlatformLock other;
        ASSERT_EQ(other.TryAcquire(out + "/.q.kavex.lock"), 0);
        const CRunResult r = Convert({"--overwrite", src + "/scan0000.bmp", out + "/q.tif"});
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(Has(r.err, "being written by another run: " + out + "/q????.tif")) << r.err;
        EXPECT_EQ(Convert({"--dry-run", "--overwrite", src + "/scan0000.bmp", out + "/q.bmp"}).status, 0);
    }
    EXPECT_EQ(m_scratch.Names("out"), before);

    fs::create_directory(m_scratch.Path("SRC"));
    EXPECT_EQ(Convert({src + "/scan0000.bmp", m_scratch.Path("SRC/scan.bmp")}).status, 0);
    EXPECT_EQ(CountSlices(m_scratch.Path("SRC"), "scan"), 3);
    const CRunResult r = Convert({"--dry-run", src + "/scan0000.bmp", src + "/SCAN.bmp"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.out, "-> " + src + "/SCAN0002.bmp\n")) << r.out;
}

TEST_F(ConvertCli, LayerOptionsKeepSliceNumbersInRange)
{
    const std::string src = Sample(10);
    const std::string dst = m_scratch.Path("out/q");
    auto lastOf = [&](const std::vector<std::string>& layer)
    {
        std::vector<std::string> args = {"--dry-run", src + "/scan0000.bmp", dst + ".bmp"};
        args.insert(args.begin(), layer.begin(), layer.end());
        const std::string out = Convert(args).out;
        return out.substr(out.rfind(dst) + dst.size(), 4);
    };
    EXPECT_EQ(lastOf({"--top", "12"}), "0012");
    EXPECT_EQ(lastOf({"--bottom", "100"}), "0109");
    EXPECT_EQ(lastOf({"--bottom", "-3"}), "0009");   // the first slice stays at 0 or above
    EXPECT_EQ(lastOf({"--shift", "20000"}), "9999"); // the last one at 9999 or below
}

// Killed at any moment, a run leaves under destination names only complete slices; stopped by
// SIGINT, it ends cancelled without the log; --resume then writes only what is missing, and the log.
TEST_F(ConvertCli, KilledOrInterruptedRunsThenResumeWriteOnlyCompleteAndMissingSlices)
{
    const int slices = 200;
    const std::string src = Sample(slices, "512x256");
    const std::string out = m_scratch.Path("out");
    const uintmax_t full = fs::file_size(src + "/scan0000.bmp");
    int present = 0;
    for (int signal : {SIGKILL, SIGKILL, SIGINT})
    {
        CProcess run(m_scratch, "kavex-convert", {"--resume", src + "/scan0000.bmp", out + "/q.bmp"});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while ((!fs::exists(out) || CountSlices(out, "q") < present + 10) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        run.Signal(signal);
        const CRunResult r = run.Wait();
        if (r.status == 0) GTEST_SKIP() << "the run ended before it could be stopped";
        ASSERT_EQ(r.status, 128 + signal) << r.err;
        for (const auto& e : fs::directory_iterator(out))
        {
            if (IsSliceName(e.path().filename().string(), "q"))
            {
                EXPECT_EQ(fs::file_size(e.path()), full) << e.path() << " after signal " << signal;
            }
        }
        present = CountSlices(out, "q");
    }
    EXPECT_FALSE(fs::exists(out + "/q.log"));
    ASSERT_LT(present, slices);

    const CRunResult r = Convert({"--resume", "--json", src + "/scan0000.bmp", out + "/q.bmp"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Companions are handled again: arc, cfg, dicom, spr.
    EXPECT_TRUE(Has(r.out, "\"skipped\": " + std::to_string(present) + ",")) << r.out;
    EXPECT_TRUE(Has(r.out, "\"written\": " + std::to_string(slices - present + 4) + ",")) << r.out;
    EXPECT_TRUE(fs::exists(out + "/q.log"));
    for (const std::string n : {"0000", "0099", "0199"})
        EXPECT_EQ(Pixels(out + "/q" + n + ".bmp"), Pixels(src + "/scan" + n + ".bmp")) << n;
}

// The defaults are the dialog's: built in on a first run, then what --save-defaults stored.
TEST_F(ConvertCli, StoredDefaultsDecideFormatAndReduction)
{
    const std::string src = Sample(4);
    const std::string out = m_scratch.Folder("out");
    const std::string from = src + "/scan0001.bmp -> " + out;
    CRunResult r = Convert({"--dry-run", src + "/scan0001.bmp", out});
    EXPECT_TRUE(Has(r.out, from + "/scan_conv_0001.bmp\n")) << r.out;
    EXPECT_FALSE(Has(Hive(), "Settings")) << Hive();

    r = Convert({"--save-defaults", "--format", "tif", "--resize", "2", "--jpeg-quality", "150"});
    EXPECT_EQ(r.status, 2); // out of range, nothing stored
    r = Convert({"--save-defaults", "--format", "tif", "--resize", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(Hive(), "\"DefaultExtension\"=dword:00000002")) << Hive();
    EXPECT_TRUE(Has(Convert({"--dry-run", src + "/scan0001.bmp", out}).out, from + "/scan_conv_0000.tif\n"));
    // Given options still win over the stored ones.
    r = Convert({"--dry-run", "-r", "1", "-f", "jpg", src + "/scan0001.bmp", out});
    EXPECT_TRUE(Has(r.out, from + "/scan_conv_0001.jpg\n")) << r.out;
}

} // namespace
