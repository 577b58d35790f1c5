#include "Base/formats/FileImageBuffer16.h"
#include "Base/formats/SliceFormats.h"
#include "Base/formats/TiffFile.h"
#include "Base/formats/TiffLibReader.h"
#include "Base/formats/WholeFile.h"
#include "Base/platform/Platform.h"
#include "Base/platform/PlatformAtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>

// The slice image's TIFF load and save, on top of the TIFF reader and writer.

namespace vKit
{

int32_t LoadTiffSlice(CFileImageBuffer16& image, const std::string& path)
{
    image.Histogram().Clear();
    image.Info().Reset();
    try
    {
        // The file is read into the image's own memory, kept from file to file.
        size_t size = 0;
        const int32_t err = ReadWholeFile(path, image.FileBytes(), size, UINT64_MAX);
        const uint8_t* data = err == 0 && size > 0 ? image.FileBytes().Data() : nullptr;
        STiffRead outcome;
        if (ReadTiffSlice(data, err == 0 ? size : 0, image, outcome))
        {
            image.Info().SetFileName(path);
            image.SetFileNotes({outcome.pages, outcome.signedSamples});
            return CFileImageBuffer16::Ok;
        }
        image.AddMessage(outcome.message);
        image.SetStatus(err != 0 ? PlatformErrorStatus(err, path)
                                 : CStatus(outcome.code, path, outcome.reason));
    }
    catch (const std::bad_alloc&)
    {
        image.AddMessage(CTiffFile::MsgNoMemory);
        image.SetStatus(PlatformErrorStatus(ENOMEM, path));
    }
    return CFileImageBuffer16::Failed;
}

namespace
{

int64_t RoundUpTo(int64_t value, int32_t multiple)
{
    return multiple < 1 ? value : (value + multiple - 1) / multiple * multiple;
}

// The image in the top-left corner of a larger one whose added samples hold the pad value.
bool MakePadded(const CImageBuffer16& image, int32_t width, int32_t height, uint16_t pad,
                CImageBuffer16& padded)
{
    if (!padded.Create(width, height)) return false;
    const int32_t w = image.GetWidth();
    for (int32_t y = 0; y < height; ++y)
    {
        uint16_t* row = padded.Row(y);
        const int32_t kept = y < image.GetHeight() ? w : 0;
        if (kept > 0) std::memcpy(row, image.Row(y), size_t(kept) * 2);
        std::fill(row + kept, row + width, pad);
    }
    CImageInfo info = image.Info();
    info.SetWidth(width);
    info.SetHeight(height);
    padded.SetInfo(info);
    return true;
}

int32_t WriteTiffFile(CFileImageBuffer16& image, const CImageBuffer16& source, const std::string& path)
{
    CTiffFile tiff;
    CAlignedBlock& file = image.FileBytes();
    if (!tiff.WriteTiff(file, nullptr, source.GetWidth(), source.GetHeight(), source.Info()))
    {
        for (const std::string& message : tiff.Messages())
            image.AddMessage(message);
        image.SetStatus(tiff.GetStatus());
        return CFileImageBuffer16::Failed;
    }
    // The samples go to the file from the image itself, not through a copy in the block.
    const size_t head = CTiffFile::SamplesAt;
    const size_t samples = size_t(source.ByteCount());
    const CWritePiece pieces[] = {{file.Data(), head},
                                  {source.GetData(), samples},
                                  {file.Data() + head + samples, file.Size() - head - samples}};
    const int32_t err = image.WriteFileBytes(path, pieces, 3);
    if (err != 0) image.SetStatus(PlatformErrorStatus(err, path));
    return err;
}

} // namespace

int32_t SaveTiffSlice(CFileImageBuffer16& image, const std::string& path)
{
    const CImageInfo& info = image.Info();
    const int32_t ceiling = info.GetGreyCeiling();
    if (ceiling != 0 && ceiling != 65535 && info.GetClampOnExport())
    {
        image.SetStatus(CStatus(CStatus::Refused, path,
                                "8-bit samples not yet clamped to white cannot go into a 16-bit TIFF"));
        return -1;
    }
    try
    {
        const int32_t multipleX = image.GetPadMultipleX();
        const int32_t multipleY = image.GetPadMultipleY();
        const int64_t width = RoundUpTo(image.GetWidth(), multipleX);
        const int64_t height = RoundUpTo(image.GetHeight(), multipleY);
        if ((multipleX < 1 && multipleY < 1) || (width == image.GetWidth() && height == image.GetHeight()))
            return WriteTiffFile(image, image, path);
        CImageBuffer16 padded;
        if (width > INT32_MAX || height > INT32_MAX ||
            !MakePadded(image, int32_t(width), int32_t(height), image.GetPadValue(), padded))
        {
            image.AddMessage(CTiffFile::MsgNoMemory);
            image.SetStatus(PlatformErrorStatus(ENOMEM, path));
            return CFileImageBuffer16::Failed;
        }
        return WriteTiffFile(image, padded, path);
    }
    catch (const std::exception&)
    {
        image.SetStatus(PlatformErrorStatus(ENOMEM, path));
        return CFileImageBuffer16::Failed;
    }
}

} // namespace vKit
