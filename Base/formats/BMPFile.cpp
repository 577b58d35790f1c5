#include "Base/formats/BMPFile.h"
#include "Base/formats/LittleEndian.h"
#include "Base/formats/RefusalText.h"
#include "Base/formats/WholeFile.h"

#include "Base/image/ImageBuffer16.h"
#include "Base/platform/Platform.h"
#include "Base/platform/PlatformAtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vKit
{

namespace
{
constexpr int64_t HeadersSize = CBMPFile::FileHeaderSize + CBMPFile::InfoHeaderSize;
constexpr int32_t PaletteColours = 256;
// Larger files cannot be described by the 32-bit fields of the format.
constexpr uint64_t MaxFileSize = uint64_t(UINT32_MAX);

// Stored bytes per row of 8-bit samples: rows are padded to a multiple of 4 bytes.
int64_t RowBytes8(int64_t width)
{
    return (width * 8 + 31) / 32 * 4;
}

// Resolution field: truncated towards zero, kept inside the field's range.
int32_t ResolutionField(double ppm, bool useDefault)
{
    if (useDefault && !(ppm >= 1.0)) return 72;
    if (!(std::fabs(ppm) < 2147483647.0)) return std::isnan(ppm) ? 0 : (ppm > 0 ? INT32_MAX : INT32_MIN + 1);
    return int32_t(ppm);
}

std::string CompressionName(uint32_t value)
{
    switch (value)
    {
    case 1:
        return "RLE8 compression";
    case 2:
        return "RLE4 compression";
    case 3:
    case 6:
        return "bit-field colour masks";
    default:
        return "compression " + std::to_string(value);
    }
}

} // namespace

SBmpHeader ReadBmpHeader(const uint8_t* d)
{
    SBmpHeader h;
    h.fileSize = Get32(d + 2);
    h.pixelOffset = Get32(d + 10);
    h.infoSize = Get32(d + 14);
    h.width = int32_t(Get32(d + 18));
    h.height = int32_t(Get32(d + 22));
    h.planes = Get16(d + 26);
    h.bitsPerPixel = Get16(d + 28);
    h.compression = Get32(d + 30);
    h.imageSize = Get32(d + 34);
    h.resolutionX = int32_t(Get32(d + 38));
    h.resolutionY = int32_t(Get32(d + 42));
    h.coloursUsed = Get32(d + 46);
    h.coloursImportant = Get32(d + 50);
    return h;
}

bool CBMPFile::Refuse(int32_t code, const std::string& reason)
{
    m_status = code > 0 ? PlatformErrorStatus(code, m_info.GetFileName())
                        : CStatus(code, m_info.GetFileName(), reason);
    return false;
}

bool CBMPFile::ReadBmp(const std::string& path)
{
    m_nFileSize = 0;
    m_layout = SBmpLayout();
    const int32_t err = ReadWholeFile(path, *m_pStorage, m_nFileSize, MaxFileSize);
    m_bHeld = err == 0;
    if (err != 0)
    {
        m_nFileSize = 0;
        m_info.SetFileName(path);
        return Refuse(err, "");
    }
    const bool parsed = ParseBmp();
    m_info.SetFileName(path);
    m_status.SetPath(path);
    return parsed;
}

bool CBMPFile::ParseBmp(const uint8_t* data, size_t size)
{
    m_layout = SBmpLayout();
    m_bHeld = m_pStorage->Allocate(size + 1, 32);
    m_nFileSize = m_bHeld ? size : 0;
    if (m_bHeld && size > 0) std::memcpy(Bytes(), data, size);
    return ParseBmp();
}

// Every offset, count and size against the file, in 64-bit arithmetic, before anything is
// allocated or read through a pointer.
bool CBMPFile::ValidateHeader(const SBmpHeader& h)
{
    const int64_t fileSize = int64_t(m_nFileSize);
    const int64_t infoEnd = FileHeaderSize + int64_t(h.infoSize);
    if (h.infoSize < uint32_t(InfoHeaderSize))
        return Refuse(CStatus::Unsupported, "an info header of " + std::to_string(h.infoSize) +
                                                " bytes; only Windows headers of 40 bytes or more load");
    if (infoEnd > fileSize)
        return Refuse(CStatus::Corrupt,
                      EndsBefore(uint64_t(fileSize), uint64_t(infoEnd), "its info header needs"));
    if (h.compression != 0)
        return Refuse(CStatus::Unsupported,
                      CompressionName(h.compression) + "; only uncompressed images load");
    if (h.bitsPerPixel != 8)
        return Refuse(CStatus::Unsupported, std::to_string(h.bitsPerPixel) +
                                                (h.bitsPerPixel == 1 ? " bit" : " bits") +
                                                " per pixel; only 8-bit palette images load");
    const int64_t colours = h.coloursUsed == 0 ? PaletteColours : int64_t(h.coloursUsed);
    if (colours < 1 || colours > PaletteColours)
        return Refuse(CStatus::Corrupt, "a palette of " + std::to_string(colours) +
                                            " colours; an 8-bit palette holds 1 to 256");
    const int64_t paletteEnd = infoEnd + 4 * colours;
    if (paletteEnd > fileSize)
        return Refuse(CStatus::Corrupt,
                      EndsBefore(uint64_t(fileSize), uint64_t(paletteEnd), "its palette needs"));
    if (int64_t(h.pixelOffset) >= fileSize)
        return Refuse(CStatus::Corrupt,
                      EndsBefore(uint64_t(fileSize), h.pixelOffset, "its pixel rows start at"));
    // A negative height stores the top row first; INT32_MIN has no positive counterpart.
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN)
        return Refuse(CStatus::Unsupported, "a size of " + std::to_string(h.width) + " x " +
                                                std::to_string(int64_t(h.height)) +
                                                "; width and height must be at least 1");
    const int64_t rowBytes = RowBytes8(h.width);
    const int64_t imageBytes = rowBytes * std::abs(int64_t(h.height));
    if (imageBytes > INT32_MAX)
        return Refuse(CStatus::TooLarge, std::to_string(h.width) + " x " +
                                             std::to_string(std::abs(int64_t(h.height))) +
                                             " pixels are more than a BMP file can hold");
    if (int64_t(h.pixelOffset) + imageBytes > fileSize)
        return Refuse(CStatus::Corrupt, EndsBefore(uint64_t(fileSize), h.pixelOffset + uint64_t(imageBytes),
                                                   "its pixel rows need"));
    m_layout.colours = int32_t(colours);
    m_layout.paletteOffset = infoEnd;
    m_layout.paletteEnd = paletteEnd;
    m_layout.pixelOffset = h.pixelOffset;
    m_layout.rowBytes = rowBytes;
    m_layout.imageBytes = imageBytes;
    return true;
}

void CBMPFile::TakeDescription(const SBmpHeader& h)
{
    const uint8_t* file = Bytes();
    m_info.SetBitsPerPixel(8);
    m_info.SetSignificantBits(8);
    m_info.SetGreyCeiling(65520);
    m_info.SetResolutionX(h.resolutionX);
    m_info.SetResolutionY(h.resolutionY);
    // A shorter palette is padded with black entries to the 256 that are written back.
    const uint8_t* palette = file + m_layout.paletteOffset;
    uint8_t padded[4 * PaletteColours];
    if (m_layout.colours < PaletteColours)
    {
        std::memset(padded, 0, sizeof(padded));
        std::memcpy(padded, palette, size_t(4 * m_layout.colours));
        palette = padded;
    }
    m_info.ColorTable().SetEntries(palette, PaletteColours);
    m_info.AltColorTable().SetEntries(palette, PaletteColours);
    // The bytes between palette and rows are the private block; the pair is read only from a
    // block that carries the signature and is long enough to hold it.
    const int64_t blockSize = m_layout.pixelOffset - m_layout.paletteEnd;
    if (blockSize > 0)
    {
        const uint8_t* block = file + m_layout.paletteEnd;
        m_info.SetPrivateBlock(block, size_t(blockSize));
        if (blockSize >= CImageInfo::DefaultPrivateBlockSize &&
            std::memcmp(block, CImageInfo::PrivateSignature, 4) == 0)
        {
            m_info.SetPrivateA(int32_t(Get32(block + CImageInfo::PrivateAOffset)));
            m_info.SetPrivateB(int32_t(Get32(block + CImageInfo::PrivateBOffset)));
        }
    }
    m_info.SetWidth(h.width);
    m_info.SetHeight(int32_t(std::abs(int64_t(h.height))));
    m_info.SetBottomUp(h.height > 0);
    m_info.SetImageBytes(int32_t(m_layout.imageBytes));
    const int32_t padding = int32_t(m_layout.rowBytes - h.width);
    m_info.SetRowPadding(padding);
    m_info.SetWritePadding(padding);
}

bool CBMPFile::ParseBmp()
{
    m_status = CStatus();
    m_layout = SBmpLayout();
    m_info.Reset();
    m_info.SetClampOnExport(false);
    m_info.SetBottomUp(true);
    m_info.SetClampMode(1);
    const uint8_t* file = Bytes();
    if (!file || m_nFileSize <= size_t(FileHeaderSize))
        return Refuse(CStatus::Corrupt,
                      "the file holds " + std::to_string(m_nFileSize) + " bytes, too few for a BMP header");
    if (file[0] != 'B' || file[1] != 'M') return Refuse(CStatus::Unsupported, NotAFile("BMP", file));
    if (m_nFileSize < size_t(HeadersSize))
        return Refuse(CStatus::Corrupt, EndsBefore(m_nFileSize, HeadersSize, "its info header needs"));
    const SBmpHeader h = ReadBmpHeader(file);
    if (!ValidateHeader(h))
    {
        m_layout = SBmpLayout();
        return false;
    }
    TakeDescription(h);
    return true;
}

void CBMPFile::WriteHeaders(int32_t width, int32_t height, int32_t colours, int32_t extraBytes)
{
    uint8_t* d = m_pStorage->Data(); // held: BuildBmp allocated it
    std::memset(d, 0, size_t(HeadersSize));
    d[0] = 'B';
    d[1] = 'M';
    Put32(d + 2, uint32_t(m_nFileSize));
    Put32(d + 10, uint32_t(HeadersSize + 4 * colours + extraBytes));
    Put32(d + 14, uint32_t(InfoHeaderSize));
    Put32(d + 18, uint32_t(width));
    Put32(d + 22, uint32_t(height));
    Put16(d + 26, 1);
    Put16(d + 28, 8);
    Put32(d + 34, uint32_t(m_layout.imageBytes));
    Put32(d + 46, uint32_t(colours));
    Put32(d + 50, uint32_t(colours));
}

bool CBMPFile::LayOut(int32_t width, int32_t height, int32_t colours, int32_t extraBytes)
{
    m_bHeld = false;
    m_nFileSize = 0;
    m_layout = SBmpLayout();
    if (width < 1 || height < 1 || colours < 0 || colours > PaletteColours || extraBytes < 0)
        return Refuse(CStatus::TooLarge, "an image of " + std::to_string(width) + " x " +
                                             std::to_string(height) + " cannot be a BMP file");
    const int64_t rowBytes = RowBytes8(width);
    const int64_t imageBytes = rowBytes * height;
    const int64_t pixelOffset = HeadersSize + 4 * int64_t(colours) + extraBytes;
    const int64_t total = pixelOffset + imageBytes;
    if (imageBytes > INT32_MAX || uint64_t(total) > MaxFileSize)
        return Refuse(CStatus::TooLarge, std::to_string(width) + " x " + std::to_string(height) +
                                             " pixels are more than a BMP file can hold");
    // Every byte is written below, by the caller or by the caller's row loop, which also zeroes
    // the padding.
    m_bHeld = m_pStorage->Allocate(size_t(total), 32);
    if (!m_bHeld) return Refuse(ENOMEM, "");
    m_nFileSize = size_t(total);
    m_layout.colours = colours;
    m_layout.paletteOffset = HeadersSize;
    m_layout.paletteEnd = HeadersSize + 4 * int64_t(colours);
    m_layout.pixelOffset = pixelOffset;
    m_layout.rowBytes = rowBytes;
    m_layout.imageBytes = imageBytes;
    WriteHeaders(width, height, colours, extraBytes);
    m_info.Reset();
    m_info.SetWidth(width);
    m_info.SetHeight(height);
    m_info.SetBitsPerPixel(8);
    m_info.SetImageBytes(int32_t(imageBytes));
    m_info.SetRowPadding(int32_t(rowBytes - width));
    m_info.SetWritePadding(int32_t(rowBytes - width));
    m_info.SetBottomUp(true);
    return true;
}

bool CBMPFile::BuildBmp(int32_t width, int32_t height, int32_t colours, int32_t extraBytes)
{
    if (!LayOut(width, height, colours, extraBytes)) return false;
    uint8_t* palette = Bytes() + HeadersSize;
    for (int32_t i = 0; i < colours; ++i)
        std::memset(palette + 4 * i, i, 4);
    std::memset(palette + 4 * colours, 0, size_t(extraBytes));
    return true;
}

void CBMPFile::PutDescription(double resolutionX, double resolutionY, bool useDefault,
                              const std::vector<uint8_t>& block)
{
    uint8_t* d = Bytes();
    Put32(d + 38, uint32_t(ResolutionField(resolutionX, useDefault)));
    Put32(d + 42, uint32_t(ResolutionField(resolutionY, useDefault)));
    if (useDefault) Put32(d + 34, 0);
    if (!block.empty()) std::memcpy(d + m_layout.paletteEnd, block.data(), block.size());
}

bool CBMPFile::FromImage(const CImageBuffer16& image)
{
    const CImageInfo& src = image.Info();
    const std::vector<uint8_t>& block = src.PrivateBlock();
    const int32_t width = image.GetWidth();
    const int32_t height = image.GetHeight();
    if (image.IsEmpty() || block.size() > size_t(INT32_MAX))
        return Refuse(CStatus::Refused, "the image is empty");
    if (!BuildBmp(width, height, PaletteColours, int32_t(block.size()))) return false;
    const int32_t padding = m_info.GetWritePadding();
    m_info = src;
    m_info.SetWritePadding(padding);

    uint8_t* out = GetPixelRows();
    const bool bottomUp = src.GetBottomUp();
    for (int32_t r = 0; r < height; ++r, out += m_layout.rowBytes)
    {
        const uint16_t* s = image.Row(bottomUp ? r : height - 1 - r);
        for (int32_t c = 0; c < width; ++c)
            out[c] = uint8_t(s[c] >> 8);
        if (padding > 0) std::memset(out + width, 0, size_t(padding));
    }

    // A table shorter than 256 entries leaves the grey ramp behind its last entry.
    const CColorTable& table = src.ColorTable();
    std::memcpy(Bytes() + m_layout.paletteOffset, table.GetEntries(),
                size_t(std::clamp(table.GetCount(), 0, PaletteColours)) * 4);
    PutDescription(src.GetResolutionX(), src.GetResolutionY(), src.GetDefaultResolution(), block);
    return true;
}

namespace
{

bool IsGreyPalette(const uint8_t* palette, int32_t colours)
{
    for (int32_t i = 0; i < colours; ++i)
        if (palette[4 * i] != palette[4 * i + 1] || palette[4 * i] != palette[4 * i + 2]) return false;
    return true;
}

// Indices of a short grey palette carry no order of their own (image tools number the greys
// as they meet them): each becomes its grey, and the image a plain grey one with the ramp.
void IndicesToGrey(CImageBuffer16& image, const uint8_t* palette, int32_t colours)
{
    uint16_t grey[PaletteColours] = {};
    for (int32_t i = 0; i < colours; ++i)
        grey[i] = uint16_t(palette[4 * i] << 8);
    for (int32_t y = 0; y < image.GetHeight(); ++y)
    {
        uint16_t* row = image.Row(y);
        for (int32_t x = 0; x < image.GetWidth(); ++x)
            row[x] = grey[row[x] >> 8];
    }
    image.Info().ColorTable().SetGreyRamp(PaletteColours);
    image.Info().AltColorTable().SetGreyRamp(PaletteColours);
    image.SamplesChanged();
}

// One stored row of 8-bit samples through a map of the 256 values, or inverted, or as it is.
void PutRow(uint8_t* out, const uint8_t* in, int32_t width, const uint8_t* map, bool invert)
{
    if (map != nullptr)
        for (int32_t c = 0; c < width; ++c)
            out[c] = map[in[c]];
    else if (invert)
        for (int32_t c = 0; c < width; ++c)
            out[c] = uint8_t(~in[c]);
    else
        std::memcpy(out, in, size_t(width));
}

} // namespace

bool CBMPFile::ToImage(CImageBuffer16& image) const
{
    if (!m_bHeld || !image.Create(m_info.GetWidth(), m_info.GetHeight())) return false;
    image.CopyFrom8(GetPixelRows(), 0, 0, m_info.GetWidth(), m_info.GetHeight(), m_info.GetRowPadding(),
                    m_info.GetBottomUp());
    // The file's palettes, resolutions, private block and name; samples held as v * 256.
    image.SetInfo(m_info);
    CImageInfo& info = image.Info();
    info.SetBitsPerPixel(16);
    info.SetSignificantBits(8);
    info.SetBottomUp(false);
    info.SetWritePadding(0);
    if (m_layout.colours < PaletteColours && IsGreyPalette(GetPalette(), m_layout.colours))
        IndicesToGrey(image, GetPalette(), m_layout.colours);
    return true;
}

bool CBMPFile::FromBmp(const CBMPFile& source, const SBmpStages& stages)
{
    static const std::vector<uint8_t> noBlock;
    const CImageInfo& src = source.m_info;
    const std::vector<uint8_t>& block = stages.dropPrivateBlock ? noBlock : src.PrivateBlock();
    if (!source.m_bHeld || block.size() > size_t(INT32_MAX))
        return Refuse(CStatus::Refused, "there is no BMP file to copy");
    const int32_t width = src.GetWidth();
    const int32_t height = src.GetHeight();
    if (!LayOut(width, height, PaletteColours, int32_t(block.size()))) return false;

    // Loading makes the indices of a short grey palette their greys and an index past it black
    // (IndicesToGrey); inversion then complements every sample's high byte.
    const uint8_t* palette = source.GetPalette();
    const int32_t colours = source.m_layout.colours;
    const bool greys = colours < PaletteColours && IsGreyPalette(palette, colours);
    uint8_t value[PaletteColours];
    for (int32_t i = 0; greys && i < PaletteColours; ++i)
    {
        const uint8_t v = i < colours ? palette[4 * i] : 0;
        value[i] = stages.invertSamples ? uint8_t(~v) : v;
    }
    // Same width, so the same stored row length; rows are written bottom row first.
    const int64_t stride = m_layout.rowBytes;
    const size_t padding = size_t(stride - width);
    const uint8_t* in = source.GetPixelRows();
    uint8_t* out = GetPixelRows();
    const bool bottomUp = src.GetBottomUp();
    // Rows in the same order go in one piece, and then only their padding is cleared.
    const bool copied = bottomUp && !greys && !stages.invertSamples;
    if (copied) std::memcpy(out, in, size_t(m_layout.imageBytes));
    for (int32_t r = 0; r < height && (!copied || padding > 0); ++r, out += stride)
    {
        if (!copied)
            PutRow(out, in + stride * (bottomUp ? r : height - 1 - r), width, greys ? value : nullptr,
                   stages.invertSamples);
        if (padding > 0) std::memset(out + width, 0, padding);
    }

    // The parsed palette always has 256 entries; a short grey one became the ramp on loading.
    uint8_t* entries = Bytes() + m_layout.paletteOffset;
    if (greys)
        for (int32_t i = 0; i < PaletteColours; ++i)
            Put32(entries + 4 * i, uint32_t(i) * 0x010101u);
    else
    {
        const size_t kept = size_t(std::clamp(src.ColorTable().GetCount(), 0, PaletteColours)) * 4;
        std::memcpy(entries, src.ColorTable().GetEntries(), kept);
        std::memset(entries + kept, 0, size_t(4 * PaletteColours) - kept);
    }
    if (stages.reversePalette) ReverseColorEntries(entries, PaletteColours);
    PutDescription(src.GetResolutionX(), src.GetResolutionY(), stages.defaultResolution, block);
    return true;
}

bool CBMPFile::WriteBmp(const std::string& path)
{
    if (!m_bHeld) return Refuse(CStatus::Refused, "there is no BMP file to write");
    const int32_t err = PlatformWriteFileAtomically(path, Bytes(), m_nFileSize);
    if (err != 0) return Refuse(err, "");
    return true;
}

} // namespace vKit
