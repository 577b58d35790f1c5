#pragma once
// Whole-file access for the settings files (hives, profile files, the GUID sequence file): read
// as text, replaced atomically, and a stamp that tells whether a file changed since it was read.

#include <cstdint>
#include <string>

namespace vKit
{

// Identity of a file's content as far as its status tells: equal stamps mean nobody replaced or
// rewrote the file in between.
struct CFileStamp
{
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t writeNs = 0;

    bool operator==(const CFileStamp&) const = default;
};

CFileStamp GetFileStamp(const std::string& path);

// Reads the whole file into text: 0 or an errno value (ENOENT for a missing file).
int32_t ReadTextFile(const std::string& path, std::string& text);

// Writes the bytes under a temporary name in the file's folder (which must exist), flushes
// them to disk and renames the file into place: readers see the old or the new content, never a
// part of it. Returns 0 or an errno value; on failure the old file is untouched.
int32_t ReplaceFileAtomically(const std::string& path, const void* data, size_t size);

} // namespace vKit
