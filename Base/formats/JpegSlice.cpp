#include "Base/formats/FileImageBuffer16.h"
#include "Base/formats/JpgFile.h"
#include "Base/formats/SliceFormats.h"
#include "Base/platform/Platform.h"

#include <cerrno>
#include <new>

// The slice image's JPEG load and save, on top of the JPEG codec.

namespace vKit
{

int32_t LoadJpegSlice(CFileImageBuffer16& image, const std::string& path)
{
    image.Histogram().Clear();
    image.Info().Reset();
    try
    {
        // The decoder works in the image's own memory and scratch, kept from file to file.
        CJpgFile jpg;
        jpg.Image().Swap(image);
        const bool ok = jpg.ReadJpeg(path, image.FileBytes(), image.RowBytes());
        image.Swap(jpg.Image());
        if (!ok) image.SetStatus(jpg.GetStatus());
        return ok ? CFileImageBuffer16::Ok : CFileImageBuffer16::Failed;
    }
    catch (const std::bad_alloc&)
    {
        image.Free();
        image.SetStatus(PlatformErrorStatus(ENOMEM, path));
        return CFileImageBuffer16::Failed;
    }
}

namespace
{

// The stream of the samples, put on disk the way the saved image asks for.
int32_t WriteJpegStream(CFileImageBuffer16& image, const CImageBuffer16& samples, const std::string& path)
{
    CJpgFile jpg;
    std::vector<uint8_t> stream;
    if (!jpg.EncodeJpeg(samples, stream, image.FileBytes()))
    {
        image.SetStatus(jpg.GetStatus());
        return CFileImageBuffer16::Failed;
    }
    const int32_t err = image.WriteFileBytes(path, stream.data(), stream.size());
    if (err != 0) image.SetStatus(PlatformErrorStatus(err, path));
    return err;
}

} // namespace

int32_t SaveJpegSlice(CFileImageBuffer16& image, const std::string& path)
{
    try
    {
        const int32_t ceiling = image.Info().GetGreyCeiling();
        if (ceiling == 0 || ceiling == 0xFF00 || !image.Info().GetClampOnExport())
            return WriteJpegStream(image, image, path);
        // 8-bit data whose top was not yet clamped to the file's white is written from a
        // clamped copy; the image itself is left as it is.
        CImageBuffer16 clamped(image);
        if (clamped.IsEmpty() != image.IsEmpty())
        {
            image.SetStatus(PlatformErrorStatus(ENOMEM, path));
            return CFileImageBuffer16::Failed;
        }
        clamped.ClampTop(image.Info().GetClampMode());
        clamped.Info().SetClampOnExport(false);
        return WriteJpegStream(image, clamped, path);
    }
    catch (const std::exception&)
    {
        image.SetStatus(PlatformErrorStatus(ENOMEM, path));
        return CFileImageBuffer16::Failed;
    }
}

} // namespace vKit
