#pragma once
// The operating-system layer for files and folders. Every call into the OS for these services
// lives behind this header, so the rest of the library reads like the Windows design it follows.
// Error codes are errno values, 0 = success; nothing here throws.

#include "Base/core/Status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vKit
{

// Attribute bits with the values of the Windows file attributes, derived from the file mode:
// read-only = no write permission for the owner, hidden = name starting with ".".
constexpr uint32_t kAttrReadOnly = 0x1;
constexpr uint32_t kAttrHidden = 0x2;
constexpr uint32_t kAttrSystem = 0x4;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kAttrTemporary = 0x100;
constexpr uint32_t kAttrReparsePoint = 0x400;

// FILETIME values: 100 ns units since 1601-01-01 UTC.
uint64_t UnixNsToFileTime(int64_t unixNs);
int64_t FileTimeToUnixNs(uint64_t fileTime);

// The directory record of a scan, shaped like the Windows find record.
struct CFindData
{
    uint32_t dwFileAttributes = 0;
    uint64_t ftCreationTime = 0;
    uint64_t ftLastAccessTime = 0;
    uint64_t ftLastWriteTime = 0;
    uint32_t nFileSizeHigh = 0;
    uint32_t nFileSizeLow = 0;
    uint32_t dwReserved0 = 0;
    uint32_t dwReserved1 = 0;
    char cFileName[260] = {};
    char cAlternateFileName[14] = {};
};

struct CPlatformStat
{
    bool isDirectory = false;
    bool isRegular = false;
    bool isLink = false; // only from PlatformLinkStat
    uint32_t mode = 0;   // st_mode
    uint64_t size = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t accessNs = 0; // nanoseconds since 1970-01-01 UTC
    int64_t writeNs = 0;
    int64_t changeNs = 0;
    int64_t birthNs = 0; // the status change time when the file system keeps no birth time
};

int32_t PlatformStat(const std::string& path, CPlatformStat& st);     // follows links
int32_t PlatformLinkStat(const std::string& path, CPlatformStat& st); // describes a link itself

// Windows-shaped attributes of a path (links followed); the name decides "hidden".
int32_t PlatformGetAttributes(const std::string& path, uint32_t& attributes);
// Only kAttrReadOnly has a meaning here: set removes every write permission, clear gives the owner
// write permission back. Never changes the target through a symbolic link.
int32_t PlatformSetAttributes(const std::string& path, uint32_t attributes);

// Sets last access and last write time (FILETIME values, links followed); the creation time
// cannot be set on Linux. A value of 0 leaves that time as it is.
int32_t PlatformSetFileTimes(const std::string& path, uint64_t lastAccess, uint64_t lastWrite);

enum class PlatformOpenMode
{
    Read,          // existing file, read only
    WriteExisting, // existing file, write only, content kept
    ReadWrite,     // existing file, read and write
    CreateAlways,  // create or truncate, write only
    CreateNew,     // create, fails with EEXIST when the file exists
    // Appends to a file of the user's own, or creates it private (0600); never through a
    // symbolic link and never truncating: for files in folders that others may write to.
    AppendPrivate,
};

enum class PlatformSeekFrom
{
    Begin,
    Current,
    End,
};

// An open file; closed by its destructor. Folders never open (EISDIR), so an open handle is always
// a file. Read and Write loop until the whole size is transferred (Read stops early at end of file).
class CPlatformFile
{
public:
    CPlatformFile() = default;
    ~CPlatformFile();
    CPlatformFile(const CPlatformFile&) = delete;
    CPlatformFile& operator=(const CPlatformFile&) = delete;
    CPlatformFile(CPlatformFile&& other) noexcept;
    CPlatformFile& operator=(CPlatformFile&& other) noexcept;

    int32_t Open(const std::string& path, PlatformOpenMode mode, bool sequential = false);
    int32_t Read(void* buffer, uint64_t size, uint64_t* done = nullptr);
    int32_t Write(const void* buffer, uint64_t size);
    int32_t Seek(int64_t offset, PlatformSeekFrom from, int64_t* position = nullptr);
    int32_t GetSize(int64_t& size) const;
    // The size the open found, without asking again: for a file read whole right after opening.
    int64_t GetOpenedSize() const { return m_openedSize; }
    int32_t GetStat(CPlatformStat& st) const;
    int32_t Close(); // the close's own error; 0 when the file was not open
    bool IsOpen() const { return m_fd >= 0; }
    int Descriptor() const { return m_fd; }

private:
    friend int32_t PlatformCreateTempFile(const std::string& destination, CPlatformFile& file,
                                          std::string& path);
    int32_t OpenPrivateForAppend(const std::string& path, int flags);
    int m_fd = -1;
    int64_t m_openedSize = -1;
};

// Creates a new file at a temporary name beside destination (PlatformTemporaryName, mode 0600) and
// opens it for writing: the way to write a file completely before renaming it into place.
int32_t PlatformCreateTempFile(const std::string& destination, CPlatformFile& file, std::string& path);

// Without replace the rename fails with EEXIST when the destination exists.
int32_t PlatformRename(const std::string& from, const std::string& to, bool replace);
int32_t PlatformUnlink(const std::string& path); // files and symbolic links, never folders
int32_t PlatformMakeFolder(const std::string& path);
// A folder only the user may enter (0700): created so, or an existing folder of the user's own
// (not a link) whose group and other permissions are taken away. EACCES for anyone else's folder,
// ENOTDIR (or ELOOP) for a link or a file in its place.
int32_t PlatformMakePrivateFolder(const std::string& path);
// The effective user's number, to name folders of the user's own in shared places.
uint32_t PlatformUserId();
// Creates every missing level of the path: 0, or the errno value of the level that failed,
// named in failed.
int32_t PlatformMakeFolderTree(const std::string& path, std::string& failed);
int32_t PlatformRemoveFolder(const std::string& path); // empty folders only

// Copies content, permissions and file times. Refuses a source that is no file, a destination that
// is the source itself (EINVAL), an existing destination without overwrite (EEXIST). The copy is
// written under a temporary name beside the destination and renamed into place when complete.
int32_t PlatformCopyFile(const std::string& source, const std::string& destination, bool overwrite);

// One entry of a folder scan.
struct CPlatformDirEntry
{
    std::string name;
    CFindData data;           // of the target for a link to a file, of the entry otherwise
    bool isFile = false;      // a regular file, also through a symbolic link
    bool isDirectory = false; // a real folder; a link to a folder is not one
    bool isLink = false;
    uint64_t device = 0; // of the file data describes, so that a list can know its files without
    uint64_t inode = 0;  // a status call of its own
};

// Lists the entries of the folder of mask (text before its last separator; the current folder when
// there is none) whose names match the wildcard part, "." and ".." excluded, ordered by name as
// Windows lists them (upper-cased ASCII, byte order). Links to folders get kAttrDirectory |
// kAttrReparsePoint and dangling links kAttrReparsePoint, so that nobody descends into them.
// 0 with possibly no entries, or the error of opening the folder.
int32_t PlatformFindFiles(const std::string& mask, std::vector<CPlatformDirEntry>& entries);
// The names in folder, "." and ".." excluded, in no particular order and with no status call;
// 0 or the error of opening or reading the folder.
int32_t PlatformListNames(const std::string& folder, std::vector<std::string>& names);

// The one entry at path, described as a folder scan describes it (name = the last path piece),
// without reading the folder: 0, or the error of finding it.
int32_t PlatformDescribeEntry(const std::string& path, CPlatformDirEntry& entry);

// Well-known folders.
std::string PlatformTempFolder();    // $TMPDIR or /tmp, with a trailing separator
std::string PlatformWindowsFolder(); // "/"
std::string PlatformSystemFolder();  // "/usr"
std::string PlatformProgramPath();   // the running executable, "" when it cannot be read
std::string PlatformCurrentFolder();

// False when the variable is not set.
bool PlatformGetEnv(const char* name, std::string& value);

// Bytes of physical memory; 0 when the system does not tell.
int64_t PlatformPhysicalMemory();
// The system's text for an errno value ("Permission denied"), safe on any thread.
std::string PlatformErrorText(int32_t err);
// A status for an errno value about the path, the system's text as its reason.
CStatus PlatformErrorStatus(int32_t err, const std::string& path);

} // namespace vKit
