#include "Base/files/FileUtils.h"

#include "Base/core/Strings.h"
#include "Base/platform/Platform.h"

#include <cerrno>
#include <vector>

namespace vKit
{
namespace
{

// The folder part of a mask including its separator, so that prefix + name is the entry's path.
std::string MaskPrefix(const std::string& mask)
{
    const size_t slash = mask.rfind(PathSeparator);
    return slash == std::string::npos ? std::string() : mask.substr(0, slash + 1);
}

int32_t OpenAndSeek(CPlatformFile& file, const std::string& path, PlatformOpenMode mode, int64_t offset,
                    bool fromEnd)
{
    if (const int32_t err = file.Open(path, mode, mode == PlatformOpenMode::Read)) return err;
    return file.Seek(offset, fromEnd ? PlatformSeekFrom::End : PlatformSeekFrom::Begin);
}

// The transfer's error wins; without one, the close's error is the result.
int32_t Finish(CPlatformFile& file, int32_t err)
{
    const int32_t closeErr = file.Close();
    return err ? err : closeErr;
}

bool SameFile(const std::string& a, const std::string& b)
{
    CPlatformStat sa, sb;
    return PlatformStat(a, sa) == 0 && PlatformStat(b, sb) == 0 && sa.device == sb.device &&
           sa.inode == sb.inode;
}

// A rename that also crosses file systems, for files: copy, then delete the source.
int32_t MoveOnce(const std::string& source, const std::string& destination, bool replace)
{
    int32_t err = PlatformRename(source, destination, replace);
    if (err != EXDEV) return err;
    if ((err = PlatformCopyFile(source, destination, replace)) != 0) return err;
    if ((err = PlatformUnlink(source)) != 0)
        PlatformUnlink(destination); // the source stays whole; no second copy is left behind
    return err;
}

} // namespace

std::string GetTempFolder()
{
    return PlatformTempFolder();
}

std::string GetWindowsFolder()
{
    return PlatformWindowsFolder();
}

std::string GetSystemFolder()
{
    return PlatformSystemFolder();
}

std::string GetProgramPath()
{
    return PlatformProgramPath();
}

std::string GetProgramFolder()
{
    return GetPathFolder(GetProgramPath());
}

std::string GetProgramTempName()
{
    return GetTempFolder() + GetPathTitle(GetProgramPath());
}

int32_t WriteWholeFile(const std::string& path, const void* buffer, int64_t size, bool /*temporary*/)
{
    if (size < 0 || (size > 0 && !buffer)) return EINVAL;
    CPlatformFile file;
    if (const int32_t err = file.Open(path, PlatformOpenMode::CreateAlways)) return err;
    return Finish(file, file.Write(buffer, uint64_t(size)));
}

int32_t WriteFileAt(const std::string& path, int64_t offset, bool fromEnd, const void* buffer, int64_t size)
{
    if (size < 0 || (size > 0 && !buffer)) return EINVAL;
    CPlatformFile file;
    int32_t err = OpenAndSeek(file, path, PlatformOpenMode::WriteExisting, offset, fromEnd);
    if (!file.IsOpen()) return err;
    if (!err) err = file.Write(buffer, uint64_t(size));
    return Finish(file, err);
}

int32_t ReadFileAt(const std::string& path, int64_t offset, bool fromEnd, void* buffer, int64_t size,
                   int64_t* done)
{
    if (done) *done = 0;
    if (size < 0 || (size > 0 && !buffer)) return EINVAL;
    CPlatformFile file;
    int32_t err = OpenAndSeek(file, path, PlatformOpenMode::Read, offset, fromEnd);
    if (!file.IsOpen()) return err;
    uint64_t got = 0;
    if (!err) err = file.Read(buffer, uint64_t(size), &got);
    if (done) *done = int64_t(got);
    return Finish(file, err);
}

int64_t GetFileSize(const std::string& path)
{
    CPlatformFile file;
    int64_t size = -1;
    if (file.Open(path, PlatformOpenMode::Read) != 0 || file.GetSize(size) != 0) return -1;
    return size;
}

bool FileExists(const std::string& path)
{
    // Described first, so that nothing but a regular file is ever opened here.
    CPlatformStat st;
    CPlatformFile file;
    return PlatformStat(path, st) == 0 && st.isRegular && file.Open(path, PlatformOpenMode::Read) == 0;
}

int32_t CountMatching(const std::string& mask)
{
    std::vector<CPlatformDirEntry> entries;
    if (PlatformFindFiles(mask, entries) != 0) return 0;
    return int32_t(entries.size());
}

bool DeleteMatching(const std::string& mask)
{
    if (mask.empty()) return false;
    std::vector<CPlatformDirEntry> entries;
    if (PlatformFindFiles(mask, entries) != 0) return true;
    const std::string prefix = MaskPrefix(mask);
    for (const CPlatformDirEntry& e : entries)
    {
        // Links to folders carry the folder attribute and stay, like folders.
        if (!(e.data.dwFileAttributes & kAttrDirectory)) PlatformUnlink(prefix + e.name);
    }
    return true;
}

bool DeleteFile(const std::string& path)
{
    return PlatformUnlink(path) == 0;
}

bool MoveFile(const std::string& source, const std::string& destination, bool replace)
{
    const int32_t err = MoveOnce(source, destination, false);
    if (err == 0) return true;
    // Replacing a file by itself would delete the only copy.
    if (!replace || !FileExists(destination) || SameFile(source, destination)) return false;
    // One atomic replacing rename: the old destination stays intact when the move fails.
    return MoveOnce(source, destination, true) == 0;
}

bool CopyFile(const std::string& source, const std::string& destination, bool overwrite)
{
    return PlatformCopyFile(source, destination, overwrite) == 0;
}

bool CreateFolderTree(const std::string& path, CStatus* why)
{
    std::string failed;
    const int32_t err = PlatformMakeFolderTree(path, failed);
    if (err != 0 && why) *why = PlatformErrorStatus(err, failed);
    return err == 0;
}

bool DeleteFolderTree(const std::string& path)
{
    const std::string folder = RemoveTrailingSeparator(path);
    CPlatformStat st;
    if (folder.empty() || PlatformLinkStat(folder, st) != 0) return false;
    if (st.isLink) return PlatformUnlink(folder) == 0;
    if (!st.isDirectory) return false;
    // Here a read-only folder keeps its entries: make it writable before emptying it.
    uint32_t attributes = 0;
    if (PlatformGetAttributes(folder, attributes) == 0 && (attributes & kAttrReadOnly))
        PlatformSetAttributes(folder, attributes & ~kAttrReadOnly);
    std::vector<CPlatformDirEntry> entries;
    if (PlatformFindFiles(JoinPath(folder, "*"), entries) != 0) return false;
    for (const CPlatformDirEntry& e : entries)
    {
        const std::string full = JoinPath(folder, e.name);
        if (e.isDirectory)
            DeleteFolderTree(full);
        else
            PlatformUnlink(full); // files and links alike: a link goes, its target stays
    }
    return PlatformRemoveFolder(folder) == 0;
}

int32_t RemoveFolder(const std::string& path, bool recursive)
{
    const std::string folder = RemoveTrailingSeparator(path);
    if (EqualsNoCase(folder, GetWindowsFolder()) || EqualsNoCase(folder, GetSystemFolder())) return 2;
    if (recursive) return DeleteFolderTree(folder) ? 0 : 2;
    return PlatformRemoveFolder(folder);
}

} // namespace vKit
