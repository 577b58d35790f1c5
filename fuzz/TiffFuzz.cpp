// libFuzzer target: the TIFF slice reader on arbitrary bytes, our own reader or libtiff as the
// layout asks; whatever it accepts is written in our layout and must read back to the same
// size and samples.

#include "Base/formats/TiffFile.h"
#include "Base/formats/TiffLibReader.h"
#include "Base/image/ImageBuffer16.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vKit::CImageBuffer16 image;
    vKit::STiffRead outcome;
    if (!vKit::ReadTiffSlice(data, size, image, outcome))
    {
        if (outcome.message.empty()) __builtin_trap(); // every refusal says why
        return 0;
    }
    if (image.IsEmpty()) return 0;
    vKit::CTiffFile tiff;
    vKit::CAlignedBlock file;
    if (!tiff.WriteTiff(file, image.GetData(), image.GetWidth(), image.GetHeight(), image.Info())) return 0;
    vKit::CImageBuffer16 back;
    if (!tiff.ReadTiff(file.Data(), file.Size(), back) || back.GetSize() != image.GetSize() ||
        std::memcmp(back.GetData(), image.GetData(), size_t(image.ByteCount())) != 0)
        __builtin_trap();
    return 0;
}
