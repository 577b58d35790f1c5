// libFuzzer target: the JPEG slice decoder (codec and JFIF header) on arbitrary bytes; small
// pictures it accepts are encoded again and must decode to the same size.

#include "Base/formats/JpgFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vKit::CJpgFile jpg;
    if (!jpg.DecodeJpeg(data, size)) return 0;
    const vKit::CImageBuffer16& image = jpg.Image();
    if (image.PixelCount() > 256 * 256) return 0;
    std::vector<uint8_t> stream;
    vKit::CJpgFile again;
    if (!jpg.EncodeJpeg(image, stream) || !again.DecodeJpeg(stream.data(), stream.size()) ||
        again.Image().GetSize() != image.GetSize())
        __builtin_trap();
    return 0;
}
