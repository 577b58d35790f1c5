#include "Base/files/StoreFile.h"

#include "Base/platform/Platform.h"
#include "Base/platform/PlatformAtomicWrite.h"

#include <cerrno>

namespace vKit
{

CFileStamp GetFileStamp(const std::string& path)
{
    CFileStamp stamp;
    CPlatformStat st;
    if (PlatformStat(path, st) != 0) return stamp;
    stamp.exists = true;
    stamp.device = st.device;
    stamp.inode = st.inode;
    stamp.size = st.size;
    stamp.writeNs = st.writeNs;
    return stamp;
}

int32_t ReadTextFile(const std::string& path, std::string& text)
{
    text.clear();
    CPlatformFile file;
    int32_t err = file.Open(path, PlatformOpenMode::Read, true);
    int64_t size = 0;
    if (err == 0) err = file.GetSize(size);
    if (err != 0) return err;
    // The size is a hint only: a file that grows while it is read is read to its end.
    text.resize(static_cast<size_t>(size) + 1);
    uint64_t total = 0;
    for (;;)
    {
        uint64_t done = 0;
        err = file.Read(text.data() + total, text.size() - total, &done);
        total += done;
        if (err != 0 || total < text.size()) break;
        text.resize(text.size() * 2);
    }
    text.resize(err == 0 ? static_cast<size_t>(total) : 0);
    return err;
}

int32_t ReplaceFileAtomically(const std::string& path, const void* data, size_t size)
{
    // Settings are private to the user and must survive a power cut.
    return PlatformWriteFileAtomically(path, data, size, true, 0600);
}

} // namespace vKit
