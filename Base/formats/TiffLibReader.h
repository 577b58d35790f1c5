#pragma once
// TIFF slices that other programs write, read through libtiff from the bytes in memory: either
// byte order, any compression libtiff decodes, strips or tiles, either fill order, one grey
// sample of 8 or 16 bits. Files of our own layout go to CTiffFile, whose behaviour and
// messages they keep; ReadTiffSlice chooses.

#include "Base/core/Status.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vKit
{

class CImageBuffer16;

// What a read found beside the image, or why it refused the file.
struct STiffRead
{
    // What kind of refusal, as a status code: Unsupported (a sound file of a kind that does not
    // load), Corrupt (contradicts itself or ends early) or TooLarge (beyond the file or the limit,
    // memory included); Ok after success.
    int32_t code = CStatus::Ok;
    std::string message;        // the reader's message on failure ("" after success)
    std::string reason;         // on failure, what exactly was wrong
    int32_t pages = 1;          // directories in the file; the first one is loaded
    bool signedSamples = false; // signed samples, held offset by half their range
};

// Largest image a TIFF may claim (16384 x 16384): beyond it, or beyond what its compression
// can expand the file to, a file is refused before anything is allocated.
constexpr uint64_t MaxTiffPixels = uint64_t(1) << 28;

// The first page of a TIFF into 16-bit grey: 16-bit samples as they are, 8-bit ones as v * 256,
// signed samples offset by half the range (-32768 -> 0, 0 -> 32768), MinIsWhite complemented
// so that higher is brighter. libtiff's errors become the reason; nothing goes to stderr.
bool ReadTiffWithLibtiff(const uint8_t* data, size_t size, CImageBuffer16& image, STiffRead& out);

// Our own reader for files of our layout (little-endian, uncompressed grey strips, one page),
// libtiff for every other TIFF. True on success.
bool ReadTiffSlice(const uint8_t* data, size_t size, CImageBuffer16& image, STiffRead& out);

} // namespace vKit
