#include "Base/formats/FileImageBuffer16.h"

#include "Base/core/Strings.h"
#include "Base/formats/BMPFile.h"
#include "Base/formats/JpgFile.h"
#include "Base/formats/TiffFile.h"
#include "Base/platform/PlatformAtomicWrite.h"

namespace vKit
{

namespace
{
enum class EFormat
{
    None,
    Bmp,
    Tiff,
    Jpeg,
};

// Loading knows only the three-letter extensions; saving also takes "tiff" and "jpeg".
EFormat FormatOf(const std::string& path, bool saving)
{
    const std::string ext = UpperAscii(GetPathExtension(path));
    if (ext == "BMP") return EFormat::Bmp;
    if (ext == "TIF" || (saving && ext == "TIFF")) return EFormat::Tiff;
    if (ext == "JPG" || (saving && ext == "JPEG")) return EFormat::Jpeg;
    return EFormat::None;
}
} // namespace

int32_t CFileImageBuffer16::LoadFile(const std::string& path)
{
    m_messages.clear();
    switch (FormatOf(path, false))
    {
    case EFormat::Bmp:
        return LoadBmp(path);
    case EFormat::Tiff:
        return LoadTiff(path);
    case EFormat::Jpeg:
        return LoadJpeg(path);
    case EFormat::None:
        break;
    }
    return Failed;
}

int32_t CFileImageBuffer16::SaveFile(const std::string& path)
{
    m_messages.clear();
    switch (FormatOf(path, true))
    {
    case EFormat::Bmp:
        return SaveBmp(path);
    case EFormat::Tiff:
        return SaveTiff(path);
    case EFormat::Jpeg:
        return SaveJpeg(path);
    case EFormat::None:
        break;
    }
    return Failed;
}

// The TIFF and JPEG slice formats live in their own files.
int32_t CFileImageBuffer16::LoadTiff(const std::string& path)
{
    return LoadTiffSlice(*this, path);
}
int32_t CFileImageBuffer16::SaveTiff(const std::string& path)
{
    return SaveTiffSlice(*this, path);
}
int32_t CFileImageBuffer16::LoadJpeg(const std::string& path)
{
    return LoadJpegSlice(*this, path);
}
int32_t CFileImageBuffer16::SaveJpeg(const std::string& path)
{
    return SaveJpegSlice(*this, path);
}

int32_t CFileImageBuffer16::LoadBmp(const std::string& path)
{
    m_histogram.Clear();
    CBMPFile bmp;
    bmp.UseStorage(FileBytes());
    if (!bmp.ReadBmp(path))
    {
        AddMessage(bmp.GetError());
        return Failed;
    }
    const CImageInfo& info = bmp.Info();
    if (!Create(info.GetWidth(), info.GetHeight()))
    {
        AddMessage("Not enough memory for the image");
        return Failed;
    }
    CopyFrom8(bmp.GetPixelRows(), 0, 0, m_nWidth, m_nHeight, info.GetRowPadding(), true);
    // The file's palettes, resolutions, private block and name; samples held as v * 256.
    m_info = info;
    m_info.SetBitsPerPixel(16);
    m_info.SetSignificantBits(8);
    m_info.SetBottomUp(false);
    m_info.SetWritePadding(0);
    return Ok;
}

int32_t CFileImageBuffer16::SaveBmp(const std::string& path)
{
    // 8-bit data whose top was not yet clamped to the file's white (0xFF00) is written from
    // a clamped copy; the image itself is left as it is.
    const int32_t ceiling = m_info.GetGreyCeiling();
    const CImageBuffer16* source = this;
    CImageBuffer16 clamped;
    if (!IsEmpty() && ceiling != 0 && ceiling != 0xFF00 && m_info.GetClampOnExport())
    {
        clamped = *this;
        if (clamped.IsEmpty())
        {
            AddMessage("Not enough memory for the image");
            return Failed;
        }
        clamped.ClampTop(m_info.GetClampMode());
        clamped.Info().SetClampOnExport(false);
        source = &clamped;
    }
    CBMPFile bmp;
    bmp.UseStorage(FileBytes());
    if (!bmp.FromImage(*source))
    {
        AddMessage(bmp.GetError());
        return Failed;
    }
    if (WriteFileBytes(path, bmp.GetFileData(), bmp.GetFileSize()) != 0)
    {
        AddMessage("The file could not be written");
        return Failed;
    }
    return Ok;
}

int32_t CFileImageBuffer16::WriteFileBytes(const std::string& path, const void* data, size_t size) const
{
    const CWritePiece piece{data, size};
    return WriteFileBytes(path, &piece, 1);
}

int32_t CFileImageBuffer16::WriteFileBytes(const std::string& path, const CWritePiece* pieces,
                                           size_t count) const
{
    return m_bSaveAtomically ? PlatformWriteFileAtomically(path, pieces, count)
                             : PlatformWriteFile(path, pieces, count);
}

} // namespace vKit
