#include "Base/platform/Platform.h"

#include "Base/platform/PlatformTemporary.h"

#include "Base/core/Strings.h"
#include "Base/core/Wildcard.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vKit
{
namespace
{

constexpr int64_t kFileTimeEpochOffset = 116444736000000000LL; // 1601 -> 1970 in 100 ns units
constexpr off_t kSequentialAdviceBytes = off_t(1) << 20;

int64_t ToNs(int64_t sec, int64_t nsec)
{
    return sec * 1000000000LL + nsec;
}

void FromStatx(const struct statx& sx, CPlatformStat& st)
{
    st.mode = sx.stx_mode;
    st.isDirectory = S_ISDIR(sx.stx_mode);
    st.isRegular = S_ISREG(sx.stx_mode);
    st.isLink = S_ISLNK(sx.stx_mode);
    st.size = sx.stx_size;
    // Same device numbering as stat() reports.
    st.device = uint64_t(makedev(sx.stx_dev_major, sx.stx_dev_minor));
    st.inode = sx.stx_ino;
    st.accessNs = ToNs(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
    st.writeNs = ToNs(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    st.changeNs = ToNs(sx.stx_ctime.tv_sec, sx.stx_ctime.tv_nsec);
    st.birthNs = (sx.stx_mask & STATX_BTIME) ? ToNs(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec) : st.changeNs;
}

void FromStat(const struct stat& s, CPlatformStat& st)
{
    st.mode = s.st_mode;
    st.isDirectory = S_ISDIR(s.st_mode);
    st.isRegular = S_ISREG(s.st_mode);
    st.isLink = S_ISLNK(s.st_mode);
    st.size = uint64_t(s.st_size);
    st.device = uint64_t(s.st_dev);
    st.inode = uint64_t(s.st_ino);
    st.accessNs = ToNs(s.st_atim.tv_sec, s.st_atim.tv_nsec);
    st.writeNs = ToNs(s.st_mtim.tv_sec, s.st_mtim.tv_nsec);
    st.changeNs = ToNs(s.st_ctim.tv_sec, s.st_ctim.tv_nsec);
    st.birthNs = st.changeNs;
}

// path "" with AT_EMPTY_PATH describes dirFd itself.
int32_t StatAt(int dirFd, const char* path, int atFlags, CPlatformStat& st)
{
    st = CPlatformStat();
    struct statx sx;
    if (statx(dirFd, path, atFlags | AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0)
    {
        FromStatx(sx, st);
        return 0;
    }
    if (errno != ENOSYS) return errno;
    struct stat s;
    if (fstatat(dirFd, path, &s, atFlags) != 0) return errno;
    FromStat(s, st);
    return 0;
}

uint32_t AttributesOf(const CPlatformStat& st, std::string_view name)
{
    uint32_t a = 0;
    if (st.isDirectory) a |= kAttrDirectory;
    if (!(st.mode & S_IWUSR)) a |= kAttrReadOnly;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") a |= kAttrHidden;
    return a ? a : kAttrNormal;
}

void FillFindData(const std::string& name, const CPlatformStat& st, uint32_t attributes, CFindData& d)
{
    d = CFindData();
    d.dwFileAttributes = attributes;
    d.ftCreationTime = UnixNsToFileTime(st.birthNs);
    d.ftLastAccessTime = UnixNsToFileTime(st.accessNs);
    d.ftLastWriteTime = UnixNsToFileTime(st.writeNs);
    if (!st.isDirectory)
    {
        d.nFileSizeHigh = uint32_t(st.size >> 32);
        d.nFileSizeLow = uint32_t(st.size & 0xFFFFFFFFu);
    }
    const size_t n = std::min(name.size(), sizeof(d.cFileName) - 1);
    std::memcpy(d.cFileName, name.data(), n);
}

// Describes the entry name found at where (relative to dirFd); false when it vanished meanwhile.
bool DescribeEntry(int dirFd, const char* where, const std::string& name, CPlatformDirEntry& e)
{
    CPlatformStat st;
    if (StatAt(dirFd, where, AT_SYMLINK_NOFOLLOW, st) != 0) return false;
    e.name = name;
    e.device = st.device;
    e.inode = st.inode;
    if (!st.isLink)
    {
        e.isDirectory = st.isDirectory;
        e.isFile = st.isRegular;
        FillFindData(name, st, AttributesOf(st, name), e.data);
        return true;
    }
    e.isLink = true;
    CPlatformStat target;
    if (StatAt(dirFd, where, 0, target) != 0)
    {
        FillFindData(name, st, kAttrReparsePoint, e.data);
        return true;
    }
    e.device = target.device;
    e.inode = target.inode;
    if (target.isDirectory)
    {
        FillFindData(name, target, AttributesOf(target, name) | kAttrReparsePoint, e.data);
        return true;
    }
    e.isFile = target.isRegular;
    FillFindData(name, target, AttributesOf(target, name), e.data);
    return true;
}

// Appends the names of dir that wanted takes, "." and ".." left out; 0, or the error that ended
// the reading early.
template <typename Wanted> int32_t ReadNames(DIR* dir, const Wanted& wanted, std::vector<std::string>& names)
{
    for (;;)
    {
        errno = 0;
        const struct dirent* d = readdir(dir);
        if (!d) return errno;
        const std::string_view name = d->d_name;
        if (name != "." && name != ".." && wanted(name)) names.emplace_back(name);
    }
}

// Windows order: upper-cased ASCII in byte order, which is the order CompareNoCase gives. Each
// name is upper-cased once, not at every comparison, and moved once.
void SortAsWindowsLists(std::vector<std::string>& names)
{
    std::vector<uint32_t> order(names.size());
    std::vector<std::string> keys(names.size());
    for (size_t i = 0; i < order.size(); ++i)
    {
        order[i] = uint32_t(i);
        keys[i] = UpperAscii(names[i]);
    }
    std::sort(order.begin(), order.end(),
              [&names, &keys](uint32_t x, uint32_t y)
              {
                  const int c = keys[x].compare(keys[y]);
                  return c != 0 ? c < 0 : names[x] < names[y];
              });
    std::vector<std::string> sorted(names.size());
    for (size_t i = 0; i < order.size(); ++i)
        sorted[i] = std::move(names[order[i]]);
    names.swap(sorted);
}

// Describes the names found in the folder dirFd, in their order, leaving out those that vanished.
// A large folder is described by two threads: one status call per name is most of a scan.
void DescribeEntries(int dirFd, const std::vector<std::string>& names,
                     std::vector<CPlatformDirEntry>& entries)
{
    entries.assign(names.size(), CPlatformDirEntry());
    std::vector<char> found(names.size(), 0);
    const auto describe = [&](size_t first, size_t end)
    {
        for (size_t i = first; i < end; ++i)
            found[i] = DescribeEntry(dirFd, names[i].c_str(), names[i], entries[i]) ? 1 : 0;
    };
    constexpr size_t ManyNames = 512;
    const size_t half = names.size() / 2;
    std::thread helper;
    if (names.size() >= ManyNames && std::thread::hardware_concurrency() > 1)
    {
        try
        {
            helper = std::thread(describe, half, names.size());
        }
        catch (const std::system_error&)
        {
        }
    }
    describe(0, helper.joinable() ? half : names.size());
    if (helper.joinable()) helper.join();
    size_t kept = 0;
    for (size_t i = 0; i < names.size(); ++i)
        if (found[i] && kept++ != i) entries[kept - 1] = std::move(entries[i]);
    entries.resize(kept);
}

int32_t CopyContent(int in, int out)
{
    bool kernelCopy = true;
    for (;;)
    {
        const ssize_t n = copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
        if (n == 0) return 0;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EPERM)
        {
            kernelCopy = false;
            break;
        }
        return errno;
    }
    if (kernelCopy) return 0;
    // The file systems cannot copy by themselves: plain reads and writes from the current positions.
    std::vector<char> buffer(size_t(1) << 20);
    for (;;)
    {
        const ssize_t n = read(in, buffer.data(), buffer.size());
        if (n == 0) return 0;
        if (n < 0)
        {
            if (errno == EINTR) continue;
            return errno;
        }
        size_t done = 0;
        while (done < size_t(n))
        {
            const ssize_t w = write(out, buffer.data() + done, size_t(n) - done);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return w < 0 ? errno : ENOSPC;
            done += size_t(w);
        }
    }
}

} // namespace

uint64_t UnixNsToFileTime(int64_t unixNs)
{
    int64_t ticks = unixNs / 100;
    if (unixNs % 100 < 0) --ticks;
    if (ticks < -kFileTimeEpochOffset) return 0;
    return uint64_t(ticks + kFileTimeEpochOffset);
}

int64_t FileTimeToUnixNs(uint64_t fileTime)
{
    constexpr uint64_t kMaxTicks = uint64_t(INT64_MAX / 100) + uint64_t(kFileTimeEpochOffset);
    if (fileTime > kMaxTicks) fileTime = kMaxTicks;
    return (int64_t(fileTime) - kFileTimeEpochOffset) * 100;
}

int32_t PlatformStat(const std::string& path, CPlatformStat& st)
{
    return StatAt(AT_FDCWD, path.c_str(), 0, st);
}

int32_t PlatformLinkStat(const std::string& path, CPlatformStat& st)
{
    return StatAt(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, st);
}

int32_t PlatformGetAttributes(const std::string& path, uint32_t& attributes)
{
    attributes = 0;
    CPlatformStat st;
    if (const int32_t err = PlatformStat(path, st)) return err;
    attributes = AttributesOf(st, GetPathFileName(RemoveTrailingSeparator(path)));
    return 0;
}

int32_t PlatformSetAttributes(const std::string& path, uint32_t attributes)
{
    CPlatformStat st;
    if (const int32_t err = PlatformLinkStat(path, st)) return err;
    if (st.isLink) return 0;
    const mode_t writable = S_IWUSR | S_IWGRP | S_IWOTH;
    mode_t mode = st.mode & 07777;
    if (attributes & kAttrReadOnly)
        mode &= ~writable;
    else
        mode |= S_IWUSR;
    if (mode == (st.mode & 07777)) return 0;
    return chmod(path.c_str(), mode) == 0 ? 0 : errno;
}

int32_t PlatformSetFileTimes(const std::string& path, uint64_t lastAccess, uint64_t lastWrite)
{
    struct timespec ts[2];
    const uint64_t values[2] = {lastAccess, lastWrite};
    for (int i = 0; i < 2; ++i)
    {
        if (values[i] == 0)
        {
            ts[i].tv_sec = 0;
            ts[i].tv_nsec = UTIME_OMIT;
            continue;
        }
        const int64_t ns = FileTimeToUnixNs(values[i]);
        int64_t sec = ns / 1000000000LL;
        int64_t rem = ns % 1000000000LL;
        if (rem < 0)
        {
            rem += 1000000000LL;
            --sec;
        }
        ts[i].tv_sec = time_t(sec);
        ts[i].tv_nsec = long(rem);
    }
    return utimensat(AT_FDCWD, path.c_str(), ts, 0) == 0 ? 0 : errno;
}

CPlatformFile::~CPlatformFile()
{
    Close();
}

CPlatformFile::CPlatformFile(CPlatformFile&& other) noexcept
    : m_fd(other.m_fd), m_openedSize(other.m_openedSize)
{
    other.m_fd = -1;
}

CPlatformFile& CPlatformFile::operator=(CPlatformFile&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_fd = other.m_fd;
        m_openedSize = other.m_openedSize;
        other.m_fd = -1;
    }
    return *this;
}

int32_t CPlatformFile::OpenPrivateForAppend(const std::string& path, int flags)
{
    flags |= O_WRONLY | O_APPEND | O_NOFOLLOW;
    int fd = open(path.c_str(), flags | O_CREAT | O_EXCL, 0600);
    if (fd < 0 && errno == EEXIST) fd = open(path.c_str(), flags);
    if (fd < 0) return errno;
    struct stat s;
    if (fstat(fd, &s) != 0 || !S_ISREG(s.st_mode) || s.st_uid != geteuid())
    {
        close(fd);
        return EACCES;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    return 0;
}

int32_t CPlatformFile::Open(const std::string& path, PlatformOpenMode mode, bool sequential)
{
    Close();
    int flags = O_CLOEXEC | O_NONBLOCK; // a FIFO must not block the open
    switch (mode)
    {
    case PlatformOpenMode::Read:
        flags |= O_RDONLY;
        break;
    case PlatformOpenMode::WriteExisting:
        flags |= O_WRONLY;
        break;
    case PlatformOpenMode::ReadWrite:
        flags |= O_RDWR;
        break;
    case PlatformOpenMode::CreateAlways:
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
        break;
    case PlatformOpenMode::CreateNew:
        flags |= O_WRONLY | O_CREAT | O_EXCL;
        break;
    case PlatformOpenMode::AppendPrivate:
        return OpenPrivateForAppend(path, flags);
    }
    const int fd = open(path.c_str(), flags, 0666);
    if (fd < 0) return errno;
    struct stat s;
    const int32_t err = fstat(fd, &s) != 0 ? errno : S_ISDIR(s.st_mode) ? EISDIR : 0;
    if (err)
    {
        close(fd);
        return err;
    }
    // Regular files ignore the flag; read-ahead advice pays only beyond the default window.
    if (!S_ISREG(s.st_mode)) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (sequential && s.st_size >= kSequentialAdviceBytes) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    m_fd = fd;
    m_openedSize = int64_t(s.st_size);
    return 0;
}

int32_t CPlatformFile::Read(void* buffer, uint64_t size, uint64_t* done)
{
    uint64_t total = 0;
    int32_t err = m_fd < 0 ? EBADF : 0;
    while (!err && total < size)
    {
        const size_t chunk = size_t(std::min<uint64_t>(size - total, uint64_t(1) << 30));
        const ssize_t n = read(m_fd, static_cast<char*>(buffer) + total, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            err = errno;
        else if (n == 0)
            break;
        else
            total += uint64_t(n);
    }
    if (done) *done = total;
    return err;
}

int32_t CPlatformFile::Write(const void* buffer, uint64_t size)
{
    if (m_fd < 0) return EBADF;
    uint64_t total = 0;
    while (total < size)
    {
        const size_t chunk = size_t(std::min<uint64_t>(size - total, uint64_t(1) << 30));
        const ssize_t n = write(m_fd, static_cast<const char*>(buffer) + total, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;
        total += uint64_t(n);
    }
    return 0;
}

int32_t CPlatformFile::Seek(int64_t offset, PlatformSeekFrom from, int64_t* position)
{
    if (m_fd < 0) return EBADF;
    const int whence = from == PlatformSeekFrom::Begin ? SEEK_SET
                       : from == PlatformSeekFrom::End ? SEEK_END
                                                       : SEEK_CUR;
    const off_t pos = lseek(m_fd, off_t(offset), whence);
    if (pos < 0) return errno;
    if (position) *position = int64_t(pos);
    return 0;
}

int32_t CPlatformFile::GetSize(int64_t& size) const
{
    size = -1;
    struct stat s;
    if (m_fd < 0) return EBADF;
    if (fstat(m_fd, &s) != 0) return errno;
    size = int64_t(s.st_size);
    return 0;
}

int32_t CPlatformFile::GetStat(CPlatformStat& st) const
{
    if (m_fd < 0) return EBADF;
    return StatAt(m_fd, "", AT_EMPTY_PATH, st);
}

int32_t CPlatformFile::Close()
{
    m_openedSize = -1;
    if (m_fd < 0) return 0;
    const int fd = m_fd;
    m_fd = -1;
    // Linux releases the descriptor even when close reports EINTR, so it is never retried.
    return close(fd) == 0 ? 0 : errno;
}

int32_t PlatformCreateTempFile(const std::string& destination, CPlatformFile& file, std::string& path)
{
    file.Close();
    const int fd = PlatformOpenTemporary(destination, 0600, path);
    if (fd < 0) return errno;
    file.m_fd = fd;
    return 0;
}

int32_t PlatformRename(const std::string& from, const std::string& to, bool replace)
{
    if (replace) return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
    // File systems without the atomic variant: check first, then rename.
    struct stat s;
    if (lstat(to.c_str(), &s) == 0) return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int32_t PlatformUnlink(const std::string& path)
{
    return unlink(path.c_str()) == 0 ? 0 : errno;
}

int32_t PlatformMakeFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
}

uint32_t PlatformUserId()
{
    return uint32_t(geteuid());
}

int32_t PlatformMakePrivateFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) == 0) return 0;
    if (errno != EEXIST) return errno;
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno; // ENOTDIR or ELOOP for a link or a file in its place
    struct stat s;
    int32_t err = fstat(fd, &s) != 0 ? errno : 0;
    if (err == 0 && s.st_uid != geteuid()) err = EACCES;
    if (err == 0 && (s.st_mode & 077) != 0 && fchmod(fd, 0700) != 0) err = errno;
    close(fd);
    return err;
}

int32_t PlatformMakeFolderTree(const std::string& path, std::string& failed)
{
    const std::string folder = RemoveTrailingSeparator(path);
    if (folder.empty()) return 0;
    CPlatformStat st;
    if (PlatformStat(folder, st) == 0)
    {
        if (st.isDirectory) return 0;
        failed = folder;
        return ENOTDIR;
    }
    const std::string parent = GetPathFolder(folder);
    if (!parent.empty() && parent != folder)
    {
        if (const int32_t err = PlatformMakeFolderTree(parent, failed)) return err;
    }
    const int32_t err = PlatformMakeFolder(folder);
    // Another process may have made it meanwhile.
    if (err == 0 || (PlatformStat(folder, st) == 0 && st.isDirectory)) return 0;
    failed = folder;
    return err;
}

int32_t PlatformRemoveFolder(const std::string& path)
{
    return rmdir(path.c_str()) == 0 ? 0 : errno;
}

int32_t PlatformCopyFile(const std::string& source, const std::string& destination, bool overwrite)
{
    CPlatformStat src, dst;
    if (const int32_t err = PlatformStat(source, src)) return err;
    if (src.isDirectory) return EISDIR;
    if (!src.isRegular) return EINVAL;
    if (PlatformStat(destination, dst) == 0)
    {
        // Copying a file onto itself would truncate it before reading it.
        if (dst.device == src.device && dst.inode == src.inode) return EINVAL;
        if (dst.isDirectory) return EISDIR;
        if (!overwrite) return EEXIST;
    }
    CPlatformFile in, out;
    if (const int32_t err = in.Open(source, PlatformOpenMode::Read, true)) return err;
    std::string temp;
    if (const int32_t err = PlatformCreateTempFile(destination, out, temp)) return err;
    int32_t err = CopyContent(in.Descriptor(), out.Descriptor());
    if (!err && fchmod(out.Descriptor(), src.mode & 07777) != 0) err = errno;
    if (!err)
    {
        struct timespec ts[2];
        ts[0].tv_sec = time_t(src.accessNs / 1000000000LL);
        ts[0].tv_nsec = long(src.accessNs % 1000000000LL);
        ts[1].tv_sec = time_t(src.writeNs / 1000000000LL);
        ts[1].tv_nsec = long(src.writeNs % 1000000000LL);
        futimens(out.Descriptor(), ts); // the times are a courtesy; the copy stands without them
    }
    const int32_t closeErr = out.Close();
    if (!err) err = closeErr;
    if (!err) err = PlatformRename(temp, destination, overwrite);
    if (err) unlink(temp.c_str());
    return err;
}

int32_t PlatformFindFiles(const std::string& mask, std::vector<CPlatformDirEntry>& entries)
{
    entries.clear();
    const size_t slash = mask.rfind(PathSeparator);
    const std::string pattern = slash == std::string::npos ? mask : mask.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? std::string(1, '.')
                               : slash == 0               ? std::string(1, PathSeparator)
                                                          : mask.substr(0, slash);
    if (pattern.empty()) return ENOENT;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return errno;
    const CWildcardMask wanted(pattern);
    std::vector<std::string> names;
    // A failing folder keeps what was read listed.
    ReadNames(
        dir, [&wanted](std::string_view name) { return wanted.Matches(name); }, names);
    SortAsWindowsLists(names);
    DescribeEntries(dirfd(dir), names, entries);
    closedir(dir);
    return 0;
}

int32_t PlatformListNames(const std::string& folder, std::vector<std::string>& names)
{
    names.clear();
    DIR* dir = opendir(folder.c_str());
    if (!dir) return errno;
    const int32_t err = ReadNames(
        dir, [](std::string_view) { return true; }, names);
    closedir(dir);
    return err;
}

int32_t PlatformDescribeEntry(const std::string& path, CPlatformDirEntry& entry)
{
    const size_t slash = path.rfind(PathSeparator);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return ENOENT;
    // One status call on the whole path: it is run once per written file.
    entry = CPlatformDirEntry();
    return DescribeEntry(AT_FDCWD, path.c_str(), name, entry) ? 0 : ENOENT;
}

std::string PlatformTempFolder()
{
    std::string folder;
    if (!PlatformGetEnv("TMPDIR", folder) || folder.empty()) folder = "/tmp";
    if (folder.back() != PathSeparator) folder += PathSeparator;
    return folder;
}

std::string PlatformWindowsFolder()
{
    return "/";
}

std::string PlatformSystemFolder()
{
    return "/usr";
}

std::string PlatformProgramPath()
{
    std::string buffer(PATH_MAX, '\0');
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || size_t(n) >= buffer.size()) return std::string();
    buffer.resize(size_t(n));
    return buffer;
}

std::string PlatformCurrentFolder()
{
    std::string buffer(PATH_MAX, '\0');
    if (!getcwd(buffer.data(), buffer.size())) return std::string();
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

bool PlatformGetEnv(const char* name, std::string& value)
{
    const char* v = std::getenv(name);
    if (!v) return false;
    value = v;
    return true;
}

int64_t PlatformPhysicalMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long size = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || size <= 0) return 0;
    return int64_t(pages) * int64_t(size);
}

std::string PlatformErrorText(int32_t err)
{
    char buffer[256] = {};
    // The GNU strerror_r returns its text, which need not be the buffer.
    return strerror_r(err, buffer, sizeof buffer);
}

CStatus PlatformErrorStatus(int32_t err, const std::string& path)
{
    return CStatus(err, path, PlatformErrorText(err));
}

} // namespace vKit
