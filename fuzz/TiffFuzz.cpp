// libFuzzer target: the TIFF reader on arbitrary bytes; whatever it accepts is written again
// and must read back to the same size and samples.

#include "Base/formats/TiffFile.h"
#include "Base/image/ImageBuffer16.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vKit::CTiffFile tiff;
    vKit::CImageBuffer16 image;
    if (!tiff.ReadTiff(data, size, image))
    {
        if (tiff.Messages().size() != 1) __builtin_trap(); // every refusal says why, once
        return 0;
    }
    if (image.IsEmpty()) return 0;
    vKit::CAlignedBlock file;
    if (!tiff.WriteTiff(file, image.GetData(), image.GetWidth(), image.GetHeight(), image.Info())) return 0;
    vKit::CImageBuffer16 back;
    if (!tiff.ReadTiff(file.Data(), file.Size(), back) || back.GetSize() != image.GetSize() ||
        std::memcmp(back.GetData(), image.GetData(), size_t(image.ByteCount())) != 0)
        __builtin_trap();
    return 0;
}
