#include "Base/files/Files.h"
#include "Base/platform/Platform.h"

#include "base/ScratchFolder.h"
#include "tests/base/core/ListTexts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;
using vKit::CFiles;
using Names = std::vector<std::string>;

Names FileNames(const CFiles& files)
{
    return ListTexts(files.GetStrings(), true);
}

TEST(Files, ScanListsMatchingFilesOnlyInWindowsOrder)
{
    CScratchFolder dir;
    for (const char* name : {"p0010.bmp", "P0002.BMP", "p12.bmp", "p0003.tif", "p12345.bmp", "q0001.bmp"})
        dir.Write(name, "x");
    dir.Folder("p0004.bmp"); // a folder named like a slice
    dir.Write("outside.bin", "12345");
    fs::create_symlink(dir.Path("outside.bin"), dir.Path("p0005.bmp"));
    fs::create_symlink(dir.Path("p0004.bmp"), dir.Path("p0006.bmp"));
    fs::create_symlink(dir.Path("missing"), dir.Path("p0007.bmp"));

    CFiles files;
    EXPECT_EQ(files.Scan(dir.Path("p????.bmp")), 4);
    // Not sorted by the list: the scan itself orders names case-insensitively.
    EXPECT_EQ(FileNames(files), (Names{"P0002.BMP", "p0005.bmp", "p0010.bmp", "p12.bmp"}));
    // A link to a file is listed with the target's size under its own name.
    EXPECT_EQ(files.GetFileInfo(1)->GetFullPath(), dir.Path("p0005.bmp"));
    EXPECT_EQ(files.GetFileInfo(1)->GetFileSize(), 5u);
    // A second mask adds to the list; a missing folder adds nothing.
    EXPECT_EQ(files.AddFiles(dir.Path("q*.bmp")), 5);
    EXPECT_EQ(files.AddFiles(dir.Path("nowhere/*.bmp")), 5);
    // One named file is listed as the scan would, even when missing.
    EXPECT_EQ(files.Scan(dir.Path("nowhere/*.bmp")), 0);
    EXPECT_EQ(files.AddFile(dir.Path("p0005.bmp")), 1);
    EXPECT_EQ(files.AddFile(dir.Path("missing.bmp")), 1);
    EXPECT_EQ(files.GetFileInfo(0)->GetFileSize(), 5u);
}

// A folder of many names is described by two threads; the list is the same as a small one's.
// A listing of a wider mask gives each list only the names of its own mask.
TEST(Files, LargeFolderScanKeepsOrderAndKinds)
{
    CScratchFolder dir;
    Names expected;
    for (int n = 519; n >= 0; --n)
    {
        std::string name(n % 2 ? "S" : "s");
        name += std::to_string(10000 + n).substr(1);
        name += ".bmp";
        if (n % 100 == 7)
            fs::create_symlink(dir.Path("missing"), dir.Path(name));
        else
            expected.insert(expected.begin(), (dir.Write(name, "x"), name));
    }
    dir.Write("s_cfg.txt", "x");
    std::vector<vKit::CPlatformDirEntry> listing;
    ASSERT_EQ(vKit::PlatformFindFiles(dir.Path("s*"), listing), 0);
    EXPECT_EQ(listing.size(), 521u);
    CFiles files;
    EXPECT_EQ(files.AddFiles(dir.Path("s????.bmp"), listing), 514);
    EXPECT_EQ(FileNames(files), expected);
    EXPECT_EQ(files.GetNotFiles().size(), 6u);
}

TEST(Files, RecordCarriesTimesAndSizeOfTheFile)
{
    CScratchFolder dir;
    const std::string path = dir.Write("s0001.tif", std::string(300, 'a'));
    EXPECT_EQ(vKit::UnixNsToFileTime(0), 116444736000000000ULL);
    // 2001-09-09 01:46:40 UTC, with a sub-second part
    const uint64_t written = vKit::UnixNsToFileTime(1000000000LL * 1000000000LL + 1234500);
    const uint64_t accessed = written + 10000000ULL * 3600;
    ASSERT_EQ(vKit::PlatformSetFileTimes(path, accessed, written), 0);
    CFiles files;
    ASSERT_EQ(files.Scan(dir.Path("*.tif")), 1);
    const auto& found = files.GetFileInfo(0)->m_FindData;
    EXPECT_EQ(found.ftLastWriteTime, written);
    EXPECT_EQ(found.ftLastAccessTime, accessed);
    EXPECT_NE(found.ftCreationTime, 0u);
    EXPECT_EQ(found.nFileSizeLow, 300u);
    EXPECT_EQ(found.dwFileAttributes, vKit::kAttrNormal);
}

TEST(Files, EntriesOwnTheirRecords)
{
    CScratchFolder dir;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        dir.Write(name, "x");
    CFiles files;
    files.Scan(dir.Path("*.txt"));
    files.GetFileInfo(0)->m_strDestination = "/out/a.txt";

    // A copy owns copies: changing or destroying one leaves the other intact.
    auto copy = std::make_unique<CFiles>(files);
    copy->GetFileInfo(0)->m_strDestination = "changed";
    EXPECT_EQ(files.GetFileInfo(0)->m_strDestination, "/out/a.txt");
    CFiles assigned;
    assigned.Assign(*copy);
    copy.reset();
    EXPECT_EQ(assigned.GetFileInfo(0)->m_strDestination, "changed");

    // SetString grows the list with empty records, and empties the record of a scanned entry.
    files.RemoveAt(0);
    files.SetString(4, "/x/new.txt");
    files.SetString(0, "/x/renamed.txt");
    ASSERT_EQ(files.GetCount(), 5);
    for (int32_t i : {0, 2, 3, 4})
        EXPECT_EQ(files.GetFileInfo(i)->GetFileName(), "") << i;
    EXPECT_EQ(files.GetFileInfo(1)->GetFileName(), "c.txt");
    files.SetKeepInfo(false);
    EXPECT_EQ(files.GetFileInfo(1), nullptr);
}

} // namespace
