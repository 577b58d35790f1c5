#pragma once
// File utilities for the rest of the system: well-known folders, whole-file and positioned reads
// and writes, existence and size tests, wildcard counting and deletion, move, copy, folder trees.
// Error codes are errno values (0 = success); flags are true on success. Nothing throws.

#include <cstdint>
#include <string>

namespace vKit
{

std::string GetTempFolder();      // $TMPDIR or /tmp, with a trailing separator
std::string GetWindowsFolder();   // "/"
std::string GetSystemFolder();    // "/usr"
std::string GetProgramPath();     // full path of the running executable
std::string GetProgramFolder();   // its folder, no trailing separator
std::string GetProgramTempName(); // GetTempFolder() + the title of the program

// Creates or truncates the file and writes all size bytes. The temporary flag is a caching hint
// on Windows and has no effect here.
int32_t WriteWholeFile(const std::string& path, const void* buffer, int64_t size, bool temporary = false);

// Positioned transfers on an existing file; the offset counts from the end when fromEnd is set
// (a negative offset then reaches back into the file). ReadFileAt reads up to size bytes and stores
// how many it got in *done when given; reaching the end of the file early is no error.
int32_t WriteFileAt(const std::string& path, int64_t offset, bool fromEnd, const void* buffer, int64_t size);
int32_t ReadFileAt(const std::string& path, int64_t offset, bool fromEnd, void* buffer, int64_t size,
                   int64_t* done = nullptr);

// Size in bytes, -1 when the path is no file that opens for reading.
int64_t GetFileSize(const std::string& path);

// True when the path is a regular file (or a link to one) that opens for reading; a pipe or a
// device named like a file is none.
bool FileExists(const std::string& path);

// Number of entries, files and folders, whose names match the wildcard mask.
int32_t CountMatching(const std::string& mask);
// Deletes every matching entry that is no folder; false only for an empty mask.
bool DeleteMatching(const std::string& mask);

bool DeleteFile(const std::string& path);

// Moves without replacing; with replace, a destination file that exists is replaced in one step.
// A move of a file onto itself (same device and inode) fails and deletes nothing.
// Moves to another file system copy the file and delete the source.
bool MoveFile(const std::string& source, const std::string& destination, bool replace);

// Copies content, permissions and times. An existing destination is replaced only with overwrite,
// and never when it is the source itself.
bool CopyFile(const std::string& source, const std::string& destination, bool overwrite);

// Creates every missing level of the path; always true (failures show up when the folder is used).
bool CreateFolderTree(const std::string& path);

// Removes the folder with everything below it. A symbolic link, the path itself or one inside,
// is removed as a link: its target is never entered or changed. True when the folder is gone.
bool DeleteFolderTree(const std::string& path);

// 2 for the Windows or the system folder (nothing is touched); recursive: 0 when DeleteFolderTree
// succeeds, else 2; otherwise 0 or the error of removing the (empty) folder.
int32_t RemoveFolder(const std::string& path, bool recursive);

} // namespace vKit
