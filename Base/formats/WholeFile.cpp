#include "Base/formats/WholeFile.h"

#include "Base/image/ImageBuffer16.h"
#include "Base/platform/Platform.h"

#include <cerrno>

namespace vKit
{

int32_t ReadWholeFile(const std::string& path, CAlignedBlock& data, size_t& size, uint64_t limit)
{
    size = 0;
    CPlatformFile file;
    int32_t err = file.Open(path, PlatformOpenMode::Read, true);
    if (err != 0) return err;
    const int64_t length = file.GetOpenedSize();
    if (length < 0 || uint64_t(length) > limit || uint64_t(length) >= SIZE_MAX) return EFBIG;
    if (!data.Allocate(size_t(length) + 1, 32)) return ENOMEM;
    uint64_t done = 0;
    err = file.Read(data.Data(), uint64_t(length), &done);
    if (err == 0 && done != uint64_t(length)) err = EIO;
    size = size_t(done);
    return err;
}

} // namespace vKit
