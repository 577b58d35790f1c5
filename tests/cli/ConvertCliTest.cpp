// kavex-convert and kavex-sample run as programs, on data sets that kavex-sample writes.

#include "Base/platform/PlatformTemporary.h"
#include "KavexVersion.h"
#include "base/BmpBytes.h"
#include "base/TiffBytes.h"
#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;

namespace
{

// The slices prefix + four digits + ".bmp" of a folder.
std::vector<fs::path> Slices(const std::string& folder, const std::string& prefix)
{
    std::vector<fs::path> slices;
    const std::regex name(prefix + "[0-9]{4}\\.bmp");
    for (const auto& e : fs::directory_iterator(folder))
        if (std::regex_match(e.path().filename().string(), name)) slices.push_back(e.path());
    return slices;
}

using ConvertCli = CCliTest;

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
        EXPECT_EQ(r.err.rfind("kavex-convert: ", 0), 0u) << args[0] << r.err;
    }
}

// The sample from its text file; then a stack of signed samples in several pages, as
// reconstruction programs write it.
TEST_F(ConvertCli, InfoDescribesTheSampleAndASignedStack)
{
    const std::string src = Sample(6);
    CRunResult r = Convert({"--info", src + "/scan_cfg.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* line :
         {"prefix: scan\n", "layers: 6\n", "first: 0\n", "last: 5\n", "gaps: 1 x 5\n",
          "side images: scan_arc.bmp, scan_spr.bmp\n", "text files: scan_cfg.txt, scan_dicom.txt\n",
          "log: scan.log\n", "size: 32x24\n", "bits: 8\n", "palette: falling\n", "pixel size um: 25\n",
          "calibration: -1000 3000\n"})
        EXPECT_TRUE(Has(r.out, line)) << line << r.out;

    const std::string one = m_scratch.Path("one.tif"), stack = m_scratch.Path("ct0000.tif");
    bmptest::WriteBytes(
        one, tifftest::GreyImage(2, 1, 16, tifftest::Bytes16({0x8000, 0})).With(339, 3, 1, 2).Build());
    if (std::system(("tiffcp " + one + " " + one + " " + stack + " 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "libtiff-tools missing";
    r = Convert({"--info", stack});
    for (const char* line :
         {"size: 2x1\n", "samples: signed, offset by half the range\n", "pages: 2, the first one loaded\n"})
        EXPECT_TRUE(Has(r.out, line)) << line << r.out;
}

// The conversion itself is the job's; here: the folder made, the summary, the exit code that says
// a slice could not be read, with the reason on standard error and in JSON. Names are bytes: what
// is not UTF-8 reaches JSON as U+FFFD, so the summary stays valid JSON.
TEST_F(ConvertCli, ShiftFiveIntoANewFolderListsTheUnreadableSlice)
{
    const std::string src = Sample(10, "a\xff\xc3(\xc3\xa9\xed\xa0\x80");
    const std::string json = m_scratch.Path("a\\ufffd\\ufffd(\xc3\xa9\\ufffd\\ufffd\\ufffd");
    fs::resize_file(src + "/scan0002.bmp", 1200);
    const std::string out = m_scratch.Path("out/deeper");
    const CRunResult r = Convert({"--json", "--shift", "5", src + "/scan0003.bmp", out + "/q.bmp"});
    EXPECT_EQ(r.status, 1) << r.err;
    const std::string reason = "the file ends at byte 1200, its pixel rows need 1902";
    EXPECT_TRUE(Has(r.err, "kavex-convert: could not read " + src + "/scan0002.bmp: " + reason + "\n"))
        << r.err;
    EXPECT_TRUE(Has(r.out, "\"outcome\": \"finished\"")) << r.out;
    EXPECT_TRUE(Has(r.out, "\"source\": \"" + json + "/scan????.bmp\"")) << r.out;
    EXPECT_TRUE(Has(r.out, "\"failed\": [{\"path\": \"" + json +
                               "/scan0002.bmp\", \"action\": \"read\", \"reason\": \"" + reason + "\"}]"))
        << r.out;
    EXPECT_TRUE(Has(r.out, "\"destination\": \"" + out + "/q????.bmp\"")) << r.out;
    EXPECT_TRUE(fs::exists(out + "/q0012.bmp"));
}

// Refusals before a run starts say why, with their exit codes: the destination folder cannot be
// made, the destination is the source (in other letters too), the first slice does not load (also
// in --info); an existing destination needs --overwrite or --resume (3), even when only the loose
// mask of "scan2" beside "scan" finds the source's slice 2000; a destination held by another run
// is refused and nothing in it changes, while a dry run takes no lock. Folders and prefixes in
// other letters are other data sets.
TEST_F(ConvertCli, RefusalsSayWhyWithTheirExitCodes)
{
    const std::string src = Sample(4), bad = Sample(2, "bad");
    const std::string out = m_scratch.Path("out"), file = m_scratch.Path("file");
    bmptest::WriteBytes(file, {'x'});
    std::vector<uint8_t> bmp = bmptest::ReadBytes(bad + "/scan0000.bmp");
    bmp[28] = 24;
    bmptest::WriteBytes(bad + "/scan0000.bmp", bmp);
    const std::string why = "24 bits per pixel; only 8-bit palette images load";
    ASSERT_EQ(Convert({src + "/scan0000.bmp", out + "/q.bmp"}).status, 0);
    fs::copy_file(src + "/scan0000.bmp", src + "/scan2000.bmp");
    vKit::CPlatformLock other;
    ASSERT_EQ(other.TryAcquire(out + "/.q.kavex.lock"), 0);
    const std::vector<std::string> before = m_scratch.Names("out");
    const std::string s0 = src + "/scan0000.bmp", s1 = src + "/scan0001.bmp", q = out + "/q.bmp";
    for (const auto& [args, status, err] :
         std::vector<std::tuple<std::vector<std::string>, int, std::string>>{
             {{s0, file + "/sub/q.bmp"},
              2,
              "cannot create the destination folder " + file + ": Not a directory\n"},
             {{s0, s0}, 2, "Not yet implemented: the destination is the source data set\n"},
             {{"--overwrite", s1, src + "/scan0000.BMP"}, 2, "Not yet implemented"},
             {{"--overwrite", s1, src + "/scan.bmp"}, 2, "Not yet implemented"},
             {{bad + "/scan0001.bmp", q},
              2,
              "kavex-convert: could not read " + bad + "/scan0000.bmp: " + why + "\n"},
             {{s0, q}, 3, "The destination data set already exist: " + out + "/q????.bmp\nGive --overwrite"},
             {{s0, src + "/scan2????.bmp"}, 3, "already exist"},
             {{"--overwrite", s0, out + "/q.tif"}, 2, "being written by another run: " + out + "/q????.tif"},
             {{m_scratch.Path("none0000.bmp"), q}, 2, "no slice"},
             {{"--dry-run", "--overwrite", s0, q}, 0, ""},
             {{"--dry-run", s0, src + "/SCAN.bmp"}, 0, ""},
             {{"--dry-run", s0, m_scratch.Path("SRC/scan.bmp")}, 0, ""}})
    {
        const CRunResult r = Convert(args);
        EXPECT_EQ(r.status, status) << err;
        EXPECT_TRUE(Has(r.err, err)) << r.err;
    }
    EXPECT_EQ(m_scratch.Names("out"), before);
    EXPECT_TRUE(Has(Convert({"--info", bad + "/scan0001.bmp"}).out, "size: unreadable (" + why + ")\n"));
}

TEST_F(ConvertCli, LayerOptionsKeepSliceNumbersInRange)
{
    const std::string src = Sample(10);
    const std::string dst = m_scratch.Path("out/q");
    // The option, its value, the last slice number and what standard error says when the value was
    // limited: the first slice stays at 0 or above, the last one at 9999 or below.
    for (const auto& [option, value, last, told] : std::vector<std::array<std::string, 4>>{
             {"--top", "12", "0012", ""},
             {"--bottom", "100", "0109", ""},
             {"--bottom", "-3", "0009", "--bottom -3 is limited to 0"},
             {"--shift", "9995", "9999", "--shift 9995 is limited to 9990"},
             {"--top", "10050", "9999", "--top 10050 is limited to 9999"}})
    {
        const CRunResult r = Convert({option, value, "--dry-run", src + "/scan0000.bmp", dst + ".bmp"});
        EXPECT_EQ(r.out.substr(r.out.rfind(dst) + dst.size(), 4), last) << value;
        EXPECT_EQ(r.err.substr(0, r.err.find(':', 15)), told.empty() ? told : "kavex-convert: " + told);
    }
}

// A stop that arrives before the program has done anything cancels it (130) instead of killing
// it, whatever it was about to do; a conversion then writes no slice.
TEST_F(ConvertCli, StopBeforeTheStartCancels)
{
    const std::string src = Sample(3);
    const std::string out = m_scratch.Path("out");
    for (const int sig : {SIGINT, SIGTERM})
    {
        CProcess dry(m_scratch, "kavex-convert", {"--dry-run", src + "/scan0000.bmp", out + "/q.bmp"}, sig);
        EXPECT_EQ(dry.Wait().status, 130) << sig;
        CProcess run(m_scratch, "kavex-convert", {"--json", src + "/scan0000.bmp", out + "/q.bmp"}, sig);
        const CRunResult r = run.Wait();
        EXPECT_EQ(r.status, 130) << sig << r.err;
        EXPECT_TRUE(Has(r.out, "\"outcome\": \"cancelled\"")) << r.out;
        EXPECT_TRUE(Slices(out, "q").empty());
    }
}

// Killed at any moment, a run leaves under destination names only complete slices; stopped by
// SIGINT, it ends cancelled without the log; --resume then writes only what is missing, and the log.
TEST_F(ConvertCli, KilledOrInterruptedRunsThenResumeWriteOnlyCompleteAndMissingSlices)
{
    const int slices = 200;
    const std::string src = Sample(slices, "src", "scan", "512x256");
    const std::string out = m_scratch.Path("out");
    const uintmax_t full = fs::file_size(src + "/scan0000.bmp");
    int present = 0;
    for (int signal : {SIGKILL, SIGKILL, SIGINT})
    {
        CProcess run(m_scratch, "kavex-convert", {"--resume", src + "/scan0000.bmp", out + "/q.bmp"});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while ((!fs::exists(out) || int(Slices(out, "q").size()) < present + 10) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        run.Signal(signal);
        const CRunResult r = run.Wait();
        if (r.status == 0) GTEST_SKIP() << "the run ended before it could be stopped";
        ASSERT_EQ(r.status, 128 + signal) << r.err;
        for (const fs::path& slice : Slices(out, "q"))
            EXPECT_EQ(fs::file_size(slice), full) << slice << " after signal " << signal;
        present = int(Slices(out, "q").size());
    }
    EXPECT_FALSE(fs::exists(out + "/q.log"));
    ASSERT_LT(present, slices);

    const CRunResult r = Convert({"--resume", "--json", src + "/scan0000.bmp", out + "/q.bmp"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Companions are handled again: arc, cfg, dicom, spr.
    EXPECT_TRUE(Has(r.out, "\"skipped\": " + std::to_string(present) + ",")) << r.out;
    EXPECT_TRUE(Has(r.out, "\"written\": " + std::to_string(slices - present + 4) + ",")) << r.out;
    EXPECT_TRUE(fs::exists(out + "/q.log"));
}

// The defaults are the dialog's: built in on a first run, then what --save-defaults stored.
TEST_F(ConvertCli, StoredDefaultsDecideFormatAndReduction)
{
    const std::string src = Sample(4);
    const std::string out = m_scratch.Folder("out");
    const auto Hive = [this] { return CScratchFolder::Read(m_scratch.Path("registry/user.reg")); };
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
