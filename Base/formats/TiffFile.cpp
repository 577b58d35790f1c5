#include "Base/formats/TiffFile.h"
#include "Base/formats/LittleEndian.h"
#include "Base/formats/RefusalText.h"

#include "Base/formats/TiffLibReader.h"
#include "Base/formats/WholeFile.h"
#include "Base/image/ImageBuffer16.h"
#include "Base/image/ImageInfo.h"
#include "Base/platform/Platform.h"
#include "Base/platform/PlatformAtomicWrite.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace vKit
{

// 16-bit strips are copied byte for byte into the samples and the samples straight into the
// file: both are little-endian only on a little-endian machine.
static_assert(std::endian::native == std::endian::little, "TIFF samples are copied as little-endian bytes");

namespace
{

enum : uint16_t
{
    TagNewSubfileType = 254,
    TagWidth = 256,
    TagHeight = 257,
    TagBitsPerSample = 258,
    TagCompression = 259,
    TagPhotometric = 262,
    TagFillOrder = 266,
    TagStripOffsets = 273,
    TagSamplesPerPixel = 277,
    TagRowsPerStrip = 278,
    TagStripByteCounts = 279,
    TagXResolution = 282,
    TagYResolution = 283,
    TagResolutionUnit = 296,
    TagTileOffsets = 324,
    TagSampleFormat = 339,
    TagPrivateC = 0xF001,
    TagPrivateD = 0xF002,
    TagPrivateE = 0xF003,
    TagPrivateA = 0xFF00,
    TagPrivateB = 0xFF01,
};

enum : uint16_t
{
    TypeShort = 3,
    TypeLong = 4,
    TypeRational = 5,
    TypeSLong = 9,
};

constexpr uint64_t SamplesOffset =
    CTiffFile::SamplesAt; // after byte order, 42, directory offset, "Quorell\0"
constexpr uint64_t EntryBytes = 12;
constexpr double InchesPerMetre = 39.37007874015748;

// The file bytes with the one bounds test every read goes through.
struct SBytes
{
    const uint8_t* data;
    uint64_t size;

    bool Holds(uint64_t offset, uint64_t length) const { return offset <= size && length <= size - offset; }
};

// A directory entry; an array of values lies in the value field itself when it fits in 4 bytes.
struct SEntry
{
    bool present = false;
    uint16_t type = 0;
    uint32_t count = 0;
    uint32_t value = 0;
    uint64_t arrayPos = 0; // where the entry's values start in the file
    uint64_t elementBytes = 4;
};

// The first entry with this tag among the (already bounds-checked) entries of the directory.
SEntry FindEntry(const SBytes& b, uint64_t directory, uint32_t entries, uint16_t tag)
{
    SEntry e;
    for (uint32_t i = 0; i < entries; ++i)
    {
        const uint8_t* p = b.data + directory + 2 + i * EntryBytes;
        if (Get16(p) != tag) continue;
        e.present = true;
        e.type = Get16(p + 2);
        e.count = Get32(p + 4);
        e.elementBytes = e.type == TypeShort ? 2 : 4;
        const bool fits = uint64_t(e.count) * e.elementBytes <= 4;
        // Values that fit stand in the value field from its first byte on: a SHORT is its first
        // two bytes, and the other two may hold anything.
        e.value = fits && e.elementBytes == 2 ? Get16(p + 8) : Get32(p + 8);
        e.arrayPos = fits ? uint64_t(p + 8 - b.data) : Get32(p + 8);
        break;
    }
    return e;
}

uint32_t ArrayValue(const SBytes& b, const SEntry& e, uint64_t i)
{
    const uint8_t* p = b.data + e.arrayPos + i * e.elementBytes;
    return e.elementBytes == 2 ? Get16(p) : Get32(p);
}

// What the reader takes from the first directory, validated against the file.
struct STiffHeader
{
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bits = 0;
    uint64_t imageBytes = 0; // bytes the strips fill: 2 per sample at 16 bits, 1 at 8
    SEntry offsets;
    SEntry counts;
    double resolutionX = 0;
    double resolutionY = 0;
    int32_t privateA = 0, privateB = 0, privateC = 0, privateD = 0, privateE = 0;
};

// numerator / denominator (unsigned integer division) of the rational at the tag's offset;
// no tag or offset 0 leaves 0. False for a rational outside the file or a zero denominator.
bool ReadRational(const SBytes& b, const SEntry& e, double& out)
{
    if (!e.present || e.value == 0) return true;
    if (!b.Holds(e.value, 8)) return false;
    const uint32_t denominator = Get32(b.data + e.value + 4);
    if (denominator == 0) return false;
    out = double(Get32(b.data + e.value) / denominator);
    return true;
}

bool ArrayInside(const SBytes& b, const SEntry& e, uint64_t count)
{
    return e.present && e.count >= count && b.Holds(e.arrayPos, count * e.elementBytes);
}

// The strips the copy takes, in order, cut to the image: visit(file offset, length, image byte).
// A single strip is read from tag 273's value field for the whole image, whatever its byte
// count says. False when a strip lies outside the file.
template <typename Visit> bool WalkStrips(const SBytes& b, const STiffHeader& h, Visit&& visit)
{
    const uint64_t strips = h.offsets.count;
    if (strips == 0 || h.imageBytes == 0) return true;
    if (strips == 1)
    {
        if (!b.Holds(h.offsets.value, h.imageBytes)) return false;
        visit(h.offsets.value, h.imageBytes, 0);
        return true;
    }
    uint64_t copied = 0;
    for (uint64_t i = 0; i < strips && copied < h.imageBytes; ++i)
    {
        const uint64_t offset = ArrayValue(b, h.offsets, i);
        const uint64_t length = std::min<uint64_t>(ArrayValue(b, h.counts, i), h.imageBytes - copied);
        if (length < 1) break;
        if (!b.Holds(offset, length)) return false;
        visit(offset, length, copied);
        copied += length;
    }
    return true;
}

// Why a file is refused: the reader's message and, beside it, the reason in words.
struct SProblem
{
    const char* message = nullptr; // nullptr: accepted
    int32_t code = CStatus::Ok;
    std::string reason;
};

SProblem BadTags(int32_t code, std::string reason)
{
    return {CTiffFile::MsgBadTags, code, std::move(reason)};
}

std::string CompressionName(uint32_t value)
{
    switch (value)
    {
    case 2:
    case 3:
    case 4:
        return "CCITT fax compression";
    case 5:
        return "LZW compression";
    case 6:
    case 7:
        return "JPEG compression";
    case 8:
    case 32946:
        return "Deflate compression";
    case 32773:
        return "PackBits compression";
    default:
        return "compression " + std::to_string(value);
    }
}

// The directory and every tag the reader uses; no message when accepted.
SProblem ParseHeader(const SBytes& b, STiffHeader& h)
{
    if (b.size < 8)
        return BadTags(CStatus::Corrupt,
                       "the file holds " + std::to_string(b.size) + " bytes, too few for a TIFF header");
    // A directory inside the header, at an odd offset or past the end is corrupt.
    const uint64_t directory = Get32(b.data + 4);
    if (directory < 8 || directory % 2 != 0 || !b.Holds(directory, 2))
        return BadTags(CStatus::Corrupt, "the first directory is said to start at byte " +
                                             std::to_string(directory) + ", which the file of " +
                                             std::to_string(b.size) + " bytes cannot hold");
    const uint32_t entries = Get16(b.data + directory);
    if (entries == 0) return BadTags(CStatus::Corrupt, "the first directory has no entries");
    if (!b.Holds(directory + 2, entries * EntryBytes))
        return BadTags(CStatus::Corrupt,
                       EndsBefore(b.size, directory + 2 + entries * EntryBytes, "its directory needs"));
    auto find = [&](uint16_t tag) { return FindEntry(b, directory, entries, tag); };
    auto value = [&](uint16_t tag) { return find(tag).value; };

    h.width = value(TagWidth);
    h.height = value(TagHeight);
    h.bits = value(TagBitsPerSample);
    if (h.width > uint32_t(INT32_MAX) || h.height > uint32_t(INT32_MAX))
        return BadTags(CStatus::TooLarge, "a size of " + std::to_string(h.width) + " x " +
                                              std::to_string(h.height) +
                                              " pixels is more than an image can hold");
    const SEntry compression = find(TagCompression);
    if (!compression.present)
        return {CTiffFile::MsgCompression, CStatus::Unsupported,
                "no compression tag; only uncompressed files load"};
    if (compression.value != 1)
        return {CTiffFile::MsgCompression, CStatus::Unsupported,
                CompressionName(compression.value) + "; only uncompressed files load"};
    // Only grey samples of 8 or 16 bits are read. Others would come out as a plausible
    // picture of wrong values: with more than one sample per pixel tag 258 holds an offset,
    // 1-, 12- or 32-bit samples read byte by byte are noise, and a tiled file has no strips
    // and would load black.
    const SEntry samplesPerPixel = find(TagSamplesPerPixel);
    if (samplesPerPixel.present && samplesPerPixel.value != 1)
        return BadTags(CStatus::Unsupported, std::to_string(samplesPerPixel.value) +
                                                 " samples per pixel; only one grey sample loads");
    if (h.bits != 8 && h.bits != 16)
        return BadTags(CStatus::Unsupported, std::to_string(h.bits) + (h.bits == 1 ? " bit" : " bits") +
                                                 " per sample; only 8 and 16 load");
    if (!find(TagStripOffsets).present && find(TagTileOffsets).present)
        return BadTags(CStatus::Unsupported, "the samples are in tiles; only strips load");

    if (!ReadRational(b, find(TagXResolution), h.resolutionX) ||
        !ReadRational(b, find(TagYResolution), h.resolutionY))
        return BadTags(CStatus::Corrupt, "a resolution lies outside the file or divides by zero");
    const uint32_t unit = value(TagResolutionUnit);
    h.resolutionX = CTiffFile::PixelsPerMetre(h.resolutionX, unit);
    h.resolutionY = CTiffFile::PixelsPerMetre(h.resolutionY, unit);
    h.privateA = int32_t(value(TagPrivateA));
    h.privateB = int32_t(value(TagPrivateB));
    h.privateC = int32_t(value(TagPrivateC));
    h.privateD = int32_t(value(TagPrivateD));
    h.privateE = int32_t(value(TagPrivateE));

    // The samples must fit in the file that declares them, before anything is allocated.
    h.imageBytes = uint64_t(h.width) * h.height * (h.bits == 16 ? 2 : 1);
    if (h.imageBytes > b.size)
        return BadTags(CStatus::Corrupt, EndsBefore(b.size, h.imageBytes, "its samples need"));
    h.offsets = find(TagStripOffsets);
    h.counts = find(TagStripByteCounts);
    const uint64_t strips = h.offsets.count;
    if (strips > 1 && (!ArrayInside(b, h.offsets, strips) || !ArrayInside(b, h.counts, strips)))
        return BadTags(CStatus::Corrupt, "the list of strips lies outside the file");
    if (!WalkStrips(b, h, [](uint64_t, uint64_t, uint64_t) {}))
        return BadTags(CStatus::Corrupt,
                       "a strip of samples lies outside the file of " + std::to_string(b.size) + " bytes");
    return {};
}

CImageInfo WorkingDescription(const STiffHeader& h)
{
    CImageInfo info;
    info.Reset();
    info.SetWidth(int32_t(h.width));
    info.SetHeight(int32_t(h.height));
    info.SetBitsPerPixel(int32_t(h.bits));
    // 8-bit samples are held as v * 256, as BMP and JPEG data are; held as v they came out
    // black in every 8-bit file written from them.
    info.SetSignificantBits(h.bits == 8 ? 8 : 16);
    info.SetGreyCeiling(h.bits == 8 ? 0xFF00 : 0xFFFF);
    info.SetClampMode(1);
    info.SetClampOnExport(false);
    info.SetBottomUp(false);
    info.SetRowPadding(0);
    info.ColorTable().SetGreyRamp(256);
    info.AltColorTable().SetGreyRamp(256);
    info.SetImageBytes(int32_t(std::min<uint64_t>(h.imageBytes, INT32_MAX)));
    info.SetResolutionX(h.resolutionX);
    info.SetResolutionY(h.resolutionY);
    info.SetPrivateA(h.privateA);
    info.SetPrivateB(h.privateB);
    info.SetPrivateC(h.privateC);
    info.SetPrivateD(h.privateD);
    info.SetPrivateE(h.privateE);
    return info;
}

// Fills the image from the strips, 16-bit samples as the little-endian byte pairs they are,
// 8-bit samples as v * 256; samples no strip reaches are 0.
void CopyStrips(const SBytes& b, const STiffHeader& h, CImageBuffer16& image)
{
    uint16_t* samples = image.GetData();
    uint64_t filled = 0;
    if (h.bits == 16)
    {
        auto* bytes = reinterpret_cast<uint8_t*>(samples);
        WalkStrips(b, h,
                   [&](uint64_t offset, uint64_t length, uint64_t at)
                   {
                       std::memcpy(bytes + at, b.data + offset, length);
                       filled = at + length;
                   });
        std::memset(bytes + filled, 0, h.imageBytes - filled);
    }
    else
    {
        WalkStrips(b, h,
                   [&](uint64_t offset, uint64_t length, uint64_t at)
                   {
                       const uint8_t* source = b.data + offset;
                       for (uint64_t i = 0; i < length; ++i)
                           samples[at + i] = uint16_t(source[i] << 8);
                       filled = at + length;
                   });
        std::fill(samples + filled, samples + h.imageBytes, uint16_t(0));
    }
    image.SamplesChanged();
}

} // namespace

double CTiffFile::PixelsPerMetre(double value, uint32_t unit)
{
    if (unit == 2) return std::trunc(value * InchesPerMetre);
    return unit == 3 ? value * 100.0 : value;
}

bool CTiffFile::IsOtherLayout(const uint8_t* data, size_t size)
{
    if (size >= 2 && data[0] == 'M' && data[1] == 'M') return true;
    if (size < 8 || data[0] != 'I' || data[1] != 'I') return false;
    if (Get16(data + 2) == 43) return true; // BigTIFF
    const SBytes b{data, size};
    const uint64_t directory = Get32(data + 4);
    if (!b.Holds(directory, 2)) return false;
    const uint32_t entries = Get16(data + directory);
    if (entries == 0 || !b.Holds(directory + 2, entries * EntryBytes)) return false;
    auto differs = [&](uint16_t tag, uint32_t usual)
    {
        const SEntry e = FindEntry(b, directory, entries, tag);
        return e.present && e.value != usual;
    };
    const uint32_t bits = FindEntry(b, directory, entries, TagBitsPerSample).value;
    const uint64_t next = directory + 2 + entries * EntryBytes;
    const bool morePages = b.Holds(next, 4) && Get32(data + next) != 0;
    return differs(TagCompression, 1) || FindEntry(b, directory, entries, TagTileOffsets).present ||
           differs(TagSamplesPerPixel, 1) || (bits != 8 && bits != 16) || differs(TagPhotometric, 1) ||
           differs(TagSampleFormat, 1) || differs(TagFillOrder, 1) || morePages;
}

int32_t CTiffFile::Refuse(const char* message, int32_t code, const std::string& reason)
{
    m_messages.emplace_back(message);
    m_status = CStatus(code, "", reason);
    return 0;
}

namespace
{
// Why the first two bytes are not "II".
std::string ByteOrderReason(const uint8_t* data, size_t size)
{
    if (size < 2) return "the file holds 1 byte, too few for a TIFF header";
    if (data[0] == 'M' && data[1] == 'M')
        return "big-endian (MM) byte order; only little-endian (II) files load";
    return NotAFile("TIFF", data);
}
} // namespace

int32_t CTiffFile::ReadTiff(const uint8_t* data, size_t size, CImageBuffer16& image)
{
    m_messages.clear();
    m_status = CStatus();
    image.Empty();
    if (!data || size == 0) return Refuse(MsgNotFound, CStatus::Corrupt, "the file is empty");
    if (size < 2 || data[0] != 'I' || data[1] != 'I')
        return Refuse(MsgNotIntel, CStatus::Unsupported, ByteOrderReason(data, size));
    const SBytes bytes{data, size};
    STiffHeader header;
    const SProblem problem = ParseHeader(bytes, header);
    if (problem.message) return Refuse(problem.message, problem.code, problem.reason);

    const CImageInfo info = WorkingDescription(header);
    // A width or height of 0 is an empty image, not an error.
    if (header.width == 0 || header.height == 0)
    {
        image.SetInfo(info);
        return 1;
    }
    if (!image.Create(int32_t(header.width), int32_t(header.height)))
        return Refuse(MsgNoMemory, ENOMEM, PlatformErrorText(ENOMEM));
    image.SetInfo(info);
    CopyStrips(bytes, header, image);
    return 1;
}

int32_t CTiffFile::LoadTiff(const std::string& path, CImageBuffer16& image)
{
    CAlignedBlock storage;
    return LoadTiff(path, image, storage);
}

int32_t CTiffFile::LoadTiff(const std::string& path, CImageBuffer16& image, CAlignedBlock& storage)
{
    size_t size = 0;
    const int32_t err = ReadWholeFile(path, storage, size, UINT64_MAX);
    const bool read = ReadTiff(err == 0 && size > 0 ? storage.Data() : nullptr, err == 0 ? size : 0, image);
    if (err != 0) m_status = PlatformErrorStatus(err, path);
    m_status.SetPath(path);
    if (!read) return 0;
    image.Info().SetFileName(path);
    return 1;
}

uint64_t CTiffFile::WrittenFileSize(int32_t width, int32_t height)
{
    const uint64_t strips = (uint64_t(std::max(height, 0)) + RowsPerStrip - 1) / RowsPerStrip;
    return 2 * uint64_t(std::max(width, 0)) * uint64_t(std::max(height, 0)) + 8 * strips + 262;
}

// 25400 / pixel size, rounded to the nearest whole number. Truncating, as a plain integer
// conversion would, turns 300 dpi read into 11811 pixels per metre back into 299 dpi, and each
// further conversion would lose one more.
uint32_t CTiffFile::PixelsPerInch(double pixelSizeUm)
{
    if (!(pixelSizeUm > 0)) return 0;
    const double ppi = std::round(25400.0 / pixelSizeUm);
    return ppi >= double(UINT32_MAX) ? UINT32_MAX : uint32_t(ppi);
}

bool CTiffFile::WriteTiff(CAlignedBlock& file, const uint16_t* samples, int32_t width, int32_t height,
                          const CImageInfo& info)
{
    m_messages.clear();
    m_status = CStatus();
    const uint64_t total = WrittenFileSize(width, height);
    if (width < 0 || height < 0 || total > UINT32_MAX)
    {
        Refuse("The image is too large for a Tiff file.", CStatus::TooLarge,
               std::to_string(width) + " x " + std::to_string(height) +
                   " samples of 16 bits are more than a TIFF file of 4 GiB can hold");
        return false;
    }
    if (!file.Allocate(total, 32))
    {
        Refuse(MsgNoMemory, ENOMEM, PlatformErrorText(ENOMEM));
        return false;
    }
    const uint32_t w = uint32_t(width);
    const uint32_t sampleBytes = 2 * w * uint32_t(height);
    const uint32_t strips = uint32_t(height + RowsPerStrip - 1) / RowsPerStrip;
    const uint32_t stripBytes = 2 * w * RowsPerStrip;
    const uint32_t resolutions = uint32_t(SamplesOffset) + sampleBytes;
    const uint32_t offsetArray = resolutions + 16;
    const uint32_t countArray = offsetArray + 4 * strips;
    const uint32_t directory = countArray + 4 * strips;

    uint8_t* d = file.Data();
    std::memcpy(d, "II", 2);
    Put16(d + 2, 42);
    Put32(d + 4, directory);
    std::memcpy(d + 8, "Quorell", 8);
    if (samples && sampleBytes > 0) std::memcpy(d + SamplesOffset, samples, sampleBytes);
    Put32(d + resolutions, PixelsPerInch(info.GetPixelSizeXum()));
    Put32(d + resolutions + 4, 1);
    Put32(d + resolutions + 8, PixelsPerInch(info.GetPixelSizeYum()));
    Put32(d + resolutions + 12, 1);
    for (uint32_t i = 0; i < strips; ++i)
    {
        Put32(d + offsetArray + 4 * i, uint32_t(SamplesOffset) + i * stripBytes);
        Put32(d + countArray + 4 * i, i + 1 < strips ? stripBytes : sampleBytes - i * stripBytes);
    }

    const bool oneStrip = strips == 1;
    // A SHORT holds 16 bits: larger sizes, and private values outside them, go in as LONGs.
    const auto sizeType = [](uint32_t v) { return uint32_t(v > 0xFFFF ? TypeLong : TypeShort); };
    const int32_t privateE = info.GetPrivateE();
    const uint32_t privateEType = privateE < 0 || privateE > 0xFFFF ? TypeSLong : TypeShort;
    const uint32_t entries[EntryCount][4] = {
        {TagNewSubfileType, TypeLong, 1, 0},
        {TagWidth, sizeType(w), 1, w},
        {TagHeight, sizeType(uint32_t(height)), 1, uint32_t(height)},
        {TagBitsPerSample, TypeShort, 1, 16},
        {TagCompression, TypeShort, 1, 1},
        {TagPhotometric, TypeShort, 1, 1},
        {TagStripOffsets, TypeLong, strips, oneStrip ? uint32_t(SamplesOffset) : offsetArray},
        {TagSamplesPerPixel, TypeShort, 1, 1},
        {TagRowsPerStrip, TypeLong, 1, uint32_t(RowsPerStrip)},
        {TagStripByteCounts, TypeLong, strips, oneStrip ? sampleBytes : countArray},
        {TagXResolution, TypeRational, 1, resolutions},
        {TagYResolution, TypeRational, 1, resolutions + 8},
        {TagResolutionUnit, TypeShort, 1, 2},
        {TagPrivateC, TypeSLong, 1, uint32_t(info.GetPrivateC())},
        {TagPrivateD, TypeSLong, 1, uint32_t(info.GetPrivateD())},
        {TagPrivateE, privateEType, 1, uint32_t(privateE)},
        {TagPrivateA, TypeSLong, 1, uint32_t(info.GetPrivateA())},
        {TagPrivateB, TypeSLong, 1, uint32_t(info.GetPrivateB())},
    };
    Put16(d + directory, EntryCount);
    uint8_t* p = d + directory + 2;
    for (const auto& e : entries)
    {
        Put16(p, e[0]);
        Put16(p + 2, e[1]);
        Put32(p + 4, e[2]);
        Put32(p + 8, e[3]);
        p += EntryBytes;
    }
    std::memset(p, 0, 12); // next directory 0, then 8 zero bytes
    return true;
}

} // namespace vKit
