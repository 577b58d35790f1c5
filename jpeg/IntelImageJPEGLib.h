#pragma once
// The JPEG codec behind the slice files: an IJL-shaped calling interface (a properties record
// and four calls returning 0 on success) implemented over libjpeg-turbo. Grey rows only on the
// picture side: 1- and 3-channel streams decode to 8-bit grey, 8-bit grey encodes to a JFIF file.

#include <cstddef>
#include <cstdint>

// What JpegRead and JpegWrite do; the JFILE modes use JPGFile, the JBUFF modes JPGBytes.
enum IJLIOTYPE
{
    IJL_JFILE_READPARAMS = 0,
    IJL_JBUFF_READPARAMS = 1,
    IJL_JFILE_READWHOLEIMAGE = 2,
    IJL_JBUFF_READWHOLEIMAGE = 3,
    IJL_JFILE_WRITEWHOLEIMAGE = 8,
    IJL_JBUFF_WRITEWHOLEIMAGE = 9,
};

enum IJL_COLOR
{
    IJL_RGB = 1,
    IJL_BGR = 2,
    IJL_YCBCR = 3,
    IJL_G = 4,
    IJL_OTHER = 255,
};

enum IJL_JPGSUBSAMPLING
{
    IJL_NONE = 0,
    IJL_411 = 1,
    IJL_422 = 2,
};

// Results of the four calls. Callers test for 0 only; the others say why, for tests and traces.
enum IJLERR
{
    IJL_OK = 0,
    IJL_INVALID_PARAM = -1, // record not initialised, unknown mode, DIB fields that do not fit
    IJL_FILE_ERROR = -2,    // the file could not be opened, read or written
    IJL_DECODE_ERROR = -3,  // libjpeg refused the stream, or its data ended early
    IJL_ENCODE_ERROR = -4,  // libjpeg failed while encoding
    IJL_UNSUPPORTED = -5,   // precision other than 8 bits, colour spaces without a grey conversion
    IJL_TOO_LARGE = -6,     // dimensions beyond the limits below, or too many progressive scans
    IJL_MEMORY_ERROR = -7,  // an allocation failed
};

// Limits for hostile streams, checked after the header and before any large allocation.
constexpr int kJpegMaxDimension = 65500;        // the format's own ceiling
constexpr uint64_t kJpegMaxPixels = 1ull << 28; // 256 Mpixel, e.g. 16384 x 16384
// A complete Huffman-coded scan spends at least one bit per 8x8 block of its largest component,
// so such a stream carries at most 512 pixels per byte. Arithmetic coding has no such floor:
// a short arithmetic stream closed by its end marker decodes, legally and without a warning, as
// a picture of zeros. So beyond this many pixels a stream may not declare more than 1024 per
// byte; only flat arithmetic-coded pictures larger than 512 x 512 are refused by it.
constexpr uint64_t kJpegFreePixels = 1ull << 18;
constexpr uint64_t kJpegPixelsPerByte = 1024;
constexpr int kJpegMaxScans = 256;

struct JPEG_CORE_PROPERTIES
{
    // The picture in memory: DIBHeight rows of DIBWidth samples, each followed by DIBPadBytes
    // bytes. A negative DIBHeight means the first row in DIBBytes is the bottom row.
    uint8_t* DIBBytes;
    int32_t DIBWidth;
    int32_t DIBHeight;
    int32_t DIBPadBytes;
    int32_t DIBChannels;
    int32_t DIBColor;

    // The stream. JPGBytes/JPGSizeBytes: the input of the JBUFF read modes; after a JBUFF write,
    // the encoded stream, owned by the codec until the next write or JpegFree.
    const char* JPGFile;
    const uint8_t* JPGBytes;
    size_t JPGSizeBytes;
    int32_t JPGWidth;
    int32_t JPGHeight;
    int32_t JPGChannels;
    int32_t JPGColor;
    int32_t JPGSubsampling;
    int32_t jquality; // 0..100 is used as given; any other value keeps libjpeg's default (75)

    void* pCodecState; // set by JpegInit, released by JpegFree
};

class CIntelImageJPEGLib
{
public:
    virtual ~CIntelImageJPEGLib() = default;

    // Fills the defaults (1-channel grey both sides, quality 75) and creates the codec state.
    virtual int JpegInit(JPEG_CORE_PROPERTIES* props);
    // Releases the codec state and any stream it owns; safe after a failed or missing init.
    virtual int JpegFree(JPEG_CORE_PROPERTIES* props);
    virtual int JpegRead(JPEG_CORE_PROPERTIES* props, int mode);
    virtual int JpegWrite(JPEG_CORE_PROPERTIES* props, int mode);

    // libjpeg's text for the last failure of this record ("" when none), for diagnostics.
    static const char* LastMessage(const JPEG_CORE_PROPERTIES* props);
};
