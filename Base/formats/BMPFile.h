#pragma once
// One 8-bit palette BMP slice held whole in memory: read in one piece, checked, parsed in
// place; or built from an image and written in one piece. Layout: 14-byte file header,
// info header, 256 palette entries (1 to 256 read), the private block, then rows padded to
// 4 bytes, bottom row first (top row first when the height is negative).

#include "Base/core/Status.h"
#include "Base/image/ImageBuffer16.h"
#include "Base/image/ImageInfo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vKit
{

// The header fields as found in the file, before any check.
struct SBmpHeader
{
    uint32_t fileSize = 0;
    uint32_t pixelOffset = 0;
    uint32_t infoSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t resolutionX = 0;
    int32_t resolutionY = 0;
    uint32_t coloursUsed = 0;
    uint32_t coloursImportant = 0;
};

// What a conversion may do to an 8-bit image between loading and saving it, applied to the rows
// of a BMP file as they would be to its samples.
struct SBmpStages
{
    bool reversePalette = false;    // the palette's entries in reverse order
    bool invertSamples = false;     // every sample v becomes 255 - v
    bool defaultResolution = false; // resolutions as an image with the default flag writes them
    bool dropPrivateBlock = false;  // no private block
};

// Where the parts of an accepted file lie, as byte offsets into it.
struct SBmpLayout
{
    int32_t colours = 0;
    int64_t paletteOffset = 0;
    int64_t paletteEnd = 0;
    int64_t pixelOffset = 0;
    int64_t rowBytes = 0;   // stored bytes per row, padding included
    int64_t imageBytes = 0; // rowBytes * height
};

class CBMPFile
{
public:
    static constexpr int32_t FileHeaderSize = 14;
    static constexpr int32_t InfoHeaderSize = 40;

    CBMPFile() = default;
    CBMPFile(const CBMPFile&) = delete;
    CBMPFile& operator=(const CBMPFile&) = delete;
    virtual ~CBMPFile() = default;

    // Keeps the file bytes in this block instead of the object's own, so that a caller that
    // reads or builds file after file allocates the memory once. The block must stay while the
    // object uses it.
    void UseStorage(CAlignedBlock& block)
    {
        m_pStorage = &block;
        m_bHeld = false;
        m_nFileSize = 0;
    }
    // Reads the whole file and parses it; on success the description's file name is the path.
    bool ReadBmp(const std::string& path);
    // Takes a copy of a file's bytes and parses them (for data already in memory).
    bool ParseBmp(const uint8_t* data, size_t size);
    // Checks the held bytes and sets the layout and the description; true when accepted.
    bool ParseBmp();
    // A zeroed 8-bit file of this size with 256 grey entries and room for the private block.
    bool BuildBmp(int32_t width, int32_t height, int32_t colours, int32_t extraBytes);
    // Builds the file of an image: its high bytes, palette, resolutions and private block.
    bool FromImage(const CImageBuffer16& image);
    // Builds from an accepted file, held by source, the bytes that ToImage, the stages and
    // FromImage would give, with the rows kept 8 bits wide.
    bool FromBmp(const CBMPFile& source, const SBmpStages& stages);
    // The rows of an accepted file into a slice image, top row first, as v * 256 with the
    // file's description; a grey palette of fewer than 256 colours becomes the greys
    // themselves. False when the image memory is not there.
    bool ToImage(CImageBuffer16& image) const;
    // Writes the held bytes in one piece, atomically; true on success.
    bool WriteBmp(const std::string& path);

    CImageInfo& Info() { return m_info; }
    const CImageInfo& Info() const { return m_info; }
    // First stored row (the bottom row of the picture), rows GetRowBytes() apart.
    const uint8_t* GetPixelRows() const { return m_bHeld ? Bytes() + m_layout.pixelOffset : nullptr; }
    uint8_t* GetPixelRows() { return m_bHeld ? Bytes() + m_layout.pixelOffset : nullptr; }
    const uint8_t* GetPalette() const { return m_bHeld ? Bytes() + m_layout.paletteOffset : nullptr; }
    int32_t GetColourCount() const { return m_layout.colours; }
    const SBmpLayout& Layout() const { return m_layout; }
    const uint8_t* GetFileData() const { return Bytes(); }
    size_t GetFileSize() const { return m_nFileSize; }
    // Why the last read, parse, build or write failed ("" and Ok after success).
    const std::string& GetError() const { return m_status.GetReason(); }
    const CStatus& GetStatus() const { return m_status; }

private:
    bool Refuse(int32_t code, const std::string& reason);
    bool ValidateHeader(const SBmpHeader& h);
    void TakeDescription(const SBmpHeader& h);
    void WriteHeaders(int32_t width, int32_t height, int32_t colours, int32_t extraBytes);
    // BuildBmp short of the palette and the private block, which the caller writes.
    bool LayOut(int32_t width, int32_t height, int32_t colours, int32_t extraBytes);
    // The resolution and image size fields and the private block after the palette.
    void PutDescription(double resolutionX, double resolutionY, bool useDefault,
                        const std::vector<uint8_t>& block);

    // The file bytes, m_nFileSize of them, while a file is held.
    uint8_t* Bytes() const { return m_bHeld ? m_pStorage->Data() : nullptr; }

    CAlignedBlock m_own;
    CAlignedBlock* m_pStorage = &m_own;
    bool m_bHeld = false;
    size_t m_nFileSize = 0;
    SBmpLayout m_layout;
    CImageInfo m_info;
    CStatus m_status;
};

// Reads the header fields of a file of at least 54 bytes; no checks.
SBmpHeader ReadBmpHeader(const uint8_t* data);

} // namespace vKit
