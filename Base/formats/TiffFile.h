#pragma once
// TIFF slices: a reader for a small subset (little-endian, first directory, uncompressed
// strips, one grey sample of 8 or 16 bits per pixel) and a writer of one fixed layout: 16-bit
// grey in strips of 24 rows, resolution in pixels per inch and five private tags.
//
// Written file for an image of w x h and n = ceil(h / 24) strips, all little-endian:
//   0 "II" 42, directory offset | 8 "Quorell\0" | 16 samples, top row first (2wh bytes)
//   | x and y resolution rationals (num, 1) | n strip offsets | n strip byte counts
//   | 18 directory entries (2 + 216 bytes) | next directory 0 | 8 zero bytes
// so the file holds 2wh + 8n + 262 bytes. Sizes above 65535 and a private value E outside
// 0..65535 go into LONG fields, since a SHORT holds 16 bits.

#include "Base/core/Status.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vKit
{

class CAlignedBlock;
class CImageBuffer16;
class CImageInfo;

class CTiffFile
{
public:
    static constexpr const char* MsgNotFound = "The Tiff file is not found.";
    static constexpr const char* MsgNotIntel = "The Tiff file is not in Intel byte order.";
    static constexpr const char* MsgBadTags = "The Tiff file has invalid or corrupted tags.";
    static constexpr const char* MsgCompression = "The Tiff file contains unsuported compression.";
    static constexpr const char* MsgNoMemory = "Not enough memory for the image";

    static constexpr int32_t RowsPerStrip = 24;
    static constexpr int32_t EntryCount = 18;

    CTiffFile() = default;
    virtual ~CTiffFile() = default;

    // Parses a TIFF held in memory into the image: 1 on success, 0 with one message on failure.
    // Every offset and count is checked against the bytes before use; a file whose tags point
    // outside it, or whose declared samples it cannot hold, is refused as corrupted.
    int32_t ReadTiff(const uint8_t* data, size_t size, CImageBuffer16& image);
    // Reads the whole file into memory, then ReadTiff; on success the description's file name
    // is the path.
    int32_t LoadTiff(const std::string& path, CImageBuffer16& image);
    // The same, reading the file into storage: memory kept from file to file.
    int32_t LoadTiff(const std::string& path, CImageBuffer16& image, CAlignedBlock& storage);
    // Builds the file of the layout above in one aligned block. False only when the file could
    // not be described by 32-bit offsets or its memory is not there. Without samples their
    // place (SamplesAt) is left as it is, for a caller that writes them from where they are.
    bool WriteTiff(CAlignedBlock& file, const uint16_t* samples, int32_t width, int32_t height,
                   const CImageInfo& info);

    const std::vector<std::string>& Messages() const { return m_messages; }
    // Beside the message: why, in words, with the file's path once LoadTiff named it.
    const CStatus& GetStatus() const { return m_status; }

    // True for a TIFF that this reader would not read as its writer means it (big-endian,
    // BigTIFF, compressed, tiled, several pages, not plain unsigned MinIsBlack grey of 8 or 16
    // bits, bits filled from the low end): those go to libtiff. Files that are not TIFF, or
    // whose first directory cannot be read, stay here and keep this reader's messages.
    static bool IsOtherLayout(const uint8_t* data, size_t size);
    // Pixels per metre of a resolution tag's value in a resolution unit (2 inch, 3 centimetre;
    // any other unit leaves the value as it stands).
    static double PixelsPerMetre(double value, uint32_t unit);

    static constexpr size_t SamplesAt = 16;
    // 2wh + 8n + 262, in 64 bits.
    static uint64_t WrittenFileSize(int32_t width, int32_t height);
    // Pixels per inch written for a resolution in pixels per metre (see the source for why it
    // rounds); 0 for an unknown resolution.
    static uint32_t PixelsPerInch(double pixelSizeUm);

private:
    int32_t Refuse(const char* message, int32_t code, const std::string& reason);

    std::vector<std::string> m_messages;
    CStatus m_status;
};

} // namespace vKit
