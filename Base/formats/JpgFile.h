#pragma once
// JPEG slices: 8-bit grey JFIF files decoded into and encoded from a 16-bit image (samples
// v * 256) through the codec in jpeg/, and the JFIF header block that carries the resolution.

#include "Base/core/Base.h"
#include "Base/core/Status.h"
#include "Base/image/ImageBuffer16.h"
#include "jpeg/IntelImageJPEGLib.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vKit
{

// The first 20 bytes of a JFIF file: start of image, the APP0 marker and its segment up to the
// thumbnail size. Densities are big-endian; units 1 = dots per inch, 2 = dots per centimetre.
class CJFIF : public CBase
{
public:
    static constexpr size_t HeaderSize = 20;
    // Read's result for 20 bytes that are no JFIF header. It equals EAGAIN, which the file
    // layer never returns for a read; CStatus::Unsupported says it to the layers above.
    static constexpr int32_t NotJfif = 11;
    // Resolutions (pixels per metre) taken when no JFIF header is there, and for density units
    // other than 1 and 2.
    static constexpr double NoHeaderResolution = 3600.0;
    static constexpr double OtherUnitsResolution = 704.0;

    CJFIF();

    // Takes the first 20 bytes of a stream: 0 when they are there and pass the tests (FF D8 FF E0,
    // a segment length other than 0, "JFIF\0"), else 11.
    int32_t Parse(const uint8_t* data, size_t size);
    // The same from the start of a file: 0, 11, or the file layer's errno value.
    int32_t Read(const std::string& path);
    // Writes the 20 bytes back at the start of the file; 0 or an errno value.
    int32_t Write(const std::string& path) const;
    // Copies the 20 bytes over the start of a stream in memory (at least 20 bytes long).
    void StoreTo(uint8_t* data) const;

    uint8_t GetUnits() const { return m_block[13]; }
    uint16_t GetDensityX() const;
    uint16_t GetDensityY() const;
    void SetDensity(uint8_t units, uint16_t x, uint16_t y);

    // Pixels per metre the densities stand for.
    double GetResolutionX() const;
    double GetResolutionY() const;
    // Chooses units and densities so that GetResolution gives the values back (see the source).
    void SetResolution(double pixelsPerMetreX, double pixelsPerMetreY);

private:
    uint8_t m_block[HeaderSize];
};

class CJpgFile
{
public:
    CJpgFile() = default;
    virtual ~CJpgFile() = default;

    virtual CImageBuffer16& Image() { return m_image; }

    // Reads the whole file and decodes it into the own image (grey; colour files as their
    // luminance); true on success. After a failure the image is empty and GetStatus says why.
    bool ReadJpeg(const std::string& path);
    bool DecodeJpeg(const uint8_t* data, size_t size);
    // The same with the file read into file and the codec's rows built in rows, and the own
    // image's memory used again: memory the caller keeps from file to file.
    bool ReadJpeg(const std::string& path, CAlignedBlock& file, CAlignedBlock& rows);
    bool DecodeJpeg(const uint8_t* data, size_t size, CAlignedBlock& rows);
    // Encodes the own image (or the given one) at its description's JPEG quality, with the
    // resolution in the JFIF header, and writes the file in one piece. 0 when written; 2 when
    // the image cannot be encoded (bits per pixel below 8, empty, codec failure), else an errno
    // value; GetStatus tells the two apart. The file appears only when complete.
    int32_t WriteJpeg(const std::string& path);
    int32_t WriteJpeg(const std::string& path, const CImageBuffer16& image);
    // The stream WriteJpeg would write, in memory; false when the image cannot be encoded.
    bool EncodeJpeg(const CImageBuffer16& image, std::vector<uint8_t>& stream);
    // The same with the codec's 8-bit rows built in rows, memory the caller keeps from image to
    // image.
    bool EncodeJpeg(const CImageBuffer16& image, std::vector<uint8_t>& stream, CAlignedBlock& rows);

    // Resolution of the own image from, or into, the JFIF header of a file on disk; the
    // CJFIF result codes. A file without a JFIF header is left as it is.
    int32_t ReadDensity(const std::string& path);
    int32_t WriteDensity(const std::string& path);

    // Why the last read or encode failed (libjpeg's own text where it refused).
    const CStatus& GetStatus() const { return m_status; }

private:
    bool Fail(int32_t code, const std::string& reason);
    bool FailCodec(const JPEG_CORE_PROPERTIES& props, int result);

    CStatus m_status;
    CIntelImageJPEGLib m_codec;
    CImageBuffer16 m_image;
};

} // namespace vKit
