// libFuzzer target: the BMP slice reader on arbitrary bytes, then the copy of its rows into an
// image as a slice load does it, then a rebuild of the file from that image, which the copy of
// the file's rows straight to a BMP must match byte for byte.

#include "Base/formats/BMPFile.h"
#include "Base/image/ImageBuffer16.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vKit::CBMPFile bmp;
    if (!bmp.ParseBmp(data, size)) return 0;
    vKit::CImageBuffer16 image;
    if (!bmp.ToImage(image)) return 0;
    // The stages that act on samples and description, chosen by the input's length.
    vKit::SBmpStages stages;
    stages.invertSamples = (size & 1) != 0;
    stages.defaultResolution = stages.dropPrivateBlock = (size & 2) != 0;
    for (int64_t i = 0; i < image.PixelCount() && stages.invertSamples; ++i)
        image.GetData()[i] = uint16_t(~image.GetData()[i]);
    image.Info().SetDefaultResolution(stages.defaultResolution);
    if (stages.dropPrivateBlock) image.Info().SetPrivateBlock(nullptr, 0);
    vKit::CBMPFile rebuilt, copied;
    if (!rebuilt.FromImage(image) || !rebuilt.ParseBmp())
        __builtin_trap(); // a file we build from an accepted one must be accepted again
    if (!copied.FromBmp(bmp, stages) || copied.GetFileSize() != rebuilt.GetFileSize() ||
        std::memcmp(copied.GetFileData(), rebuilt.GetFileData(), copied.GetFileSize()) != 0)
        __builtin_trap();
    return 0;
}
