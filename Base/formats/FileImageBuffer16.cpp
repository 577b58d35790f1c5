#include "Base/formats/FileImageBuffer16.h"

#include "Base/core/Strings.h"
#include "Base/formats/BMPFile.h"
#include "Base/formats/SliceFormats.h"
#include "Base/platform/Platform.h"
#include "Base/platform/PlatformAtomicWrite.h"

#include <cerrno>
#include <string_view>

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

// Loading knows only the three-letter extensions; saving also takes "tiff" and "jpeg". Asked
// for every file, so the extension is looked at in place.
EFormat FormatOf(std::string_view path, bool saving)
{
    const size_t dot = path.rfind('.');
    const std::string_view ext = dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
    if (EqualsNoCase(ext, "bmp")) return EFormat::Bmp;
    if (EqualsNoCase(ext, "tif") || (saving && EqualsNoCase(ext, "tiff"))) return EFormat::Tiff;
    if (EqualsNoCase(ext, "jpg") || (saving && EqualsNoCase(ext, "jpeg"))) return EFormat::Jpeg;
    return EFormat::None;
}
} // namespace

int32_t CFileImageBuffer16::LoadFile(const std::string& path)
{
    m_notes = SFileNotes();
    return ByFormat(path, false);
}

int32_t CFileImageBuffer16::SaveFile(const std::string& path)
{
    return ByFormat(path, true);
}

int32_t CFileImageBuffer16::ByFormat(const std::string& path, bool saving)
{
    m_messages.clear();
    m_status = CStatus();
    // The rows a LoadBmpRows left are gone once the file bytes serve another load or save.
    m_bmp.source.UseStorage(FileBytes());
    switch (FormatOf(path, saving))
    {
    case EFormat::Bmp:
        return Finish(saving ? SaveBmp(path) : LoadBmp(path), path);
    case EFormat::Tiff:
        return Finish(saving ? SaveTiff(path) : LoadTiff(path), path);
    case EFormat::Jpeg:
        return Finish(saving ? SaveJpeg(path) : LoadJpeg(path), path);
    case EFormat::None:
        break;
    }
    return Unhandled(path, ".bmp, .tif or .jpg");
}

int32_t CFileImageBuffer16::Unhandled(const std::string& path, const char* extensions)
{
    m_status = CStatus(CStatus::NotHandled, path, std::string("the name does not end in ") + extensions);
    return Failed;
}

// Every failure leaves a status that names the file; the result itself stays the format's.
int32_t CFileImageBuffer16::Finish(int32_t result, const std::string& path)
{
    if (result == Ok)
        m_status = CStatus();
    else if (m_status.IsOk())
        m_status = result > 0 && result != Failed
                       ? PlatformErrorStatus(result, path)
                       : CStatus(CStatus::Corrupt, path, "the file could not be converted");
    m_status.SetPath(path);
    return result;
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

int32_t CFileImageBuffer16::ReadBmp(const std::string& path)
{
    CBMPFile& bmp = m_bmp.source;
    bmp.UseStorage(FileBytes());
    if (bmp.ReadBmp(path)) return Ok;
    AddMessage(bmp.GetError());
    m_status = bmp.GetStatus();
    bmp.UseStorage(FileBytes()); // refused bytes are never copied
    return Failed;
}

int32_t CFileImageBuffer16::LoadBmp(const std::string& path)
{
    m_histogram.Clear();
    const int32_t result = ReadBmp(path);
    return result == Ok ? TakeBmp(m_bmp.source, path) : result;
}

int32_t CFileImageBuffer16::TakeBmp(const CBMPFile& bmp, const std::string& path)
{
    if (!bmp.ToImage(*this))
    {
        AddMessage("Not enough memory for the image");
        m_status = PlatformErrorStatus(ENOMEM, path);
        return Failed;
    }
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
            m_status = PlatformErrorStatus(ENOMEM, path);
            return Failed;
        }
        clamped.ClampTop(m_info.GetClampMode());
        clamped.Info().SetClampOnExport(false);
        source = &clamped;
    }
    CBMPFile& bmp = m_bmp.target;
    bmp.UseStorage(FileBytes());
    return WriteBmp(bmp, bmp.FromImage(*source), path);
}

int32_t CFileImageBuffer16::WriteBmp(const CBMPFile& bmp, bool built, const std::string& path)
{
    if (!built)
    {
        AddMessage(bmp.GetError());
        m_status = bmp.GetStatus();
        return Failed;
    }
    const int32_t err = WriteFileBytes(path, bmp.GetFileData(), bmp.GetFileSize());
    if (err != 0)
    {
        AddMessage("The file could not be written");
        m_status = PlatformErrorStatus(err, path);
        return Failed;
    }
    return Ok;
}

bool CFileImageBuffer16::IsBmpName(const std::string& path)
{
    return FormatOf(path, false) == EFormat::Bmp;
}

int32_t CFileImageBuffer16::LoadBmpRows(const std::string& path)
{
    m_notes = SFileNotes();
    m_messages.clear();
    m_status = CStatus();
    Empty();
    if (!IsBmpName(path)) return Unhandled(path, ".bmp");
    return Finish(ReadBmp(path), path);
}

int32_t CFileImageBuffer16::SaveBmpRows(const std::string& path, const SBmpStages& stages)
{
    m_messages.clear();
    m_status = CStatus();
    if (!IsBmpName(path)) return Unhandled(path, ".bmp");
    // The rows stay in FileBytes(), so the file is built beside them.
    CBMPFile& bmp = m_bmp.target;
    bmp.UseStorage(RowBytes());
    return Finish(WriteBmp(bmp, bmp.FromBmp(m_bmp.source, stages), path), path);
}

int32_t CFileImageBuffer16::WriteFileBytes(const std::string& path, const void* data, size_t size) const
{
    const CWritePiece piece{data, size};
    return WriteFileBytes(path, &piece, 1);
}

int32_t CFileImageBuffer16::WriteFileBytes(const std::string& path, const CWritePiece* pieces,
                                           size_t count) const
{
    if (m_pSaveSink != nullptr)
    {
        m_pSaveSink->clear();
        for (size_t i = 0; i < count; ++i)
        {
            const auto* bytes = static_cast<const uint8_t*>(pieces[i].data);
            m_pSaveSink->insert(m_pSaveSink->end(), bytes, bytes + pieces[i].size);
        }
        return 0;
    }
    return m_bSaveAtomically ? PlatformWriteFileAtomically(path, pieces, count)
                             : PlatformWriteFile(path, pieces, count);
}

} // namespace vKit
