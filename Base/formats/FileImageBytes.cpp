// Loading a slice image from the bytes of a whole file held in memory, through the same readers
// as LoadFile.

#include "Base/core/Strings.h"
#include "Base/formats/BMPFile.h"
#include "Base/formats/FileImageBuffer16.h"
#include "Base/formats/JpgFile.h"
#include "Base/formats/TiffLibReader.h"

#include <new>

namespace vKit
{

int32_t CFileImageBuffer16::LoadBytes(const std::string& name, const uint8_t* data, size_t size)
{
    m_messages.clear();
    m_histogram.Clear();
    m_bmp.source.UseStorage(FileBytes());
    const std::string ext = UpperAscii(GetPathExtension(name));
    try
    {
        if (ext == "BMP")
        {
            CBMPFile bmp;
            bmp.UseStorage(FileBytes());
            if (bmp.ParseBmp(data, size)) return TakeBmp(bmp, name);
            AddMessage(bmp.GetError());
        }
        else if (ext == "TIF" || ext == "TIFF")
        {
            Info().Reset();
            STiffRead outcome;
            if (ReadTiffSlice(data, size, *this, outcome)) return Ok;
            AddMessage(outcome.message);
        }
        else if (ext == "JPG" || ext == "JPEG")
        {
            Info().Reset();
            CJpgFile jpg;
            const bool ok = jpg.DecodeJpeg(data, size);
            Swap(jpg.Image());
            if (ok) return Ok;
        }
    }
    catch (const std::bad_alloc&)
    {
        Free();
        AddMessage("Not enough memory for the image");
    }
    return Failed;
}

} // namespace vKit
