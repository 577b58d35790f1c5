#include "Base/formats/TiffLibReader.h"

#include "Base/formats/TiffFile.h"
#include "Base/image/ImageBuffer16.h"
#include "Base/image/ImageInfo.h"

#include <cerrno>
#include <tiffio.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace vKit
{

namespace
{

// ---- the file in memory, as libtiff's client procedures --------------------------------------

struct SMemoryFile
{
    const uint8_t* data;
    uint64_t size;
    uint64_t pos = 0;
};

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t wanted)
{
    auto* f = static_cast<SMemoryFile*>(handle);
    const uint64_t left = f->pos < f->size ? f->size - f->pos : 0;
    const uint64_t count = wanted > 0 ? std::min<uint64_t>(uint64_t(wanted), left) : 0;
    if (count > 0) std::memcpy(buffer, f->data + f->pos, count);
    f->pos += count;
    return tmsize_t(count);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t)
{
    return -1;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    auto* f = static_cast<SMemoryFile*>(handle);
    const uint64_t base = whence == SEEK_CUR ? f->pos : whence == SEEK_END ? f->size : 0;
    // Offsets from the current position or the end may be negative, in two's complement.
    const int64_t moved = int64_t(base) + int64_t(offset);
    if (whence != SEEK_SET && (moved < 0 || (int64_t(offset) > 0 && moved < int64_t(base))))
        return toff_t(-1);
    f->pos = whence == SEEK_SET ? offset : uint64_t(moved);
    return f->pos;
}

int CloseProc(thandle_t)
{
    return 0;
}

toff_t SizeProc(thandle_t handle)
{
    return static_cast<SMemoryFile*>(handle)->size;
}

// The bytes are already in memory: libtiff decodes straight from them.
int MapProc(thandle_t handle, void** base, toff_t* size)
{
    auto* f = static_cast<SMemoryFile*>(handle);
    *base = const_cast<uint8_t*>(f->data);
    *size = f->size;
    return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}

// ---- libtiff's messages ----------------------------------------------------------------------

// The first error of a read is its reason; warnings are dropped. Returning 1 keeps libtiff
// from passing the message on to its global handlers, which write to stderr.
int OnError(TIFF*, void* user, const char*, const char* format, va_list args)
{
    auto* reason = static_cast<std::string*>(user);
    if (!reason->empty()) return 1;
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    *reason = std::string("libtiff: ") + text;
    return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// Messages libtiff raises before a file has its own handlers would go to stderr.
void SilenceGlobalHandlers()
{
    static std::once_flag once;
    std::call_once(once,
                   []
                   {
                       TIFFSetErrorHandler(nullptr);
                       TIFFSetWarningHandler(nullptr);
                   });
}

struct STiffCloser
{
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffPtr = std::unique_ptr<TIFF, STiffCloser>;

struct SOptionsFree
{
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};

TiffPtr OpenInMemory(SMemoryFile& file, std::string& reason)
{
    SilenceGlobalHandlers();
    std::unique_ptr<TIFFOpenOptions, SOptionsFree> options(TIFFOpenOptionsAlloc());
    if (!options) return nullptr;
    // No buffer of libtiff's (directories, strip arrays, a raw strip it must copy to reverse
    // its bits) needs more than the largest image taken.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(2 * MaxTiffPixels));
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &reason);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, nullptr);
    return TiffPtr(TIFFClientOpenExt("TIFF", "r", &file, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                                     MapProc, UnmapProc, options.get()));
}

// ---- what the first directory holds ----------------------------------------------------------

struct SLayout
{
    uint32_t width = 0, height = 0;
    uint16_t bits = 1, samples = 1, format = SAMPLEFORMAT_UINT, photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t compression = COMPRESSION_NONE, unit = 0;
    float resolutionX = 0, resolutionY = 0;
    bool tiled = false;
    uint32_t tileWidth = 0, tileHeight = 0, rowsPerStrip = 0;
    uint64_t BytesPerSample() const { return bits / 8; }
};

SLayout ReadLayout(TIFF* tif)
{
    SLayout l;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &l.format);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &l.compression);
    TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &l.unit);
    TIFFGetField(tif, TIFFTAG_XRESOLUTION, &l.resolutionX);
    TIFFGetField(tif, TIFFTAG_YRESOLUTION, &l.resolutionY);
    l.tiled = TIFFIsTiled(tif) != 0;
    if (l.tiled)
    {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &l.tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &l.tileHeight);
    }
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &l.rowsPerStrip);
    l.rowsPerStrip = std::clamp<uint32_t>(l.rowsPerStrip, 1, std::max<uint32_t>(l.height, 1));
    return l;
}

// How many bytes a compression can at most make of one byte of the file. LZW's strings grow
// by one byte a code and restart every 4094 codes of at most 12 bits; Deflate's best is 258
// bytes from about 2 bits. Other codecs have no small bound: a blank slice of 16384 x 16384
// still needs some ten kilobytes of ZSTD or LZMA, and a JPEG more than a megabyte.
uint64_t MaxExpansion(uint16_t compression)
{
    switch (compression)
    {
    case COMPRESSION_NONE:
        return 1;
    case COMPRESSION_PACKBITS:
        return 64;
    case COMPRESSION_LZW:
        return 1400;
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
        return 1100;
    default:
        return 65536;
    }
}

std::string Number(uint64_t value)
{
    return std::to_string(value);
}

// Why the layout cannot load into one grey image ("" when it can), and the message that fits.
std::string Unsupported(const SLayout& l, const char*& message)
{
    message = CTiffFile::MsgBadTags;
    if (!TIFFIsCODECConfigured(l.compression))
    {
        message = CTiffFile::MsgCompression;
        return "compression " + Number(l.compression) + " is not supported";
    }
    if (l.photometric == PHOTOMETRIC_PALETTE) return "palette colour images are not supported";
    if (l.samples != 1) return Number(l.samples) + " samples per pixel, not one grey sample";
    if (l.photometric != PHOTOMETRIC_MINISBLACK && l.photometric != PHOTOMETRIC_MINISWHITE)
        return "photometric interpretation " + Number(l.photometric) + " is not grey";
    if (l.format == SAMPLEFORMAT_IEEEFP) return "floating-point samples are not supported";
    if (l.format != SAMPLEFORMAT_UINT && l.format != SAMPLEFORMAT_INT)
        return "sample format " + Number(l.format) + " is not supported";
    if (l.bits != 8 && l.bits != 16) return Number(l.bits) + " bits per sample, not 8 or 16";
    return "";
}

// Bytes that decoding will produce: whole strips, or whole tiles including their parts
// beyond the image.
uint64_t DecodedBytes(const SLayout& l)
{
    if (!l.tiled) return uint64_t(l.width) * l.height * l.BytesPerSample();
    const uint64_t across = (uint64_t(l.width) + l.tileWidth - 1) / l.tileWidth;
    const uint64_t down = (uint64_t(l.height) + l.tileHeight - 1) / l.tileHeight;
    return across * down * l.tileWidth * l.tileHeight * l.BytesPerSample();
}

// Sizes against the cap and against what the file can hold, before anything is allocated.
std::string Implausible(const SLayout& l, uint64_t fileSize)
{
    const std::string size = Number(l.width) + " x " + Number(l.height) + " pixels";
    if (l.width == 0 || l.height == 0) return "the image has no pixels";
    if (uint64_t(l.width) * l.height > MaxTiffPixels)
        return size + " are more than the limit of " + Number(MaxTiffPixels);
    // A tile may outgrow a small image, but not by more than a tile of a megapixel would.
    const uint64_t tilePixels = uint64_t(l.tileWidth) * l.tileHeight;
    if (l.tiled &&
        (tilePixels == 0 || tilePixels > std::max<uint64_t>(uint64_t(l.width) * l.height, 1 << 20)))
        return "the tile size " + Number(l.tileWidth) + " x " + Number(l.tileHeight) + " is not valid";
    if (DecodedBytes(l) > fileSize * MaxExpansion(l.compression))
        return size + " are more than the file can hold";
    return "";
}

// ---- samples ---------------------------------------------------------------------------------

// The file's samples, packed row after row at their own width, into the start of the image's
// memory; the conversion to 16 bits widens them in place afterwards.
bool ReadStrips(TIFF* tif, const SLayout& l, uint8_t* packed)
{
    const uint64_t rowBytes = uint64_t(l.width) * l.BytesPerSample();
    for (uint32_t row = 0; row < l.height; row += l.rowsPerStrip)
    {
        const uint64_t rows = std::min<uint64_t>(l.rowsPerStrip, l.height - row);
        const tmsize_t wanted = tmsize_t(rows * rowBytes);
        if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, row, 0), packed + row * rowBytes, wanted) !=
            wanted)
            return false;
    }
    return true;
}

bool ReadTiles(TIFF* tif, const SLayout& l, uint8_t* packed)
{
    const uint64_t bytes = l.BytesPerSample();
    const uint64_t tileRowBytes = uint64_t(l.tileWidth) * bytes;
    const tmsize_t tileBytes = tmsize_t(tileRowBytes * l.tileHeight);
    std::vector<uint8_t> tile(static_cast<size_t>(tileBytes));
    for (uint32_t y = 0; y < l.height; y += l.tileHeight)
        for (uint32_t x = 0; x < l.width; x += l.tileWidth)
        {
            if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, x, y, 0, 0), tile.data(), tileBytes) !=
                tileBytes)
                return false;
            const uint64_t rows = std::min<uint64_t>(l.tileHeight, l.height - y);
            const uint64_t copied = std::min<uint64_t>(l.tileWidth, l.width - x) * bytes;
            for (uint64_t r = 0; r < rows; ++r)
                std::memcpy(packed + ((y + r) * l.width + x) * bytes, tile.data() + r * tileRowBytes, copied);
        }
    return true;
}

// Packed file samples to 16-bit grey, in place: 16-bit samples (already in host order) and
// 8-bit ones as v * 256; flip turns signed into offset values and MinIsWhite into MinIsBlack.
void WidenInPlace(CImageBuffer16& image, uint16_t bits, uint16_t flip)
{
    uint16_t* samples = image.GetData();
    const uint64_t count = uint64_t(image.GetWidth()) * uint64_t(image.GetHeight());
    if (bits == 16)
    {
        for (uint64_t i = 0; i < count; ++i)
            samples[i] ^= flip;
        return;
    }
    // Backwards, so that no byte is overwritten before it is read.
    const auto* bytes = reinterpret_cast<const uint8_t*>(samples);
    const uint8_t flip8 = uint8_t(flip >> 8);
    for (uint64_t i = count; i-- > 0;)
        samples[i] = uint16_t((bytes[i] ^ flip8) << 8);
}

CImageInfo Description(const SLayout& l)
{
    CImageInfo info;
    info.Reset();
    info.SetWidth(int32_t(l.width));
    info.SetHeight(int32_t(l.height));
    info.SetBitsPerPixel(l.bits);
    info.SetSignificantBits(l.bits == 8 ? 8 : 16);
    info.SetGreyCeiling(l.bits == 8 ? 0xFF00 : 0xFFFF);
    info.SetClampMode(1);
    info.ColorTable().SetGreyRamp(256);
    info.AltColorTable().SetGreyRamp(256);
    info.SetImageBytes(
        int32_t(std::min<uint64_t>(uint64_t(l.width) * l.height * l.BytesPerSample(), INT32_MAX)));
    info.SetResolutionX(CTiffFile::PixelsPerMetre(l.resolutionX, l.unit));
    info.SetResolutionY(CTiffFile::PixelsPerMetre(l.resolutionY, l.unit));
    return info;
}

bool Refuse(STiffRead& out, int32_t code, const char* message, const std::string& reason)
{
    out.code = code;
    out.message = message;
    out.reason = reason;
    return false;
}

bool ReadFirstPage(TIFF* tif, uint64_t fileSize, CImageBuffer16& image, STiffRead& out)
{
    const SLayout l = ReadLayout(tif);
    const char* message = nullptr;
    if (std::string why = Unsupported(l, message); !why.empty())
        return Refuse(out, CStatus::Unsupported, message, why);
    if (std::string why = Implausible(l, fileSize); !why.empty())
        return Refuse(out, CStatus::TooLarge, CTiffFile::MsgBadTags, why);
    if (uint64_t(TIFFScanlineSize64(tif)) != uint64_t(l.width) * l.BytesPerSample())
        return Refuse(out, CStatus::Corrupt, CTiffFile::MsgBadTags,
                      "the row size is not that of one grey sample");
    if (!image.Create(int32_t(l.width), int32_t(l.height)))
        return Refuse(out, CStatus::TooLarge, CTiffFile::MsgNoMemory,
                      "the image memory could not be allocated");
    image.SetInfo(Description(l));
    auto* packed = reinterpret_cast<uint8_t*>(image.GetData());
    if (!(l.tiled ? ReadTiles(tif, l, packed) : ReadStrips(tif, l, packed)))
    {
        image.Empty();
        return Refuse(out, CStatus::Corrupt, CTiffFile::MsgBadTags,
                      out.reason.empty() ? "the samples could not be decoded" : out.reason);
    }
    out.signedSamples = l.format == SAMPLEFORMAT_INT;
    const uint16_t flip =
        uint16_t((out.signedSamples ? 0x8000 : 0) ^ (l.photometric == PHOTOMETRIC_MINISWHITE ? 0xFFFF : 0));
    WidenInPlace(image, l.bits, flip);
    image.SamplesChanged();
    return true;
}

} // namespace

bool ReadTiffWithLibtiff(const uint8_t* data, size_t size, CImageBuffer16& image, STiffRead& out)
{
    out = STiffRead();
    image.Empty();
    SMemoryFile file{data, size};
    try
    {
        TiffPtr tif = OpenInMemory(file, out.reason);
        if (!tif)
            return Refuse(out, CStatus::Corrupt, CTiffFile::MsgBadTags,
                          out.reason.empty() ? "not a readable TIFF file" : out.reason);
        if (!ReadFirstPage(tif.get(), size, image, out)) return false;
        out.pages = int32_t(std::min<tdir_t>(TIFFNumberOfDirectories(tif.get()), INT32_MAX));
        out.reason.clear();
        return true;
    }
    catch (const std::bad_alloc&)
    {
        image.Empty();
        return Refuse(out, CStatus::TooLarge, CTiffFile::MsgNoMemory,
                      "the image memory could not be allocated");
    }
}

bool ReadTiffSlice(const uint8_t* data, size_t size, CImageBuffer16& image, STiffRead& out)
{
    if (data && CTiffFile::IsOtherLayout(data, size)) return ReadTiffWithLibtiff(data, size, image, out);
    out = STiffRead();
    CTiffFile tiff;
    if (tiff.ReadTiff(data, size, image)) return true;
    out.message = tiff.Messages().empty() ? "" : tiff.Messages().front();
    const int32_t code = tiff.GetStatus().GetCode();
    out.code = code == CStatus::Unsupported                  ? code
               : code == CStatus::TooLarge || code == ENOMEM ? int32_t(CStatus::TooLarge)
                                                             : int32_t(CStatus::Corrupt);
    out.reason = tiff.GetStatus().GetReason();
    return false;
}

} // namespace vKit
