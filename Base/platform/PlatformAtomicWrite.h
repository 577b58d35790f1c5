#pragma once
// Whole-file writes that never leave a partial file under the real name.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vKit
{

// Writes the bytes to a new hidden file beside path (PlatformTemporaryName, permissions mode less
// the umask) and renames it onto path once it is complete. A file already at path is replaced in
// one step; on failure it is left as it was and the temporary file is removed. Without sync a
// killed process leaves the old file or the new one; with sync the bytes also reach the disk
// before the rename, for settings that must survive a power cut. Returns 0 or an errno value.
int32_t PlatformWriteFileAtomically(const std::string& path, const void* data, size_t size, bool sync = false,
                                    uint32_t mode = 0666);

// Writes the bytes straight to path as a new file (whatever was at the name is removed first), for
// a caller that writes under a temporary name of its own and renames it into place itself. On
// failure the partial file is removed. Returns 0 or an errno value.
int32_t PlatformWriteFile(const std::string& path, const void* data, size_t size);

// A file's bytes in pieces, written one after the other: a header, samples kept where they are,
// a trailer.
struct CWritePiece
{
    const void* data;
    size_t size;
};
int32_t PlatformWriteFileAtomically(const std::string& path, const CWritePiece* pieces, size_t count,
                                    bool sync = false, uint32_t mode = 0666);
int32_t PlatformWriteFile(const std::string& path, const CWritePiece* pieces, size_t count);

} // namespace vKit
