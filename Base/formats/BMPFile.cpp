#include "Base/formats/BMPFile.h"
#include "Base/formats/LittleEndian.h"
#include "Base/formats/WholeFile.h"

#include "Base/image/ImageBuffer16.h"
#include "Base/platform/PlatformAtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>

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

bool CBMPFile::Refuse(const char* reason)
{
    m_sError = reason;
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
        return Refuse("The file could not be read");
    }
    if (!ParseBmp()) return false;
    m_info.SetFileName(path);
    return true;
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
    if (h.infoSize < uint32_t(InfoHeaderSize)) return Refuse("The BMP info header is of an unsupported kind");
    if (infoEnd > fileSize) return Refuse("The BMP info header does not lie inside the file");
    if (h.compression != 0) return Refuse("Compressed BMP files are not supported");
    int64_t colours = h.coloursUsed;
    if (colours == 0)
        colours = h.bitsPerPixel == 1 ? 2 : h.bitsPerPixel == 4 ? 16 : h.bitsPerPixel == 8 ? 256 : 0;
    if (colours != PaletteColours || h.bitsPerPixel != 8)
        return Refuse("Only 8-bit BMP files with 256 colours are supported");
    const int64_t paletteEnd = infoEnd + 4 * colours;
    if (paletteEnd > fileSize) return Refuse("The BMP palette does not lie inside the file");
    if (int64_t(h.pixelOffset) >= fileSize) return Refuse("The BMP pixel offset lies outside the file");
    if (h.width <= 0) return Refuse("The BMP width is not positive");
    // Rows stored top row first (negative height) are not written by scanners and not read.
    if (h.height <= 0) return Refuse("The BMP height is not positive");
    const int64_t rowBytes = RowBytes8(h.width);
    const int64_t imageBytes = rowBytes * h.height;
    if (imageBytes > INT32_MAX) return Refuse("The BMP image is too large");
    if (int64_t(h.pixelOffset) + imageBytes > fileSize)
        return Refuse("The BMP file is shorter than its image");
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
    m_info.ColorTable().SetEntries(file + m_layout.paletteOffset, m_layout.colours);
    m_info.AltColorTable().SetEntries(file + m_layout.paletteOffset, m_layout.colours);
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
    m_info.SetHeight(h.height);
    m_info.SetImageBytes(int32_t(m_layout.imageBytes));
    const int32_t padding = int32_t(m_layout.rowBytes - h.width);
    m_info.SetRowPadding(padding);
    m_info.SetWritePadding(padding);
}

bool CBMPFile::ParseBmp()
{
    m_sError.clear();
    m_layout = SBmpLayout();
    m_info.Reset();
    m_info.SetClampOnExport(false);
    m_info.SetBottomUp(true);
    m_info.SetClampMode(1);
    const uint8_t* file = Bytes();
    if (!file || m_nFileSize <= size_t(FileHeaderSize)) return Refuse("The file is too short for a BMP file");
    if (file[0] != 'B' || file[1] != 'M') return Refuse("The file is not a BMP file");
    if (m_nFileSize < size_t(HeadersSize)) return Refuse("The BMP info header does not lie inside the file");
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

bool CBMPFile::BuildBmp(int32_t width, int32_t height, int32_t colours, int32_t extraBytes)
{
    m_bHeld = false;
    m_nFileSize = 0;
    m_layout = SBmpLayout();
    if (width < 1 || height < 1 || colours < 0 || colours > PaletteColours || extraBytes < 0)
        return Refuse("The BMP size is not valid");
    const int64_t rowBytes = RowBytes8(width);
    const int64_t imageBytes = rowBytes * height;
    const int64_t pixelOffset = HeadersSize + 4 * int64_t(colours) + extraBytes;
    const int64_t total = pixelOffset + imageBytes;
    if (imageBytes > INT32_MAX || uint64_t(total) > MaxFileSize) return Refuse("The BMP image is too large");
    // Every byte is written below or by the caller's row loop, which also zeroes the padding.
    m_bHeld = m_pStorage->Allocate(size_t(total), 32);
    if (!m_bHeld) return Refuse("Not enough memory for the BMP file");
    m_nFileSize = size_t(total);
    m_layout.colours = colours;
    m_layout.paletteOffset = HeadersSize;
    m_layout.paletteEnd = HeadersSize + 4 * int64_t(colours);
    m_layout.pixelOffset = pixelOffset;
    m_layout.rowBytes = rowBytes;
    m_layout.imageBytes = imageBytes;
    WriteHeaders(width, height, colours, extraBytes);
    uint8_t* palette = Bytes() + HeadersSize;
    for (int32_t i = 0; i < colours; ++i)
        std::memset(palette + 4 * i, i, 4);
    std::memset(palette + 4 * colours, 0, size_t(extraBytes));
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

bool CBMPFile::FromImage(const CImageBuffer16& image)
{
    const CImageInfo& src = image.Info();
    const std::vector<uint8_t>& block = src.PrivateBlock();
    const int32_t width = image.GetWidth();
    const int32_t height = image.GetHeight();
    if (image.IsEmpty() || block.size() > size_t(INT32_MAX)) return Refuse("The image is empty");
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
        std::memset(out + width, 0, size_t(padding));
    }

    // A table shorter than 256 entries leaves the grey ramp behind its last entry.
    const CColorTable& table = src.ColorTable();
    uint8_t* d = Bytes();
    std::memcpy(d + m_layout.paletteOffset, table.GetEntries(),
                size_t(std::clamp(table.GetCount(), 0, PaletteColours)) * 4);
    const bool useDefault = src.GetDefaultResolution();
    Put32(d + 38, uint32_t(ResolutionField(src.GetResolutionX(), useDefault)));
    Put32(d + 42, uint32_t(ResolutionField(src.GetResolutionY(), useDefault)));
    if (useDefault) Put32(d + 34, 0);
    if (!block.empty()) std::memcpy(d + m_layout.paletteEnd, block.data(), block.size());
    return true;
}

bool CBMPFile::WriteBmp(const std::string& path)
{
    if (!m_bHeld) return Refuse("There is no BMP file to write");
    if (PlatformWriteFileAtomically(path, Bytes(), m_nFileSize) != 0)
        return Refuse("The file could not be written");
    return true;
}

} // namespace vKit
