// libFuzzer target: the BMP slice reader on arbitrary bytes, then the copy of its rows into an
// image as a slice load does it, then a rebuild of the file from that image.

#include "Base/formats/BMPFile.h"
#include "Base/image/ImageBuffer16.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vKit::CBMPFile bmp;
    if (!bmp.ParseBmp(data, size)) return 0;
    vKit::CImageBuffer16 image;
    if (!bmp.ToImage(image)) return 0;
    vKit::CBMPFile rebuilt;
    if (!rebuilt.FromImage(image) || !rebuilt.ParseBmp())
        __builtin_trap(); // a file we build from an accepted one must be accepted again
    return 0;
}
